// bench_physics: the cost of one physics step for a full battle (eight armies
// of forty marching into each other) and for 3000 bodies spread over the map,
// so the growth with the number of bodies can be seen, and for two cases that
// defeat a search along x alone: 320 units in one column along z, and one
// shell at 300 units a second among the 3000. Prints microseconds per step,
// the best of a few runs of each case; one short run of each in the short
// form.
#include "BenchRun.h"
#include "core/Stopwatch.h"
#include "physics/Physical.h"
#include "physics/PhysicalDataFile.h"
#include "physics/Physics.h"
#include "platform/Random.h"
#include "world/MapData.h"
#include "world/Terrain.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kMapSize = 400.0f;
constexpr float kFrameTime = 1.0f / 60.0f;
struct Lengths {
    int warmUpSteps = 60;
    int measuredSteps = 600;
    int runs = 5;
};

const char* const kUnitTypes[] = {"Smashtor", "Triangoloid", "Trajectagon", "Artillerator", "Detagon"};

std::string DataPath(const char* type)
{
    return std::string(KV_BENCH_DATA_DIR) + "/" + PhysicalDataFile::PathForType(type);
}

float Hills(float x, float z)
{
    // Flat in the middle, rolling toward the edges.
    const float distance = std::sqrt(x * x + z * z);
    const float edge = std::max(0.0f, distance - 60.0f) / 140.0f;
    return edge * edge * (4.0f + 3.0f * std::sin(x * 0.05f) * std::cos(z * 0.04f));
}

float RandomIn(float range)
{
    return (static_cast<float>(platform::Rand()) / platform::kRandMax - 0.5f) * range;
}

using Bodies = std::vector<std::unique_ptr<Physical>>;

// The map every case stands on.
Terrain& Ground()
{
    static Terrain terrain;
    return terrain;
}

std::unique_ptr<Physical> MakeUnit(int index, float x, float z, float toX, float toZ)
{
    const Terrain& terrain = Ground();
    const std::string path = DataPath(kUnitTypes[index % 5]);
    auto unit = std::make_unique<Physical>(x, terrain.HeightAt(x, z), z, path.c_str());
    unit->SetCollisionType(kCollisionUnit);
    unit->SetDestination(toX, terrain.HeightAt(toX, toZ), toZ);
    Physics::Instance()->AddObject(unit.get());
    return unit;
}

// Eight armies of forty in 8 x 5 blocks on a circle, each marching through
// the middle to the army opposite.
Bodies MakeBattle()
{
    Bodies bodies;
    for (int army = 0; army < 8; ++army) {
        const float angle = static_cast<float>(army) * 3.14159265f / 4.0f;
        const float x = std::cos(angle) * 150.0f;
        const float z = std::sin(angle) * 150.0f;
        for (int i = 0; i < 40; ++i) {
            const float dx = static_cast<float>(i % 8 - 4) * 2.2f;
            const float dz = static_cast<float>(i / 8 - 2) * 2.2f;
            bodies.push_back(MakeUnit(i, x + dx, z + dz, -x * 0.8f + dx, -z * 0.8f + dz));
        }
    }
    return bodies;
}

// A column of 320 along z, all at x = 0, walking north along it.
Bodies MakeColumn()
{
    Bodies bodies;
    for (int i = 0; i < 320; ++i) {
        const float z = -176.0f + static_cast<float>(i) * 1.1f;
        bodies.push_back(MakeUnit(i, 0.0f, z, 0.0f, std::min(z + 20.0f, 180.0f)));
    }
    return bodies;
}

Bodies MakeCrowd(int count)
{
    Bodies bodies;
    for (int i = 0; i < count; ++i) {
        const float x = RandomIn(kMapSize - 20.0f);
        const float z = RandomIn(kMapSize - 20.0f);
        bodies.push_back(MakeUnit(i, x, z, RandomIn(kMapSize - 20.0f), RandomIn(kMapSize - 20.0f)));
    }
    return bodies;
}

// A shell kept at 300 units a second on a circle of radius 150 around the
// middle, low enough to pass through the units it meets.
class FastShell {
public:
    FastShell() : body_(kCircleRadius, 0.0f, 0.0f, nullptr)
    {
        body_.SetCollisionType(kCollisionProjectile);
        body_.SetCollisionResponse(false);
        body_.SetGravityEnabled(false);
        body_.SetDragEnabled(false);
        body_.SetFrictionEnabled(false);
        body_.SetSteering(false);
        Physics::Instance()->AddObject(&body_);
    }

    void Fly(float time)
    {
        const float angle = time * kSpeed / kCircleRadius;
        body_.SetVelocity(Vec3(-std::sin(angle), 0.0f, std::cos(angle)) * kSpeed);
    }

private:
    static constexpr float kSpeed = 300.0f;
    static constexpr float kCircleRadius = 150.0f;
    Physical body_;
};

void StepOnce(FastShell* shell, int step)
{
    if (shell != nullptr) {
        shell->Fly(static_cast<float>(step) * kFrameTime);
    }
    Physics::Instance()->Step(kFrameTime);
}

// Microseconds per step of one run of a case: the bodies are built, warmed
// up, stepped and cleared.
double RunOnce(const std::function<Bodies()>& make, bool withShell, const Lengths& lengths, std::size_t& count)
{
    Bodies bodies = make();
    std::unique_ptr<FastShell> shell = withShell ? std::make_unique<FastShell>() : nullptr;
    count = bodies.size() + (withShell ? 1 : 0);
    for (int i = 0; i < lengths.warmUpSteps; ++i) {
        StepOnce(shell.get(), i);
    }
    std::int64_t start = 0;
    TimerStart(start);
    for (int i = 0; i < lengths.measuredSteps; ++i) {
        StepOnce(shell.get(), lengths.warmUpSteps + i);
    }
    const double seconds = TimerElapsed(start);
    Physics::Instance()->Clear();
    return seconds * 1.0e6 / lengths.measuredSteps;
}

// One case of the bench: how its bodies are made, and its best run so far.
struct Case {
    const char* what = "";
    std::function<Bodies()> make;
    bool withShell = false;
    double best = 0.0;
    std::size_t count = 0;
};

// The best of a few runs of each case, the cases taken by turns so that a
// change in the machine's load falls on all of them alike; a shared machine
// only ever makes a run slower.
void MeasureByTurns(std::vector<Case>& cases, const Lengths& lengths)
{
    for (int run = 0; run < lengths.runs; ++run) {
        for (Case& c : cases) {
            const double microseconds = RunOnce(c.make, c.withShell, lengths, c.count);
            c.best = run == 0 ? microseconds : std::min(c.best, microseconds);
        }
    }
    for (const Case& c : cases) {
        std::printf("physics step, %-28s %5zu bodies: %9.1f us (best of %d runs)\n", c.what, c.count, c.best,
                    lengths.runs);
    }
}

} // namespace

// Runs every case, or only the one named (battle, column, crowd, fast) so a
// profiler sees one case alone. With all four it also prints how much the two
// awkward cases cost beside their ordinary ones.
int main(int argc, char** argv)
{
    const bool shortForm = bench::ShortForm(argc, argv);
    bench::RunLimit limit("bench_physics", bench::RunSeconds(shortForm));
    const Lengths lengths = shortForm ? Lengths{5, 10, 1} : Lengths{};
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "--short") {
            only = argv[i];
        }
    }
    const auto wanted = [&only](const char* name) { return only.empty() || only == name; };
    Ground().LoadFromData(MakeHeightFieldMap(kMapSize, 129, Hills, -10.0f));
    Physics::Instance()->SetTerrain(&Ground());
    // The crowds are drawn from the seeded generator, the same each run.
    const auto crowd = [] {
        platform::SeedRand(1);
        return MakeCrowd(3000);
    };
    std::vector<Case> cases;
    const auto add = [&](const char* name, const char* what, std::function<Bodies()> make, bool withShell) {
        if (wanted(name)) {
            cases.push_back({what, std::move(make), withShell});
        }
    };
    add("battle", "eight armies of forty", MakeBattle, false);
    add("column", "one column", MakeColumn, false);
    add("crowd", "a crowd over the whole map", crowd, false);
    add("fast", "one fast body", crowd, true);
    limit.Stage("stepping the bodies");
    MeasureByTurns(cases, lengths);
    if (cases.size() == 4) {
        std::printf("one column costs %.2f times the battle, one fast body %.2f times the crowd\n",
                    cases[1].best / cases[0].best, cases[3].best / cases[2].best);
    }
    return 0;
}

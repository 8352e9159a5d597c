// The cost of the unit and object models: loading every mesh file the game
// uses (read, parse, check, build the drawable geometry), and one frame of
// animation for 320 units, each placed at its own moment through its model's
// shared controller as the drawing will do it (reset, advance, sample each
// part, build its world matrix). Best and mean of several runs; one load and
// a few frames in the short form.
#include "BenchRun.h"
#include "world/MeshLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

struct Models {
    std::vector<AnimatedMesh> units; // every unit animation file, in table order
    std::vector<ObjectMesh> objects;
};

Models LoadAll()
{
    Models models;
    for (int set = 0; set < kUnitMeshSetCount; ++set) {
        for (const char* name : UnitAnimationFileNames(set)) {
            models.units.emplace_back();
            models.units.back().Load(kUnitMeshFolder, name);
        }
    }
    for (int type = 0; type < kObjectMeshTypeCount; ++type) {
        const ObjectMeshFileNames names = ObjectMeshFiles(static_cast<ObjectMeshType>(type));
        models.objects.emplace_back();
        models.objects.back().Load(std::string(kObjectMeshFolder) + names.mesh,
                                   std::string(kObjectTextureFolder) + names.texture);
    }
    return models;
}

struct UnitState {
    AnimatedMesh* mesh;
    double animationTime;
    Vec3 position;
    float heading;
};

// One frame: every unit's parts placed; the sum keeps the work from being
// optimised away.
float SampleFrame(const std::vector<UnitState>& units)
{
    float sum = 0.0f;
    for (const UnitState& unit : units) {
        KeyframeController* controller = unit.mesh->GetController();
        controller->ResetTime();
        controller->AdvanceTime(unit.animationTime);
        const AnimationSet* set = controller->GetAnimationSetByIndex(0);
        const double position = set->GetPeriodicPosition(controller->GetTime());
        const Matrix placement = AnimatedMesh::UnitPlacementMatrix(unit.position, {0, 1, 0}, unit.heading);
        for (int part = 0; part < unit.mesh->GetPartCount(); ++part) {
            const AnimationSrt srt = set->GetSrt(position, unit.mesh->GetPartTrack(part));
            sum += AnimatedMesh::PartWorldMatrix(srt, placement).m[3][1];
        }
    }
    return sum;
}

} // namespace

int main(int argc, char** argv)
{
    const bool shortForm = bench::ShortForm(argc, argv);
    bench::RunLimit limit("bench_units", bench::RunSeconds(shortForm));
    std::filesystem::current_path(KV_BENCH_DATA_DIR);
    const int loads = shortForm ? 1 : 10;
    limit.Stage("loading the models");
    double bestLoad = 1e30;
    double totalLoad = 0.0;
    Models models;
    for (int i = 0; i < loads; ++i) {
        const Clock::time_point start = Clock::now();
        models = LoadAll();
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        bestLoad = std::min(bestLoad, took.count());
        totalLoad += took.count();
    }
    std::size_t triangles = 0;
    for (const AnimatedMesh& mesh : models.units) {
        if (mesh.IsEmpty() || mesh.IsStatic()) {
            std::fprintf(stderr, "bench_units: a unit model did not load; is the data generated?\n");
            return 1;
        }
        for (int part = 0; part < mesh.GetPartCount(); ++part) {
            triangles += mesh.GetPartGeometry(part).indices.size() / 3;
        }
    }
    for (const ObjectMesh& object : models.objects) {
        triangles += object.GetGeometry().indices.size() / 3;
    }
    std::printf("load %zu unit and %zu object mesh files (%zu triangles): %7.2f ms best, %7.2f ms mean of %d\n",
                models.units.size(), models.objects.size(), triangles, bestLoad, totalLoad / loads, loads);

    // 320 units spread over the fighting types' animations (not the marker),
    // each at its own time and place.
    std::vector<UnitState> units;
    const std::size_t fighting = models.units.size() - 1;
    int parts = 0;
    for (int i = 0; i < 320; ++i) {
        AnimatedMesh* mesh = &models.units[static_cast<std::size_t>(i) % fighting];
        units.push_back({mesh, 0.0137 * i, {static_cast<float>(i % 20), 0.0f, static_cast<float>(i / 20)}, 0.1f * i});
        parts += mesh->GetPartCount();
    }
    const int frames = shortForm ? 5 : 200;
    limit.Stage("animating the units");
    double bestFrame = 1e30;
    double totalFrame = 0.0;
    float sum = 0.0f;
    for (int frame = 0; frame < frames; ++frame) {
        for (UnitState& unit : units) {
            unit.animationTime += 1.0 / 60.0;
        }
        const Clock::time_point start = Clock::now();
        sum += SampleFrame(units);
        const std::chrono::duration<double, std::micro> took = Clock::now() - start;
        bestFrame = std::min(bestFrame, took.count());
        totalFrame += took.count();
    }
    std::printf("animate 320 units (%d parts) for one frame: %7.1f us best, %7.1f us mean of %d (%.0f ns a part)\n",
                parts, bestFrame, totalFrame / frames, frames, 1000.0 * bestFrame / parts);
    std::printf("(checksum %g)\n", static_cast<double>(sum));
    return 0;
}

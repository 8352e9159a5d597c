// The background battle, headless: eight computer armies of the options'
// default size (40 units each) play five simulated minutes of Last Man On
// The Hill behind the menus at the game's frame time of 1/60 s, through the
// game's own simulation frame. Prints how many simulated seconds pass per
// wall second and the mean and worst cost of a frame; then the same with
// 100 units per army, to show how the cost grows with the count.
//
// Game time runs on a manual clock advanced by exactly one frame each frame;
// the wall clock only measures. The short form plays one simulated second of
// each.
#include "BenchRun.h"
#include "app/Game.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "platform/Clock.h"
#include "platform/Random.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

constexpr float kFrameTime = 1.0f / 60.0f;
constexpr float kSimulatedMinutes = 5.0f;

struct Figures {
    double simulatedSeconds = 0.0;
    double simulatedPerWall = 0.0;
    double meanMicroseconds = 0.0;
    double worstMicroseconds = 0.0;
    std::size_t liveUnitsAtEnd = 0;
};

ArmyUnitCounts CountsFor(std::uint32_t unitsPerArmy)
{
    ArmyUnitCounts counts = Game::ShareOutUnits(unitsPerArmy, kAllowAllUnitTypes);
    const int total =
        counts.smashtors + counts.triangoloids + counts.trajectagons + counts.detagons + counts.artillerators;
    counts.smashtors += static_cast<int>(unitsPerArmy) - total;
    return counts;
}

Figures RunBattle(platform::ManualClock& clock, std::uint32_t unitsPerArmy, int frames)
{
    Game* const game = Game::Instance();
    platform::SeedRand(1);
    game->SetSetting(kSettingGameState, kStateMenus);
    game->EndMatch();
    game->StartMatch();
    GameRules::Instance()->BeginMatch(kModeLastManOnTheHill, kSimulatedMinutes, 0.0f);
    const ArmyUnitCounts counts = CountsFor(unitsPerArmy);
    for (int i = 0; i < 8; ++i) {
        Vec3 position;
        game->CreateArmy(false, counts, position, false, "Player");
    }

    double total = 0.0;
    double worst = 0.0;
    for (int i = 0; i < frames; ++i) {
        clock.Advance(kFrameTime);
        game->SetFrameTime(kFrameTime);
        const auto start = std::chrono::steady_clock::now();
        game->SimulateFrame();
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        total += spent.count();
        worst = std::max(worst, spent.count());
    }
    Figures figures;
    figures.simulatedSeconds = static_cast<double>(frames) * kFrameTime;
    figures.simulatedPerWall = figures.simulatedSeconds / total;
    figures.meanMicroseconds = total / frames * 1e6;
    figures.worstMicroseconds = worst * 1e6;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        figures.liveUnitsAtEnd += army->GetUnits().size();
    }
    game->EndMatch();
    return figures;
}

void Print(const char* title, const Figures& figures)
{
    std::printf("%s %.0f simulated seconds at 1/60 s:\n", title, figures.simulatedSeconds);
    std::printf("  simulated seconds per wall second: %.0f\n", figures.simulatedPerWall);
    std::printf("  frame cost: mean %.1f us, worst %.1f us\n", figures.meanMicroseconds, figures.worstMicroseconds);
    std::printf("  units alive at the end: %zu\n", figures.liveUnitsAtEnd);
}

} // namespace

int main(int argc, char** argv)
{
    const bool shortForm = bench::ShortForm(argc, argv);
    bench::RunLimit limit("bench_battle", bench::RunSeconds(shortForm));
    const int frames = shortForm ? 60 : static_cast<int>(kSimulatedMinutes * 60.0f / kFrameTime);
    std::filesystem::current_path(KV_BENCH_DATA_DIR);
    platform::ManualClock clock;
    platform::SetClock(&clock);
    limit.Stage("starting the game");
    Game::Instance()->Init();

    limit.Stage("playing the battle of 40 units an army");
    Print("8 computer armies of 40 units (the default size),", RunBattle(clock, 40, frames));
    limit.Stage("playing the battle of 100 units an army");
    Print("8 computer armies of 100 units,", RunBattle(clock, 100, frames));

    platform::SetClock(nullptr);
    return 0;
}

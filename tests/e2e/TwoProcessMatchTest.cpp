// Two games play one network match on loopback, each in its own process, the
// way two players do: the test starts this same program twice, once as the
// host and once as the client (one doctest case, picked by name, with the
// side and the ports in the environment). Each side's player puts key and
// mouse records beneath the keyboard and mouse, headless, with a manual
// clock: title, main menu, "Multi-Player", a name typed, then "Host Game" or
// "Connect"; in the lobby the host changes the mode to Body Count over
// "Change" and presses "Ready"; both press "Start" in unit selection, play a
// little, jump past the minute to the statistics and leave by "Done".
//
// Network events come when they come, so the script waits on conditions
// (the next step's), not on pass numbers, waiting on the network's queue
// between passes rather than sleeping; a bound on passes ends a side that
// waits in vain. Each side writes its armies at the match's start and at the
// statistics to a report; the test compares the two.
#include "app/Game.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "gui/guiManager.h"
#include "net/NetworkManager.h"
#include "platform/NetAddress.h"
#include "platform/NullWindow.h"
#include "platform/Random.h"
#include "platform/ScanCodes.h"
#include "platform/TcpListener.h"
#include "platform/UdpSocket.h"
#include "screens/ConnectionScreen.h"
#include "screens/LobbyScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "screens/UnitSelectionScreen.h"

#include "ScriptedPlayer.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using e2e::ScriptedPlayer;

constexpr const char* kSideCase = "one side of the two-process match";
// A side's alarm ends it even if a pass itself hangs.
constexpr unsigned kSideAlarmSeconds = 100;

// Pixel centres of the widgets at 1024x768.
constexpr int kRightButtonX = 911; // "Ready", "Start", the options' "OK"
constexpr int kRightButtonY = 725;

int Screen()
{
    return ScreenManager::Instance()->GetScreenId();
}

bool InState(std::uint32_t state)
{
    return Game::Instance()->GetSetting(kSettingGameState) == state;
}

bool AtTitle()
{
    return InState(kStateMenus) && Screen() == kScreenTitle;
}

// Every army: id, name, colour, and its units when counted.
std::string ArmiesLine(bool withUnits)
{
    std::ostringstream out;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        out << static_cast<int>(army->GetId()) << ' ' << army->GetName() << ' ' << std::hex << army->GetColour()
            << std::dec;
        if (withUnits) {
            out << ' ' << army->GetUnits().size();
        }
        out << ';';
    }
    return out.str() + "\n";
}

// Title, main menu, "Multi-Player", backspaces over "NameGoesHere" and the
// name typed.
void ToConnectionScreen(ScriptedPlayer& player, std::vector<std::uint8_t> name)
{
    name.insert(name.begin(), std::string(ConnectionScreen::kDefaultName).size(), platform::kScanBackspace);
    player.Then("the title", AtTitle, [&player] { player.Click(300, 300); });
    player.Then(
        "the main menu", [] { return Screen() == kScreenMainMenu; }, [&player] { player.Click(650, 388); });
    player.Then(
        "the connection screen", [] { return Screen() == kScreenConnection; }, [&player, name] { player.Type(name); });
}

// Unit selection's "Start" once it shows, a little play, the jump past the
// minute, the statistics and "Done".
void PlayTheMatch(ScriptedPlayer& player, std::string& report)
{
    player.Then(
        "the match", [] { return InState(kStateMatch); }, [&report] { report += ArmiesLine(true); });
    player.Then(
        "a little play", [&player] { return player.pass % 60 == 0; }, [&player] { player.extraSeconds = 61.0; });
    player.Then(
        "the statistics",
        [] {
            return GameRules::Instance()->GetState() == kMatchStatistics &&
                   guiManager::Instance()->FindObject(StatisticsScreen::kPlayWindow, StatisticsScreen::kDoneButton,
                                                      kGuiButton) != nullptr;
        },
        [&player, &report] {
            report += "statistics " + ArmiesLine(false);
            player.Click(874, 57); // "Done"
        });
    player.Then("back at the title", AtTitle, [] {});
}

// "Host Game"; with the client in the lobby, "Change" and Body Count in the
// options, "OK", "Ready"; "Start" once every player is ready.
void ScriptHost(ScriptedPlayer& player, std::string& report)
{
    ToConnectionScreen(player, {platform::kScanH, platform::kScanA, platform::kScanL});
    player.Then(
        "the name typed", [] { return ConnectionScreen::Instance()->TypedName() == "hal"; },
        [&player] { player.Click(235, 127); });
    player.Then(
        "the lobby with the client",
        [] { return Screen() == kScreenLobby && LobbyScreen::Instance()->KickButtonsShown() == 1; },
        [&player] { player.Click(799, 403); });
    player.Then(
        "the options over the lobby", [] { return Screen() == kScreenOptions; },
        [&player] {
            player.Click(134, 616);
            player.ClickAt(player.pass + 4, kRightButtonX, kRightButtonY);
        });
    player.Then(
        "the lobby again", [] { return Screen() == kScreenLobby && LobbyScreen::Instance()->GetOptions().mode == 3; },
        [&player] { player.Click(kRightButtonX, kRightButtonY); });
    player.Then(
        "every player ready",
        [] {
            const UnitSelectionScreen* selection = UnitSelectionScreen::Instance();
            return Screen() == kScreenUnitSelection && selection->IsStartAllowed() &&
                   selection->GetTotal() == selection->GetRequiredTotal();
        },
        [&player] { player.Click(kRightButtonX, kRightButtonY); });
    PlayTheMatch(player, report);
}

// "Connect" on the host heard; "Start" in unit selection.
void ScriptClient(ScriptedPlayer& player, std::string& report)
{
    ToConnectionScreen(player, {platform::kScanV, platform::kScanE, platform::kScanR, platform::kScanA});
    player.Then(
        "the host heard",
        [] {
            return ConnectionScreen::Instance()->TypedName() == "vera" &&
                   ConnectionScreen::Instance()->HostButtonCount() == 1;
        },
        // The first host button's middle: 0.04 right of its left edge, at y 196.
        [&player] { player.Click(static_cast<int>((ConnectionScreen::kHostButtonX + 0.04f) * 1023.0f), 196); });
    player.Then(
        "unit selection", [] { return Screen() == kScreenUnitSelection; },
        [&player] { player.Click(kRightButtonX, kRightButtonY); });
    PlayTheMatch(player, report);
}

// A base whose receive ports and game port are free now.
std::uint16_t FreePortBase()
{
    for (int attempt = 0; attempt < 40; ++attempt) {
        const auto base = static_cast<std::uint16_t>(24000 + ((getpid() + attempt * 7) % 120) * 60);
        platform::UdpSocket udp;
        platform::TcpListener tcp;
        if (udp.BindInRange(base, static_cast<std::uint16_t>(base + 19)) == platform::SocketResult::kOk &&
            udp.BoundPort() == base &&
            tcp.Listen(static_cast<std::uint16_t>(base + 50), 1) == platform::SocketResult::kOk) {
            return base;
        }
    }
    return 0;
}

pid_t StartSide(const std::string& side, std::uint16_t base, const fs::path& report)
{
    // The side inherits this environment: the test's own, and what it plays.
    setenv("KV_E2E_SIDE", side.c_str(), 1);
    setenv("KV_E2E_PORT_BASE", std::to_string(base).c_str(), 1);
    setenv("KV_E2E_REPORT", report.c_str(), 1);
    std::string program = fs::read_symlink("/proc/self/exe").string();
    std::string noSkip = "--no-skip";
    std::string pick = std::string("--test-case=") + kSideCase;
    std::vector<char*> argv = {program.data(), noSkip.data(), pick.data(), nullptr};
    pid_t pid = -1;
    return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

int WaitForSide(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

TEST_CASE("one side of the two-process match" * doctest::skip())
{
    const char* const side = std::getenv("KV_E2E_SIDE");
    const char* const base = std::getenv("KV_E2E_PORT_BASE");
    const char* const reportPath = std::getenv("KV_E2E_REPORT");
    if (!side || !base || !reportPath) {
        MESSAGE("run by the two-process match only");
        return;
    }
    alarm(kSideAlarmSeconds);
    // Nothing leaves this machine, however the side was started.
    platform::SetLoopbackGuard(true);
    const bool hosting = std::string(side) == "host";
    testing::TempDirectory here;
    testing::LinkDataTree(here.Path());
    testing::ManualClockScope clock;
    ScriptedPlayer player(clock);
    std::string report;
    (hosting ? ScriptHost : ScriptClient)(player, report);
    player.seen = [] {
        std::ostringstream out;
        out << "screen " << Screen() << ", name typed " << ConnectionScreen::Instance()->TypedName() << ", hosts heard "
            << NetworkManager::Instance()->Hosts().size() << ", players "
            << NetworkManager::Instance()->Players().size();
        return out.str();
    };
    platform::TakePendingQuit();
    platform::SetInputFocus(true);
    NetworkManager::Instance()->SetConfig(testing::LoopbackNetConfig(static_cast<std::uint16_t>(std::atoi(base))));
    platform::NullWindow window{platform::WindowConfig{}};
    Game* game = Game::Instance();
    game->Init();
    platform::SeedRand(hosting ? 7 : 8);
    game->SetWindow(&window);
    game->SetEventPump(&player);
    CHECK(game->Run() == 0);
    game->SetEventPump(nullptr);
    game->SetWindow(nullptr);
    guiManager::Instance()->Shutdown();
    CAPTURE(std::string(side));
    INFO("still waiting for: " << player.Waiting() << " having seen " << player.lastSeen);
    CHECK(player.Done());
    std::ofstream(reportPath) << report;
}

TEST_CASE("two games on loopback host and join through the lobby, play a match and both reach the statistics")
{
    testing::TempDirectory here;
    const std::uint16_t base = FreePortBase();
    REQUIRE(base != 0);
    const fs::path hostReport = here.Path() / "host.txt";
    const fs::path clientReport = here.Path() / "client.txt";
    const pid_t host = StartSide("host", base, hostReport);
    const pid_t client = StartSide("client", base, clientReport);
    CHECK(WaitForSide(host) == 0);
    CHECK(WaitForSide(client) == 0);
    const std::string hosted = testing::ReadTextFile(hostReport);
    const std::string joined = testing::ReadTextFile(clientReport);
    CAPTURE(hosted);
    CAPTURE(joined);
    // Two players' armies, named as typed, the same on both machines at the
    // start and at the statistics.
    CHECK(hosted.find(" hal ") != std::string::npos);
    CHECK(hosted.find(" vera ") != std::string::npos);
    CHECK(hosted.find("\nstatistics ") != std::string::npos);
    CHECK(hosted == joined);
}

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
#include "platform/EventPump.h"
#include "platform/InputEvents.h"
#include "platform/NetAddress.h"
#include "platform/NullEventPump.h"
#include "platform/NullWindow.h"
#include "platform/QuitRequest.h"
#include "platform/Random.h"
#include "platform/ScanCodes.h"
#include "platform/TcpListener.h"
#include "platform/UdpSocket.h"
#include "screens/ConnectionScreen.h"
#include "screens/LobbyScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "screens/UnitSelectionScreen.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr double kFrameStep = 1.0 / 60.0;
constexpr const char* kSideCase = "one side of the two-process match";
// A side still waiting after this many passes has failed; its alarm ends it
// even if a pass itself hangs.
constexpr int kMostPasses = 60000;
constexpr unsigned kSideAlarmSeconds = 100;

// Pixel centres of the widgets at 1024x768.
constexpr int kMultiPlayerX = 650;
constexpr int kMultiPlayerY = 388;
constexpr int kHostGameX = 235;
constexpr int kHostGameY = 127;
constexpr int kFirstConnectX = 399;
constexpr int kFirstConnectY = 196;
constexpr int kRightButtonX = 911; // "Ready", "Start", the options' "OK"
constexpr int kRightButtonY = 725;
constexpr int kChangeX = 799;
constexpr int kChangeY = 403;
constexpr int kBodyCountX = 134;
constexpr int kBodyCountY = 616;
constexpr int kDoneX = 874;
constexpr int kDoneY = 57;

struct Step {
    std::string name;
    std::function<bool()> ready;
    std::function<void()> act;
};

// The player of one side: timed records (a click's three frames, a key's
// two) and a queue of steps, each waiting for its condition.
class MatchPlayer : public platform::EventPump {
public:
    explicit MatchPlayer(testing::ManualClockScope& clock) : clock_(clock) {}

    platform::PumpResult Pump() override
    {
        ++pass;
        if (const auto due = timed_.find(pass); due != timed_.end()) {
            for (const std::function<void()>& record : due->second) {
                record();
            }
            timed_.erase(due);
        }
        const bool busy = !timed_.empty();
        if (!busy && !steps_.empty() && steps_.front().ready()) {
            steps_.front().act();
            steps_.pop_front();
        } else if (!busy && !steps_.empty()) {
            // Nothing to do until something arrives.
            NetworkManager::Instance()->GetQueue().WaitForAny(std::chrono::milliseconds(1));
        }
        if ((steps_.empty() && !busy) || pass >= kMostPasses) {
            lastSeen = seen ? seen() : std::string();
            platform::PostQuit(0);
        }
        clock_.Advance(pass <= splashPasses ? 1.0 : kFrameStep + extraSeconds);
        extraSeconds = 0.0;
        return headless_.Pump();
    }

    void Then(const std::string& name, std::function<bool()> ready, std::function<void()> act)
    {
        steps_.push_back({name, std::move(ready), std::move(act)});
    }

    std::string Waiting() const { return steps_.empty() ? std::string("nothing") : steps_.front().name; }

    void Click(int x, int y)
    {
        After(1, [this, x, y] { MoveTo(x, y); });
        After(2, [] { Button(true); });
        After(3, [] { Button(false); });
    }

    void Type(std::vector<std::uint8_t> scanCodes)
    {
        int when = 1;
        for (const std::uint8_t code : scanCodes) {
            After(when++, [code] { platform::KeyboardRecords().Push({code, true, 0}); });
            After(when++, [code] { platform::KeyboardRecords().Push({code, false, 0}); });
        }
    }

    // What the side saw when it stopped (the game is shut down after).
    std::function<std::string()> seen;
    std::string lastSeen;
    int pass = 0;
    int splashPasses = 6;
    double extraSeconds = 0.0;

private:
    void After(int passes, std::function<void()> record) { timed_[pass + passes].push_back(std::move(record)); }

    // The mouse counts motion double, so the cursor moves half the distance.
    void MoveTo(int x, int y)
    {
        platform::MouseRecord record;
        record.kind = platform::MouseRecordKind::kMotion;
        record.dx = (x - x_) / 2;
        record.dy = (y - y_) / 2;
        x_ += 2 * record.dx;
        y_ += 2 * record.dy;
        platform::MouseRecords().Push(record);
    }

    static void Button(bool down)
    {
        platform::MouseRecord record;
        record.kind = platform::MouseRecordKind::kButton;
        record.button = 0;
        record.down = down;
        platform::MouseRecords().Push(record);
    }

    testing::ManualClockScope& clock_;
    platform::NullEventPump headless_;
    std::map<int, std::vector<std::function<void()>>> timed_;
    std::deque<Step> steps_;
    int x_ = 512;
    int y_ = 384;
};

int Screen()
{
    return ScreenManager::Instance()->GetScreenId();
}

bool InState(std::uint32_t state)
{
    return Game::Instance()->GetSetting(kSettingGameState) == state;
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
    return out.str();
}

// Backspaces over "NameGoesHere", then the name (lowercase letters).
std::vector<std::uint8_t> NameKeys(const std::string& name)
{
    static const std::map<char, std::uint8_t> kLetters = {
        {'a', platform::kScanA}, {'e', platform::kScanE}, {'h', platform::kScanH}, {'l', platform::kScanL},
        {'n', platform::kScanN}, {'o', platform::kScanO}, {'r', platform::kScanR}, {'t', platform::kScanT},
        {'s', platform::kScanS}, {'i', platform::kScanI}, {'v', platform::kScanV}};
    std::vector<std::uint8_t> keys(std::string(ConnectionScreen::kDefaultName).size(), platform::kScanBackspace);
    for (const char letter : name) {
        keys.push_back(kLetters.at(letter));
    }
    return keys;
}

struct SideReport {
    std::string start;
    std::string statistics;
};

// Title, main menu, "Multi-Player", the name typed.
void ToConnectionScreen(MatchPlayer& player, const std::string& name)
{
    player.Then(
        "the title", [] { return InState(kStateMenus) && Screen() == kScreenTitle; },
        [&player] { player.Click(300, 300); });
    player.Then(
        "the main menu", [] { return Screen() == kScreenMainMenu; },
        [&player] { player.Click(kMultiPlayerX, kMultiPlayerY); });
    player.Then(
        "the connection screen", [] { return Screen() == kScreenConnection; },
        [&player, name] { player.Type(NameKeys(name)); });
}

// Unit selection's "Start" once it shows, a little play, the jump past the
// minute, the statistics and "Done".
void PlayTheMatch(MatchPlayer& player, SideReport& report)
{
    player.Then(
        "the match", [] { return InState(kStateMatch); }, [&report] { report.start = ArmiesLine(true); });
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
            report.statistics = ArmiesLine(false);
            player.Click(kDoneX, kDoneY);
        });
    player.Then(
        "back at the title", [] { return InState(kStateMenus) && Screen() == kScreenTitle; }, [] {});
}

void ScriptHost(MatchPlayer& player, SideReport& report)
{
    ToConnectionScreen(player, "hal");
    player.Then(
        "the name typed", [] { return ConnectionScreen::Instance()->TypedName() == "hal"; },
        [&player] { player.Click(kHostGameX, kHostGameY); });
    player.Then(
        "the lobby with the client",
        [] { return Screen() == kScreenLobby && LobbyScreen::Instance()->KickButtonsShown() == 1; },
        [&player] { player.Click(kChangeX, kChangeY); });
    player.Then(
        "the options over the lobby", [] { return Screen() == kScreenOptions; },
        [&player] { player.Click(kBodyCountX, kBodyCountY); });
    player.Then(
        "Body Count chosen", [] { return true; }, [&player] { player.Click(kRightButtonX, kRightButtonY); });
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

void ScriptClient(MatchPlayer& player, SideReport& report)
{
    ToConnectionScreen(player, "vera");
    player.Then(
        "the host heard",
        [] {
            return ConnectionScreen::Instance()->TypedName() == "vera" &&
                   ConnectionScreen::Instance()->HostButtonCount() == 1;
        },
        [&player] { player.Click(kFirstConnectX, kFirstConnectY); });
    player.Then(
        "the lobby", [] { return Screen() == kScreenLobby; }, [] {});
    player.Then(
        "unit selection", [] { return Screen() == kScreenUnitSelection; },
        [&player] { player.Click(kRightButtonX, kRightButtonY); });
    PlayTheMatch(player, report);
}

NetConfig SideConfig(std::uint16_t base)
{
    NetConfig config;
    config.udpBasePort = base;
    config.udpLastPort = static_cast<std::uint16_t>(base + 19);
    config.announceFirstPort = base;
    config.announceLastPort = static_cast<std::uint16_t>(base + 19);
    config.announceAddress = "127.255.255.255";
    config.tcpPort = static_cast<std::uint16_t>(base + 50);
    return config;
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
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        environment.emplace_back(*entry);
    }
    environment.push_back("KV_E2E_SIDE=" + side);
    environment.push_back("KV_E2E_PORT_BASE=" + std::to_string(base));
    environment.push_back("KV_E2E_REPORT=" + report.string());
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string program = fs::read_symlink("/proc/self/exe").string();
    std::string noSkip = "--no-skip";
    std::string pick = std::string("--test-case=") + kSideCase;
    std::vector<char*> argv = {program.data(), noSkip.data(), pick.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) {
        return -1;
    }
    return pid;
}

int WaitForSide(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

SideReport ReadReport(const fs::path& path)
{
    SideReport report;
    std::ifstream in(path);
    std::getline(in, report.start);
    std::getline(in, report.statistics);
    return report;
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
    for (const fs::directory_entry& entry : fs::directory_iterator(testing::DataDirectory())) {
        fs::create_directory_symlink(entry.path(), here.Path() / entry.path().filename());
    }
    testing::ManualClockScope clock;
    MatchPlayer player(clock);
    SideReport report;
    if (hosting) {
        ScriptHost(player, report);
    } else {
        ScriptClient(player, report);
    }
    player.seen = [] {
        std::ostringstream out;
        out << "screen " << Screen() << ", name typed " << ConnectionScreen::Instance()->TypedName() << ", hosts heard "
            << NetworkManager::Instance()->Hosts().size() << ", host buttons "
            << ConnectionScreen::Instance()->HostButtonCount() << ", players "
            << NetworkManager::Instance()->Players().size() << ", udp port " << NetworkManager::Instance()->GetUdpPort()
            << ", hosting " << NetworkManager::Instance()->IsHosting();
        return out.str();
    };
    platform::TakePendingQuit();
    platform::SetInputFocus(true);
    NetworkManager::Instance()->SetConfig(SideConfig(static_cast<std::uint16_t>(std::atoi(base))));
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
    CHECK(player.Waiting() == "nothing");
    std::ofstream(reportPath) << report.start << '\n' << report.statistics << '\n';
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
    const SideReport hosted = ReadReport(hostReport);
    const SideReport joined = ReadReport(clientReport);
    CAPTURE(hosted.start);
    CAPTURE(joined.start);
    // Two players' armies, named as typed, the same on both machines.
    CHECK(hosted.start.find(" hal ") != std::string::npos);
    CHECK(hosted.start.find(" vera ") != std::string::npos);
    CHECK(hosted.start == joined.start);
    CHECK_FALSE(hosted.statistics.empty());
    CHECK(hosted.statistics == joined.statistics);
}

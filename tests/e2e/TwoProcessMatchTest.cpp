// Two games play one network match on loopback, each in its own process, the
// way two players do: the test starts this same program twice, once as the
// host and once as the client (one doctest case, picked by name, with the
// side, the ports and what to play in the environment). Each side's player
// puts key and mouse records beneath the keyboard and mouse, headless, with
// a manual clock: title, main menu, "Multi-Player", a name typed, then "Host
// Game" or "Connect"; in the lobby the host picks Steal the Bacon and eight
// units an army over "Change" and presses "Ready"; both press "Start" in
// unit selection. Then one of three plays:
//
//  - the fight: the host's army walks to the bacon in the middle, the
//    client's attacks it (the camera taken there on the minimap, every unit
//    selected with F2, a click on an enemy), they fight, the match runs out;
//    once the fight has settled on the statistics screen each side writes
//    its ranking with every army's figures and its live units, and leaves
//    by "Done". The two must agree: the figures exactly, the units and their
//    health exactly, the positions within a step of the host's at one
//    moment.
//  - the client leaves by Escape: the host says who left and plays on with
//    the client's army still on the field.
//  - the host leaves by Escape: the client says so and is back at the title.
//
// Network events come when they come, so the script waits on conditions
// (the next step's), not on pass numbers, waiting on the network's queue
// between passes rather than sleeping; a bound on passes ends a side that
// waits in vain. The two processes' clocks run apart, so nothing is compared
// until the fight has settled, and the client's units against the host's
// battle as it stood at one pass.
#include "app/Game.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "game/Unit.h"
#include "gui/guiManager.h"
#include "input/SelectionController.h"
#include "net/NetConfig.h"
#include "net/NetworkManager.h"
#include "platform/NetAddress.h"
#include "platform/NullWindow.h"
#include "platform/Random.h"
#include "platform/ScanCodes.h"
#include "render/ScreenProjection.h"
#include "render/TextManager.h"
#include "screens/ConnectionScreen.h"
#include "screens/LobbyScreen.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "screens/UnitSelectionScreen.h"

#include "NetPortLease.h"
#include "ScriptedPlayer.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
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
// A side's alarm ends it even if a pass itself hangs; before it, a side still
// waiting stops by itself and says what for.
constexpr unsigned kSideAlarmSeconds = 100;
constexpr double kSideGiveUpSeconds = 80.0;

// Pixel centres of the widgets at 1024x768.
constexpr int kRightButtonX = 911; // "Ready", "Start", the options' "OK"
constexpr int kRightButtonY = 725;
constexpr int kStealTheBaconX = 134; // the second game-type box
constexpr int kStealTheBaconY = 536;
// On the maximum-units slider: eight units, which unit selection shares out
// whole (2, 2, 2, 1, 1).
constexpr int kEightUnitsX = 104;
constexpr int kEightUnitsY = 392;
constexpr std::uint32_t kUnitsAnArmy = 8;

// How long the host waits, once the statistics are up, for the fight to
// settle: no live unit hurt and none dead for this many passes of its clock,
// six seconds of the match, longer than any attack's round (a Trajectagon
// shoots every 3.3 s, a Smashtor's leap lasts at most 5 s), so a fight that
// still lands blows shows it. Its units need not have stopped walking or
// fighting: a fight can go on for ever without a blow landing (a unit blown
// into a crater too steep to climb keeps trying to close in on a target whose
// high shots land on the crater's rim; a shooter flees a melee unit round the
// map, never caught and never turning), so a battle whose every walk and
// attack has ended may never come.
constexpr int kSettledPasses = 360;
// Since units may still be on the move, the host writes down where its
// units stand at every pass from its report until the client's answer, and
// the client's units must agree with one of those moments: the same units
// with the same health, each within this of where the host had it.
constexpr double kSamePlace = 0.25;

enum class Play { kFight, kClientLeaves, kHostLeaves };

Play PlayNamed(const std::string& name)
{
    if (name == "client-leaves") {
        return Play::kClientLeaves;
    }
    return name == "host-leaves" ? Play::kHostLeaves : Play::kFight;
}

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

SelectionController* Selection()
{
    return SelectionController::Instance();
}

Army* EnemyArmy()
{
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        if (army.get() != Selection()->GetArmy()) {
            return army.get();
        }
    }
    return nullptr;
}

// The text box of that name holds the line.
bool BoxSays(const std::string& box, const std::string& line)
{
    const TextBox* lines = TextManager::Instance()->GetTextBox(box);
    if (lines == nullptr) {
        return false;
    }
    const std::vector<std::string> texts = lines->GetLines();
    return std::find(texts.begin(), texts.end(), line) != texts.end();
}

bool ConsoleSays(const std::string& line)
{
    return BoxSays("ChatConsole", line);
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

// Where the player's camera stands from the point it looks at.
std::string CameraLine()
{
    const CameraView& view = Game::Instance()->GetCamera().GetView();
    const Vec3 offset = view.GetEye() - view.GetAt();
    char line[96] = {};
    std::snprintf(line, sizeof line, "camera %.1f %.1f %.1f\n", static_cast<double>(offset.x),
                  static_cast<double>(offset.y), static_cast<double>(offset.z));
    return line;
}

// The statistics screen's rows, in its order, as the screen prints them.
std::string ResultLines()
{
    std::string lines;
    for (const std::unique_ptr<Army>& army : GameRules::Instance()->GetRankedArmies()) {
        char line[160] = {};
        std::snprintf(line, sizeof line, "result %d %s %d %d %d %.2f\n", static_cast<int>(army->GetId()),
                      army->GetName().c_str(), army->GetDamageDealt(), army->GetDamageTaken(), army->GetFlagCount(),
                      static_cast<double>(army->GetFlagTime()));
        lines += line;
    }
    return lines;
}

// Every live unit: army id, index, hit points and where it stands.
std::string UnitLines()
{
    std::string lines;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            const Vec3 at = unit->GetPosition();
            char line[160] = {};
            std::snprintf(line, sizeof line, "unit %d %d %d %.3f %.3f\n", static_cast<int>(unit->GetArmyId()),
                          static_cast<int>(unit->GetIndex()), unit->GetHitPoints(), static_cast<double>(at.x),
                          static_cast<double>(at.z));
            lines += line;
        }
    }
    return lines;
}

// Every live unit's health by (army, index).
std::map<std::pair<int, int>, int> LiveHealth()
{
    std::map<std::pair<int, int>, int> units;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            units[{unit->GetArmyId(), unit->GetIndex()}] = unit->GetHitPoints();
        }
    }
    return units;
}

// Watches the fight pass by pass for the settling above.
class SettleWatch {
public:
    bool Settled(int pass)
    {
        std::map<std::pair<int, int>, int> now = LiveHealth();
        if (since_ < 0 || now != health_) {
            since_ = pass;
            health_ = std::move(now);
        }
        return pass - since_ >= kSettledPasses;
    }

private:
    int since_ = -1;
    std::map<std::pair<int, int>, int> health_;
};

// One moment of the battle on a line: the pass, then every live unit's army
// id, index, hit points and place.
std::string MomentLine(int pass)
{
    std::string line = "moment " + std::to_string(pass);
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            const Vec3 at = unit->GetPosition();
            char fields[96] = {};
            std::snprintf(fields, sizeof fields, " %d %d %d %.3f %.3f", static_cast<int>(unit->GetArmyId()),
                          static_cast<int>(unit->GetIndex()), unit->GetHitPoints(), static_cast<double>(at.x),
                          static_cast<double>(at.z));
            line += fields;
        }
    }
    return line + "\n";
}

bool StatisticsShown()
{
    return GameRules::Instance()->GetState() == kMatchStatistics &&
           guiManager::Instance()->FindObject(StatisticsScreen::kPlayWindow, StatisticsScreen::kDoneButton,
                                              kGuiButton) != nullptr;
}

// A click with the button on a point found now, from the next pass on.
void ClickOnPoint(ScriptedPlayer& player, const Vec2& point, int button)
{
    const int x = static_cast<int>(point.x);
    const int y = static_cast<int>(point.y);
    player.At(player.pass + 1, [&player, x, y] { player.MoveTo(x, y); });
    player.PressAt(player.pass + 2, button);
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

// The end of the fight on the statistics screen: the host, which alone
// decides the battle, waits for the fight to settle (its army may still be
// finishing off the last enemies when the clock runs out), reports its
// ranking, its figures and its live units, says "ok" in the match's chat and
// writes down its battle at every pass until the client answers; the client
// reports the moment it reads that line, from the host's states up to it,
// and answers "ok". Then each leaves by "Done".
void ReportTheEnd(ScriptedPlayer& player, std::string& report, bool hosting)
{
    player.Then("the statistics", StatisticsShown, [] {});
    const auto reportAndSayOk = [&player, &report] {
        report += "statistics " + ArmiesLine(false) + ResultLines() + UnitLines();
        player.Type({platform::kScanGrave, platform::kScanO, platform::kScanK, platform::kScanReturn});
    };
    if (hosting) {
        auto watch = std::make_shared<SettleWatch>();
        player.Then(
            "the fight settled", [&player, watch] { return watch->Settled(player.pass); },
            [&player, &report, reportAndSayOk] {
                reportAndSayOk();
                report += MomentLine(player.pass);
                player.everyPass = [&player, &report] { report += MomentLine(player.pass); };
            });
        player.Then(
            "the client's report", [] { return ConsoleSays("vera >> ok"); },
            [&player] {
                player.everyPass = nullptr;
                player.Click(874, 57); // "Done"
            });
    } else {
        player.Then(
            "the host's report", [] { return ConsoleSays("hal >> ok"); },
            [&player, reportAndSayOk] {
                reportAndSayOk();
                player.ClickAt(player.pass + 10, 874, 57); // "Done"
            });
    }
    player.Then("back at the title", AtTitle, [] {});
}

// The host: every unit (F2) to the bacon in the middle, by a click on the
// minimap; there it waits for the client's attack, and fights back.
void HostFights(ScriptedPlayer& player, std::string& report)
{
    player.Then(
        "the match", [] { return InState(kStateMatch) && Selection()->GetArmy() != nullptr; },
        [&player, &report] {
            report += "start " + ArmiesLine(true) + CameraLine();
            player.TapAt(player.pass + 1, platform::kScanF2);
        });
    player.Then(
        "the army selected",
        [] { return Selection()->GetSelected().size() == Selection()->GetArmy()->GetUnits().size(); },
        [&player] {
            ClickOnPoint(player, Selection()->GetMinimapLayout().WorldToScreen(0.0f, 0.0f), e2e::kLeftButton);
        });
    player.Then(
        "the army walking to the middle",
        [] {
            const std::vector<Unit*>& selected = Selection()->GetSelected();
            return std::any_of(selected.begin(), selected.end(),
                               [](const Unit* unit) { return unit->GetOrder() == kOrderMove; });
        },
        [] {});
    ReportTheEnd(player, report, true);
}

// The client: the camera over the host's army by a right-click on the
// minimap, every unit selected (F2), and a click on an enemy unit there;
// clicked again until the army engages, since the enemy walks meanwhile.
void ClientAttacks(ScriptedPlayer& player, std::string& report)
{
    player.Then(
        "the match", [] { return InState(kStateMatch) && Selection()->GetArmy() != nullptr && EnemyArmy(); },
        [&player, &report] {
            report += "start " + ArmiesLine(true) + CameraLine();
            const Vec3 centre = EnemyArmy()->GetCentre().value_or(Vec3());
            ClickOnPoint(player, Selection()->GetMinimapLayout().WorldToScreen(centre.x, centre.z), e2e::kRightButton);
            player.TapAt(player.pass + 5, platform::kScanF2);
        });
    player.Then(
        "the army selected",
        [] { return Selection()->GetSelected().size() == Selection()->GetArmy()->GetUnits().size(); }, [] {});
    auto lastClick = std::make_shared<int>(-100);
    player.Then(
        "the army engaging the host's",
        [&player, lastClick] {
            const std::vector<Unit*>& selected = Selection()->GetSelected();
            const bool engaged = !selected.empty() && std::all_of(selected.begin(), selected.end(), [](const Unit* u) {
                // The host's unit states may already show the attack under way.
                const bool fighting =
                    u->GetOrder() == kOrderEngage || u->GetOrder() == kOrderAttack || u->GetOrder() == kOrderBusy;
                return fighting && u->GetTargets().targetArmy == EnemyArmy();
            });
            if (engaged || player.pass - *lastClick < 10) {
                return engaged;
            }
            // The enemy unit nearest the screen's middle, where the camera looks.
            const ScreenProjection projection(Game::Instance()->GetCamera().GetView(), 1024.0f, 768.0f);
            float best = 1e9f;
            Vec2 spot;
            for (const std::unique_ptr<Unit>& unit : EnemyArmy()->GetUnits()) {
                Vec2 at;
                if (projection.ToScreen(unit->GetPosition(), at) && Selection()->PickUnit(at.x, at.y) == unit.get()) {
                    const float off = std::hypot(at.x - 512.0f, at.y - 300.0f);
                    if (off < best) {
                        best = off;
                        spot = at;
                    }
                }
            }
            if (best < 1e9f) {
                ClickOnPoint(player, spot, e2e::kLeftButton);
            } else {
                // No enemy in sight (it walked on, or was never there when a
                // slow start found it): the camera over it again, which drops
                // the selection, and every unit selected again.
                const Vec3 centre = EnemyArmy()->GetCentre().value_or(Vec3());
                ClickOnPoint(player, Selection()->GetMinimapLayout().WorldToScreen(centre.x, centre.z),
                             e2e::kRightButton);
                player.TapAt(player.pass + 5, platform::kScanF2);
            }
            *lastClick = player.pass;
            return false;
        },
        [] {});
    ReportTheEnd(player, report, false);
}

// The client goes by Escape a second into the match; the host must say who
// left, keep the client's army as it stood and play on.
void HostSeesClientLeave(ScriptedPlayer& player, std::string& report)
{
    player.Then(
        "the match", [] { return InState(kStateMatch) && EnemyArmy() != nullptr; },
        [&report] { report += "start " + ArmiesLine(true); });
    player.Then(
        "the client gone", [] { return ConsoleSays("vera has left the game."); },
        [&player, &report] {
            report += "left " + ArmiesLine(true);
            report += NetworkManager::Instance()->Players().empty() ? "nobody joined\n" : "still joined\n";
            // Half a second on, still in the match, then Escape.
            player.At(player.pass + 30, [&report] {
                const bool playing = InState(kStateMatch) && GameRules::Instance()->GetState() == kMatchGameOn;
                report += playing ? "played on\n" : "match ended\n";
            });
            player.TapAt(player.pass + 31, platform::kScanEscape);
        });
    player.Then("back at the title", AtTitle, [] {});
}

void ClientLeaves(ScriptedPlayer& player, std::string& report)
{
    player.Then(
        "the match", [] { return InState(kStateMatch); },
        [&player, &report] {
            report += "start " + ArmiesLine(true);
            player.TapAt(player.pass + 60, platform::kScanEscape);
        });
    player.Then("back at the title", AtTitle, [&report] { report += "left\n"; });
}

// The host goes by Escape once the client has said "ok" from its match, so
// the client is surely playing when its host leaves.
void HostLeaves(ScriptedPlayer& player, std::string& report)
{
    player.Then(
        "the match", [] { return InState(kStateMatch); }, [&report] { report += "start " + ArmiesLine(true); });
    player.Then(
        "the client playing", [] { return ConsoleSays("vera >> ok"); },
        [&player] { player.TapAt(player.pass + 30, platform::kScanEscape); });
    player.Then("back at the title", AtTitle, [&report] { report += "left\n"; });
}

void ClientSeesHostLeave(ScriptedPlayer& player, std::string& report)
{
    player.Then(
        "the match", [] { return InState(kStateMatch); },
        [&player, &report] {
            report += "start " + ArmiesLine(true);
            player.Type({platform::kScanGrave, platform::kScanO, platform::kScanK, platform::kScanReturn});
        });
    player.Then(
        "back at the title", [] { return AtTitle() && ConsoleSays("The host has left the game."); },
        [&report] { report += "host gone, at the title\n"; });
}

// "Host Game"; with the client in the lobby, "Change", Steal the Bacon and
// eight units in the options, "OK", "Ready"; "Start" once every player is
// ready.
void ScriptHost(ScriptedPlayer& player, std::string& report, Play play)
{
    ToConnectionScreen(player, {platform::kScanH, platform::kScanA, platform::kScanL});
    player.Then(
        "the name typed", [] { return ConnectionScreen::Instance()->TypedName() == "hal"; },
        [&player] { player.Click(235, 127); });
    // The client says "ok" in the lobby's chat once it has its list of
    // players: only then does the host go on.
    player.Then(
        "the lobby with the client",
        [] {
            return Screen() == kScreenLobby && LobbyScreen::Instance()->KickButtonsShown() == 1 &&
                   BoxSays(LobbyScreen::kChatBox, "vera >> ok");
        },
        [&player, &report] {
            for (const std::string& line : LobbyScreen::Instance()->NameLines()) {
                report += "lobby" + line + "\n";
            }
            player.Click(799, 403);
        });
    player.Then(
        "the options over the lobby", [] { return Screen() == kScreenOptions; },
        [&player] {
            player.Click(kStealTheBaconX, kStealTheBaconY);
            player.ClickAt(player.pass + 4, kEightUnitsX, kEightUnitsY);
            player.ClickAt(player.pass + 7, kRightButtonX, kRightButtonY);
        });
    player.Then(
        "the lobby again",
        [] {
            const GameOptions& options = LobbyScreen::Instance()->GetOptions();
            return Screen() == kScreenLobby && options.mode == 1 && options.maxUnits == kUnitsAnArmy;
        },
        [&player] { player.Click(kRightButtonX, kRightButtonY); });
    player.Then(
        "every player ready",
        [] {
            const UnitSelectionScreen* selection = UnitSelectionScreen::Instance();
            return Screen() == kScreenUnitSelection && selection->IsStartAllowed() &&
                   selection->GetTotal() == selection->GetRequiredTotal();
        },
        [&player] { player.Click(kRightButtonX, kRightButtonY); });
    switch (play) {
    case Play::kFight:
        HostFights(player, report);
        break;
    case Play::kClientLeaves:
        HostSeesClientLeave(player, report);
        break;
    case Play::kHostLeaves:
        HostLeaves(player, report);
        break;
    }
}

// "Connect" on the host heard; "Start" in unit selection.
void ScriptClient(ScriptedPlayer& player, std::string& report, Play play)
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
        "the lobby with its names",
        [] { return Screen() == kScreenLobby && LobbyScreen::Instance()->NameLines().size() == 2; },
        [&player, &report] {
            for (const std::string& line : LobbyScreen::Instance()->NameLines()) {
                report += "lobby" + line + "\n";
            }
            player.Type({platform::kScanO, platform::kScanK, platform::kScanReturn});
        });
    player.Then(
        "unit selection", [] { return Screen() == kScreenUnitSelection; },
        [&player] { player.Click(kRightButtonX, kRightButtonY); });
    switch (play) {
    case Play::kFight:
        ClientAttacks(player, report);
        break;
    case Play::kClientLeaves:
        ClientLeaves(player, report);
        break;
    case Play::kHostLeaves:
        ClientSeesHostLeave(player, report);
        break;
    }
}

pid_t StartSide(const std::string& side, const std::string& play, std::uint16_t base, const fs::path& report)
{
    // The side inherits this environment: the test's own, and what it plays.
    setenv("KV_E2E_SIDE", side.c_str(), 1);
    setenv("KV_E2E_PLAY", play.c_str(), 1);
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

struct Reports {
    std::string host;
    std::string client;
    // The host's moments, apart: there may be hundreds.
    std::vector<std::string> moments;
};

// The report's moment lines taken out of it.
std::vector<std::string> TakeMoments(std::string& report)
{
    std::vector<std::string> moments;
    std::string rest;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("moment ", 0) == 0) {
            moments.push_back(line);
        } else {
            rest += line + "\n";
        }
    }
    report = rest;
    return moments;
}

// Both sides of one play, run to their ends; their reports.
Reports PlayBothSides(const std::string& play)
{
    testing::TempDirectory here;
    // Leased by this process, which outlives both sides, so no other suite
    // takes the block while they play.
    const std::uint16_t base = testing::LeaseNetPortBase();
    REQUIRE(base != 0);
    const fs::path hostReport = here.Path() / "host.txt";
    const fs::path clientReport = here.Path() / "client.txt";
    const pid_t host = StartSide("host", play, base, hostReport);
    const pid_t client = StartSide("client", play, base, clientReport);
    CHECK(WaitForSide(host) == 0);
    CHECK(WaitForSide(client) == 0);
    Reports reports{testing::ReadTextFile(hostReport), testing::ReadTextFile(clientReport), {}};
    reports.moments = TakeMoments(reports.host);
    return reports;
}

// The lines of a report that start with the word.
std::vector<std::string> LinesStarting(const std::string& report, const std::string& word)
{
    std::vector<std::string> lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(word + " ", 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

struct UnitSeen {
    int hitPoints = 0;
    double x = 0.0;
    double z = 0.0;
};

using UnitsSeen = std::map<std::pair<int, int>, UnitSeen>;

// The live units of a report by (army, index).
UnitsSeen UnitsOf(const std::string& report)
{
    UnitsSeen units;
    for (const std::string& line : LinesStarting(report, "unit")) {
        std::istringstream in(line.substr(5));
        int army = 0;
        int index = 0;
        UnitSeen seen;
        in >> army >> index >> seen.hitPoints >> seen.x >> seen.z;
        units[{army, index}] = seen;
    }
    return units;
}

// The live units of a moment line.
UnitsSeen UnitsAt(const std::string& moment)
{
    UnitsSeen units;
    std::istringstream in(moment.substr(7));
    int pass = 0;
    in >> pass;
    int army = 0;
    int index = 0;
    UnitSeen seen;
    while (in >> army >> index >> seen.hitPoints >> seen.x >> seen.z) {
        units[{army, index}] = seen;
    }
    return units;
}

// How far the client's units stand from the host's: the farthest any of
// them is from where the host had it, or nothing when the two do not hold
// the same units with the same health.
std::optional<double> Farthest(const UnitsSeen& joined, const UnitsSeen& hosted)
{
    if (joined.size() != hosted.size()) {
        return std::nullopt;
    }
    double farthest = 0.0;
    for (const auto& [key, seen] : hosted) {
        const auto other = joined.find(key);
        if (other == joined.end() || other->second.hitPoints != seen.hitPoints) {
            return std::nullopt;
        }
        farthest = std::max(farthest, std::hypot(other->second.x - seen.x, other->second.z - seen.z));
    }
    return farthest;
}

} // namespace

TEST_CASE("one side of the two-process match" * doctest::skip())
{
    const char* const side = std::getenv("KV_E2E_SIDE");
    const char* const play = std::getenv("KV_E2E_PLAY");
    const char* const base = std::getenv("KV_E2E_PORT_BASE");
    const char* const reportPath = std::getenv("KV_E2E_REPORT");
    if (!side || !play || !base || !reportPath) {
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
    player.realSecondsAllowed = kSideGiveUpSeconds;
    std::string report;
    (hosting ? ScriptHost : ScriptClient)(player, report, PlayNamed(play));
    player.seen = [] {
        std::ostringstream out;
        out << "screen " << Screen() << ", name typed " << ConnectionScreen::Instance()->TypedName() << ", hosts heard "
            << NetworkManager::Instance()->Hosts().size() << ", players "
            << NetworkManager::Instance()->Players().size() << ", match state " << GameRules::Instance()->GetState()
            << ", udp port " << NetworkManager::Instance()->GetUdpPort();
        return out.str();
    };
    platform::TakePendingQuit();
    platform::SetInputFocus(true);
    NetConfig config = testing::LoopbackNetConfig(static_cast<std::uint16_t>(std::atoi(base)));
    // Each side's clock runs many times faster than real time, and faster
    // still than the other's when that one is kept waiting for the processor:
    // the few game seconds a host gives a join, and a client a silent host,
    // could pass in a fraction of a real second.
    config.joinWaitSeconds = 3600.0f;
    config.hostForgetSeconds = 3600.0f;
    NetworkManager::Instance()->SetConfig(config);
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
    const Reports reports = PlayBothSides("fight");
    CAPTURE(reports.host);
    CAPTURE(reports.client);
    // Both lobbies listed the host first, then the client.
    const std::vector<std::string> lobby = {"lobby 1: hal", "lobby 2: vera"};
    CHECK(LinesStarting(reports.host, "lobby") == lobby);
    CHECK(LinesStarting(reports.client, "lobby") == lobby);
    // Two players' armies, named as typed, the same on both machines at the
    // start and at the statistics.
    CHECK(reports.host.find(" hal ") != std::string::npos);
    CHECK(reports.host.find(" vera ") != std::string::npos);
    CHECK(LinesStarting(reports.host, "start") == LinesStarting(reports.client, "start"));
    // Each player's first look at its army: from 35 along x and z and 50 up.
    const std::vector<std::string> camera = {"camera 35.0 50.0 35.0"};
    CHECK(LinesStarting(reports.host, "camera") == camera);
    CHECK(LinesStarting(reports.client, "camera") == camera);
    CHECK(LinesStarting(reports.host, "statistics").size() == 1);
    CHECK(LinesStarting(reports.host, "statistics") == LinesStarting(reports.client, "statistics"));

    // The same ranking and figures on both: the host's.
    const std::vector<std::string> results = LinesStarting(reports.host, "result");
    REQUIRE(results.size() == 2);
    CHECK(results == LinesStarting(reports.client, "result"));
    int damage = 0;
    double flagTime = 0.0;
    for (const std::string& line : results) {
        std::istringstream in(line.substr(7));
        int id = 0;
        std::string name;
        int dealt = 0;
        int taken = 0;
        int flags = 0;
        double seconds = 0.0;
        in >> id >> name >> dealt >> taken >> flags >> seconds;
        damage += dealt;
        flagTime += seconds;
    }
    // There was a fight, and the bacon was held.
    CHECK(damage > 0);
    CHECK(flagTime > 0.0);

    // The same units live on both, with the same health, where the host had
    // them at one of its moments: the one the client's units are nearest.
    CHECK(UnitsOf(reports.host).size() == UnitsOf(reports.client).size());
    REQUIRE_FALSE(reports.moments.empty());
    const UnitsSeen joined = UnitsOf(reports.client);
    std::optional<double> nearest;
    std::string nearestMoment;
    for (const std::string& moment : reports.moments) {
        const std::optional<double> off = Farthest(joined, UnitsAt(moment));
        if (off && (!nearest || *off < *nearest)) {
            nearest = off;
            nearestMoment = moment;
        }
    }
    CAPTURE(reports.moments.front());
    CAPTURE(nearestMoment);
    REQUIRE(nearest.has_value());
    CHECK(*nearest <= kSamePlace);
}

TEST_CASE("a client that leaves a network match is named on the host, whose match plays on with its army")
{
    const Reports reports = PlayBothSides("client-leaves");
    CAPTURE(reports.host);
    CAPTURE(reports.client);
    CHECK(reports.client.find("\nleft\n") != std::string::npos);
    // The client's army still stands on the host's field, whole, and nobody is joined.
    const std::vector<std::string> start = LinesStarting(reports.host, "start");
    const std::vector<std::string> left = LinesStarting(reports.host, "left");
    REQUIRE(start.size() == 1);
    REQUIRE(left.size() == 1);
    CHECK(left[0].substr(5) == start[0].substr(6));
    CHECK(reports.host.find("nobody joined\n") != std::string::npos);
    CHECK(reports.host.find("played on\n") != std::string::npos);
}

TEST_CASE("a host that leaves a network match ends it on the client, which says so and returns to the menus")
{
    const Reports reports = PlayBothSides("host-leaves");
    CAPTURE(reports.host);
    CAPTURE(reports.client);
    CHECK(reports.host.find("\nleft\n") != std::string::npos);
    CHECK(reports.client.find("host gone, at the title\n") != std::string::npos);
}

// Game: the match set-up (armies, start slots, the computer armies' share of
// units, the world of a new match), the clearing of a battle at a match's
// end, and the leaving of a finished match.
#include "app/Game.h"

#include "app/GameNetWorld.h"
#include "core/ErrorLog.h"
#include "core/EventTimer.h"
#include "game/ComputerArmy.h"
#include "game/GameRules.h"
#include "game/GroupMover.h"
#include "game/WorldPopulation.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/SelectionController.h"
#include "net/NetworkManager.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "render/ParticleManager.h"
#include "render/Renderer.h"
#include "render/TextManager.h"
#include "screens/HudOverlay.h"
#include "screens/PlayScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "sound/SoundManager.h"
#include "world/MeshLibrary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>

namespace {

constexpr std::uint32_t kArmyPoints = 4000;
constexpr std::uint32_t kMapCount = 4;
constexpr std::uint32_t kMaxUnitsPerArmy = 100;
// A network army's budget: every unit costs one point, so it buys the most
// units the options allow an army.
constexpr std::uint32_t kNetworkArmyPoints = 120;
static_assert(kNetworkArmyPoints >= kMaxUnitsPerArmy);
constexpr std::uint32_t kMaxComputerArmies = 7;
// The player's first look at the army: from 50 further out and 50 up; in a
// network match from a fixed side, 35 along x and z and 50 up.
constexpr float kArmyViewDistance = 50.0f;
constexpr Vec3 kNetworkArmyView{35.0f, 50.0f, 35.0f};
constexpr float kRestartMinutes = 1.0f;

void BuyUnits(Army& army, std::uint32_t type, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!army.AddUnit(type)) {
            return;
        }
    }
}

// Draws slots at random until a free one of this map comes up; none when
// every filled slot is taken (more armies than the map has starts).
std::optional<std::size_t> ClaimStartSlot(std::array<StartSlot, kStartSlotCount>& slots)
{
    const bool anyFree =
        std::any_of(slots.begin(), slots.end(), [](const StartSlot& slot) { return slot.filled && !slot.taken; });
    if (!anyFree) {
        return std::nullopt;
    }
    for (;;) {
        const auto slot = static_cast<std::size_t>(platform::Rand() % static_cast<int>(kStartSlotCount));
        if (slots[slot].filled && !slots[slot].taken) {
            slots[slot].taken = true;
            return slot;
        }
    }
}

// Away from the centre across the ground; a position on the centre's
// vertical looks along the diagonal rather than straight down.
Vec3 OutwardDirection(const Vec3& position)
{
    const float across = std::sqrt(position.x * position.x + position.z * position.z);
    if (across < 1e-4f) {
        return Vec3Normalize({1.0f, 0.0f, 1.0f});
    }
    return Vec3Normalize(position);
}

} // namespace

Army* Game::CreateArmy(bool local, const ArmyUnitCounts& counts, Vec3& position, bool human, const std::string& name)
{
    Battle* const battle = Battle::Instance();
    const std::optional<std::size_t> slot = ClaimStartSlot(battle->GetStartSlots());
    if (!slot) {
        ErrorLog("Game.txt", true).Warning("No free start slot for another army.");
        return nullptr;
    }
    const bool computer = !local && !human;
    std::unique_ptr<Army> army = computer ? std::make_unique<ComputerArmy>() : std::make_unique<Army>();
    army->SetName(computer ? "Computer" : name);
    army->SetPoints(kArmyPoints);
    BuyUnits(*army, kSmashtor, counts.smashtors);
    BuyUnits(*army, kTriangoloid, counts.triangoloids);
    BuyUnits(*army, kTrajectagon, counts.trajectagons);
    BuyUnits(*army, kDetagon, counts.detagons);
    BuyUnits(*army, kArtillerator, counts.artillerators);

    if (position == Vec3()) {
        position = battle->GetStartSlots()[*slot].position;
    }
    army->Place(position.x, position.y, position.z);
    army->SetColour(kSlotColours[*slot]);

    if (local) {
        LookAtArmy(position);
    } else if (computer) {
        static_cast<ComputerArmy&>(*army).SetupStrategies(GameRules::Instance()->GetMode());
    }
    Army* const added = battle->AddArmy(std::move(army));
    if (local) {
        SelectionController::Instance()->SetArmy(added);
    }
    return added;
}

void Game::LookAtArmy(const Vec3& position)
{
    const Vec3 out = OutwardDirection(position);
    CameraView& view = camera_.GetView();
    view.SetAt(position);
    view.SetEye(position + Vec3(kArmyViewDistance * out.x, kArmyViewDistance, kArmyViewDistance * out.z));
}

bool Game::ClaimNetworkStartSlot(Vec3& position, std::uint32_t& colour)
{
    std::array<StartSlot, kStartSlotCount>& slots = Battle::Instance()->GetStartSlots();
    const std::optional<std::size_t> slot = ClaimStartSlot(slots);
    if (!slot) {
        return false;
    }
    position = slots[*slot].position;
    colour = kSlotColours[*slot];
    return true;
}

Army* Game::CreateNetworkArmy(bool selected, const ArmyUnitCounts& counts, const Vec3& position,
                              const std::string& name, std::uint32_t colour)
{
    auto army = std::make_unique<Army>();
    army->SetName(name);
    army->SetPoints(kNetworkArmyPoints);
    BuyUnits(*army, kSmashtor, counts.smashtors);
    BuyUnits(*army, kTriangoloid, counts.triangoloids);
    BuyUnits(*army, kTrajectagon, counts.trajectagons);
    BuyUnits(*army, kDetagon, counts.detagons);
    BuyUnits(*army, kArtillerator, counts.artillerators);
    army->Place(position.x, position.y, position.z);
    army->SetColour(colour);
    Army* const added = Battle::Instance()->AddArmy(std::move(army));
    if (selected) {
        CameraView& view = camera_.GetView();
        view.SetAt(position);
        view.SetEye(position + kNetworkArmyView);
        SelectionController::Instance()->SetArmy(added);
    }
    return added;
}

ArmyUnitCounts Game::ShareOutUnits(std::uint32_t maxUnits, std::uint32_t unitMask)
{
    const auto m = static_cast<double>(std::clamp<std::uint32_t>(maxUnits, 1, kMaxUnitsPerArmy));
    // In the order of the counts: Smashtor, Triangoloid, Trajectagon,
    // Detagon, Artillerator.
    const std::array<double, 5> shares = {0.375, 0.25, 0.25, 0.1, 0.025};
    const std::array<std::uint32_t, 5> bits = {kAllowSmashtor, kAllowTriangoloid, kAllowTrajectagon, kAllowDetagon,
                                               kAllowArtillerator};
    std::array<int, 5> count{};
    int pool = 0;
    int barred = 0;
    for (std::size_t i = 0; i < count.size(); ++i) {
        count[i] = static_cast<int>(m * shares[i]);
        if ((unitMask & bits[i]) == 0) {
            pool += count[i];
            count[i] = 0;
            ++barred;
        }
    }
    // With no type allowed there is nobody to give the pool to.
    if (barred < 5) {
        int rest = pool;
        while (rest > barred) {
            for (std::size_t i = 0; i < count.size(); ++i) {
                count[i] += (unitMask & bits[i]) != 0 ? 1 : 0;
            }
            rest -= 5 - barred;
        }
        const auto first = static_cast<std::size_t>(
            std::distance(bits.begin(), std::find_if(bits.begin(), bits.end(),
                                                     [unitMask](std::uint32_t bit) { return (unitMask & bit) != 0; })));
        count[first] += rest;
    }
    ArmyUnitCounts counts;
    counts.smashtors = count[0];
    counts.triangoloids = count[1];
    counts.trajectagons = count[2];
    counts.detagons = count[3];
    counts.artillerators = count[4];
    return counts;
}

void Game::CreateComputerArmies()
{
    const ArmyUnitCounts counts = ShareOutUnits(options_.maxUnits, options_.unitMask);
    const std::uint32_t armies = std::min(options_.computerArmies, kMaxComputerArmies);
    for (std::uint32_t i = 0; i < armies; ++i) {
        Vec3 position;
        CreateArmy(false, counts, position, false, "Player");
    }
}

void Game::StartMatch()
{
    SoundManager::Instance()->FreeEffects();
    GroupMover::Instance()->ResetFormation();
    std::optional<std::string> map;
    if (options_.mapIndex < std::min<std::size_t>(kMapCount, mapList_.size())) {
        map = *std::next(mapList_.begin(), static_cast<std::ptrdiff_t>(options_.mapIndex));
    }
    if (!map || !terrain_.Load(*map)) {
        platform::ShowMessageBox("Could not load map.", "Kostrivane");
    }
    Renderer::Instance()->UploadMap(terrain_);

    CameraView& view = camera_.GetView();
    view.SetEye({35.0f, 50.0f, 35.0f});
    view.SetAt({0.0f, 0.0f, 0.0f});
    view.SetUp({0.0f, 1.0f, 0.0f});
    view.SetFov(kPi / 4.0f);
    view.SetAspect(static_cast<float>(GetSetting(kSettingWidth)) / static_cast<float>(GetSetting(kSettingHeight)));
    view.SetNear(2.0f);
    view.SetFar(800.0f);
    SetDaylight();
    terrain_.Relight(&light_, kGroundAmbient);
    Renderer::Instance()->CreateSky();
    ScreenManager::Instance()->BuildPlayScreen();
    MeshLibrary::Instance();
    GameRules::Instance()->BeginMatch(options_.mode, options_.minutes, 0.0f);
    PopulateWorldObjects(*Battle::Instance(), terrain_, GameRules::Instance()->GetMode());
    camera_.ClearCommands();
    camera_.SetSpeed(0.5f);
    ParticleManager::Instance()->ClearAll();
    EventTimer::Instance()->ClearTimers();
    ScreenManager::Instance()->ForgetTimers();
    HudOverlay::Instance()->SetVisible(true);
    if (TextBox* chat = TextManager::Instance()->GetTextBox("ChatConsole")) {
        for (int line = 0; line < 8; ++line) {
            chat->AddLine("");
        }
    }
}

void Game::EndMatch()
{
    StatisticsScreen::Instance()->RemoveDoneButton();
    // Before the armies go, so nothing the selection keeps outlives them.
    SelectionController::Instance()->SetArmy(nullptr);
    Army::ResetIdCounter();
    GameRules::Instance()->DeleteFlags();
    Battle::Instance()->Clear();
    // The held formation and waypoint keys, like Ctrl and Shift above: their
    // release may come after the in-game window has gone.
    GroupMover::Instance()->ResetFormation();
    GroupMover::Instance()->SetMoveKind(kMoveReplace);
}

Army* Game::FindArmyById(std::uint32_t id) const
{
    return Battle::Instance()->FindArmyById(id);
}

void Game::LeaveMatch()
{
    if (GetSetting(kSettingGameState) == kStateMenus) {
        RestartBackgroundBattle();
        return;
    }
    EndMatch();
    // The others hear of it now rather than when the connection drops.
    NetworkManager::Instance()->Leave();
    SetSetting(kSettingGameState, kStateMenus);
    // LoadAfterSplash builds the title screen in its place.
    if (guiManager::Instance()->GetWindow(PlayScreen::kWindowName)) {
        guiManager::Instance()->DestroyWindow(PlayScreen::kWindowName);
    }
    EventTimer::Instance()->Restart();
    // The match's console lines ("Game On", "Sudden Death!", the chat) go
    // with it; LoadAfterSplash makes the console afresh.
    TextManager::Instance()->DeleteTextBox("ChatConsole");
    LoadAfterSplash();
    // A match the network ended says why, on the menus' console.
    const std::string why = netWorld_ ? netWorld_->TakeLeavingReason() : std::string();
    if (TextBox* console = TextManager::Instance()->GetTextBox("ChatConsole"); console && !why.empty()) {
        console->AddLine(why);
    }
}

// The background battle is over: a fresh one-minute battle on a random map,
// without rebuilding the menus around it.
void Game::RestartBackgroundBattle()
{
    EndMatch();
    GameRules::Instance()->BeginMatch(backgroundMode_, kRestartMinutes, 0.0f);
    const auto pick = static_cast<std::size_t>(platform::Rand() & 3);
    if (pick >= mapList_.size() || !terrain_.Load(*std::next(mapList_.begin(), static_cast<std::ptrdiff_t>(pick)))) {
        platform::ShowMessageBox("Could not load map.", "Kostrivane");
    } else {
        backgroundMap_ = *std::next(mapList_.begin(), static_cast<std::ptrdiff_t>(pick));
    }
    Renderer::Instance()->UploadMap(terrain_);
    terrain_.Relight(&light_, kGroundAmbient);
    // Ends any drag the player had begun.
    SelectionController::Instance()->OnLeftButtonUp(0.0f, 0.0f);
    PopulateWorldObjects(*Battle::Instance(), terrain_, GameRules::Instance()->GetMode());
    ScreenManager::Instance()->CreateBackgroundArmies();
}

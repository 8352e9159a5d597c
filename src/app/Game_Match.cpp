// Game: creating armies and clearing a battle at a match's end.
#include "app/Game.h"

#include "game/Army.h"
#include "game/Battle.h"
#include "platform/Random.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace {

// One colour per start slot, in slot order.
constexpr std::array<std::uint32_t, kStartSlotCount> kSlotColours = {
    0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFF80B0u, 0xFFA07000u, 0xFFBF00FFu, 0xFFFFFF00u, 0xFF00FFFFu,
};

constexpr std::uint32_t kArmyPoints = 4000;

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

} // namespace

Army* Game::CreateArmy(bool local, const ArmyUnitCounts& counts, Vec3& position, bool human, const std::string& name)
{
    auto army = std::make_unique<Army>();
    if (!local && !human) {
        // TODO(ai): a ComputerArmy, which plans its own moves.
        army->SetName("Computer");
        army->SetComputer(true);
    } else {
        army->SetName(name);
    }
    army->SetPoints(kArmyPoints);
    BuyUnits(*army, kSmashtor, counts.smashtors);
    BuyUnits(*army, kTriangoloid, counts.triangoloids);
    BuyUnits(*army, kTrajectagon, counts.trajectagons);
    BuyUnits(*army, kDetagon, counts.detagons);
    BuyUnits(*army, kArtillerator, counts.artillerators);

    Battle* const battle = Battle::Instance();
    const bool atSlot = position == Vec3();
    const std::optional<std::size_t> slot = ClaimStartSlot(battle->GetStartSlots());
    if (atSlot && slot) {
        position = battle->GetStartSlots()[*slot].position;
    }
    army->Place(position.x, position.y, position.z);
    army->SetColour(kSlotColours[slot.value_or(0)]);

    if (local) {
        // TODO(input): SelectionController::Instance()->SetArmy(army).
        // TODO(render): the camera looks at position from 50 further out from the centre and 50 up.
    } else if (!human) {
        // TODO(ai): ComputerArmy::SetupStrategies with the rules' mode.
    }
    return battle->AddArmy(std::move(army));
}

void Game::EndMatch()
{
    // TODO(screens): delete the "GameOverButton" widget of the "MainPlayScreen" window, if it exists.
    Army::ResetIdCounter();
    // TODO(rules): GameRules::DeleteFlags (the battle holds the flags until the rules do).
    Battle::Instance()->Clear();
}

Army* Game::FindArmyById(std::uint32_t id) const
{
    return Battle::Instance()->FindArmyById(id);
}

// Flag: a match flag, or the loose bacon, and who holds it.
#include "game/Flag.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Unit.h"

namespace {

// Presence is looked at every twentieth sixtieth of a second; a little
// under it, so a frame that lands on the mark does not wait a whole frame
// more for rounding in the clock.
constexpr float kLookSeconds = 20.0f / 60.0f - 1e-4f;
constexpr float kCaptureRadius = 25.0f;
constexpr double kPresentStrength = 0.005;

bool HasUnitNear(const Army& army, const Vec3& at)
{
    for (const std::unique_ptr<Unit>& unit : army.GetUnits()) {
        if (unit->GetOrder() != kOrderDying && Vec3Length(unit->GetPosition() - at) < kCaptureRadius) {
            return true;
        }
    }
    return false;
}

} // namespace

Flag::Flag(float x, float y, float z, ObjectMeshType type, GameMode mode) : MeshObject(x, y, z, type)
{
    if (mode == kModeStealTheBacon) {
        MakeLoose();
    }
    TimerStart(creditTimer_);
    TimerStart(lookTimer_);
}

// The bacon is light and slides; it steers so that it brakes, and rests
// wherever it was pushed: its destination is where it stands and it counts
// as arrived, so it never drives itself anywhere.
void Flag::MakeLoose()
{
    SetMass(0.05f);
    SetFrictionEnabled(true);
    SetFrictionCoefficient(0.1f);
    SetGravity(30.0f);
    SetMovable(true);
    SetSteering(true);
    SetGravityEnabled(true);
    SetDragEnabled(true);
    SetCollisionType(kCollisionFlag);
    SetPosition(kBaconStart);
    SetDestination(kBaconStart.x, kBaconStart.y, kBaconStart.z);
    SetArrived(true);
    SetDriveFalloff(0.0f);
}

void Flag::Update()
{
    if (TimerElapsed(lookTimer_) < kLookSeconds) {
        return;
    }
    TimerStart(lookTimer_);
    TakePresence();
}

void Flag::TakePresence()
{
    const std::vector<Army*> previous = present_;
    const float held = TimerElapsed(creditTimer_);
    for (Army* const army : previous) {
        army->SetFlagCount(army->GetFlagCount() - 1);
        army->SetFlagTime(army->GetFlagTime() + held);
    }
    present_.clear();
    const Vec3 at = GetPosition();
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        if (army->GetStrength() >= kPresentStrength && HasUnitNear(*army, at)) {
            present_.push_back(army.get());
            army->SetFlagCount(army->GetFlagCount() + 1);
        }
    }
    TimerStart(creditTimer_);
    if (present_.empty()) {
        present_ = previous;
        for (Army* const army : present_) {
            army->SetFlagCount(army->GetFlagCount() + 1);
        }
        return;
    }
    colour_ = MixArmyColours(present_);
}

std::uint32_t MixArmyColours(const std::vector<Army*>& armies)
{
    if (armies.empty()) {
        return 0xFFFFFFFFu;
    }
    if (armies.size() == 1) {
        return armies.front()->GetColour();
    }
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    for (const Army* const army : armies) {
        const std::uint32_t colour = army->GetColour();
        red += static_cast<float>((colour >> 16) & 0xFFu);
        green += static_cast<float>((colour >> 8) & 0xFFu);
        blue += static_cast<float>(colour & 0xFFu);
    }
    const auto count = static_cast<float>(armies.size());
    const auto r = static_cast<std::uint32_t>(red / count);
    const auto g = static_cast<std::uint32_t>(green / count);
    const auto b = static_cast<std::uint32_t>(blue / count);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

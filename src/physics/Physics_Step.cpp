// Physics step: the forces on every body (impulses, drag, gravity, the ground
// and the steering drive), the turn toward the destination, the integration
// on the terrain, and the event callbacks that run once the world has moved.
//
// There is no fixed time step: the step uses the frame time, clamped so one
// stalled frame cannot throw bodies through the ground or each other. The
// ground reaction cancels the velocity into the ground in one step, and
// friction is a speed loss per step; the unit data is tuned so that walking
// looks the same from 15 to 1000 frames per second.
//
// Forces and integration are one pass: a body's forces depend on nothing but
// itself and the ground, so each body is read once, sampled on the ground's
// packed grid, moved and written back before the next.
#include "physics/Physics.h"

#include "core/ErrorLog.h"
#include "physics/PhysicsMath.h"
#include "world/Terrain.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

// A frame longer than this is a stall (loading, a dragged window); stepping
// it in full would launch bodies, so it is stepped as a short frame.
constexpr float kLongestFrame = 0.2f;
constexpr float kStalledFrameStep = 0.0666f;

// Radians per second per unit of spin rate.
constexpr float kSpinSpeed = 31.4f;
// Headings beyond this are left alone rather than fed to the turn.
constexpr double kHeadingLimit = 1000000.0;

// Friction below these is no friction: it would only add noise to the speed.
constexpr float kLeastFrictionCoefficient = 0.0001f;
constexpr float kLeastGroundForce = 0.001f;
constexpr float kLeastFrictionAmount = 0.001f;
constexpr float kStoppedSpeed = 0.0001f;

// The seek drive pushes along the ground toward the destination; the push
// direction is at most this long, so the drive itself sets the pace.
constexpr float kSeekDirectionLength = 0.2f;
constexpr float kSeekShortDistance = 0.05f;
// The drive is the friction amount times driveForce times this.
constexpr float kTraction = 1.5f;
constexpr float kLeastDriveNormalSq = 0.00001f;

// An arrived body brakes with at most this share of the normal's length, so
// it holds on gentle slopes and creeps down steep ones.
constexpr float kBrakeShare = 0.5f;
constexpr float kLeastBrakeNormal = 0.005f;

// A body this close above the ground touches it.
constexpr float kContactHeight = 1.0f;
// A body this close to its destination along x and along z has arrived.
constexpr float kArrivalDistance = 1.0f;

// The ground's height where there is no terrain: below everything.
constexpr float kNoGround = std::numeric_limits<float>::infinity();

float StepTime(float frameTime)
{
    if (!std::isfinite(frameTime) || frameTime <= 0.0f) {
        return 0.0f;
    }
    return frameTime > kLongestFrame ? kStalledFrameStep : frameTime;
}

float FrictionAmount(const Vec3& groundForce, float coefficient)
{
    if (coefficient < kLeastFrictionCoefficient) {
        return 0.0f;
    }
    const float ground = Vec3Length(groundForce);
    return ground < kLeastGroundForce ? 0.0f : coefficient * ground;
}

Vec3 SeekForce(const Physical& body, const Vec3& normal, float drive)
{
    if (Vec3LengthSq(normal) < kLeastDriveNormalSq) {
        return {};
    }
    Vec3 direction = physics::TangentialPart(body.GetDestination() - body.GetPosition(), normal);
    const float length = Vec3Length(direction);
    if (length > kSeekShortDistance) {
        direction = direction * (kSeekDirectionLength / length);
    }
    const Vec3 velocity = body.GetVelocity();
    const float push = std::max(0.0f, drive - body.GetDriveFalloff() * Vec3Dot(velocity, velocity));
    return direction * push;
}

Vec3 BrakeForce(const Physical& body, const Vec3& normal, const Vec3& force, float dt)
{
    const float normalLength = Vec3Length(normal);
    if (normalLength < kLeastBrakeNormal) {
        return {};
    }
    const Vec3 stop = body.GetVelocity() * (-body.GetMass() / dt) - force;
    Vec3 brake = physics::TangentialPart(stop, normal);
    const float cap = kBrakeShare * normalLength;
    const float length = Vec3Length(brake);
    if (length > cap) {
        brake = brake * (cap / length);
    }
    return brake;
}

Vec3 DriveForce(const Physical& body, const Vec3& normal, const Vec3& force, float frictionAmount, float dt)
{
    if (body.GetArrived()) {
        return BrakeForce(body, normal, force, dt);
    }
    return SeekForce(body, normal, body.GetDriveForce() * frictionAmount * kTraction);
}

Vec3 ApplyFriction(const Vec3& velocity, float frictionAmount)
{
    if (frictionAmount < kLeastFrictionAmount) {
        return velocity;
    }
    const float speed = Vec3Length(velocity);
    if (speed <= kStoppedSpeed) {
        return {};
    }
    return velocity * (std::max(speed - frictionAmount, 0.0f) / speed);
}

} // namespace

void Physics::Step(float frameTime)
{
    // A callback that steps the world again would walk the list it is in.
    if (!notStepping_) {
        return;
    }
    const float dt = StepTime(frameTime);
    if (dt == 0.0f) {
        return;
    }
    // Removals are deferred for the whole step, not only its callbacks: the
    // collision handlers are game code too, and the walks hold entries.
    notStepping_ = false;
    const float sweep = MoveBodies(dt);
    SortBodies();
    Collide(2.0f * sweep);
    RunCallbacks();
    notStepping_ = true;
    DropRemovedEntries();
}

float Physics::MoveBodies(float dt)
{
    // Without a terrain there is no ground and no water: nothing is below
    // minus infinity.
    const float waterLevel = terrain_ != nullptr ? terrain_->GetWaterLevel() : -kNoGround;
    float sweep = 0.0f;
    for (const std::uint32_t slot : order_) {
        PhysicsEntry& entry = entries_[slot];
        if (!entry.removed) {
            sweep = std::max(sweep, MoveBody(entry, dt, waterLevel));
        }
    }
    // Every position was written behind the list's back.
    sorted_ = false;
    return sweep;
}

// One body's forces, turn and integration; returns how far it reaches along
// x over the step (its x movement plus its radius), 0 when it is not moved.
float Physics::MoveBody(PhysicsEntry& entry, float dt, float waterLevel)
{
    Physical& body = *entry.body;
    const Vec3 start = body.position_;
    Vec3 force = entry.force / dt;
    entry.force = Vec3();
    entry.previousPosition = start;
    if (!body.movable_ && !body.gravityEnabled_) {
        // Not moved, but it still turns and is told it has arrived.
        if (body.steering_) {
            Steer(entry, dt);
        }
        return 0.0f;
    }

    const Vec3 oldVelocity = body.velocity_;
    const float mass = body.mass_;
    if (dragOn_ && body.dragEnabled_) {
        force += oldVelocity * -(mass * body.dragCoefficient_);
    }
    if (gravityOn_ && body.gravityEnabled_) {
        force += Vec3(0.0f, -mass * body.gravity_, 0.0f);
    }

    // Outside the map the normal stays zero, and so does every force that
    // needs one.
    GroundGrid::Sample ground;
    const GroundGrid* const grid = terrain_ != nullptr ? &terrain_->GetGroundGrid() : nullptr;
    if (grid != nullptr) {
        grid->SampleAt(start.x, start.z, ground);
    } else {
        ground.height = -kNoGround;
    }
    const bool onGround = ground.height >= start.y;

    Vec3 groundForce;
    if (body.movable_ && onGround) {
        groundForce = GroundForce(force, ground.normal, oldVelocity, mass, dt);
        force += groundForce;
    }
    const float frictionAmount = body.frictionEnabled_ ? FrictionAmount(groundForce, body.frictionCoefficient_) : 0.0f;
    if (body.steering_) {
        Steer(entry, dt);
        if (onGround) {
            force += DriveForce(body, ground.normal, force, frictionAmount, dt);
        }
    }

    Vec3 velocity = oldVelocity + force * (dt / mass);
    velocity = ApplyFriction(velocity, frictionAmount);
    // Mean velocity over the step: exact for constant forces.
    Vec3 position = start + (oldVelocity + velocity) * (dt * 0.5f);
    if (!Vec3IsFinite(position) || !Vec3IsFinite(velocity)) {
        if (!entry.reportedNonFinite) {
            ErrorLog("Physics.txt", true).Warning("A body's motion was not finite; it was stopped where it stood");
            entry.reportedNonFinite = true;
        }
        position = Vec3IsFinite(start) ? start : Vec3();
        velocity = Vec3();
    }
    body.velocity_ = velocity;
    if (oldVelocity.y > 0.0f && velocity.y <= 0.0f) {
        FireEvent(entry, kEventApex);
    }

    const float height = grid != nullptr ? grid->HeightAt(position.x, position.z) : -kNoGround;
    position.y = std::max(position.y, height);
    body.position_ = position;

    if (position.y - kContactHeight < height) {
        FireEvent(entry, kEventGroundContact);
        body.spinRate_ = 0.0f;
        body.spinAxis_ = Vec3(0.0f, 1.0f, 0.0f);
    }
    if (waterLevel > position.y) {
        FireEvent(entry, kEventUnderWater);
    }
    const Vec3 destination = body.destination_;
    if (std::fabs(destination.x - position.x) < kArrivalDistance &&
        std::fabs(destination.z - position.z) < kArrivalDistance) {
        body.arrived_ = true;
    }
    return std::fabs(start.x - position.x) + body.radius_;
}

Vec3 Physics::GroundForce(const Vec3& force, const Vec3& normal, const Vec3& velocity, float mass, float dt) const
{
    if (!groundOn_) {
        return force.y <= 0.0f ? Vec3(0.0f, -force.y, 0.0f) : Vec3();
    }
    // Cancel the velocity along the normal in one step, and whatever presses
    // the body into the ground.
    Vec3 ground = physics::ProjectOnto(velocity, normal) * -(mass / dt);
    if (Vec3Dot(force, normal) < 0.0f) {
        ground -= physics::ProjectOnto(force, normal);
    }
    return ground;
}

void Physics::Steer(PhysicsEntry& entry, float dt)
{
    Physical& body = *entry.body;
    if (body.spinRate_ != 0.0f) {
        body.heading_ = body.heading_ + body.spinRate_ * kSpinSpeed * dt;
        return;
    }
    if (body.arrived_) {
        FireEvent(entry, kEventArrived);
        return;
    }
    const double target = Aim(entry, body.destination_ - body.position_);
    const double turned = physics::TurnToward(target, body.heading_, body.turnRate_, dt);
    if (turned > -kHeadingLimit && turned < kHeadingLimit) {
        body.heading_ = static_cast<float>(turned);
    }
}

// The heading that looks along toTarget. The arc tangent is the dearest part
// of the turn; a body whose way to its destination is the same to the bit as
// in the last step (it did not move) reuses the last answer.
double Physics::Aim(PhysicsEntry& entry, const Vec3& toTarget) const
{
    if (entry.aimed && std::bit_cast<std::uint32_t>(toTarget.x) == std::bit_cast<std::uint32_t>(entry.aimX) &&
        std::bit_cast<std::uint32_t>(toTarget.z) == std::bit_cast<std::uint32_t>(entry.aimZ)) {
        return entry.aim;
    }
    entry.aimX = toTarget.x;
    entry.aimZ = toTarget.z;
    entry.aim = physics::kPi / 2.0 - std::atan2(static_cast<double>(toTarget.z), toTarget.x);
    entry.aimed = true;
    return entry.aim;
}

void Physics::RunCallbacks()
{
    // Decide everything first: a callback may add or remove bodies, raise an
    // explosion or touch other callbacks, and none of that may change which
    // callbacks run in this step.
    due_.clear();
    for (const std::uint32_t slot : order_) {
        PhysicsEntry& entry = entries_[slot];
        if (entry.removed || !entry.anyFired) {
            continue;
        }
        std::vector<PhysicsCallback>& callbacks = entry.callbacks;
        const auto fired =
            std::find_if(callbacks.begin(), callbacks.end(), [](const PhysicsCallback& c) { return c.fired; });
        DueCallback& due = due_.emplace_back();
        due.slot = slot;
        if (fired->removeAfterFiring) {
            due.owned = std::move(fired->function);
            due.function = due.owned.get();
            callbacks.erase(fired);
        } else {
            due.function = fired->function.get();
            fired->fired = false;
        }
        entry.RecountCallbacks();
    }
    for (const DueCallback& due : due_) {
        const PhysicsEntry& entry = entries_[due.slot];
        if (!entry.removed) {
            (*due.function)(entry.body);
        }
    }
    due_.clear();
    retired_.clear();
}

void Physics::DropRemovedEntries()
{
    if (pendingRemovals_ == 0) {
        return;
    }
    // Only the flag is read: the bodies themselves may be gone.
    std::size_t kept = 0;
    for (const std::uint32_t slot : order_) {
        if (entries_[slot].removed) {
            FreeSlot(slot);
        } else {
            order_[kept++] = slot;
        }
    }
    order_.resize(kept);
    pendingRemovals_ = 0;
}

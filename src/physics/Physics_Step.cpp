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
// itself and the ground, so the bodies are moved four at a time, one a lane
// of the processor's vector registers: read, sampled on the ground's packed
// grid, moved and written back. The walking bodies turn four at a time too,
// in double lanes, each taken alone only where the quick arc tangent cannot
// decide its turn. The lanes do the scalar arithmetic of the rules to the
// bit. The pass is built for the baseline processor and for AVX2
// (KV_LANES_DISPATCHED), with the same results.
#include "physics/Physics.h"

#include "core/ErrorLog.h"
#include "physics/PhysicsMath.h"
#include "platform/math/Float4.h"
#include "world/Terrain.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

// The turns pass the lane vectors of PhysicsMath.h by value, which compilers warn
// is done differently with AVX; PhysicsMath.h says why that does not matter.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace {

using physics::Vec3Lanes;

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

// The force rules below work on four bodies at once, one a lane; each does
// lane by lane exactly the arithmetic of the rule it is named after, a
// branch of the rule becoming a Select of both sides.

// Friction is a speed loss per step: the coefficient times the ground force.
Float4 FrictionAmount(const Vec3Lanes& groundForce, const Float4& coefficient)
{
    const Float4 ground = Length(groundForce);
    const Mask4 some = ~(coefficient < Float4(kLeastFrictionCoefficient)) & ~(ground < Float4(kLeastGroundForce));
    return Select(some, coefficient * ground, Float4(0.0f));
}

// Pushes along the ground toward the destination, less as the body nears its
// walking speed.
Vec3Lanes SeekForce(const Vec3Lanes& position, const Vec3Lanes& destination, const Vec3Lanes& velocity,
                    const Float4& driveFalloff, const Vec3Lanes& normal, const Float4& drive)
{
    Vec3Lanes direction = TangentialPart(destination - position, normal);
    const Float4 length = Length(direction);
    direction =
        Select(length > Float4(kSeekShortDistance), direction * (Float4(kSeekDirectionLength) / length), direction);
    const Float4 wanted = drive - driveFalloff * Dot(velocity, velocity);
    const Float4 push = Select(Float4(0.0f) < wanted, wanted, Float4(0.0f));
    return Select(~(Dot(normal, normal) < Float4(kLeastDriveNormalSq)), direction * push, Vec3Lanes());
}

// Stops an arrived body in one step along the ground, within what the
// ground holds.
Vec3Lanes BrakeForce(const Vec3Lanes& velocity, const Float4& mass, const Vec3Lanes& normal, const Vec3Lanes& force,
                     float dt)
{
    const Float4 normalLength = Length(normal);
    const Vec3Lanes stop = velocity * (-mass / dt) - force;
    Vec3Lanes brake = TangentialPart(stop, normal);
    const Float4 cap = Float4(kBrakeShare) * normalLength;
    const Float4 length = Length(brake);
    brake = Select(length > cap, brake * (cap / length), brake);
    return Select(~(normalLength < Float4(kLeastBrakeNormal)), brake, Vec3Lanes());
}

Vec3Lanes ApplyFriction(const Vec3Lanes& velocity, const Float4& frictionAmount)
{
    const Float4 speed = Length(velocity);
    const Float4 left = speed - frictionAmount;
    const Float4 kept = Select(left < Float4(0.0f), Float4(0.0f), left);
    const Vec3Lanes slowed = Select(speed <= Float4(kStoppedSpeed), Vec3Lanes(), velocity * (kept / speed));
    return Select(frictionAmount < Float4(kLeastFrictionAmount), velocity, slowed);
}

// The ground's push on a body on or below it. With the ground switched on it
// cancels the velocity along the normal in one step, and whatever presses the
// body into the ground; switched off, it only holds the body up.
Vec3Lanes GroundForce(bool groundOn, const Vec3Lanes& force, const Vec3Lanes& normal, const Vec3Lanes& velocity,
                      const Float4& mass, float dt)
{
    if (!groundOn) {
        return {Float4(0.0f), Select(force.y <= Float4(0.0f), -force.y, Float4(0.0f)), Float4(0.0f)};
    }
    const Vec3Lanes ground = physics::ProjectOnto(velocity, normal) * -(mass / dt);
    return Select(Dot(force, normal) < Float4(0.0f), ground - physics::ProjectOnto(force, normal), ground);
}

// Select(mask, work(), ifFalse), with the work and the blend skipped where
// every lane takes one side: the answer is then that side to the bit. Most
// batches are alike in every lane (all on the ground, all dragged).
template <typename Work> Vec3Lanes SelectWorked(const Mask4& mask, Work work, const Vec3Lanes& ifFalse)
{
    const int bits = mask.Bits();
    if (bits == 0) {
        return ifFalse;
    }
    const Vec3Lanes worked = work();
    return bits == 0xF ? worked : Select(mask, worked, ifFalse);
}

Mask4 IsFinite(const Vec3Lanes& v)
{
    const Float4 largest(std::numeric_limits<float>::max());
    return (Abs(v.x) <= largest) & (Abs(v.y) <= largest) & (Abs(v.z) <= largest);
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
    // Every live entry's sortX is where the step left its body.
    SortBySortX();
    Collide(2.0f * sweep);
    RunCallbacks();
    notStepping_ = true;
    DropRemovedEntries();
}

// Up to four bodies moved together, one a lane. Lanes without a body repeat
// the first body, so their arithmetic stays harmless; they are never written.
struct Physics::MotionBatch {
    int count = 0;
    PhysicsEntry* entries[4] = {};
};

// Up to four walking bodies turned together, each with the way to its
// destination taken before the step moved it.
struct Physics::TurnBatch {
    int count = 0;
    PhysicsEntry* entries[4] = {};
    float toX[4] = {};
    float toZ[4] = {};
};

KV_LANES_DISPATCHED float Physics::MoveBodies(float dt)
{
    // Without a terrain there is no ground and no water: nothing is below
    // minus infinity.
    const float waterLevel = terrain_ != nullptr ? terrain_->GetWaterLevel() : -kNoGround;
    // Without a map of a sound size there are no walls (CollideWithWalls),
    // and what is asked of them here goes unused.
    const float wallHalf = terrain_ != nullptr ? terrain_->GetMapSize() / 2.0f : 0.0f;
    FollowGround(terrain_ != nullptr ? &terrain_->GetGroundGrid() : nullptr);
    float sweep = 0.0f;
    MotionBatch batch;
    TurnBatch turns;
    // In the order the entries lie in memory, not the list's: each body is
    // moved on its own, and this way the walk reads memory front to back.
    for (PhysicsEntry& entry : entries_) {
        if (entry.body == nullptr || entry.removed) {
            continue;
        }
        Physical& body = *entry.body;
        if (body.steering_) {
            Steer(entry, turns, dt);
        }
        if (!body.movable_ && !body.gravityEnabled_) {
            // Not moved; the impulse is spent all the same.
            entry.previousPosition = body.position_;
            entry.force = Vec3();
            NoteForCollisions(entry, body.position_, physics::SweptBox(body.position_, body.position_, body.radius_),
                              physics::InsideWalls(body.position_, body.position_, body.radius_, wallHalf));
            continue;
        }
        batch.entries[batch.count++] = &entry;
        if (batch.count == 4) {
            sweep = std::max(sweep, MoveBatch(batch, dt, waterLevel, wallHalf));
            batch.count = 0;
        }
    }
    if (batch.count > 0) {
        sweep = std::max(sweep, MoveBatch(batch, dt, waterLevel, wallHalf));
    }
    if (turns.count > 0) {
        Turn(turns, dt);
    }
    // Every position was written behind the list's back.
    sorted_ = false;
    return sweep;
}

// A ground changed or swapped since the last step makes every kept height
// stale. That is rare (a map is loaded), so the entries are all told.
void Physics::FollowGround(const GroundGrid* grid)
{
    const std::uint64_t generation = grid != nullptr ? grid->GetGeneration() : 0;
    if (grid == groundSeen_ && generation == groundGenerationSeen_) {
        return;
    }
    groundSeen_ = grid;
    groundGenerationSeen_ = generation;
    for (PhysicsEntry& entry : entries_) {
        entry.groundX = kStaleGround;
    }
}

// The ground under the start of a batch's step: the normal from the grid,
// the height kept from where the last step left each body when the body is
// still there, and from the grid otherwise. The height depends only on the
// point's value (minus and plus zero give one height), and the grid answers a
// point alike in a lane and alone.
void Physics::SampleStartGround(const GroundGrid& grid, const PhysicsEntry* const entries[4], const Vec3Lanes& start,
                                GroundGrid::Samples4& ground) const
{
    const auto kept = [&entries](auto field) {
        return Float4::Lanes(field(*entries[0]), field(*entries[1]), field(*entries[2]), field(*entries[3]));
    };
    const Float4 keptX = kept([](const PhysicsEntry& e) { return e.groundX; });
    const Float4 keptZ = kept([](const PhysicsEntry& e) { return e.groundZ; });
    // Equal as numbers: a stale entry keeps NaN, which equals nothing.
    const int same = ((start.x <= keptX) & (start.x >= keptX) & (start.z <= keptZ) & (start.z >= keptZ)).Bits();
    if (same == 0) {
        grid.SampleLanes(start.x, start.z, ground);
        return;
    }
    grid.NormalLanes(start.x, start.z, ground);
    ground.height = kept([](const PhysicsEntry& e) { return e.groundHeight; });
    if (same == 0xF) {
        return;
    }
    float x[4], z[4], heights[4];
    start.x.Store(x);
    start.z.Store(z);
    ground.height.Store(heights);
    for (int i = 0; i < 4; ++i) {
        if ((same & 1 << i) == 0) {
            heights[i] = grid.HeightAt(x[i], z[i]);
        }
    }
    ground.height = Float4::Load(heights);
}

// The forces, integration and ground of a batch; returns how far its bodies
// reach along x over the step (x movement plus radius), at most.
float Physics::MoveBatch(MotionBatch& batch, float dt, float waterLevel, float wallHalf)
{
    const Physical* bodies[4] = {};
    const PhysicsEntry* entries[4] = {};
    for (int i = 0; i < 4; ++i) {
        entries[i] = batch.entries[i < batch.count ? i : 0];
        bodies[i] = entries[i]->body;
    }
    const auto lanes = [&bodies](auto field) {
        return Float4::Lanes(field(*bodies[0]), field(*bodies[1]), field(*bodies[2]), field(*bodies[3]));
    };
    const auto masks = [&bodies](auto field) {
        return Mask4::FromBools(field(*bodies[0]), field(*bodies[1]), field(*bodies[2]), field(*bodies[3]));
    };
    const auto vectors = [&lanes](auto field) -> Vec3Lanes {
        return {lanes([&](const Physical& b) { return field(b).x; }),
                lanes([&](const Physical& b) { return field(b).y; }),
                lanes([&](const Physical& b) { return field(b).z; })};
    };
    const Vec3Lanes start = vectors([](const Physical& b) { return b.position_; });
    const Vec3Lanes oldVelocity = vectors([](const Physical& b) { return b.velocity_; });
    const Vec3Lanes destination = vectors([](const Physical& b) { return b.destination_; });
    const Float4 mass = lanes([](const Physical& b) { return b.mass_; });
    const Vec3Lanes impulse = {
        Float4::Lanes(entries[0]->force.x, entries[1]->force.x, entries[2]->force.x, entries[3]->force.x),
        Float4::Lanes(entries[0]->force.y, entries[1]->force.y, entries[2]->force.y, entries[3]->force.y),
        Float4::Lanes(entries[0]->force.z, entries[1]->force.z, entries[2]->force.z, entries[3]->force.z)};
    const Float4 step(dt);

    Vec3Lanes force = {impulse.x / step, impulse.y / step, impulse.z / step};
    const Mask4 drag =
        Mask4::FromBools(dragOn_, dragOn_, dragOn_, dragOn_) & masks([](const Physical& b) { return b.dragEnabled_; });
    force = SelectWorked(
        drag,
        [&] { return force + oldVelocity * -(mass * lanes([](const Physical& b) { return b.dragCoefficient_; })); },
        force);
    const Mask4 gravity = Mask4::FromBools(gravityOn_, gravityOn_, gravityOn_, gravityOn_) &
                          masks([](const Physical& b) { return b.gravityEnabled_; });
    force = SelectWorked(
        gravity,
        [&] {
            const Vec3Lanes weight = {Float4(0.0f), -mass * lanes([](const Physical& b) { return b.gravity_; }),
                                      Float4(0.0f)};
            return force + weight;
        },
        force);

    // Outside the map the normal stays zero, and so does every force that
    // needs one.
    GroundGrid::Samples4 ground;
    const GroundGrid* const grid = terrain_ != nullptr ? &terrain_->GetGroundGrid() : nullptr;
    if (grid != nullptr) {
        SampleStartGround(*grid, entries, start, ground);
    } else {
        ground.height = Float4(-kNoGround);
    }
    const Vec3Lanes normal = {ground.normalX, ground.normalY, ground.normalZ};
    const Mask4 onGround = ground.height >= start.y;

    const Mask4 pressed = masks([](const Physical& b) { return b.movable_; }) & onGround;
    const Vec3Lanes groundForce = SelectWorked(
        pressed, [&] { return GroundForce(groundOn_, force, normal, oldVelocity, mass, dt); }, Vec3Lanes());
    force = SelectWorked(
        pressed, [&] { return force + groundForce; }, force);
    const Float4 frictionAmount = Select(
        masks([](const Physical& b) { return b.frictionEnabled_; }),
        FrictionAmount(groundForce, lanes([](const Physical& b) { return b.frictionCoefficient_; })), Float4(0.0f));
    // Arrived bodies brake, the others seek. A batch is mostly of one kind
    // (an army marches, then stands), so the side no lane takes is skipped:
    // a Select whose lanes all take one side gives that side to the bit.
    const Mask4 arrivedBefore = masks([](const Physical& b) { return b.arrived_; });
    const int arrivedLanes = arrivedBefore.Bits();
    Vec3Lanes driveForce;
    if (arrivedLanes != 0) {
        driveForce = BrakeForce(oldVelocity, mass, normal, force, dt);
    }
    if (arrivedLanes != 0xF) {
        const Float4 drive =
            lanes([](const Physical& b) { return b.driveForce_; }) * frictionAmount * Float4(kTraction);
        const Vec3Lanes seek = SeekForce(start, destination, oldVelocity,
                                         lanes([](const Physical& b) { return b.driveFalloff_; }), normal, drive);
        driveForce = arrivedLanes == 0 ? seek : Select(arrivedBefore, driveForce, seek);
    }
    force = SelectWorked(
        masks([](const Physical& b) { return b.steering_; }) & onGround, [&] { return force + driveForce; }, force);

    Vec3Lanes velocity = oldVelocity + force * (step / mass);
    velocity = ApplyFriction(velocity, frictionAmount);
    // Mean velocity over the step: exact for constant forces.
    Vec3Lanes position = start + (oldVelocity + velocity) * (step * Float4(0.5f));
    const Mask4 notFinite = ~(IsFinite(position) & IsFinite(velocity));
    const int badBits = notFinite.Bits();
    if (badBits != 0) {
        position = Select(notFinite, Select(IsFinite(start), start, Vec3Lanes()), position);
        velocity = Select(notFinite, Vec3Lanes(), velocity);
    }
    const Mask4 apex = (oldVelocity.y > Float4(0.0f)) & (velocity.y <= Float4(0.0f));

    const Float4 height = grid != nullptr ? grid->HeightLanes(position.x, position.z) : Float4(-kNoGround);
    position.y = Select(position.y < height, height, position.y);
    const Mask4 contact = position.y - Float4(kContactHeight) < height;
    const Mask4 underWater = Float4(waterLevel) > position.y;
    const Float4 arrival(kArrivalDistance);
    const Mask4 arrived = (Abs(destination.x - position.x) < arrival) & (Abs(destination.z - position.z) < arrival);
    const Float4 radius = lanes([](const Physical& b) { return b.radius_; });
    const Float4 reach = Abs(start.x - position.x) + radius;
    const physics::BoxLanes box = physics::SweptBoxLanes(start, position, radius);
    const int clearBits = physics::InsideWallsLanes(start, position, radius, wallHalf).Bits();

    float x[4], y[4], z[4], vx[4], vy[4], vz[4], reaches[4];
    position.x.Store(x);
    position.y.Store(y);
    float heights[4];
    height.Store(heights);
    position.z.Store(z);
    velocity.x.Store(vx);
    velocity.y.Store(vy);
    velocity.z.Store(vz);
    reach.Store(reaches);
    float minX[4], maxX[4], minZ[4], maxZ[4];
    box.minX.Store(minX);
    box.maxX.Store(maxX);
    box.minZ.Store(minZ);
    box.maxZ.Store(maxZ);
    const int apexBits = apex.Bits();
    const int contactBits = contact.Bits();
    const int waterBits = underWater.Bits();
    const int arrivedBits = arrived.Bits();
    float sweep = 0.0f;
    for (int i = 0; i < batch.count; ++i) {
        PhysicsEntry& entry = *batch.entries[i];
        Physical& body = *entry.body;
        entry.previousPosition = body.position_;
        entry.force = Vec3();
        const int bit = 1 << i;
        if ((badBits & bit) != 0 && !entry.reportedNonFinite) {
            ErrorLog("Physics.txt", true).Warning("A body's motion was not finite; it was stopped where it stood");
            entry.reportedNonFinite = true;
        }
        body.velocity_ = Vec3(vx[i], vy[i], vz[i]);
        const Vec3 moved(x[i], y[i], z[i]);
        body.position_ = moved;
        NoteForCollisions(entry, moved, {minX[i], maxX[i], minZ[i], maxZ[i]}, (clearBits & bit) != 0);
        entry.groundX = x[i];
        entry.groundZ = z[i];
        entry.groundHeight = heights[i];
        if ((apexBits & bit) != 0) {
            FireEvent(entry, kEventApex);
        }
        if ((contactBits & bit) != 0) {
            FireEvent(entry, kEventGroundContact);
            body.spinRate_ = 0.0f;
            body.spinAxis_ = Vec3(0.0f, 1.0f, 0.0f);
        }
        if ((waterBits & bit) != 0) {
            FireEvent(entry, kEventUnderWater);
        }
        if ((arrivedBits & bit) != 0) {
            body.arrived_ = true;
        }
        sweep = std::max(sweep, reaches[i]);
    }
    return sweep;
}

// What the sort and the collision pass read of a body the step has moved
// (or left), kept in its entry beside the start of its step.
void Physics::NoteForCollisions(PhysicsEntry& entry, const Vec3& position, const PairGrid::Box& sweptBox,
                                bool clearOfWalls)
{
    const Physical& body = *entry.body;
    entry.sortX = physics::SortKeyX(position.x);
    entry.stepPosition = position;
    entry.sweptBox = sweptBox;
    entry.radius = body.radius_;
    entry.collides = body.collides_;
    entry.movable = body.movable_;
    entry.clearOfWalls = clearOfWalls;
}

// The heading that looks along (toX, toZ): within the quick arc tangent's
// error (quick, worked out for it), or exact. A body whose way to its
// destination is the same to the bit as in the last step (it did not move)
// reuses the last answer. Inline: every walking body aims in every step.
inline double Physics::Aim(PhysicsEntry& entry, float toX, float toZ, bool exact, double quick) const
{
    const bool same = entry.aimed && std::bit_cast<std::uint32_t>(toX) == std::bit_cast<std::uint32_t>(entry.aimX) &&
                      std::bit_cast<std::uint32_t>(toZ) == std::bit_cast<std::uint32_t>(entry.aimZ);
    if (same && (entry.aimExact || !exact)) {
        return entry.aim;
    }
    // Where the quick one has no answer the exact one is taken at once.
    entry.aimExact = exact || std::isnan(quick);
    entry.aim =
        physics::kPi / 2.0 - (entry.aimExact ? std::atan2(static_cast<double>(toZ), static_cast<double>(toX)) : quick);
    entry.aimX = toX;
    entry.aimZ = toZ;
    entry.aimed = true;
    return entry.aim;
}

// A spinning body turns with its spin and an arrived one stays as it is; a
// walking body joins the batch of turns toward the destination.
void Physics::Steer(PhysicsEntry& entry, TurnBatch& turns, float dt)
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
    const Vec3 toTarget = body.destination_ - body.position_;
    turns.entries[turns.count] = &entry;
    turns.toX[turns.count] = toTarget.x;
    turns.toZ[turns.count] = toTarget.z;
    if (++turns.count == 4) {
        Turn(turns, dt);
        turns.count = 0;
    }
}

// The turns of a batch, four lanes at once where the quick arc tangent
// decides them; a lane it does not decide turns on its own, with the exact
// aim where that is needed. Lanes past the count repeat the first.
void Physics::Turn(TurnBatch& turns, float dt)
{
    physics::Double4 toX{};
    physics::Double4 toZ{};
    physics::Double4 heading{};
    physics::Double4 rate{};
    for (int i = 0; i < 4; ++i) {
        const int from = i < turns.count ? i : 0;
        const Physical& body = *turns.entries[from]->body;
        toX[i] = turns.toX[from];
        toZ[i] = turns.toZ[from];
        heading[i] = body.heading_;
        rate[i] = body.turnRate_;
    }
    const physics::Double4 quick = physics::QuickAtan2Lanes(toZ, toX);
    physics::Double4 target{};
    for (int i = 0; i < turns.count; ++i) {
        target[i] = Aim(*turns.entries[i], turns.toX[i], turns.toZ[i], false, quick[i]);
    }
    for (int i = turns.count; i < 4; ++i) {
        target[i] = target[0];
    }
    const double step = dt;
    physics::Mask4d decided{};
    physics::Double4 turned{};
    physics::TurnTowardNearLanes(target, physics::kQuickAtan2Error, heading, rate, physics::Double4{} + step, decided,
                                 turned);
    for (int i = 0; i < turns.count; ++i) {
        PhysicsEntry& entry = *turns.entries[i];
        Physical& body = *entry.body;
        double result = turned[i];
        if (decided[i] == 0 &&
            !physics::TurnTowardNear(target[i], physics::kQuickAtan2Error, body.heading_, body.turnRate_, dt, result)) {
            result = physics::TurnToward(Aim(entry, turns.toX[i], turns.toZ[i], true, NAN), body.heading_,
                                         body.turnRate_, dt);
        }
        if (result > -kHeadingLimit && result < kHeadingLimit) {
            body.heading_ = static_cast<float>(result);
        }
    }
}

void Physics::RunCallbacks()
{
    // Decide everything first: a callback may add or remove bodies, raise an
    // explosion or touch other callbacks, and none of that may change which
    // callbacks run in this step.
    due_.clear();
    const bool walk = someFired_;
    someFired_ = false;
    for (std::size_t i = 0; walk && i < order_.size(); ++i) {
        PhysicsEntry& entry = *order_[i];
        if (entry.removed || !entry.anyFired) {
            continue;
        }
        std::vector<PhysicsCallback>& callbacks = entry.callbacks;
        const auto fired =
            std::find_if(callbacks.begin(), callbacks.end(), [](const PhysicsCallback& c) { return c.fired; });
        DueCallback& due = due_.emplace_back();
        due.entry = &entry;
        if (fired->removeAfterFiring) {
            due.owned = std::move(fired->function);
            due.function = due.owned.get();
            callbacks.erase(fired);
        } else {
            due.function = fired->function.get();
            fired->fired = false;
        }
        entry.RecountCallbacks();
        // One callback of an entry runs a step; the next waits for the next.
        someFired_ = someFired_ || entry.anyFired;
    }
    for (const DueCallback& due : due_) {
        if (!due.entry->removed) {
            (*due.function)(due.entry->body);
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
    for (PhysicsEntry* const entry : order_) {
        if (entry->removed) {
            FreeSlot(entry->slot);
        } else {
            order_[kept++] = entry;
        }
    }
    order_.resize(kept);
    pendingRemovals_ = 0;
}

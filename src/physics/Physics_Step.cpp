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
// itself and the ground, so the bodies are moved a block of the body store
// at a time (BodyStore.h), eight lanes whose every field is read and written
// as one vector, sampled on the ground's packed grid eight at once. The
// walking bodies of a block turn together in double lanes, each taken alone
// only where the quick arc tangent cannot decide its turn. The lanes do the
// scalar arithmetic of the rules to the bit. The pass is built for the
// baseline processor and for AVX2 (KV_LANES_DISPATCHED), with the same
// results.
#include "physics/Physics.h"

#include "core/ErrorLog.h"
#include "physics/PhysicsMath.h"
#include "platform/math/Float4.h"
#include "platform/math/Float8.h"
#include "world/Terrain.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

// The turns pass the lane vectors of PhysicsMath.h by value, which compilers warn
// is done differently with AVX; PhysicsMath.h says why that does not matter.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace {

using physics::Vec3Lanes8;

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

// The force rules below work on eight bodies at once, one a lane; each does
// lane by lane exactly the arithmetic of the rule it is named after, a
// branch of the rule becoming a Select of both sides.

// Friction is a speed loss per step: the coefficient times the ground force.
Float8 FrictionAmount(const Vec3Lanes8& groundForce, const Float8& coefficient)
{
    const Float8 ground = Length(groundForce);
    const Mask8 some = ~(coefficient < Float8(kLeastFrictionCoefficient)) & ~(ground < Float8(kLeastGroundForce));
    return Select(some, coefficient * ground, Float8(0.0f));
}

// Pushes along the ground toward the destination, less as the body nears its
// walking speed.
Vec3Lanes8 SeekForce(const Vec3Lanes8& position, const Vec3Lanes8& destination, const Vec3Lanes8& velocity,
                     const Float8& driveFalloff, const Vec3Lanes8& normal, const Float8& drive)
{
    Vec3Lanes8 direction = TangentialPart(destination - position, normal);
    const Float8 length = Length(direction);
    direction =
        Select(length > Float8(kSeekShortDistance), direction * (Float8(kSeekDirectionLength) / length), direction);
    const Float8 wanted = drive - driveFalloff * Dot(velocity, velocity);
    const Float8 push = Select(Float8(0.0f) < wanted, wanted, Float8(0.0f));
    return Select(~(Dot(normal, normal) < Float8(kLeastDriveNormalSq)), direction * push, Vec3Lanes8());
}

// Stops an arrived body in one step along the ground, within what the
// ground holds.
Vec3Lanes8 BrakeForce(const Vec3Lanes8& velocity, const Float8& mass, const Vec3Lanes8& normal, const Vec3Lanes8& force,
                      float dt)
{
    const Float8 normalLength = Length(normal);
    const Vec3Lanes8 stop = velocity * (-mass / Float8(dt)) - force;
    Vec3Lanes8 brake = TangentialPart(stop, normal);
    const Float8 cap = Float8(kBrakeShare) * normalLength;
    const Float8 length = Length(brake);
    brake = Select(length > cap, brake * (cap / length), brake);
    return Select(~(normalLength < Float8(kLeastBrakeNormal)), brake, Vec3Lanes8());
}

Vec3Lanes8 ApplyFriction(const Vec3Lanes8& velocity, const Float8& frictionAmount)
{
    const Float8 speed = Length(velocity);
    const Float8 left = speed - frictionAmount;
    const Float8 kept = Select(left < Float8(0.0f), Float8(0.0f), left);
    const Vec3Lanes8 slowed = Select(speed <= Float8(kStoppedSpeed), Vec3Lanes8(), velocity * (kept / speed));
    return Select(frictionAmount < Float8(kLeastFrictionAmount), velocity, slowed);
}

// The ground's push on a body on or below it. With the ground switched on it
// cancels the velocity along the normal in one step, and whatever presses the
// body into the ground; switched off, it only holds the body up.
Vec3Lanes8 GroundForce(bool groundOn, const Vec3Lanes8& force, const Vec3Lanes8& normal, const Vec3Lanes8& velocity,
                       const Float8& mass, float dt)
{
    if (!groundOn) {
        return {Float8(0.0f), Select(force.y <= Float8(0.0f), -force.y, Float8(0.0f)), Float8(0.0f)};
    }
    const Vec3Lanes8 ground = physics::ProjectOnto(velocity, normal) * -(mass / Float8(dt));
    return Select(Dot(force, normal) < Float8(0.0f), ground - physics::ProjectOnto(force, normal), ground);
}

// Select(mask, work(), ifFalse) for the lanes in lanes (bits), with the work
// skipped where none of them takes it: the answer is then ifFalse to the bit.
// Most blocks are alike in every lane (all on the ground, all dragged). The
// blend is always done: three blends cost less than the branch a block with
// one body off the ground would mispredict. Lanes outside lanes get either
// side.
template <typename Work> Vec3Lanes8 SelectWorked(const Mask8& mask, int lanes, Work work, const Vec3Lanes8& ifFalse)
{
    if ((mask.Bits() & lanes) == 0) {
        return ifFalse;
    }
    return Select(mask, work(), ifFalse);
}

Mask8 IsFinite(const Vec3Lanes8& v)
{
    const Float8 largest(std::numeric_limits<float>::max());
    return (Abs(v.x) <= largest) & (Abs(v.y) <= largest) & (Abs(v.z) <= largest);
}

Vec3Lanes8 LoadVectors(const float* x, const float* y, const float* z)
{
    return {Float8::Load(x), Float8::Load(y), Float8::Load(z)};
}

void StoreVectors(const Vec3Lanes8& v, float* x, float* y, float* z)
{
    v.x.Store(x);
    v.y.Store(y);
    v.z.Store(z);
}

// Calls visit(lane) for each lane whose bit is set, lowest first.
template <typename Visit> void ForEachLane(int bits, Visit visit)
{
    while (bits != 0) {
        const std::uint32_t lane = static_cast<std::uint32_t>(std::countr_zero(static_cast<unsigned>(bits)));
        bits &= bits - 1;
        visit(lane);
    }
}

// The turns of four lanes of a block toward the headings that look along
// (toX, toZ): four at once with the quick arc tangent where it decides the
// turn (then the exact aim would turn the body alike to the bit), each alone
// with the exact aim elsewhere.
struct TurnLanes {
    physics::Double4 target;
    physics::Double4 heading;
    physics::Double4 rate;
    physics::Mask4d decided;
    physics::Double4 turned;
};

using Float4d = float __attribute__((vector_size(16)));
using Int4f = std::int32_t __attribute__((vector_size(16)));

// Written out lane by lane, which compilers build as one converting load.
physics::Double4 Widened(const float* p)
{
    return physics::Double4{p[0], p[1], p[2], p[3]};
}

// Lane i's answer (all bits set or none) in bit i.
int LaneBits(const Int4f& answers)
{
#if defined(__SSE2__)
    return _mm_movemask_ps(reinterpret_cast<__m128>(answers));
#else
    int bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= answers[i] != 0 ? 1 << i : 0;
    }
    return bits;
#endif
}

// The lanes from first on, turned where the quick aim decides.
TurnLanes AimLanes(const BodyStore::Block& block, int first, const float* toX, const float* toZ, float dt)
{
    TurnLanes turn;
    turn.heading = Widened(block.heading + first);
    turn.rate = Widened(block.turnRate + first);
    // Where the quick one has no answer, the target is not a number and the
    // lane is not decided.
    turn.target = physics::kPi / 2.0 - physics::QuickAtan2Lanes(Widened(toZ), Widened(toX));
    const double step = dt;
    turn.decided = physics::Mask4d{};
    turn.turned = physics::Double4{};
    physics::TurnTowardNearLanes(turn.target, physics::kQuickAtan2Error, turn.heading, turn.rate,
                                 physics::Double4{} + step, turn.decided, turn.turned);
    return turn;
}

// Writes the headings of the lanes (bits) from first on: the decided ones
// four at once (a decided turn lies within two pi of the heading, well inside
// the limit), each other one turned alone.
void WriteTurns(BodyStore::Block& block, int first, int lanes, const TurnLanes& turn, const float* toX,
                const float* toZ, float dt)
{
    if (lanes == 0) {
        return;
    }
    const Int4f laneBits = {1, 2, 4, 8};
    const Int4f decided = physics::NarrowedMask(turn.decided);
    const Int4f written = decided & (((Int4f{} + lanes) & laneBits) != 0);
    Float4d old;
    std::memcpy(&old, block.heading + first, sizeof(old));
    const Float4d fresh = __builtin_convertvector(turn.turned, Float4d);
    const Float4d headings = written < 0 ? fresh : old;
    std::memcpy(block.heading + first, &headings, sizeof(headings));
    const int undecided = ~LaneBits(decided) & 0xF;
    ForEachLane(lanes & undecided, [&](std::uint32_t i) {
        double result = 0.0;
        if (!physics::TurnTowardNear(turn.target[i], physics::kQuickAtan2Error, turn.heading[i], turn.rate[i], dt,
                                     result)) {
            const double aim =
                physics::kPi / 2.0 - std::atan2(static_cast<double>(toZ[i]), static_cast<double>(toX[i]));
            result = physics::TurnToward(aim, turn.heading[i], turn.rate[i], dt);
        }
        if (result > -kHeadingLimit && result < kHeadingLimit) {
            block.heading[first + i] = static_cast<float>(result);
        }
    });
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
    SortByStepKeys();
    Collide(2.0f * sweep);
    RunCallbacks();
    notStepping_ = true;
    DropRemovedEntries();
}

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
    // In the order the bodies lie in the store, not the list's: each body is
    // moved on its own, and this way the walk reads memory front to back.
    for (std::size_t i = 0; i < bodies_.GetBlockCount(); ++i) {
        BodyStore::Block& block = bodies_.GetBlock(i);
        const int live = Mask8::Load(block.registered).Bits();
        if (live == 0) {
            continue;
        }
        SteerBlock(block, live, dt);
        sweep = std::max(sweep, MoveBlock(block, live, dt, waterLevel, wallHalf));
    }
    // Every position was written behind the list's back.
    sorted_ = false;
    return sweep;
}

// A ground changed or swapped since the last step makes every kept height
// stale. That is rare (a map is loaded), so the bodies are all told.
void Physics::FollowGround(const GroundGrid* grid)
{
    const std::uint64_t generation = grid != nullptr ? grid->GetGeneration() : 0;
    if (grid == groundSeen_ && generation == groundGenerationSeen_) {
        return;
    }
    groundSeen_ = grid;
    groundGenerationSeen_ = generation;
    for (std::size_t i = 0; i < bodies_.GetBlockCount(); ++i) {
        BodyStore::Block& block = bodies_.GetBlock(i);
        std::fill(std::begin(block.groundX), std::end(block.groundX), kStaleGround);
        block.groundCorners = GroundGrid::Corners8();
    }
}

// The ground under the start of the step of a block's bodies: the normal
// from the grid, the heights kept from where the last step left the bodies
// when every moving one is still there, and all from the grid otherwise
// (mostly a collision moved some back). The height depends only on the
// point's value (minus and plus zero give one height), so a kept height and
// the grid's for the same point are the same. Lanes outside moving get any
// height.
void Physics::SampleStartGround(const GroundGrid& grid, BodyStore::Block& block, int moving, const Float8& x,
                                const Float8& z, GroundGrid::Samples8& ground)
{
    const Float8 keptX = Float8::Load(block.groundX);
    const Float8 keptZ = Float8::Load(block.groundZ);
    // Equal as numbers: a stale place keeps NaN, which equals nothing.
    const int same = ((x <= keptX) & (x >= keptX) & (z <= keptZ) & (z >= keptZ)).Bits() & moving;
    grid.NormalLanesKept(x, z, block.groundCorners, ground);
    if (same == moving) {
        ground.height = Float8::Load(block.groundHeight);
    } else {
        grid.HeightLanesKept(x, z, block.groundCorners, ground.height);
    }
}

// The forces, integration and ground of the live bodies of a block; returns
// how far its moving bodies reach along x over the step (x movement plus
// radius), at most. Lanes without a live body are worked out harmlessly and
// written back as they were.
float Physics::MoveBlock(BodyStore::Block& block, int live, float dt, float waterLevel, float wallHalf)
{
    const Mask8 movable = Mask8::Load(block.movable);
    const Mask8 gravityEnabled = Mask8::Load(block.gravityEnabled);
    // Bodies neither movable nor falling are not moved; their impulse is
    // spent all the same.
    const int moving = (movable | gravityEnabled).Bits() & live;
    const Mask8 movingLanes = Mask8::FromBits(moving);
    const Vec3Lanes8 start = LoadVectors(block.positionX, block.positionY, block.positionZ);
    const Vec3Lanes8 oldVelocity = LoadVectors(block.velocityX, block.velocityY, block.velocityZ);
    const Vec3Lanes8 destination = LoadVectors(block.destinationX, block.destinationY, block.destinationZ);
    const Vec3Lanes8 impulse = LoadVectors(block.forceX, block.forceY, block.forceZ);
    StoreVectors(Vec3Lanes8(), block.forceX, block.forceY, block.forceZ);
    const Float8 mass = Float8::Load(block.mass);
    const Float8 radius = Float8::Load(block.radius);
    const Float8 step(dt);
    // Mostly no callback waits for any event, and then the step need not
    // find which bodies topped out or went under water.
    Mask8::Lanes awaited;
    std::memcpy(&awaited, block.awaitedEvents, sizeof(awaited));
    const bool someAwait = Mask8(awaited != 0).Bits() != 0;

    Vec3Lanes8 position = start;
    Vec3Lanes8 velocity = oldVelocity;
    Float8 height(-kNoGround);
    int badBits = 0;
    int apexBits = 0;
    int contactBits = 0;
    int waterBits = 0;
    Float8 reach(0.0f);
    if (moving != 0) {
        Vec3Lanes8 force = {impulse.x / step, impulse.y / step, impulse.z / step};
        const Mask8 drag = Mask8::All(dragOn_) & Mask8::Load(block.dragEnabled);
        force = SelectWorked(
            drag, moving, [&] { return force + oldVelocity * -(mass * Float8::Load(block.dragCoefficient)); }, force);
        const Mask8 gravity = Mask8::All(gravityOn_) & gravityEnabled;
        force = SelectWorked(
            gravity, moving,
            [&] {
                const Vec3Lanes8 weight = {Float8(0.0f), -mass * Float8::Load(block.gravity), Float8(0.0f)};
                return force + weight;
            },
            force);

        // Outside the map the normal stays zero, and so does every force
        // that needs one.
        GroundGrid::Samples8 ground;
        const GroundGrid* const grid = terrain_ != nullptr ? &terrain_->GetGroundGrid() : nullptr;
        if (grid != nullptr) {
            SampleStartGround(*grid, block, moving, start.x, start.z, ground);
        } else {
            ground.height = Float8(-kNoGround);
        }
        const Vec3Lanes8 normal = {ground.normalX, ground.normalY, ground.normalZ};
        const Float8 groundHeight = ground.height;
        const Mask8 onGround = groundHeight >= start.y;

        const Mask8 pressed = movable & onGround;
        const Vec3Lanes8 groundForce = SelectWorked(
            pressed, moving, [&] { return GroundForce(groundOn_, force, normal, oldVelocity, mass, dt); },
            Vec3Lanes8());
        force = SelectWorked(
            pressed, moving, [&] { return force + groundForce; }, force);
        const Float8 frictionAmount =
            Select(Mask8::Load(block.frictionEnabled),
                   FrictionAmount(groundForce, Float8::Load(block.frictionCoefficient)), Float8(0.0f));
        // Arrived bodies brake, the others seek. A block is mostly of one
        // kind (an army marches, then stands), so the side no lane takes is
        // skipped: a Select whose lanes all take one side gives that side to
        // the bit.
        const Mask8 arrivedBefore = Mask8::Load(block.arrived);
        const int arrivedLanes = arrivedBefore.Bits() & moving;
        Vec3Lanes8 driveForce;
        if (arrivedLanes != 0) {
            driveForce = BrakeForce(oldVelocity, mass, normal, force, dt);
        }
        if (arrivedLanes != moving) {
            const Float8 drive = Float8::Load(block.driveForce) * frictionAmount * Float8(kTraction);
            const Vec3Lanes8 seek =
                SeekForce(start, destination, oldVelocity, Float8::Load(block.driveFalloff), normal, drive);
            driveForce = arrivedLanes == 0 ? seek : Select(arrivedBefore, driveForce, seek);
        }
        force = SelectWorked(
            Mask8::Load(block.steering) & onGround, moving, [&] { return force + driveForce; }, force);

        velocity = oldVelocity + force * (step / mass);
        velocity = ApplyFriction(velocity, frictionAmount);
        // Mean velocity over the step: exact for constant forces.
        position = start + (oldVelocity + velocity) * (step * Float8(0.5f));
        const Mask8 notFinite = ~(IsFinite(position) & IsFinite(velocity));
        badBits = notFinite.Bits() & moving;
        if (badBits != 0) {
            position = Select(notFinite, Select(IsFinite(start), start, Vec3Lanes8()), position);
            velocity = Select(notFinite, Vec3Lanes8(), velocity);
        }
        if (someAwait) {
            apexBits = ((oldVelocity.y > Float8(0.0f)) & (velocity.y <= Float8(0.0f))).Bits() & moving;
        }

        if (grid != nullptr) {
            grid->HeightLanesKept(position.x, position.z, block.groundCorners, height);
        }
        position.y = Select(position.y < height, height, position.y);
        const Mask8 contact = (position.y - Float8(kContactHeight) < height) & movingLanes;
        contactBits = contact.Bits();
        if (someAwait) {
            waterBits = (Float8(waterLevel) > position.y).Bits() & moving;
        }
        const Float8 arrival(kArrivalDistance);
        const Mask8 arrived = (Abs(destination.x - position.x) < arrival) & (Abs(destination.z - position.z) < arrival);
        (arrivedBefore | (arrived & movingLanes)).Store(block.arrived);
        reach = Select(movingLanes, Abs(start.x - position.x) + radius, Float8(0.0f));

        position = Select(movingLanes, position, start);
        StoreVectors(position, block.positionX, block.positionY, block.positionZ);
        StoreVectors(Select(movingLanes, velocity, oldVelocity), block.velocityX, block.velocityY, block.velocityZ);
        Select(movingLanes, position.x, Float8::Load(block.groundX)).Store(block.groundX);
        Select(movingLanes, position.z, Float8::Load(block.groundZ)).Store(block.groundZ);
        Select(movingLanes, height, Float8::Load(block.groundHeight)).Store(block.groundHeight);
        if (contactBits != 0) {
            Select(contact, Float8(0.0f), Float8::Load(block.spinRate)).Store(block.spinRate);
            const Vec3Lanes8 up = {Float8(0.0f), Float8(1.0f), Float8(0.0f)};
            StoreVectors(Select(contact, up, LoadVectors(block.spinAxisX, block.spinAxisY, block.spinAxisZ)),
                         block.spinAxisX, block.spinAxisY, block.spinAxisZ);
        }
    }
    NoteForCollisions(block, start, position, radius, wallHalf);

    // Warnings and the events some callback waits for are the only work
    // left one body at a time, and mostly there is none.
    const auto awaits = [&awaited](PhysicsEvent event) {
        return Mask8((awaited & static_cast<std::int32_t>(PhysicsEventBit(event))) != 0).Bits();
    };
    const int eventful =
        badBits | (someAwait ? (apexBits & awaits(kEventApex)) | (contactBits & awaits(kEventGroundContact)) |
                                   (waterBits & awaits(kEventUnderWater))
                             : 0);
    ForEachLane(eventful, [&](std::uint32_t i) {
        PhysicsEntry& entry = *block.entry[i];
        const int bit = 1 << i;
        if ((badBits & bit) != 0 && !entry.reportedNonFinite) {
            ErrorLog("Physics.txt", true).Warning("A body's motion was not finite; it was stopped where it stood");
            entry.reportedNonFinite = true;
        }
        if ((apexBits & bit) != 0) {
            FireEvent(entry, kEventApex);
        }
        if ((contactBits & bit) != 0) {
            FireEvent(entry, kEventGroundContact);
        }
        if ((waterBits & bit) != 0) {
            FireEvent(entry, kEventUnderWater);
        }
    });
    // Lane by lane, so a lane that is not a number is passed over as
    // std::max passes it; lanes not moving reach 0, which raises nothing.
    float reaches[8];
    reach.Store(reaches);
    float sweep = 0.0f;
    for (const float r : reaches) {
        sweep = std::max(sweep, r);
    }
    return sweep;
}

// What the sort and the collision pass read of the bodies of a block the
// step has moved (or left), from where they started and ended: kept in the
// block (BodyStore.h) for every lane, live or not.
void Physics::NoteForCollisions(BodyStore::Block& block, const Vec3Lanes8& start, const Vec3Lanes8& end,
                                const Float8& radius, float wallHalf)
{
    StoreVectors(start, block.previousX, block.previousY, block.previousZ);
    StoreVectors(end, block.stepX, block.stepY, block.stepZ);
    // A NaN would break the ordering the sort relies on, so it sorts last.
    const Mask8 number = (end.x <= end.x);
    Select(number, end.x, Float8(std::numeric_limits<float>::infinity())).Store(block.sortKey);
    const physics::BoxLanesOf<Float8> box = physics::SweptBoxLanes(start, end, radius);
    box.minX.Store(block.boxMinX);
    box.maxX.Store(block.boxMaxX);
    box.minZ.Store(block.boxMinZ);
    box.maxZ.Store(block.boxMaxZ);
    radius.Store(block.stepRadius);
    std::memcpy(block.stepMovable, block.movable, sizeof(block.movable));
    physics::InsideWallsLanes(start, end, radius, wallHalf).Store(block.clearOfWalls);
}

// A spinning body turns with its spin and an arrived one stays as it is; a
// walking body turns toward its destination as it was before the step moved
// it.
void Physics::SteerBlock(BodyStore::Block& block, int live, float dt)
{
    const int steering = Mask8::Load(block.steering).Bits() & live;
    if (steering == 0) {
        return;
    }
    const Float8 spin = Float8::Load(block.spinRate);
    // Not equal to zero, as a NaN is not.
    const int spinning = ~((spin <= Float8(0.0f)) & (spin >= Float8(0.0f))).Bits() & steering;
    if (spinning != 0) {
        const Float8 heading = Float8::Load(block.heading);
        Select(Mask8::FromBits(spinning), heading + spin * Float8(kSpinSpeed) * Float8(dt), heading)
            .Store(block.heading);
    }
    const int arrived = Mask8::Load(block.arrived).Bits() & steering & ~spinning;
    ForEachLane(arrived, [&](std::uint32_t i) { FireEvent(*block.entry[i], kEventArrived); });
    const int walking = steering & ~spinning & ~arrived;
    if (walking == 0) {
        return;
    }
    float toX[8], toZ[8];
    (Float8::Load(block.destinationX) - Float8::Load(block.positionX)).Store(toX);
    (Float8::Load(block.destinationZ) - Float8::Load(block.positionZ)).Store(toZ);
    // Both halves are aimed before either is written, so the processor
    // works on the two at once.
    const TurnLanes low = AimLanes(block, 0, toX, toZ, dt);
    const TurnLanes high = AimLanes(block, 4, toX + 4, toZ + 4, dt);
    WriteTurns(block, 0, walking & 0xF, low, toX, toZ, dt);
    WriteTurns(block, 4, walking >> 4, high, toX + 4, toZ + 4, dt);
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
    keysFollowList_ = false;
    pendingRemovals_ = 0;
}

// Physics collisions: the four walls that keep moving bodies on the map, and
// sphere contacts between bodies found with a swept test over the step, so a
// fast body cannot pass through another between two frames.
//
// A body's contacts are looked for among the bodies after it in the x-sorted
// list whose x lies within the neighbour range of its own and whose z does
// too. The pair grid proposes those that can touch at all (their swept boxes
// overlap), so the search costs what each body moved, not what the fastest
// body moved; the rules above then decide among the proposals exactly as a
// walk along the list would.
#include "physics/Physics.h"

#include "core/ErrorLog.h"
#include "physics/PhysicsMath.h"
#include "world/Terrain.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kNoContact = std::numeric_limits<float>::infinity();
// Nearest contacts start beyond the end of the step, so any real one wins.
constexpr float kNoContactYet = 2.0f;
// Slower relative motion than this cannot start a contact within a step.
constexpr double kLeastRelativeMotionSq = 0.0001;
constexpr float kLeastWallApproach = 0.0001f;

// A bounce keeps half of the speed into the surface, reversed.
constexpr float kBounce = 1.5f;
// Each body of a pair receives this share of the other's approaching momentum.
constexpr float kMomentumShare = 0.5f;

struct Wall {
    Vec3 point;
    Vec3 inward;
};

void Bounce(Physical& body, const Vec3& normal)
{
    const Vec3 velocity = body.GetVelocity();
    if (Vec3Dot(velocity, normal) < 0.0f) {
        body.SetVelocity(velocity - physics::ProjectOnto(velocity, normal) * kBounce);
    }
}

// The direction from other to body. Two bodies on one point still need a
// defined direction to separate along.
Vec3 Separation(const Physical& body, const Physical& other)
{
    const Vec3 difference = body.GetPosition() - other.GetPosition();
    if (Vec3LengthSq(difference) < physics::kNoDirectionLengthSq) {
        return Vec3(1.0f, 0.0f, 0.0f);
    }
    return difference;
}

// The swept contact with one wall: true with the contact time when the body
// crosses the wall, moved inward by its radius, during the step.
bool WallContact(const Vec3& start, const Vec3& end, float radius, const Wall& wall, float& time)
{
    const Vec3& n = wall.inward;
    const float approach = Vec3Dot(start - end, n);
    if (approach <= 0.0f) {
        return false; // moving along or away from the wall
    }
    const Vec3 surface = wall.point + n * radius;
    const float startDepth = Vec3Dot(start - surface, n);
    if (startDepth <= 0.0f) {
        time = 0.0f; // already outside: back to where the step began
        return true;
    }
    if (Vec3Dot(end - surface, n) > 0.0f) {
        return false;
    }
    time = std::fabs(approach) < kLeastWallApproach ? 1.0f : startDepth / approach;
    return true;
}

// When, as a fraction of the step, two spheres moving in straight lines from
// their previous to their current positions first touch; kNoContact when they
// do not within the step. Bodies already overlapping touch at 0.
float TimeOfImpact(const Vec3& previousA, const Vec3& currentA, float radiusA, const Vec3& previousB,
                   const Vec3& currentB, float radiusB)
{
    const double reach = static_cast<double>(radiusA) + radiusB;
    const Vec3 startGap = previousA - previousB;
    const double startX = startGap.x;
    const double startY = startGap.y;
    const double startZ = startGap.z;
    const double startDistanceSq = startX * startX + startY * startY + startZ * startZ;
    const double reachSq = reach * reach;
    if (startDistanceSq < reachSq) {
        return 0.0f;
    }
    // In the second body's frame the first moves from its previous position
    // by its own motion less the second's.
    const Vec3 motion = (currentA - previousA) - (currentB - previousB);
    const double mx = motion.x;
    const double my = motion.y;
    const double mz = motion.z;
    const double quadratic = mx * mx + my * my + mz * mz;
    const double linear = 2.0 * (mx * startX + my * startY + mz * startZ);
    const double constant = startDistanceSq - reachSq;
    const double discriminant = linear * linear - 4.0 * quadratic * constant;
    if (discriminant < 0.0 || quadratic < kLeastRelativeMotionSq) {
        return kNoContact;
    }
    const double root = std::sqrt(discriminant);
    const double later = (-linear + root) / (2.0 * quadratic);
    const double earlier = (-linear - root) / (2.0 * quadratic);
    const double time = earlier >= 0.0 ? earlier : later;
    if (time < 0.0 || time > 1.0) {
        return kNoContact;
    }
    return static_cast<float>(time);
}

// Each movable body loses its speed toward the other and takes half of the
// other's approaching momentum.
void ExchangeMomentum(Physical& a, Physical& b)
{
    const float massA = a.GetMass();
    const float massB = b.GetMass();
    if (!(massA > 0.0f) || !(massB > 0.0f)) {
        ErrorLog("Physics.txt", true).Error("Object with mass not greater than 0");
        return;
    }
    const Vec3 fromB = Separation(a, b);
    const Vec3 velocityA = a.GetVelocity();
    const Vec3 velocityB = b.GetVelocity();
    const Vec3 approachA = Vec3Dot(fromB, velocityA) < 0.0f ? physics::ProjectOnto(velocityA, fromB) : Vec3();
    const Vec3 approachB = Vec3Dot(-fromB, velocityB) < 0.0f ? physics::ProjectOnto(velocityB, -fromB) : Vec3();
    const Vec3 momentumA = approachA * massA;
    const Vec3 momentumB = approachB * massB;
    a.SetVelocity(velocityA + momentumB * (kMomentumShare / massA) - approachA);
    b.SetVelocity(velocityB + momentumA * (kMomentumShare / massB) - approachB);
}

void RespondToPair(Physical& a, Physical& b)
{
    if (!a.GetMovable()) {
        Bounce(b, Separation(b, a));
        return;
    }
    if (!b.GetMovable()) {
        Bounce(a, Separation(a, b));
        return;
    }
    ExchangeMomentum(a, b);
}

} // namespace

// The colliders were gathered as the step sorted the list (SortByStepKeys).
void Physics::Collide(float range)
{
    CollideWithWalls();
    pairGrid_.FindPairs(colliders_.size());
    CollidePairs(range);
}

// Writes the list in the order just sorted, and takes from it the pass's
// order and the box each colliding body swept through. The walls may still
// move a body back along its path, which keeps it inside that box.
void Physics::GatherColliders()
{
    const std::size_t count = sortKeys_.size();
    colliders_.resize(count);
    nearWalls_.resize(count);
    const PairGrid::Fields boxes = pairGrid_.PrepareBoxes(count);
    // No entry is removed yet, as none is while no game code has run in the
    // step. Through plain pointers: the compiler cannot tell the stores of
    // bytes from the vectors' own fields, and would read those again each
    // time.
    const SortKey* const keys = sortKeys_.data();
    const KeyedEntry* const keyed = keyed_.data();
    PhysicsEntry** const order = order_.data();
    PhysicsEntry** const colliders = colliders_.data();
    float* const minX = boxes.minX;
    float* const maxX = boxes.maxX;
    float* const minZ = boxes.minZ;
    float* const maxZ = boxes.maxZ;
    std::uint8_t* const movables = boxes.movable;
    std::uint32_t* const nearWalls = nearWalls_.data();
    std::uint32_t kept = 0;
    std::size_t nearWallsKept = 0;
    for (std::size_t rank = 0; rank < count; ++rank) {
        const KeyedEntry& body = keyed[keys[rank].keyed];
        order[rank] = body.entry;
        const BodyStore::Block& block = *body.block;
        const std::uint32_t lane = body.lane;
        // Nor has any changed the body's own switches since the step.
        if (!block.collides[lane]) {
            continue;
        }
        // Both switches are all bits or none. Noted for every body and kept
        // for those near a wall, as the walls rarely matter.
        const std::int32_t movable = block.stepMovable[lane];
        nearWalls[nearWallsKept] = kept;
        nearWallsKept += (movable & ~block.clearOfWalls[lane]) != 0 ? 1 : 0;
        colliders[kept] = body.entry;
        minX[kept] = block.boxMinX[lane];
        maxX[kept] = block.boxMaxX[lane];
        minZ[kept] = block.boxMinZ[lane];
        maxZ[kept] = block.boxMaxZ[lane];
        movables[kept] = movable != 0 ? 1 : 0;
        ++kept;
    }
    colliders_.resize(kept);
    nearWalls_.resize(nearWallsKept);
}

void Physics::MoveBack(PhysicsEntry& entry, float time)
{
    const Vec3 start = entry.PreviousPosition();
    const Vec3 moved = start + (entry.StepPosition() - start) * time;
    entry.SetStepPosition(moved);
    entry.body->PutPosition(moved);
    sorted_ = false;
}

void Physics::CollideWithWalls()
{
    // Without a map there is nothing to stand inside.
    const float size = terrain_ != nullptr ? terrain_->GetMapSize() : 0.0f;
    if (!std::isfinite(size) || size <= 0.0f) {
        return;
    }
    const float half = size / 2.0f;
    const Wall walls[] = {
        {Vec3(half, 0.0f, 0.0f), Vec3(-1.0f, 0.0f, 0.0f)},
        {Vec3(-half, 0.0f, 0.0f), Vec3(1.0f, 0.0f, 0.0f)},
        {Vec3(0.0f, 0.0f, half), Vec3(0.0f, 0.0f, -1.0f)},
        {Vec3(0.0f, 0.0f, -half), Vec3(0.0f, 0.0f, 1.0f)},
    };
    for (const std::uint32_t number : nearWalls_) {
        PhysicsEntry& entry = *colliders_[number];
        Physical& body = *entry.body;
        for (const Wall& wall : walls) {
            float time = 0.0f;
            const Vec3 start = entry.PreviousPosition();
            const Vec3 end = entry.StepPosition();
            if (!WallContact(start, end, entry.StepRadius(), wall, time)) {
                continue;
            }
            const Vec3 moved = start + (end - start) * time;
            entry.SetStepPosition(moved);
            body.PutPosition(moved);
            sorted_ = false;
            Bounce(body, wall.inward);
        }
    }
}

void Physics::CollidePairs(float range)
{
    // Most bodies have no later overlap (nor has any body that does not
    // collide), and they are not visited at all. The pairs were found
    // before any game code ran, and it cannot find them again.
    const std::span<const std::uint64_t> pairs = pairGrid_.Pairs();
    for (std::size_t group = 0; group < pairs.size();) {
        const std::uint32_t number = PairGrid::LowerOf(pairs[group]);
        std::size_t end = group + 1;
        while (end < pairs.size() && PairGrid::LowerOf(pairs[end]) == number) {
            ++end;
        }
        const std::span<const std::uint64_t> candidates = pairs.subspan(group, end - group);
        group = end;
        PhysicsEntry& first = *colliders_[number];
        if (first.removed) {
            continue;
        }
        const Vec3 previous = first.PreviousPosition();
        const Vec3 position = first.StepPosition();
        const float radius = first.StepRadius();
        const bool movable = first.StepMovable();
        PhysicsEntry* nearest = nullptr;
        std::uint32_t nearestNumber = 0;
        float nearestTime = kNoContactYet;
        for (const std::uint64_t pair : candidates) {
            const std::uint32_t candidate = PairGrid::HigherOf(pair);
            PhysicsEntry& second = *colliders_[candidate];
            if (second.removed) {
                continue;
            }
            const Vec3 other = second.StepPosition();
            if (!(other.x - position.x < range) || !(std::fabs(other.z - position.z) < range) ||
                (!movable && !second.StepMovable())) {
                continue;
            }
            // The earliest contact wins; of two at one time, the one nearer
            // in the list, as a walk along it would meet them.
            const float time =
                TimeOfImpact(previous, position, radius, second.PreviousPosition(), other, second.StepRadius());
            if (time < nearestTime || (time == nearestTime && candidate < nearestNumber)) {
                nearestTime = time;
                nearest = &second;
                nearestNumber = candidate;
            }
        }
        if (nearest != nullptr) {
            ResolvePair(first, *nearest, nearestTime);
        }
    }
}

void Physics::ResolvePair(PhysicsEntry& first, PhysicsEntry& second, float time)
{
    Physical& a = *first.body;
    Physical& b = *second.body;
    const bool bothRespond = a.GetCollisionResponse() && b.GetCollisionResponse();
    const bool eitherResponds = a.GetCollisionResponse() || b.GetCollisionResponse();
    if (bothRespond) {
        if (time > 0.0f) {
            MoveBack(first, time);
            MoveBack(second, time);
        }
        RespondToPair(a, b);
    }
    // The handlers are game code and may remove either body (after which it
    // is never touched again) or move it (which the rest of the pass sees).
    Dispatch(a, b);
    for (PhysicsEntry* entry : {&first, &second}) {
        if (!entry->removed) {
            entry->SetStepPosition(entry->body->GetPosition());
        }
    }
    if (eitherResponds) {
        FireEvent(first, kEventCollision);
        FireEvent(second, kEventCollision);
    }
}

void Physics::Dispatch(Physical& first, Physical& second) const
{
    const std::int32_t typeA = first.GetCollisionType();
    const std::int32_t typeB = second.GetCollisionType();
    if (typeA == kCollisionUnit && typeB == kCollisionUnit && handlers_.unitOnCollideUnit != nullptr) {
        handlers_.unitOnCollideUnit(&first, &second);
    } else if (typeA == kCollisionUnit && typeB == kCollisionProjectile && handlers_.unitOnHitByProjectile != nullptr) {
        handlers_.unitOnHitByProjectile(&first, &second);
    } else if (typeA == kCollisionProjectile && typeB == kCollisionUnit && handlers_.projectileOnHitUnit != nullptr) {
        handlers_.projectileOnHitUnit(&first, &second);
    }
}

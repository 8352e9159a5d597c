// Physics: the one engine that moves every registered body. It keeps the
// bodies in a list sorted by x, gathers the forces the game applies between
// frames, steps the world once a frame (forces, steering, integration on the
// terrain, walls and swept sphere collisions) and tells game code about
// physical events through per-body callbacks run at the end of the step.
//
// The step is split by concern: Physics.cpp holds the registry, forces,
// callbacks, queries and explosions; Physics_Step.cpp the forces, steering
// and integration; Physics_Collisions.cpp the walls and pair collisions.
//
// The list is an array of slots in list order over entries that never move
// in memory, so game code called from inside the step may add and remove
// bodies while the step holds entries.
#pragma once

#include "core/Singleton.h"
#include "physics/BodyStore.h"
#include "physics/Physical.h"
#include "physics/PairGrid.h"
#include "physics/PhysicsMath.h"
#include "world/GroundGrid.h"
#include "platform/math/Vector.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

class Terrain;

enum PhysicsEvent : std::uint32_t {
    kEventApex = 0,          // the body stopped rising
    kEventArrived = 1,       // a steering body stands at its destination (every step while it does)
    kEventGroundContact = 2, // within 1.0 of the ground after moving (every step while it is)
    kEventCollision = 4,     // a pair contact was resolved
    kEventUnderWater = 5,    // below the water level after moving
};

// The bit of an event in an entry's awaited events; events from 31 up share
// the top bit.
inline std::uint32_t PhysicsEventBit(PhysicsEvent event)
{
    return event < 31 ? 1u << event : 1u << 31;
}

using PhysicsCallbackFunction = std::function<void(Physical* body)>;

struct PhysicsCallback {
    // Held by pointer: a callback running at the end of the step may add or
    // remove callbacks, its own included, without moving or destroying the
    // function being run.
    std::unique_ptr<PhysicsCallbackFunction> function;
    PhysicsEvent event = kEventApex;
    bool removeAfterFiring = false;
    bool fired = false;
};

// What an entry keeps of the ground under its body while it is not known.
inline constexpr float kStaleGround = std::numeric_limits<float>::quiet_NaN();

struct PhysicsEntry {
    // What the collision pass reads of every candidate first, together.
    // The body's place in the body store, where the step leaves what the
    // collision pass reads of it (BodyStore.h).
    BodyStore::Block* block = nullptr;
    std::uint32_t lane = 0;
    // Removed while the step ran: the body may already be deleted and must not
    // be touched; the entry itself goes at the end of the step.
    bool removed = false;
    // Non-finite motion is reported once per body, not in every step.
    bool reportedNonFinite = false;
    // Some callback is fired and waits to run.
    bool anyFired = false;
    Physical* body = nullptr;
    // Where the entry lives in the engine's store of entries.
    std::uint32_t slot = 0;
    // One bit per event some callback waits for, so raising an event nobody
    // waits for costs one test.
    std::uint32_t awaitedEvents = 0;
    // The x the list was last sorted by outside a step, so sorting never
    // reads a removed body. A step sorts by the keys it left in the store,
    // and a removed body's key only places the body itself, which is
    // dropped at the end of the step: sorting is stable, and no key is a
    // NaN, so the live bodies' order does not depend on it.
    float sortX = 0.0f;
    std::vector<PhysicsCallback> callbacks;

    // The ends of the body's path over the step, the end as the collision
    // pass has left it so far.
    Vec3 PreviousPosition() const { return {block->previousX[lane], block->previousY[lane], block->previousZ[lane]}; }
    Vec3 StepPosition() const { return {block->stepX[lane], block->stepY[lane], block->stepZ[lane]}; }
    void SetStepPosition(const Vec3& position)
    {
        block->stepX[lane] = position.x;
        block->stepY[lane] = position.y;
        block->stepZ[lane] = position.z;
    }
    // Sets awaitedEvents, and the store's copy of it.
    void SetAwaitedEvents(std::uint32_t events)
    {
        awaitedEvents = events;
        block->awaitedEvents[lane] = events;
    }
    float StepRadius() const { return block->stepRadius[lane]; }
    bool StepMovable() const { return block->stepMovable[lane] != 0; }

    // Works awaitedEvents and anyFired out again after callbacks changed.
    void RecountCallbacks();
};

// userData is a whole pointer-sized word: callers pass the attacker's address.
using ExplosionWord = std::uintptr_t;
using ExplosionCallback = void (*)(Physical* body, double falloff, ExplosionWord userData);
// Plays the blast's sound at its point; the sound lives above the physics.
using ExplosionSoundHook = void (*)(float x, float y, float z);

// The game layer's answers to contacts, chosen by the bodies' collision
// types. The engine knows bodies only as Physical; each handler is told which
// of its two arguments is which and converts them itself. Bodies of collision
// type 0 (scenery, debris) and flags are never handed to a handler.
struct CollisionHandlers {
    void (*unitOnCollideUnit)(Physical* unit, Physical* other) = nullptr;
    void (*unitOnHitByProjectile)(Physical* unit, Physical* projectile) = nullptr;
    void (*projectileOnHitUnit)(Physical* projectile, Physical* unit) = nullptr;
};

class Physics : public Singleton<Physics> {
    friend class Singleton<Physics>;
    // Every body takes its place in the store when it is built.
    friend class Physical;

public:
    // Registry. Adding a registered body again is ignored. Removing while a
    // step runs is deferred to its end; the body is never touched again.
    void AddObject(Physical* body);
    void RemoveObject(Physical* body);
    void Clear();
    bool IsRegistered(const Physical* body) const;
    std::size_t GetBodyCount() const { return index_.size(); }

    // Adds an impulse (velocity change force / mass) for the next step.
    // Non-finite vectors and unregistered bodies are ignored.
    void AddForce(Physical* body, const Vec3& force);

    void AddCallback(Physical* body, PhysicsCallbackFunction function, PhysicsEvent event, bool removeAfterFiring);
    void RemoveCallback(Physical* body, PhysicsEvent event);
    // Arms every callback of the entry for event; they run at the end of the
    // step, at most one per body per step. Inline: the step raises an event
    // for most bodies in every step, and mostly nobody waits for it.
    void FireEvent(PhysicsEntry& entry, PhysicsEvent event)
    {
        if ((entry.awaitedEvents & PhysicsEventBit(event)) != 0 && !entry.removed) {
            ArmCallbacks(entry, event);
        }
    }

    // Appends every body within radius (inclusive, in three dimensions) of
    // the point, in list order; true when any was appended.
    bool QueryRadius(float x, float y, float z, double radius, std::vector<Physical*>& out);

    // A blast at (x, y, z): plays its sound, pushes and spins the bodies
    // within radius of a point 4.5 below it, then calls callback (if any)
    // for each of them.
    void Explosion(float x, float y, float z, double radius, double strength, ExplosionCallback callback,
                   ExplosionWord userData);
    void SetExplosionSound(ExplosionSoundHook hook) { explosionSound_ = hook; }

    // The ground the bodies stand on and the map whose walls hold them; the
    // terrain must outlive its use here. With none, bodies have no ground,
    // no water and no walls.
    void SetTerrain(const Terrain* terrain) { terrain_ = terrain; }

    // Advances the world by frameTime seconds, the game's frame time.
    void Step(float frameTime);
    // Stable sort by position x.
    void SortBodies();
    void MarkUnsorted() { sorted_ = false; }
    bool IsSorted() const { return sorted_; }

    void SetCollisionHandlers(const CollisionHandlers& handlers) { handlers_ = handlers; }

    bool GetGravityOn() const { return gravityOn_; }
    void SetGravityOn(bool on) { gravityOn_ = on; }
    bool GetGroundOn() const { return groundOn_; }
    void SetGroundOn(bool on) { groundOn_ = on; }
    bool GetDragOn() const { return dragOn_; }
    void SetDragOn(bool on) { dragOn_ = on; }

private:
    Physics() = default;

    PhysicsEntry* FindEntry(const Physical* body);
    // The step no longer moves the body (which may be deleted next).
    static void Unregister(Physical& body);
    void ArmCallbacks(PhysicsEntry& entry, PhysicsEvent event);
    // The stable sort by each entry's sortX as it stands.
    void SortBySortX();
    // The same, by where the step left each body (all live in a step); the
    // list is written as the collision pass's colliders are gathered from it
    // (GatherColliders), one walk along it for both.
    void SortByStepKeys();
    // Keys the list's entries in list order, each by its sortX.
    void KeyEntries();
    // The stable sort of the list by the keys in sortKeys_, one an entry in
    // list order.
    void SortByKeys();
    std::uint32_t NewSlot();
    void FreeSlot(std::uint32_t slot);
    void ScanRadius(float x, float y, float z, double radius, std::vector<Physical*>& out, bool sortedWalk);

    // Physics_Step.cpp
    float MoveBodies(float dt);
    float MoveBlock(BodyStore::Block& block, int live, float dt, float waterLevel, float wallHalf);
    void FollowGround(const GroundGrid* grid);
    static void SampleStartGround(const GroundGrid& grid, BodyStore::Block& block, int moving, const Float8& x,
                                  const Float8& z, GroundGrid::Samples8& ground);
    static void NoteForCollisions(BodyStore::Block& block, const physics::Vec3Lanes8& start,
                                  const physics::Vec3Lanes8& end, const Float8& radius, float wallHalf);
    void SteerBlock(BodyStore::Block& block, int live, float dt);
    void RunCallbacks();
    void DropRemovedEntries();

    // Physics_Collisions.cpp
    void Collide(float range);
    void GatherColliders();
    void CollideWithWalls();
    void CollidePairs(float range);
    void ResolvePair(PhysicsEntry& first, PhysicsEntry& second, float time);
    void Dispatch(Physical& first, Physical& second) const;
    void MoveBack(PhysicsEntry& entry, float time);

    // Every body's state, eight to a block.
    BodyStore bodies_;
    // Entries by slot; a deque, so adding never moves the others.
    std::deque<PhysicsEntry> entries_;
    std::vector<std::uint32_t> freeSlots_;
    // The list: the live and the removed entries in list order.
    std::vector<PhysicsEntry*> order_;
    // The live entry of each registered body.
    std::unordered_map<const Physical*, std::uint32_t> index_;
    const Terrain* terrain_ = nullptr;
    // The ground grid, and its generation, the entries' ground heights were
    // taken on.
    const GroundGrid* groundSeen_ = nullptr;
    std::uint64_t groundGenerationSeen_ = 0;
    ExplosionSoundHook explosionSound_ = nullptr;
    bool sorted_ = true;
    bool notStepping_ = true;
    std::size_t pendingRemovals_ = 0;
    bool gravityOn_ = true;
    bool groundOn_ = true;
    bool dragOn_ = true;
    CollisionHandlers handlers_;

    // The step's working space, kept between steps so a step allocates nothing.
    // An entry's key, and where the rest of it is kept in keyed_, so the
    // sorts move keys of one word. Bodies standing in one column share their
    // x: the sorts keep equal keys in list order.
    struct SortKey {
        float x = 0.0f;
        std::uint32_t keyed = 0;
    };
    // A keyed entry, with the place of its body in the store and of the key
    // the step leaves there, so the next step reads the body's new key
    // without visiting the entry.
    struct KeyedEntry {
        const float* stepKey = nullptr;
        BodyStore::Block* block = nullptr;
        PhysicsEntry* entry = nullptr;
        std::uint32_t lane = 0;
    };
    std::vector<SortKey> sortKeys_;
    std::vector<KeyedEntry> keyed_;
    // sortKeys_ holds the list's entries in list order: nothing was added
    // to or taken from the list since it was sorted.
    bool keysFollowList_ = false;

    // The entries of the bodies that collide, in list order as the collision
    // pass began, which game code it calls cannot change; a body's place here
    // is its number in the pair search. The pass reads each body's ends of
    // step through its entry (PreviousPosition, StepPosition) and keeps the
    // step position up to date as it moves the body back.
    std::vector<PhysicsEntry*> colliders_;
    // The numbers of the moving colliders a wall might stop.
    std::vector<std::uint32_t> nearWalls_;
    PairGrid pairGrid_;

    struct DueCallback {
        PhysicsEntry* entry = nullptr;
        PhysicsCallbackFunction* function = nullptr;
        // A one-shot callback, already taken off its entry.
        std::unique_ptr<PhysicsCallbackFunction> owned;
    };
    std::vector<DueCallback> due_;
    // Some entry may have a fired callback: mostly none has, and then the
    // step's callbacks need no walk along the list.
    bool someFired_ = false;
    // Callbacks removed while the step's callbacks run, kept alive until the
    // last of them has returned.
    std::vector<std::unique_ptr<PhysicsCallbackFunction>> retired_;
};

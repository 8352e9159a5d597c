// Physics: the body registry, forces, event callbacks, radius queries and
// explosions.
#include "physics/Physics.h"

#include "core/ErrorLog.h"
#include "physics/PhysicsMath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

const char* const kLogName = "Physics.txt";

// Blasts are centred this far below the point given, so bodies standing
// around a ground hit are thrown up and out rather than sideways.
constexpr float kBlastDepth = 4.5f;

// Flags are light and would fly off the map at full strength.
constexpr double kFlagImpulseDivisor = 5.0;

// Insertion moves allowed per key before a full sort is cheaper.
constexpr std::size_t kMovesPerKey = 8;

// Puts key, which belongs before keys[i - 1], in its place among the keys
// before i, after any of equal x; returns how far it moved.
template <typename Key> std::size_t InsertKey(Key* keys, std::size_t i, const Key& key)
{
    std::size_t j = i;
    for (; j > 0 && key.x < keys[j - 1].x; --j) {
        keys[j] = keys[j - 1];
    }
    keys[j] = key;
    return i - j;
}

} // namespace

void PhysicsEntry::RecountCallbacks()
{
    std::uint32_t events = 0;
    anyFired = false;
    for (const PhysicsCallback& callback : callbacks) {
        events |= PhysicsEventBit(callback.event);
        anyFired = anyFired || callback.fired;
    }
    SetAwaitedEvents(events);
}

void Physics::AddObject(Physical* body)
{
    if (body == nullptr || body->GetInPhysics()) {
        return;
    }
    const std::uint32_t slot = NewSlot();
    PhysicsEntry& entry = entries_[slot];
    entry.body = body;
    entry.slot = slot;
    entry.sortX = physics::SortKeyX(body->GetPosition().x);
    // A new entry has no impulse and knows no ground yet.
    BodyStore::Block& state = body->state_;
    const std::uint32_t lane = body->lane_;
    entry.block = &state;
    entry.lane = lane;
    state.forceX[lane] = 0.0f;
    state.forceY[lane] = 0.0f;
    state.forceZ[lane] = 0.0f;
    state.groundX[lane] = kStaleGround;
    state.awaitedEvents[lane] = 0;
    state.registered[lane] = -1;
    state.entry[lane] = &entry;
    order_.push_back(&entry);
    keysFollowList_ = false;
    index_[body] = slot;
    body->SetInPhysics(true);
    sorted_ = false;
}

std::uint32_t Physics::NewSlot()
{
    if (freeSlots_.empty()) {
        entries_.emplace_back();
        return static_cast<std::uint32_t>(entries_.size() - 1);
    }
    const std::uint32_t slot = freeSlots_.back();
    freeSlots_.pop_back();
    return slot;
}

void Physics::FreeSlot(std::uint32_t slot)
{
    entries_[slot] = PhysicsEntry();
    freeSlots_.push_back(slot);
}

void Physics::RemoveObject(Physical* body)
{
    const auto found = index_.find(body);
    if (found == index_.end()) {
        ErrorLog(kLogName, true).Warning("Attempted to remove a unit from the list that was not in the list");
        return;
    }
    PhysicsEntry& entry = entries_[found->second];
    index_.erase(found);
    body->SetInPhysics(false);
    Unregister(*body);
    if (!notStepping_) {
        entry.removed = true;
        ++pendingRemovals_;
        return;
    }
    order_.erase(std::find(order_.begin(), order_.end(), &entry));
    keysFollowList_ = false;
    FreeSlot(entry.slot);
}

void Physics::Unregister(Physical& body)
{
    body.state_.registered[body.lane_] = 0;
    body.state_.entry[body.lane_] = nullptr;
}

void Physics::Clear()
{
    for (PhysicsEntry* const entry : order_) {
        if (entry->removed) {
            continue;
        }
        entry->body->SetInPhysics(false);
        Unregister(*entry->body);
        entry->removed = true;
        ++pendingRemovals_;
    }
    index_.clear();
    if (notStepping_) {
        DropRemovedEntries();
    }
}

bool Physics::IsRegistered(const Physical* body) const
{
    return index_.find(body) != index_.end();
}

PhysicsEntry* Physics::FindEntry(const Physical* body)
{
    const auto found = index_.find(body);
    return found == index_.end() ? nullptr : &entries_[found->second];
}

void Physics::AddForce(Physical* body, const Vec3& force)
{
    PhysicsEntry* const entry = FindEntry(body);
    if (entry == nullptr || !Vec3IsFinite(force)) {
        return;
    }
    Physical& moved = *entry->body;
    BodyStore::Block& state = moved.state_;
    state.forceX[moved.lane_] += force.x;
    state.forceY[moved.lane_] += force.y;
    state.forceZ[moved.lane_] += force.z;
}

void Physics::AddCallback(Physical* body, PhysicsCallbackFunction function, PhysicsEvent event, bool removeAfterFiring)
{
    PhysicsEntry* const entry = FindEntry(body);
    if (entry == nullptr || !function) {
        return;
    }
    PhysicsCallback& callback = entry->callbacks.emplace_back();
    callback.function = std::make_unique<PhysicsCallbackFunction>(std::move(function));
    callback.event = event;
    callback.removeAfterFiring = removeAfterFiring;
    entry->SetAwaitedEvents(entry->awaitedEvents | PhysicsEventBit(event));
}

void Physics::RemoveCallback(Physical* body, PhysicsEvent event)
{
    PhysicsEntry* const entry = FindEntry(body);
    if (entry == nullptr) {
        return;
    }
    std::vector<PhysicsCallback>& callbacks = entry->callbacks;
    const auto found = std::find_if(callbacks.begin(), callbacks.end(),
                                    [event](const PhysicsCallback& c) { return c.event == event; });
    if (found == callbacks.end()) {
        return;
    }
    // A callback of this step may be running or due; it stays alive until
    // the last one has returned.
    if (!notStepping_) {
        retired_.push_back(std::move(found->function));
    }
    callbacks.erase(found);
    entry->RecountCallbacks();
}

void Physics::ArmCallbacks(PhysicsEntry& entry, PhysicsEvent event)
{
    for (PhysicsCallback& callback : entry.callbacks) {
        if (callback.event == event) {
            callback.fired = true;
            entry.anyFired = true;
            someFired_ = true;
        }
    }
}

bool Physics::QueryRadius(float x, float y, float z, double radius, std::vector<Physical*>& out)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !std::isfinite(radius) || radius < 0.0) {
        return false;
    }
    const std::size_t before = out.size();
    // Re-sorting while the step walks the list would make the walk skip or
    // repeat bodies, so a query from inside the step scans the whole list.
    if (!sorted_ && notStepping_) {
        SortBodies();
    }
    ScanRadius(x, y, z, radius, out, sorted_);
    return out.size() > before;
}

void Physics::ScanRadius(float x, float y, float z, double radius, std::vector<Physical*>& out, bool sortedWalk)
{
    const double radiusSq = radius * radius;
    for (const PhysicsEntry* const entry : order_) {
        if (entry->removed) {
            continue;
        }
        const Vec3 position = entry->body->GetPosition();
        if (sortedWalk && position.x < x - radius) {
            continue;
        }
        if (sortedWalk && position.x > x + radius) {
            break;
        }
        const double dx = static_cast<double>(position.x) - x;
        const double dy = static_cast<double>(position.y) - y;
        const double dz = static_cast<double>(position.z) - z;
        if (dx * dx + dy * dy + dz * dz <= radiusSq) {
            out.push_back(entry->body);
        }
    }
}

void Physics::SortBodies()
{
    for (PhysicsEntry* const entry : order_) {
        if (!entry->removed) {
            entry->sortX = physics::SortKeyX(entry->body->GetPosition().x);
        }
    }
    SortBySortX();
}

void Physics::SortBySortX()
{
    KeyEntries();
    SortByKeys();
}

void Physics::KeyEntries()
{
    const std::size_t count = order_.size();
    sortKeys_.resize(count);
    keyed_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        PhysicsEntry* const entry = order_[i];
        sortKeys_[i] = {entry->sortX, static_cast<std::uint32_t>(i)};
        keyed_[i] = {&entry->block->sortKey[entry->lane], entry->block, entry, entry->lane};
    }
}

void Physics::SortByStepKeys()
{
    // The keys of the last sort name the places when the list has not
    // changed since; otherwise the entries do.
    const std::size_t count = order_.size();
    if (!keysFollowList_ || sortKeys_.size() != count) {
        KeyEntries();
    }
    // Each key is read from the store as the sort reaches it: the keys
    // before it are in order and hold their new x.
    SortKey* const keys = sortKeys_.data();
    const KeyedEntry* const keyed = keyed_.data();
    const std::size_t budget = kMovesPerKey * count;
    std::size_t moves = 0;
    float previous = -std::numeric_limits<float>::infinity();
    std::size_t i = 0;
    while (i < count) {
        const SortKey key = {*keyed[keys[i].keyed].stepKey, keys[i].keyed};
        if (!(key.x < previous)) {
            keys[i++].x = key.x;
            previous = key.x;
            continue;
        }
        moves += InsertKey(keys, i++, key);
        if (moves > budget) {
            break;
        }
    }
    if (moves > budget) {
        for (; i < count; ++i) {
            keys[i].x = *keyed[keys[i].keyed].stepKey;
        }
        std::stable_sort(sortKeys_.begin(), sortKeys_.end(),
                         [](const SortKey& a, const SortKey& b) { return a.x < b.x; });
    }
    sorted_ = true;
    keysFollowList_ = true;
    GatherColliders();
}

void Physics::SortByKeys()
{
    // Between two steps the order barely changes, so insertion puts it right
    // in a few moves; after bodies were added in bulk a full sort is cheaper.
    // Both keep bodies of equal x in list order.
    SortKey* const keys = sortKeys_.data();
    const std::size_t count = sortKeys_.size();
    const std::size_t budget = kMovesPerKey * count;
    std::size_t moves = 0;
    // Only the list from the first key that moved on needs writing back.
    std::size_t firstMoved = count;
    // The key before the one looked at, kept at hand.
    float previous = count > 0 ? keys[0].x : 0.0f;
    for (std::size_t i = 1; i < count; ++i) {
        const SortKey key = keys[i];
        if (!(key.x < previous)) {
            previous = key.x;
            continue;
        }
        const std::size_t moved = InsertKey(keys, i, key);
        moves += moved;
        firstMoved = std::min(firstMoved, i - moved);
        if (moves > budget) {
            break;
        }
    }
    if (moves > budget) {
        std::stable_sort(sortKeys_.begin(), sortKeys_.end(),
                         [](const SortKey& a, const SortKey& b) { return a.x < b.x; });
        firstMoved = 0;
    }
    PhysicsEntry** const order = order_.data();
    for (std::size_t i = firstMoved; i < count; ++i) {
        order[i] = keyed_[keys[i].keyed].entry;
    }
    sorted_ = true;
    keysFollowList_ = true;
}

void Physics::Explosion(float x, float y, float z, double radius, double strength, ExplosionCallback callback,
                        ExplosionWord userData)
{
    // Centres and strengths can arrive from the network; a non-finite one
    // would spread NaN through every body it touched.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !std::isfinite(radius) ||
        !std::isfinite(strength)) {
        return;
    }
    if (explosionSound_ != nullptr) {
        explosionSound_(x, y, z);
    }
    if (radius <= 0.0) {
        return;
    }
    const Vec3 centre(x, y - kBlastDepth, z);
    std::vector<Physical*> found;
    QueryRadius(centre.x, centre.y, centre.z, radius, found);

    struct Hit {
        Physical* body = nullptr;
        double falloff = 0.0;
    };
    std::vector<Hit> hits;
    for (Physical* body : found) {
        if (body->GetCollisionType() == kCollisionNone) {
            continue;
        }
        const Vec3 offset = body->GetPosition() - centre;
        const float length = Vec3Length(offset);
        const Vec3 direction = length == 0.0f ? Vec3(0.0f, 1.0f, 0.0f) : offset / length;
        const double falloff = 1.0 - static_cast<double>(length) / radius;
        const bool flag = body->GetCollisionType() == kCollisionFlag;
        const double scale = falloff * strength / (flag ? kFlagImpulseDivisor : 1.0);
        AddForce(body, direction * static_cast<float>(scale));
        if (!flag) {
            body->SetSpinRate(static_cast<float>(falloff));
            const Vec3 axis = Vec3Cross(Vec3(0.0f, 1.0f, 0.0f), direction);
            body->SetSpinAxis(axis == Vec3() ? Vec3(1.0f, 0.0f, 0.0f) : axis);
        }
        hits.push_back({body, falloff});
    }
    if (callback == nullptr) {
        return;
    }
    for (const Hit& hit : hits) {
        // An earlier callback may have killed and removed a later body.
        if (IsRegistered(hit.body)) {
            callback(hit.body, hit.falloff, userData);
        }
    }
}

// Physics: the body registry, forces, event callbacks, radius queries and
// explosions.
#include "physics/Physics.h"

#include "core/ErrorLog.h"

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

} // namespace

void Physics::AddObject(Physical* body)
{
    if (body == nullptr || body->GetInPhysics()) {
        return;
    }
    PhysicsEntry& entry = entries_.emplace_back();
    entry.body = body;
    entry.previousPosition = body->GetPosition();
    entry.sortX = entry.previousPosition.x;
    index_[body] = &entry;
    body->SetInPhysics(true);
    sorted_ = false;
}

void Physics::RemoveObject(Physical* body)
{
    PhysicsEntry* const entry = FindEntry(body);
    if (entry == nullptr) {
        ErrorLog(kLogName, true).Warning("Attempted to remove a unit from the list that was not in the list");
        return;
    }
    index_.erase(body);
    body->SetInPhysics(false);
    if (!notStepping_) {
        entry->removed = true;
        ++pendingRemovals_;
        return;
    }
    entries_.remove_if([entry](const PhysicsEntry& candidate) { return &candidate == entry; });
}

void Physics::Clear()
{
    for (PhysicsEntry& entry : entries_) {
        if (entry.removed) {
            continue;
        }
        entry.body->SetInPhysics(false);
        entry.removed = true;
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
    return found == index_.end() ? nullptr : found->second;
}

void Physics::AddForce(Physical* body, const Vec3& force)
{
    PhysicsEntry* const entry = FindEntry(body);
    if (entry == nullptr || !Vec3IsFinite(force)) {
        return;
    }
    entry->force += force;
}

void Physics::AddCallback(Physical* body, PhysicsCallbackFunction function, PhysicsEvent event, bool removeAfterFiring)
{
    PhysicsEntry* const entry = FindEntry(body);
    if (entry == nullptr || !function) {
        return;
    }
    PhysicsCallback& callback = entry->callbacks.emplace_back();
    callback.function = std::move(function);
    callback.event = event;
    callback.removeAfterFiring = removeAfterFiring;
}

void Physics::RemoveCallback(Physical* body, PhysicsEvent event)
{
    PhysicsEntry* const entry = FindEntry(body);
    if (entry == nullptr) {
        return;
    }
    std::vector<PhysicsCallback>& callbacks = entry->callbacks;
    for (auto it = callbacks.begin(); it != callbacks.end(); ++it) {
        if (it->event == event) {
            callbacks.erase(it);
            return;
        }
    }
}

void Physics::FireEvent(PhysicsEntry& entry, PhysicsEvent event)
{
    if (entry.removed) {
        return;
    }
    for (PhysicsCallback& callback : entry.callbacks) {
        if (callback.event == event) {
            callback.fired = true;
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
    for (const PhysicsEntry& entry : entries_) {
        if (entry.removed) {
            continue;
        }
        const Vec3 position = entry.body->GetPosition();
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
            out.push_back(entry.body);
        }
    }
}

void Physics::SortBodies()
{
    for (PhysicsEntry& entry : entries_) {
        if (entry.removed) {
            continue;
        }
        // A NaN would break the ordering the sort relies on.
        const float x = entry.body->GetPosition().x;
        entry.sortX = std::isnan(x) ? std::numeric_limits<float>::infinity() : x;
    }
    entries_.sort([](const PhysicsEntry& a, const PhysicsEntry& b) { return a.sortX < b.sortX; });
    sorted_ = true;
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

// Changes of order that happen after a delay (a Smashtor's return to Engage
// after landing, a shooter's after reloading), each only if the unit is then
// still in the order expected. One due change is applied per frame, the
// oldest first.
#pragma once

#include "core/Singleton.h"
#include "game/UnitOrder.h"

#include <cstdint>
#include <vector>

class Unit;

class OrderQueue : public Singleton<OrderQueue> {
    friend class Singleton<OrderQueue>;

public:
    void Add(Unit* unit, UnitOrder newOrder, UnitOrder expectedOrder, float delay, bool keep);
    // Applies the first record whose delay has passed, if its unit is in the
    // expected order, and drops it either way.
    void Update();
    void Clear() { records_.clear(); }
    std::size_t GetSize() const { return records_.size(); }

private:
    OrderQueue() = default;

    struct QueuedOrder {
        Unit* unit = nullptr;
        std::int64_t queuedAt = 0;
        UnitOrder newOrder = kOrderIdle;
        UnitOrder expectedOrder = kOrderIdle;
        float delay = 0.0f;
        bool keep = false;
    };
    std::vector<QueuedOrder> records_;
};

// OrderQueue: delayed order changes.
#include "game/OrderQueue.h"

#include "core/Stopwatch.h"
#include "game/Unit.h"

#include <algorithm>

void OrderQueue::Add(Unit* unit, UnitOrder newOrder, UnitOrder expectedOrder, float delay, bool keep)
{
    if (unit == nullptr) {
        return;
    }
    QueuedOrder& record = records_.emplace_back();
    record.unit = unit;
    TimerStart(record.queuedAt);
    record.newOrder = newOrder;
    record.expectedOrder = expectedOrder;
    record.delay = delay;
    record.keep = keep;
}

void OrderQueue::Update()
{
    const auto due = std::find_if(records_.begin(), records_.end(), [](const QueuedOrder& record) {
        return TimerElapsed(record.queuedAt) > record.delay;
    });
    if (due == records_.end()) {
        return;
    }
    const QueuedOrder record = *due;
    records_.erase(due);
    if (record.unit->GetOrder() == record.expectedOrder) {
        record.unit->SetOrder(record.newOrder, record.keep);
    }
}

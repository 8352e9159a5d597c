// AnimationCallbacks: calls at the end of a unit's animation.
#include "game/AnimationCallbacks.h"

#include "game/Unit.h"

void AnimationCallbacks::Add(Unit* unit, AnimationCallbackFunction function, UnitOrder order, bool pending)
{
    if (unit == nullptr || function == nullptr) {
        return;
    }
    std::vector<AnimationCallback>& list = pending || updating_ ? pending_ : active_;
    list.push_back({unit, order, function});
}

void AnimationCallbacks::Update()
{
    active_.insert(active_.end(), pending_.begin(), pending_.end());
    pending_.clear();

    updating_ = true;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < active_.size(); ++i) {
        const AnimationCallback record = active_[i];
        if (record.unit->GetOrder() != record.order) {
            continue;
        }
        if (record.unit->GetAnimationController().IsFinished(false)) {
            record.function(*record.unit);
            continue;
        }
        active_[kept++] = record;
    }
    active_.resize(kept);
    updating_ = false;
}

void AnimationCallbacks::Clear()
{
    active_.clear();
    pending_.clear();
}

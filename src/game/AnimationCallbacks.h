// Calls made when a unit's animation has played to its end (a Triangoloid's
// lunge after its wind-up, a Detagon's blast after its fuse), each only if
// the unit is still in the order it had when the call was set.
#pragma once

#include "core/Singleton.h"
#include "game/UnitOrder.h"

#include <vector>

class Unit;

using AnimationCallbackFunction = void (*)(Unit& unit);

class AnimationCallbacks : public Singleton<AnimationCallbacks> {
    friend class Singleton<AnimationCallbacks>;

public:
    // A pending call is first examined in the next Update. Calls added while
    // Update runs (by the calls it makes) are always pending, so the list
    // being walked never changes under it.
    void Add(Unit* unit, AnimationCallbackFunction function, UnitOrder order, bool pending);
    // Takes in the pending calls, then drops every call whose unit changed
    // order, and makes and drops every call whose unit's animation finished.
    void Update();
    void Clear();
    std::size_t GetSize() const { return active_.size() + pending_.size(); }

private:
    AnimationCallbacks() = default;

    struct AnimationCallback {
        Unit* unit = nullptr;
        UnitOrder order = kOrderIdle;
        AnimationCallbackFunction function = nullptr;
    };
    std::vector<AnimationCallback> active_;
    std::vector<AnimationCallback> pending_;
    bool updating_ = false;
};

// The animation sets of one model file and a clock running through them:
// reset to 0, advanced by elapsed seconds, read back. A unit model keeps one,
// shared by every unit that shows the model; sampling a unit's own moment
// goes through AnimatedMesh, which takes the time as an argument instead.
#pragma once

#include "world/AnimationSet.h"

#include <utility>
#include <vector>

class KeyframeController {
public:
    explicit KeyframeController(std::vector<AnimationSet> sets) : sets_(std::move(sets)) {}

    void ResetTime() { time_ = 0.0; }
    // Elapsed seconds that are not a number are ignored: one bad frame time
    // must not leave the animation stuck on NaN for good.
    void AdvanceTime(double seconds);
    double GetTime() const { return time_; }

    int GetAnimationSetCount() const { return static_cast<int>(sets_.size()); }
    // Null out of range. Set 0 is the file's first.
    const AnimationSet* GetAnimationSetByIndex(int index) const;

private:
    std::vector<AnimationSet> sets_;
    double time_ = 0.0;
};

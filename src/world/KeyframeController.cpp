// The animation clock of one model file.
#include "world/KeyframeController.h"

#include <cmath>

void KeyframeController::AdvanceTime(double seconds)
{
    if (std::isfinite(seconds)) {
        time_ += seconds;
    }
}

const AnimationSet* KeyframeController::GetAnimationSetByIndex(int index) const
{
    if (index < 0 || index >= GetAnimationSetCount()) {
        return nullptr;
    }
    return &sets_[static_cast<std::size_t>(index)];
}

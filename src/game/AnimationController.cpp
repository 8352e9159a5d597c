// AnimationController: the current animation and its stopwatch.
#include "game/AnimationController.h"

#include "core/Stopwatch.h"

AnimationController::AnimationController(const AnimationPeriods& periods, std::uint32_t colour)
    : periods_(periods), colour_(colour)
{
    TimerStart(start_);
}

void AnimationController::SetAnimation(std::uint32_t id)
{
    animation_ = id;
    TimerStart(start_);
}

bool AnimationController::IsFinished(bool early) const
{
    const double length = periods_.Get(animation_);
    // A model without this animation (or with no model at all) has nothing
    // to wait for.
    if (length <= 0.0) {
        return true;
    }
    const double elapsed = GetElapsed() + (early ? length / 4.0 : 0.0);
    return elapsed > length;
}

double AnimationController::GetElapsed() const
{
    return static_cast<double>(TimerElapsed(start_));
}

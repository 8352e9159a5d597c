// SequenceFilter.
#include "net/SequenceFilter.h"

namespace {

// How far b lies after a, both ways round the 32-bit circle.
std::int64_t Ahead(std::uint32_t a, std::uint32_t b)
{
    return static_cast<std::int32_t>(b - a);
}

bool FollowsWithin(std::uint32_t from, std::uint32_t sequence, std::uint32_t window)
{
    const std::int64_t d = Ahead(from, sequence);
    return d >= 0 && d <= window;
}

} // namespace

bool SequenceFilter::Take(std::uint32_t sequence)
{
    const bool reanchors =
        remembering_ && sequence != remembered_ && FollowsWithin(remembered_, sequence, kForwardWindow);
    if (!anchored_ || FollowsWithin(last_, sequence, kForwardWindow) || reanchors) {
        anchored_ = true;
        last_ = sequence;
        remembering_ = false;
        return true;
    }
    const std::int64_t d = Ahead(last_, sequence);
    if (d < 0 && d >= -static_cast<std::int64_t>(kLateWindow)) {
        return false;
    }
    remembering_ = true;
    remembered_ = sequence;
    return false;
}

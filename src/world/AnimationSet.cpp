// Keyframe sampling for unit animations.
#include "world/AnimationSet.h"

#include <algorithm>
#include <cmath>

namespace {

// The keys either side of t: the index of the first key after t, or 0 or
// the count when t lies outside the keys. Keys are in increasing time.
template <typename Key> std::size_t KeyAfter(const std::vector<Key>& keys, double t)
{
    const auto after =
        std::upper_bound(keys.begin(), keys.end(), t, [](double time, const Key& key) { return time < key.time; });
    return static_cast<std::size_t>(after - keys.begin());
}

// Fraction of the way from key a to key b at t; keys never share a time.
template <typename Key> float Fraction(const Key& a, const Key& b, double t)
{
    return static_cast<float>((t - a.time) / (b.time - a.time));
}

template <typename Key, typename Value, typename Mix>
Value Sample(const std::vector<Key>& keys, double t, const Value& identity, Mix mix)
{
    if (keys.empty()) {
        return identity;
    }
    const std::size_t after = KeyAfter(keys, t);
    if (after == 0) {
        return keys.front().value;
    }
    if (after == keys.size()) {
        return keys.back().value;
    }
    const Key& a = keys[after - 1];
    const Key& b = keys[after];
    return mix(a.value, b.value, Fraction(a, b, t));
}

} // namespace

AnimationSet::AnimationSet(const XAnimationSet& set, std::uint32_t ticksPerSecond) : name_(set.name)
{
    const double secondsPerTick = 1.0 / ticksPerSecond;
    tracks_.reserve(set.animations.size());
    for (const XAnimation& animation : set.animations) {
        Track track;
        track.frameName = animation.frameName;
        for (const XVectorKey& key : animation.scaleKeys) {
            track.scale.push_back({key.time * secondsPerTick, key.value});
        }
        for (const XRotationKey& key : animation.rotationKeys) {
            track.rotation.push_back({key.time * secondsPerTick, QuaternionNormalize(key.value)});
        }
        for (const XVectorKey& key : animation.positionKeys) {
            track.translation.push_back({key.time * secondsPerTick, key.value});
        }
        for (const double last : {track.scale.empty() ? 0.0 : track.scale.back().time,
                                  track.rotation.empty() ? 0.0 : track.rotation.back().time,
                                  track.translation.empty() ? 0.0 : track.translation.back().time}) {
            period_ = std::max(period_, last);
        }
        tracks_.push_back(std::move(track));
    }
}

const std::string& AnimationSet::GetAnimationFrameName(int animation) const
{
    static const std::string none;
    if (animation < 0 || animation >= GetAnimationCount()) {
        return none;
    }
    return tracks_[static_cast<std::size_t>(animation)].frameName;
}

double AnimationSet::GetPeriodicPosition(double time) const
{
    if (period_ <= 0.0 || !std::isfinite(time)) {
        return 0.0;
    }
    const double position = time - period_ * std::floor(time / period_);
    return std::clamp(position, 0.0, period_);
}

AnimationSrt AnimationSet::GetSrt(double position, int animation) const
{
    AnimationSrt srt;
    if (animation < 0 || animation >= GetAnimationCount()) {
        return srt;
    }
    const Track& track = tracks_[static_cast<std::size_t>(animation)];
    srt.scale = Sample(track.scale, position, srt.scale, Vec3Lerp);
    srt.rotation = Sample(track.rotation, position, srt.rotation, QuaternionSlerp);
    srt.translation = Sample(track.translation, position, srt.translation, Vec3Lerp);
    return srt;
}

// One animation set of a unit model: a track per rigid part, each with its
// own scale, rotation and position keys, sampled at any time. Times here are
// seconds; the file's ticks are converted once, when the set is built.
#pragma once

#include "world/XFileData.h"

#include <string>
#include <vector>

// A part's transform at one moment: scaled, then rotated, then moved.
struct AnimationSrt {
    Vec3 scale{1.0f, 1.0f, 1.0f};
    Quaternion rotation;
    Vec3 translation;
};

class AnimationSet {
public:
    // From a set that ValidateXFileData accepted, with the file's tick rate.
    AnimationSet(const XAnimationSet& set, std::uint32_t ticksPerSecond);

    const std::string& GetName() const { return name_; }
    int GetAnimationCount() const { return static_cast<int>(tracks_.size()); }
    // The frame that animation (track) index moves; "" out of range.
    const std::string& GetAnimationFrameName(int animation) const;

    // Seconds from the start to the last key of any track; 0 for a set whose
    // keys all lie at the start.
    double GetPeriod() const { return period_; }
    // Where time falls in the looping animation, in 0 .. period. A period of
    // 0, or a time that is not a number, stays at 0.
    double GetPeriodicPosition(double time) const;

    // Track animation at position seconds: scale and position interpolated
    // linearly, rotation spherically along the shorter way, each held at its
    // first and last key outside them. A track without keys of a kind gives
    // the identity for it, and an index out of range gives the identity.
    AnimationSrt GetSrt(double position, int animation) const;

private:
    struct VectorKey {
        double time = 0.0;
        Vec3 value;
    };
    struct RotationKey {
        double time = 0.0;
        Quaternion value;
    };
    struct Track {
        std::string frameName;
        std::vector<VectorKey> scale;
        std::vector<RotationKey> rotation;
        std::vector<VectorKey> translation;
    };

    std::string name_;
    std::vector<Track> tracks_;
    double period_ = 0.0;
};

// Which animation a unit (or the click marker) plays and since when. Unit
// behaviour is timed by it: an attack's wind-up lasts as long as its
// animation, so the lengths of the model files set the pace of a fight.
#pragma once

#include <array>
#include <cstdint>

// Animation ids, the order of a unit type's model files.
enum AnimationId : std::uint32_t {
    kAnimationIdle = 0,
    kAnimationWalk = 1,
    kAnimationSpecial = 2, // an attack's wind-up, a shot, a fuse
    kAnimationFire = 3,    // the Artillerator's recoil
};

// The lengths in seconds of one model set's animations, by id. An id past
// count, or a model that failed to load, has length 0.
struct AnimationPeriods {
    static constexpr std::size_t kMaxAnimations = 4;
    std::array<double, kMaxAnimations> seconds{};
    std::size_t count = 0;

    double Get(std::uint32_t id) const { return id < count && id < kMaxAnimations ? seconds[id] : 0.0; }
};

class AnimationController {
public:
    AnimationController(const AnimationPeriods& periods, std::uint32_t colour);
    virtual ~AnimationController() = default;

    // Starts animation id from its beginning, even when it is already playing.
    void SetAnimation(std::uint32_t id);
    std::uint32_t GetAnimation() const { return animation_; }
    // The current animation has played through (a quarter of its length
    // sooner when early is set). An animation of length 0 is finished at once.
    bool IsFinished(bool early) const;
    // Seconds since the current animation started: where the model is posed.
    double GetElapsed() const;
    double GetPeriod(std::uint32_t id) const { return periods_.Get(id); }
    std::uint32_t GetColour() const { return colour_; }

private:
    AnimationPeriods periods_;
    std::uint32_t colour_ = 0;
    std::uint32_t animation_ = kAnimationIdle;
    std::int64_t start_ = 0;
};

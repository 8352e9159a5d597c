// One particle effect: a fixed pool of particles chained into a free list
// and an active list, bursts emitted from one set of ParticleParams, every
// live particle moved under a constant acceleration while its colour fades
// from the start to the end colour, and all of them drawn with one call as
// additive point sprites of one texture.
//
// Nothing is allocated after Init: emission takes particles from the free
// list (a burst larger than it is cut short, live particles are never
// taken), and a particle older than its life goes back to it. The newest
// particle heads the active list, and so is the first vertex drawn.
#pragma once

#include "platform/RenderDevice.h"
#include "render/Particle.h"
#include "render/ParticleParams.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// What the system hands the device for one particle: a point and its colour
// (vertex format position and diffuse).
struct ParticleVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::uint32_t colour = 0;
};
static_assert(sizeof(ParticleVertex) == 16);
inline constexpr std::uint32_t kParticleVertexFormat = platform::kVertexPosition | platform::kVertexDiffuse;

// A value in a .. b from the game's generator; both ends can come up.
float RandomRange(float a, float b);
// A direction of length 1, uniform over the sphere.
Vec3 RandomUnitVector();

class ParticleSystem {
public:
    // Lets go of whatever the system held, then takes the params, a pool of
    // poolSize free particles and a vertex buffer for as many points. The
    // free list runs from the last particle of the pool down to the first.
    void Init(platform::RenderDevice& device, const ParticleParams& params, int poolSize);
    void SetPosition(const Vec3& position) { params_.position = position; }
    void SetDirection(const Vec3& direction) { params_.direction = direction; }
    // Up to count particles from the emitter; how many there were free to go.
    int Emit(int count);
    // Moves, ages and fades every live particle by seconds; a particle whose
    // age passes its life (an age equal to it still lives) goes back free.
    void Update(float seconds);
    // Draws the live particles in the device's current texture, restoring
    // the states it changed. With none live, or no vertex buffer, nothing is
    // drawn and no state is touched.
    void Render(platform::RenderDevice& device);
    // Frees the successor of previous, or the active list's head when
    // previous is Particle::kNone. The successor of the freed one becomes
    // previous's successor, so a walk of the list goes on from it.
    void Kill(std::int32_t previous);
    void KillAll();
    void Release();

    bool IsInitialised() const { return !pool_.empty(); }
    bool HasLive() const { return active_ != Particle::kNone; }
    std::uint32_t GetTextureIndex() const { return params_.textureIndex; }
    const ParticleParams& GetParams() const { return params_; }
    int GetPoolSize() const { return static_cast<int>(pool_.size()); }
    // The lengths of the two lists, walked link by link.
    int CountActive() const { return CountList(active_); }
    int CountFree() const { return CountList(free_); }
    // One vertex per live particle into out, newest first; how many.
    std::size_t WriteVertices(std::span<ParticleVertex> out) const;

private:
    int CountList(std::int32_t head) const;
    void Birth(Particle& particle) const;

    ParticleParams params_;
    std::vector<Particle> pool_;
    std::vector<ParticleVertex> vertices_;
    std::int32_t active_ = Particle::kNone;
    std::int32_t free_ = Particle::kNone;
    std::unique_ptr<platform::VertexBuffer> buffer_;
};

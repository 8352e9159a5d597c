// ParticleSystem: the two lists over the pool, emission, aging and the draw.
#include "render/ParticleSystem.h"

#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

ColorValue operator-(const ColorValue& a, const ColorValue& b)
{
    return {a.r - b.r, a.g - b.g, a.b - b.b, a.a - b.a};
}

ColorValue Scaled(const ColorValue& c, float s)
{
    return {c.r * s, c.g * s, c.b * s, c.a * s};
}

void AddScaled(ColorValue& c, const ColorValue& delta, float s)
{
    c.r += delta.r * s;
    c.g += delta.g * s;
    c.b += delta.b * s;
    c.a += delta.a * s;
}

} // namespace

float RandomRange(float a, float b)
{
    return a + (b - a) * static_cast<float>(platform::Rand()) / static_cast<float>(platform::kRandMax);
}

Vec3 RandomUnitVector()
{
    const float z = RandomRange(-1.0f, 1.0f);
    const float theta = RandomRange(-kPi, kPi);
    const float r = std::sqrt(std::max(1.0f - z * z, 0.0f));
    return {r * std::cos(theta), r * std::sin(theta), z};
}

void ParticleSystem::Init(platform::RenderDevice& device, const ParticleParams& params, int poolSize)
{
    Release();
    if (poolSize <= 0) {
        return;
    }
    params_ = params;
    pool_.assign(static_cast<std::size_t>(poolSize), Particle{});
    vertices_.assign(pool_.size(), ParticleVertex{});
    buffer_ = device.CreateVertexBuffer(pool_.size() * sizeof(ParticleVertex));
    // Each particle links to the one below it; the last of the pool heads.
    for (std::int32_t k = 1; k < poolSize; ++k) {
        pool_[static_cast<std::size_t>(k)].next = k - 1;
    }
    free_ = poolSize - 1;
    active_ = Particle::kNone;
}

void ParticleSystem::Birth(Particle& particle) const
{
    const ParticleParams& p = params_;
    particle.age = 0.0f;
    particle.colour = UnpackColor(p.startColour);
    particle.life = RandomRange(p.lifeMin, p.lifeMin + p.lifeRange);
    // Params with no life at all make particles that die at the first update.
    const float perSecond = particle.life > 0.0f ? 1.0f / particle.life : 0.0f;
    particle.colourDelta = Scaled(UnpackColor(p.endColour) - particle.colour, perSecond);
    particle.position = p.position;
    const Vec3 heading = Vec3Normalize(p.direction + RandomUnitVector() * p.spread);
    particle.velocity = heading * RandomRange(p.speedMin, p.speedMin + p.speedRange);
}

int ParticleSystem::Emit(int count)
{
    int emitted = 0;
    while (emitted < count && free_ != Particle::kNone) {
        const std::int32_t taken = free_;
        Particle& particle = pool_[static_cast<std::size_t>(taken)];
        free_ = particle.next;
        particle.next = active_;
        active_ = taken;
        Birth(particle);
        ++emitted;
    }
    return emitted;
}

void ParticleSystem::Update(float seconds)
{
    const Vec3 acceleration = params_.acceleration;
    std::int32_t previous = Particle::kNone;
    std::int32_t at = active_;
    while (at != Particle::kNone) {
        Particle& particle = pool_[static_cast<std::size_t>(at)];
        // Read before a kill relinks it into the free list.
        const std::int32_t successor = particle.next;
        particle.position += particle.velocity * seconds;
        particle.velocity += acceleration * seconds;
        AddScaled(particle.colour, particle.colourDelta, seconds);
        particle.age += seconds;
        if (particle.age > particle.life) {
            Kill(previous);
        } else {
            previous = at;
        }
        at = successor;
    }
}

void ParticleSystem::Kill(std::int32_t previous)
{
    if (previous < Particle::kNone || previous >= GetPoolSize() || !IsInitialised()) {
        return;
    }
    std::int32_t& link = previous == Particle::kNone ? active_ : pool_[static_cast<std::size_t>(previous)].next;
    const std::int32_t dead = link;
    if (dead == Particle::kNone) {
        return;
    }
    Particle& particle = pool_[static_cast<std::size_t>(dead)];
    link = particle.next;
    particle.next = free_;
    free_ = dead;
}

void ParticleSystem::KillAll()
{
    while (active_ != Particle::kNone) {
        Kill(Particle::kNone);
    }
}

void ParticleSystem::Release()
{
    pool_.clear();
    pool_.shrink_to_fit();
    vertices_.clear();
    vertices_.shrink_to_fit();
    active_ = Particle::kNone;
    free_ = Particle::kNone;
    buffer_.reset();
}

int ParticleSystem::CountList(std::int32_t head) const
{
    // Bounded by the pool, so a broken chain cannot loop for ever.
    int count = 0;
    for (std::int32_t at = head; at != Particle::kNone && count <= GetPoolSize(); ++count) {
        at = pool_[static_cast<std::size_t>(at)].next;
    }
    return count;
}

std::size_t ParticleSystem::WriteVertices(std::span<ParticleVertex> out) const
{
    std::size_t written = 0;
    for (std::int32_t at = active_; at != Particle::kNone && written < out.size(); ++written) {
        const Particle& particle = pool_[static_cast<std::size_t>(at)];
        out[written] = {particle.position.x, particle.position.y, particle.position.z, PackColor(particle.colour)};
        at = particle.next;
    }
    return written;
}

void ParticleSystem::Render(platform::RenderDevice& device)
{
    using platform::RenderState;
    if (!buffer_ || active_ == Particle::kNone) {
        return;
    }
    const std::size_t count = WriteVertices(vertices_);
    std::memcpy(buffer_->Lock().data(), vertices_.data(), count * sizeof(ParticleVertex));
    buffer_->Unlock();

    // Additive sprites that shrink with distance: they brighten what lies
    // behind them and, not writing depth, never hide one another.
    device.SetRenderState(RenderState::PointSpriteEnable, 1);
    device.SetRenderState(RenderState::PointScaleEnable, 1);
    device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    device.SetRenderState(RenderState::SrcBlend, platform::kBlendSrcAlpha);
    device.SetRenderState(RenderState::DestBlend, platform::kBlendOne);
    device.SetRenderState(RenderState::ZWriteEnable, 0);
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetPointSize(params_.size);
    device.SetPointSizeMin(1.0f);
    device.SetPointScale(0.0f, 0.0f, 1.0f);
    device.SetStreamSource(buffer_.get(), sizeof(ParticleVertex));
    device.SetVertexFormat(kParticleVertexFormat);
    device.DrawPrimitive(platform::Primitive::PointList, 0, static_cast<std::uint32_t>(count));

    device.SetRenderState(RenderState::PointSpriteEnable, 0);
    device.SetRenderState(RenderState::PointScaleEnable, 0);
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    device.SetRenderState(RenderState::DestBlend, platform::kBlendInvSrcAlpha);
    device.SetRenderState(RenderState::ZWriteEnable, 1);
}

// The space the battle floats in: one large square of the nebula picture
// spread 80 units below the map, drawn first in every frame without depth so
// everything drawn after covers it. Each corner's texture coordinate circles
// its own point of the picture at 0.6 radians a second, the four a quarter
// turn apart, so the nebula seems to swirl.
#pragma once

#include "platform/RenderDevice.h"
#include "platform/math/Vector.h"

#include <array>
#include <memory>

class Sky {
public:
    static constexpr const char* kTexturePath = "Maps/nebula.png";
    static constexpr float kTurnRate = 0.6f; // radians a second
    static constexpr float kSwirlRadius = 0.2f;

    // Builds it afresh (every map load): the picture (a missing one is
    // logged and the square draws white), the square and the corners'
    // starting phases.
    void Create(platform::RenderDevice& device);
    // Turns the swirl by the frame time and draws; nothing before Create.
    void Draw(platform::RenderDevice& device, float frameTime);
    void Release();

    bool IsCreated() const { return buffer_ != nullptr; }
    float GetPhase(int corner) const { return phase_[static_cast<std::size_t>(corner)]; }
    // The texture coordinate the last draw gave a corner.
    Vec2 GetTexCoord(int corner) const;

private:
    struct Vertex {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        std::uint32_t colour = 0xFFFFFFFFu;
        float u = 0.0f;
        float v = 0.0f;
    };
    static_assert(sizeof(Vertex) == 24);

    void Turn(float frameTime);

    std::unique_ptr<platform::VertexBuffer> buffer_;
    std::unique_ptr<platform::Texture> texture_;
    std::array<Vertex, 4> vertices_{};
    std::array<float, 4> phase_{};
};

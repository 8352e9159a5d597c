// The space the battle floats in: one large square of the nebula picture
// spread 80 units below the map (the ground's skirts stop at 40). It is drawn
// after the opaque ground and units, depth-tested but leaving the depth as it
// was: it lies below everything, so it shows only where nothing was drawn,
// and a software rasteriser skips the texture reads of every covered pixel
// (most of the view, under the menu camera). The blended objects come after
// it, so they still mix with it where they stand against the void. Each corner's texture coordinate circles
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
    // Turns the swirl by the frame time and draws, after the opaque world;
    // nothing before Create.
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

// Terrain: the light baked into the ground's vertex colours. The ground is
// drawn unlit, so this is the only light it gets: Lambert shading from the
// one directional light plus the ambient, fading under water to a flat dim
// so the lake beds read as deep.
#include "world/Terrain.h"

#include <algorithm>

namespace {

constexpr float kWaterFadeDepth = 3.0f;
constexpr float kUnderWaterShade = 0.15f;

std::uint32_t ChannelByte(float value)
{
    if (!(value > 0.0f)) {
        return 0;
    }
    if (value >= 1.0f) {
        return 0xFF;
    }
    return static_cast<std::uint32_t>(value * 255.0f + 0.5f);
}

} // namespace

void Terrain::Relight(const LightRecord* light, std::uint32_t ambient)
{
    if (light != nullptr) {
        light_ = *light;
    }
    ++relightCount_;
    if (!loaded_) {
        return;
    }
    const Vec3 towardLight = Vec3Normalize(-1.0f * light_.direction);
    const ColorValue base = UnpackColor(ambient);
    const ColorValue diffuse = light_.diffuse;
    // Only the vertices whose colour changed are handed on to the drawing
    // side: after a crater that is the crater's own bowl.
    bool changed = false;
    GridWindow window{columns_, 0, rows_, 0};
    for (std::uint32_t r = 0; r < rows_; ++r) {
        for (std::uint32_t c = 0; c < columns_; ++c) {
            TerrainVertex& vertex = ground_[r * columns_ + c];
            const float facing = std::max(Vec3Dot(vertex.normal, towardLight), 0.0f);
            float shade = facing;
            if (vertex.position.y < waterLevel_) {
                const float t = (waterLevel_ - vertex.position.y) / kWaterFadeDepth;
                shade = t >= 1.0f ? kUnderWaterShade : t * kUnderWaterShade + (1.0f - t) * facing;
            }
            const std::uint32_t red = ChannelByte(std::min(base.r + shade * diffuse.r, 1.0f));
            const std::uint32_t green = ChannelByte(std::min(base.g + shade * diffuse.g, 1.0f));
            const std::uint32_t blue = ChannelByte(std::min(base.b + shade * diffuse.b, 1.0f));
            const std::uint32_t colour = (vertex.diffuse & 0xFF000000u) | (red << 16) | (green << 8) | blue;
            if (colour == vertex.diffuse) {
                continue;
            }
            vertex.diffuse = colour;
            changed = true;
            window = {std::min(window.c0, c), std::max(window.c1, c), std::min(window.r0, r), std::max(window.r1, r)};
        }
    }
    if (changed) {
        LogEdit(window);
    }
}

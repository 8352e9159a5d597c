// Minimap: the target, the view from above, the pass that draws into it, and
// the texels a change of the ground reaches.
// The pass runs inside the frame's scene (the terrain's sync), so it opens
// none of its own.
#include "render/Minimap.h"

#include "core/ErrorLog.h"

#include <algorithm>
#include <cmath>

namespace {

// Grid line g's place across the picture, in texels, on a grid of `lines`
// lines from one side of the map to the other.
float TexelOfLine(std::uint32_t g, std::uint32_t lines)
{
    return static_cast<float>(g) * static_cast<float>(Minimap::kSize) / static_cast<float>(lines - 1);
}

// The texel span [first, last) over grid lines from..to, one texel more on
// each side, within the picture.
void TexelSpan(std::uint32_t from, std::uint32_t to, std::uint32_t lines, int& first, int& last)
{
    first = std::clamp(static_cast<int>(std::floor(TexelOfLine(from, lines))) - 1, 0, Minimap::kSize);
    last = std::clamp(static_cast<int>(std::ceil(TexelOfLine(to, lines))) + 1, 0, Minimap::kSize);
}

// The grid lines from one cell before texel first to one cell after texel
// last.
void LineSpan(int first, int last, std::uint32_t lines, std::uint32_t& from, std::uint32_t& to)
{
    const float perTexel = static_cast<float>(lines - 1) / static_cast<float>(Minimap::kSize);
    const float lastLine = static_cast<float>(lines - 1);
    from =
        static_cast<std::uint32_t>(std::clamp(std::floor(static_cast<float>(first) * perTexel) - 1.0f, 0.0f, lastLine));
    to = static_cast<std::uint32_t>(std::clamp(std::ceil(static_cast<float>(last) * perTexel) + 1.0f, 0.0f, lastLine));
}

} // namespace

void Minimap::Render(platform::RenderDevice& device, float mapSize, std::span<const platform::ScissorRect> areas,
                     const std::function<void(const platform::ScissorRect& area)>& drawGround)
{
    using platform::RenderState;
    using platform::TransformKind;
    if (!texture_) {
        texture_ = device.CreateRenderTarget(kSize, kSize);
    }
    if (!texture_) {
        if (!failureLogged_) {
            ErrorLog("Renderer.txt", true).Warning("No minimap picture: the device made no render target.");
            failureLogged_ = true;
        }
        return;
    }
    platform::Texture* const savedTarget = device.GetRenderTarget();
    const platform::DeviceState& state = device.GetState();
    const Matrix savedView = state.GetTransform(TransformKind::View);
    const Matrix savedProjection = state.GetTransform(TransformKind::Projection);
    device.SetRenderTarget(texture_.get());
    // A map of no size has no view to draw it by: the picture stays black.
    const bool ground = mapSize > 0.0f;
    if (ground) {
        device.SetTransform(TransformKind::World, Matrix::Identity());
        device.SetTransform(TransformKind::View, ViewFromAbove());
        device.SetTransform(TransformKind::Projection, Projection(mapSize));
        device.SetRenderState(RenderState::Lighting, 0);
        device.SetRenderState(RenderState::SpecularEnable, 0);
        device.SetRenderState(RenderState::AlphaBlendEnable, 0);
        device.SetRenderState(RenderState::ZEnable, 0);
        device.SetRenderState(RenderState::ZWriteEnable, 0);
    }
    for (const platform::ScissorRect& area : areas) {
        device.SetScissorRect(&area);
        device.Clear(0xFF000000u, 1.0f);
        if (ground) {
            drawGround(area);
        }
    }
    device.SetScissorRect(nullptr);
    if (ground) {
        device.SetRenderState(RenderState::Lighting, 1);
        device.SetRenderState(RenderState::ZEnable, 1);
        device.SetRenderState(RenderState::ZWriteEnable, 1);
    }
    device.SetRenderTarget(savedTarget);
    device.SetTransform(TransformKind::View, savedView);
    device.SetTransform(TransformKind::Projection, savedProjection);
}

Matrix Minimap::ViewFromAbove()
{
    return MatrixLookAtLH({0.0f, kEyeHeight, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
}

Matrix Minimap::Projection(float mapSize)
{
    const float h = mapSize / 2.0f;
    return MatrixOrthoOffCenterLH(-h, h, -h, h, 0.0f, kDepth);
}

// A triangle with a corner on line c spans lines c - 1 to c + 1.
platform::ScissorRect Minimap::TexelsAround(const GridWindow& window, std::uint32_t columns, std::uint32_t rows)
{
    if (columns < 2 || rows < 2) {
        return kWholePicture;
    }
    platform::ScissorRect rect;
    TexelSpan(window.c0 > 0 ? window.c0 - 1 : 0, std::min(window.c1 + 1, columns - 1), columns, rect.left, rect.right);
    TexelSpan(window.r0 > 0 ? window.r0 - 1 : 0, std::min(window.r1 + 1, rows - 1), rows, rect.top, rect.bottom);
    return rect;
}

GridWindow Minimap::CellsUnder(const platform::ScissorRect& area, std::uint32_t columns, std::uint32_t rows)
{
    if (columns < 2 || rows < 2) {
        return {};
    }
    GridWindow window;
    LineSpan(area.left, area.right, columns, window.c0, window.c1);
    LineSpan(area.top, area.bottom, rows, window.r0, window.r1);
    return window;
}

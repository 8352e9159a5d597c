// Minimap: the target, the view from above, and the pass that draws into it.
// The pass runs inside the frame's scene (the terrain's sync), so it opens
// none of its own.
#include "render/Minimap.h"

#include "core/ErrorLog.h"

void Minimap::Render(platform::RenderDevice& device, float mapSize, const std::function<void()>& drawGround)
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
    device.Clear(0xFF000000u, 1.0f);
    // A map of no size has no view to draw it by: the picture stays black.
    if (mapSize > 0.0f) {
        device.SetTransform(TransformKind::World, Matrix::Identity());
        device.SetTransform(TransformKind::View, ViewFromAbove());
        device.SetTransform(TransformKind::Projection, Projection(mapSize));
        device.SetRenderState(RenderState::Lighting, 0);
        device.SetRenderState(RenderState::SpecularEnable, 0);
        device.SetRenderState(RenderState::AlphaBlendEnable, 0);
        device.SetRenderState(RenderState::ZEnable, 0);
        device.SetRenderState(RenderState::ZWriteEnable, 0);
        drawGround();
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

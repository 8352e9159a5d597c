// Everything a drawing device keeps between draws, with the defaults the
// game's drawing code relies on without ever setting them (depth test and
// writes on, clockwise faces in front, vertex colours as the material's
// diffuse and specular, no texture reading as white). Both devices hold one,
// so their getters answer alike.
#pragma once

#include "platform/LightRecord.h"
#include "platform/RenderTypes.h"
#include "platform/math/Matrix.h"

#include <array>
#include <bit>
#include <cstdint>

namespace platform {

class Texture;
class VertexBuffer;
class IndexBuffer;
class PixelShader;

inline constexpr int kTextureStages = 3;

struct DeviceState {
    DeviceState()
    {
        const auto set = [this](RenderState state, std::uint32_t value) {
            renderStates[static_cast<int>(state)] = value;
        };
        const auto setFloat = [&set](RenderState state, float value) {
            set(state, std::bit_cast<std::uint32_t>(value));
        };
        set(RenderState::ZEnable, 1);
        set(RenderState::ZWriteEnable, 1);
        set(RenderState::Lighting, 1);
        set(RenderState::SpecularEnable, 0);
        set(RenderState::AlphaBlendEnable, 0);
        set(RenderState::SrcBlend, kBlendOne);
        set(RenderState::DestBlend, kBlendZero);
        set(RenderState::CullMode, kCullCounterClockwise);
        set(RenderState::Ambient, 0);
        set(RenderState::DiffuseMaterialSource, kSourceColor1);
        set(RenderState::SpecularMaterialSource, kSourceColor2);
        set(RenderState::LocalViewer, 1);
        set(RenderState::FillMode, kFillSolid);
        set(RenderState::PointSpriteEnable, 0);
        set(RenderState::PointScaleEnable, 0);
        setFloat(RenderState::PointSize, 1.0f);
        setFloat(RenderState::PointSizeMin, 1.0f);
        setFloat(RenderState::PointScaleA, 1.0f);
        setFloat(RenderState::PointScaleB, 0.0f);
        setFloat(RenderState::PointScaleC, 0.0f);
        transforms.fill(Matrix::Identity());
    }

    std::uint32_t Get(RenderState state) const { return renderStates[static_cast<int>(state)]; }
    float GetFloat(RenderState state) const { return std::bit_cast<float>(Get(state)); }
    bool IsOn(RenderState state) const { return Get(state) != 0; }
    const Matrix& GetTransform(TransformKind kind) const { return transforms[static_cast<int>(kind)]; }

    std::array<std::uint32_t, static_cast<int>(RenderState::Count)> renderStates{};
    std::array<Matrix, static_cast<int>(TransformKind::Count)> transforms{};
    Material material;
    LightRecord light;
    bool lightEnabled = false;
    std::array<Texture*, kTextureStages> textures{};
    VertexBuffer* stream = nullptr;
    std::uint32_t streamStride = 0;
    IndexBuffer* indices = nullptr;
    std::uint32_t vertexFormat = 0;
    PixelShader* pixelShader = nullptr;
    Viewport viewport;
    // Draws and clears change only the scissor rectangle's pixels while it is on.
    bool scissorOn = false;
    ScissorRect scissor;
};

} // namespace platform

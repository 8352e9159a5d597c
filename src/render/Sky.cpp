// Sky: the square, its swirl and its draw.
#include "render/Sky.h"

#include "core/ErrorLog.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr float kTwoPi = 2.0f * kPi;
constexpr float kHeight = -80.0f;
constexpr float kHalfSide = 600.0f;
constexpr std::uint32_t kFormat = platform::kVertexPosition | platform::kVertexDiffuse | platform::kVertexTex1;

// The corners in fan order, clockwise seen from above so the square faces
// up: where each lies, the point of the picture it circles, and where on
// its circle it starts.
struct Corner {
    float x;
    float z;
    float baseU;
    float baseV;
    float phase;
};
constexpr Corner kCorners[4] = {
    {-kHalfSide, kHalfSide, 0.2f, 0.2f, kPi / 2.0f},
    {kHalfSide, kHalfSide, 0.8f, 0.2f, kPi},
    {kHalfSide, -kHalfSide, 0.8f, 0.8f, 3.0f * kPi / 2.0f},
    {-kHalfSide, -kHalfSide, 0.2f, 0.8f, 0.0f},
};

} // namespace

void Sky::Create(platform::RenderDevice& device)
{
    Release();
    std::string why;
    texture_ = device.CreateTextureFromFile(kTexturePath, &why);
    if (!texture_) {
        ErrorLog("Renderer.txt", true).Warning(std::string("Sky picture ") + kTexturePath + " not loaded: " + why);
    }
    buffer_ = device.CreateVertexBuffer(sizeof vertices_);
    for (std::size_t k = 0; k < vertices_.size(); ++k) {
        vertices_[k] = {kCorners[k].x, kHeight, kCorners[k].z, 0xFFFFFFFFu, kCorners[k].baseU, kCorners[k].baseV};
        phase_[k] = kCorners[k].phase;
    }
}

void Sky::Release()
{
    buffer_.reset();
    texture_.reset();
}

Vec2 Sky::GetTexCoord(int corner) const
{
    const Vertex& v = vertices_[static_cast<std::size_t>(corner)];
    return {v.u, v.v};
}

void Sky::Turn(float frameTime)
{
    const float step = frameTime * kTurnRate;
    for (std::size_t k = 0; k < vertices_.size(); ++k) {
        // One turn off at most: a frame longer than a whole turn keeps the rest.
        phase_[k] += step;
        if (phase_[k] > kTwoPi) {
            phase_[k] -= kTwoPi;
        }
        vertices_[k].u = kCorners[k].baseU + kSwirlRadius * std::cos(phase_[k]);
        vertices_[k].v = kCorners[k].baseV + kSwirlRadius * std::sin(phase_[k]);
    }
}

void Sky::Draw(platform::RenderDevice& device, float frameTime)
{
    using platform::RenderState;
    if (!buffer_) {
        return;
    }
    Turn(frameTime);
    std::memcpy(buffer_->Lock().data(), vertices_.data(), sizeof vertices_);
    buffer_->Unlock();

    device.SetTransform(platform::TransformKind::World, Matrix::Identity());
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    // Tested against what is already drawn, so the ground's pixels are
    // rejected before the picture is read; nothing of the map reaches down
    // to the square, so nothing it could show through is hidden.
    device.SetRenderState(RenderState::ZEnable, 1);
    device.SetRenderState(RenderState::ZWriteEnable, 0);
    device.SetPixelShader(nullptr);
    device.SetVertexFormat(kFormat);
    device.SetTexture(0, texture_.get());
    device.SetStreamSource(buffer_.get(), sizeof(Vertex));
    device.DrawPrimitive(platform::Primitive::TriangleFan, 0, 2);

    device.SetTexture(0, nullptr);
    device.SetRenderState(RenderState::ZWriteEnable, 1);
}

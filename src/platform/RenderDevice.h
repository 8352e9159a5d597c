// The drawing device: one interface over the graphics hardware with the
// behaviour the game's drawing code relies on. State persists between
// draws (DeviceState.h holds it with its defaults); transforms are row-vector
// matrices of a left-handed world with depth 0..1; faces wound
// counter-clockwise on screen are culled; pre-transformed vertices are in
// pixels with y down and pixel centres on whole numbers. One directional
// light, a global ambient and a material light vertices; texture stage 0
// modulates the texture by the vertex colour, and with no texture bound the
// vertex colour shows as is.
//
// Implementations: GlRenderDevice (OpenGL 2.1 through the window's context)
// and NullRenderDevice (draws nothing, records the calls).
#pragma once

#include "platform/DeviceState.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Texture {
public:
    virtual ~Texture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Render-target textures have no alpha: they read with alpha 1.
    virtual bool IsRenderTarget() const = 0;
};

// Vertex memory: Lock gives the whole buffer to write, Unlock hands it over.
// UnlockRange hands over only the bytes from first, count of them, the rest
// as they were: the buffer is written in place, so a draw from it still to
// be carried out is waited for. It suits a change between frames (a
// crater's), not one between draws.
class VertexBuffer {
public:
    virtual ~VertexBuffer() = default;
    virtual std::span<std::uint8_t> Lock() = 0;
    virtual void Unlock() = 0;
    virtual void UnlockRange(std::size_t first, std::size_t count) = 0;
    virtual std::size_t Size() const = 0;
};

// 16- or 32-bit triangle indices, locked as vertices are (bytes, not indices).
class IndexBuffer {
public:
    virtual ~IndexBuffer() = default;
    virtual std::span<std::uint8_t> Lock() = 0;
    virtual void Unlock() = 0;
    virtual void UnlockRange(std::size_t first, std::size_t count) = 0;
    virtual std::uint32_t Count() const = 0;
    virtual bool IsWide() const = 0;
};

// A fragment program that replaces texturing and colouring while it is set.
// Stage n's texture is its sampler "stage<n>", the vertex colour gl_Color and
// texture set n gl_TexCoord[n].
class PixelShader {
public:
    virtual ~PixelShader() = default;
};

class Font {
public:
    virtual ~Font() = default;
    // Height of one line in pixels.
    virtual int LineHeight() const = 0;
    // Width in pixels of the widest line of text as it would be drawn.
    virtual int TextWidth(std::string_view text) const = 0;
};

// The picture as 8-bit RGB, top row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

class RenderDevice {
public:
    virtual ~RenderDevice() = default;

    // State.
    virtual void SetRenderState(RenderState state, std::uint32_t value) = 0;
    void SetRenderStateFloat(RenderState state, float value)
    {
        SetRenderState(state, std::bit_cast<std::uint32_t>(value));
    }
    // Points: the size, in pixels, or with PointScaleEnable in world units
    // seen from a distance of one viewport height; and the fewest pixels a
    // point may shrink to. Sprites never grow past 64 pixels.
    void SetPointSize(float size) { SetRenderStateFloat(RenderState::PointSize, size); }
    void SetPointSizeMin(float pixels) { SetRenderStateFloat(RenderState::PointSizeMin, pixels); }
    // With PointScaleEnable a point at eye distance d is drawn
    // viewport height x size x sqrt(1 / (a + b d + c d^2)) pixels across:
    // (0, 0, 1) shrinks sprites in proportion to their distance.
    void SetPointScale(float a, float b, float c)
    {
        SetRenderStateFloat(RenderState::PointScaleA, a);
        SetRenderStateFloat(RenderState::PointScaleB, b);
        SetRenderStateFloat(RenderState::PointScaleC, c);
    }
    virtual void SetTransform(TransformKind kind, const Matrix& matrix) = 0;
    virtual void SetMaterial(const Material& material) = 0;
    // A directional light in world space, whatever the transforms.
    virtual void SetLight(const LightRecord& light) = 0;
    virtual void EnableLight(bool on) = 0;
    // Stages 0 .. kTextureStages - 1; nullptr unbinds.
    virtual void SetTexture(int stage, Texture* texture) = 0;
    virtual void SetVertexFormat(std::uint32_t format) = 0;
    virtual void SetStreamSource(VertexBuffer* buffer, std::uint32_t stride) = 0;
    virtual void SetIndices(IndexBuffer* buffer) = 0;
    virtual void SetPixelShader(PixelShader* shader) = 0;
    virtual void SetViewport(const Viewport& viewport) = 0;
    // From now on draws and clears change only the pixels inside rect, the
    // rest of the target keeping what it shows; nullptr lifts the limit, and
    // so does a switch of target.
    virtual void SetScissorRect(const ScissorRect* rect) = 0;
    const DeviceState& GetState() const { return state_; }

    // Resources. Textures are created with full mip chains, linear filtering
    // and wrapping; nullptr (and a reason in error) when they cannot be made.
    virtual std::unique_ptr<Texture> CreateTextureFromFile(std::string_view path, std::string* error = nullptr) = 0;
    virtual std::unique_ptr<Texture> CreateTextureFromMemory(std::span<const std::uint8_t> fileBytes,
                                                             std::string* error = nullptr) = 0;
    // rgba: width x height pixels, top row first.
    virtual std::unique_ptr<Texture> CreateTextureFromPixels(int width, int height,
                                                             std::span<const std::uint8_t> rgba) = 0;
    // The same, read from the nearer mip level alone rather than a blend of
    // the two around the wanted size: half the texel reads, for a picture that
    // is seen small enough for the step between levels not to show.
    virtual std::unique_ptr<Texture> CreateTextureFromPixelsNearestMip(int width, int height,
                                                                       std::span<const std::uint8_t> rgba) = 0;
    virtual std::unique_ptr<Texture> CreateRenderTarget(int width, int height) = 0;
    virtual std::unique_ptr<VertexBuffer> CreateVertexBuffer(std::size_t bytes) = 0;
    virtual std::unique_ptr<IndexBuffer> CreateIndexBuffer(std::uint32_t count, bool wide) = 0;
    // The shader source file, found through the data path lookup.
    virtual std::unique_ptr<PixelShader> CreatePixelShaderFromFile(std::string_view path,
                                                                   std::string* error = nullptr) = 0;
    virtual std::unique_ptr<Font> CreateFont(const FontDesc& desc) = 0;

    // Drawing from stream 0 (and the index buffer) in the current state and
    // nothing else: a draw looks the same whatever the draws before it were.
    // A stride shorter than the vertex format's vertex draws nothing.
    virtual void DrawPrimitive(Primitive type, std::uint32_t startVertex, std::uint32_t count) = 0;
    virtual void DrawIndexedPrimitive(Primitive type, std::int32_t baseVertex, std::uint32_t minIndex,
                                      std::uint32_t vertexCount, std::uint32_t startIndex, std::uint32_t count) = 0;

    // Text goes through one shared batch of screen quads drawn in its own
    // states (no light, no depth, alpha blended, unclipped); the device state
    // of before BeginSprites is back after EndSprites. Top left of the text at
    // (x, y) in pixels; "\n" starts a line.
    virtual void BeginSprites() = 0;
    virtual void DrawText(Font& font, std::string_view text, int x, int y, std::uint32_t argb) = 0;
    virtual void EndSprites() = 0;

    // Targets and frames. A texture target is drawn the right way up; every
    // switch sets the viewport to the whole new target and lifts the scissor
    // rectangle. nullptr is the picture.
    virtual void SetRenderTarget(Texture* target) = 0;
    virtual Texture* GetRenderTarget() const = 0;
    // Colour (ARGB) and depth of the current target: the viewport's pixels,
    // those inside the scissor rectangle while it is on.
    virtual void Clear(std::uint32_t argb, float depth) = 0;
    // Scenes nest and never fail while the device lives.
    virtual bool BeginScene() = 0;
    virtual void EndScene() = 0;
    // Hands the draws made so far on to be carried out while the caller goes
    // on queueing more; the picture is the same with or without it. A
    // software rasteriser otherwise starts on a frame only when it is shown.
    virtual void Flush() = 0;
    // Shows the picture. It keeps the frame after, so a screenshot saves it.
    virtual void Present() = 0;
    virtual bool ReadPicture(RgbImage& image) = 0;

    int PictureWidth() const { return pictureWidth_; }
    int PictureHeight() const { return pictureHeight_; }

protected:
    DeviceState state_;
    int pictureWidth_ = 1024;
    int pictureHeight_ = 768;
};

} // namespace platform

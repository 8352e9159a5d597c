// The drawing device over OpenGL 2.1 (compatibility profile, through
// libepoxy), drawing into the window's picture. The fixed-function pipeline
// does the lighting and texturing; the device maps the game's conventions
// onto it (GlRenderDevice.cpp says how). GlRenderDevice_Resources.cpp holds
// the textures, buffers, shaders and render targets.
#pragma once

#include "platform/GlResources.h"
#include "platform/RenderDevice.h"
#include "platform/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class GlTexture;
class GlVertexBuffer;

class GlRenderDevice : public RenderDevice {
public:
    // Needs the window's GL context current. nullptr, with the reason, when
    // the GL lacks what the device needs (2.1, framebuffer objects, BGRA
    // vertex colours).
    static std::unique_ptr<GlRenderDevice> Create(Window& window, std::string* error);
    ~GlRenderDevice() override;

    void SetRenderState(RenderState state, std::uint32_t value) override;
    void SetTransform(TransformKind kind, const Matrix& matrix) override;
    void SetMaterial(const Material& material) override;
    void SetLight(const LightRecord& light) override;
    void EnableLight(bool on) override;
    void SetTexture(int stage, Texture* texture) override;
    void SetVertexFormat(std::uint32_t format) override;
    void SetStreamSource(VertexBuffer* buffer, std::uint32_t stride) override;
    void SetIndices(IndexBuffer* buffer) override;
    void SetPixelShader(PixelShader* shader) override;
    void SetViewport(const Viewport& viewport) override;
    void SetScissorRect(const ScissorRect* rect) override;

    std::unique_ptr<Texture> CreateTextureFromFile(std::string_view path, std::string* error) override;
    std::unique_ptr<Texture> CreateTextureFromMemory(std::span<const std::uint8_t> fileBytes,
                                                     std::string* error) override;
    std::unique_ptr<Texture> CreateTextureFromPixels(int width, int height,
                                                     std::span<const std::uint8_t> rgba) override;
    std::unique_ptr<Texture> CreateTextureFromPixelsNearestMip(int width, int height,
                                                               std::span<const std::uint8_t> rgba) override;
    std::unique_ptr<Texture> CreateRenderTarget(int width, int height) override;
    std::unique_ptr<VertexBuffer> CreateVertexBuffer(std::size_t bytes) override;
    std::unique_ptr<IndexBuffer> CreateIndexBuffer(std::uint32_t count, bool wide) override;
    std::unique_ptr<PixelShader> CreatePixelShaderFromFile(std::string_view path, std::string* error) override;
    std::unique_ptr<Font> CreateFont(const FontDesc& desc) override;

    void DrawPrimitive(Primitive type, std::uint32_t startVertex, std::uint32_t count) override;
    void DrawIndexedPrimitive(Primitive type, std::int32_t baseVertex, std::uint32_t minIndex,
                              std::uint32_t vertexCount, std::uint32_t startIndex, std::uint32_t count) override;

    void BeginSprites() override;
    void DrawText(Font& font, std::string_view text, int x, int y, std::uint32_t argb) override;
    void EndSprites() override;

    void SetRenderTarget(Texture* target) override;
    Texture* GetRenderTarget() const override { return target_; }
    void Clear(std::uint32_t argb, float depth) override;
    bool BeginScene() override;
    void EndScene() override;
    void Flush() override;
    void Present() override;
    bool ReadPicture(RgbImage& image) override;

    // A resource going while bound: each binding of it is cleared, as if
    // unbound first (the resources call these from their destructors).
    void ForgetTexture(const Texture* texture);
    void ForgetVertexBuffer(const VertexBuffer* buffer);
    void ForgetIndexBuffer(const IndexBuffer* buffer);
    void ForgetPixelShader(const PixelShader* shader);

    // Draw calls of the last presented frame, for the frame statistics.
    int DrawCallsLastFrame() const { return lastFrameDrawCalls_; }

private:
    explicit GlRenderDevice(Window& window);

    enum Dirty : unsigned {
        kDirtyStates = 1u << 0,
        kDirtyTransforms = 1u << 1,
        kDirtyMaterial = 1u << 2,
        kDirtyLight = 1u << 3,
        kDirtyTextures = 1u << 4,
        kDirtyViewport = 1u << 5,
        kDirtyScissor = 1u << 6,
        kDirtyAll = 0xFFu,
    };

    void InitialiseGl();
    // A texture with a full mip chain, wrapping, linear within a level and
    // minFilter (a GL filter) between levels.
    std::unique_ptr<Texture> MakeTexture(int width, int height, std::span<const std::uint8_t> rgba, GLenum minFilter);
    bool PrepareDraw();
    void ApplyStates();
    void ApplyTransforms(bool screenSpace);
    void ApplyLight();
    void ApplyMaterial();
    void ApplyTextures();
    void ApplyViewport();
    void ApplyScissor();
    // The rectangle in GL's window coordinates, rows from the bottom.
    void GlScissor(const ScissorRect& rect) const;
    void ApplyArrays(std::uint32_t byteOffset);
    void ApplyTexCoordArrays(int sets, int stride, std::uint32_t at);
    // Point sprites on for point lists only, when the sprite state asks.
    void ApplyPointSprites(Primitive type);
    void BindTarget();
    void FlushSprites();
    Matrix ClipFix() const;
    Matrix ScreenProjection() const;

    Window& window_;
    GlDeviceLinkPtr link_ = std::make_shared<GlDeviceLink>();
    unsigned dirty_ = kDirtyAll;
    bool appliedScreenSpace_ = false;
    bool appliedLit_ = false;
    int sceneDepth_ = 0;
    int drawCalls_ = 0;
    int lastFrameDrawCalls_ = 0;
    Texture* target_ = nullptr;
    std::uint32_t boundArrayBuffer_ = 0;
    // What the last draw left switched on, so a draw like the one before it
    // sends only its pointers; -1 until the first draw.
    int appliedSprites_ = -1;
    int appliedNormals_ = -1;
    int appliedColours_ = -1;
    int appliedTexSets_ = -1;

    std::vector<ScreenTexVertex> sprites_;
    Texture* spriteTexture_ = nullptr;
    std::unique_ptr<VertexBuffer> spriteBuffer_;
    DeviceState spriteSavedState_;
    bool inSprites_ = false;
};

} // namespace platform

// A drawing device with no hardware behind it, for headless runs and tests:
// every call succeeds and keeps its state as the real device does, nothing
// is drawn, and each call is written to a log in plain words ("SetRenderState
// Lighting 0", "DrawPrimitive TriangleFan 0 2") that tests read back.
#pragma once

#include "platform/RenderDevice.h"

#include <string>
#include <vector>

namespace platform {

class NullRenderDevice : public RenderDevice {
public:
    explicit NullRenderDevice(int pictureWidth = 1024, int pictureHeight = 768);

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
    void Flush() override {}
    void Present() override;
    // A black picture of the device's size.
    bool ReadPicture(RgbImage& image) override;

    const std::vector<std::string>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // The calls whose text starts with prefix, in order.
    std::vector<std::string> CallsStartingWith(std::string_view prefix) const;
    int FontsCreated() const { return fontsCreated_; }
    int Presents() const { return presents_; }

    static const char* RenderStateName(RenderState state);
    static const char* PrimitiveName(Primitive type);

private:
    void Record(std::string call) { calls_.push_back(std::move(call)); }

    std::vector<std::string> calls_;
    Texture* target_ = nullptr;
    int fontsCreated_ = 0;
    int presents_ = 0;
    int sceneDepth_ = 0;
};

} // namespace platform

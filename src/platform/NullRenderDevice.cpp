// The null drawing device: state kept, calls logged, nothing drawn.
#include "platform/NullRenderDevice.h"

#include "platform/FileSystem.h"
#include "platform/ImageFile.h"

#include <algorithm>
#include <bit>
#include <cstdio>

namespace platform {

namespace {

constexpr std::size_t kMaxFileBytes = 32 * 1024 * 1024;

class NullTexture : public Texture {
public:
    NullTexture(int width, int height, bool target) : width_(width), height_(height), target_(target) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool IsRenderTarget() const override { return target_; }

private:
    int width_;
    int height_;
    bool target_;
};

class NullVertexBuffer : public VertexBuffer {
public:
    explicit NullVertexBuffer(std::size_t bytes) : bytes_(bytes, 0) {}
    std::span<std::uint8_t> Lock() override { return bytes_; }
    void Unlock() override {}
    void UnlockRange(std::size_t, std::size_t) override {}
    std::size_t Size() const override { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

class NullIndexBuffer : public IndexBuffer {
public:
    NullIndexBuffer(std::uint32_t count, bool wide)
        : bytes_(static_cast<std::size_t>(count) * (wide ? 4 : 2), 0), count_(count), wide_(wide)
    {
    }
    std::span<std::uint8_t> Lock() override { return bytes_; }
    void Unlock() override {}
    void UnlockRange(std::size_t, std::size_t) override {}
    std::uint32_t Count() const override { return count_; }
    bool IsWide() const override { return wide_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t count_;
    bool wide_;
};

class NullPixelShader : public PixelShader {};

// Without glyphs, every character that draws is taken as half a line wide:
// enough for callers that fit text to a width to behave the same headless.
class NullFont : public Font {
public:
    explicit NullFont(const FontDesc& desc) : lineHeight_(desc.height > 0 ? desc.height : 16) {}
    int LineHeight() const override { return lineHeight_; }
    int TextWidth(std::string_view text) const override
    {
        int widest = 0;
        int line = 0;
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte == '\n') {
                line = 0;
                continue;
            }
            if (byte >= 0x20 && byte != 0x7F) {
                line += lineHeight_ / 2;
            }
            widest = std::max(widest, line);
        }
        return widest;
    }

private:
    int lineHeight_;
};

std::string Hex(std::uint32_t value)
{
    char text[16] = {};
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

const char* Presence(const void* p)
{
    return p ? "set" : "none";
}

} // namespace

NullRenderDevice::NullRenderDevice(int pictureWidth, int pictureHeight)
{
    pictureWidth_ = pictureWidth;
    pictureHeight_ = pictureHeight;
    state_.viewport = {0.0f, 0.0f, static_cast<float>(pictureWidth), static_cast<float>(pictureHeight), 0.0f, 1.0f};
}

const char* NullRenderDevice::RenderStateName(RenderState state)
{
    static constexpr const char* kNames[] = {
        "ZEnable",
        "ZWriteEnable",
        "Lighting",
        "SpecularEnable",
        "AlphaBlendEnable",
        "SrcBlend",
        "DestBlend",
        "CullMode",
        "Ambient",
        "DiffuseMaterialSource",
        "SpecularMaterialSource",
        "LocalViewer",
        "FillMode",
        "PointSpriteEnable",
        "PointScaleEnable",
        "PointSize",
        "PointSizeMin",
        "PointScaleA",
        "PointScaleB",
        "PointScaleC",
    };
    static_assert(std::size(kNames) == static_cast<std::size_t>(RenderState::Count));
    const auto index = static_cast<std::size_t>(state);
    return index < std::size(kNames) ? kNames[index] : "?";
}

const char* NullRenderDevice::PrimitiveName(Primitive type)
{
    static constexpr const char* kNames[] = {"PointList",    "LineList",      "LineStrip",
                                             "TriangleList", "TriangleStrip", "TriangleFan"};
    const auto index = static_cast<std::size_t>(type);
    return index < std::size(kNames) ? kNames[index] : "?";
}

std::vector<std::string> NullRenderDevice::CallsStartingWith(std::string_view prefix) const
{
    std::vector<std::string> found;
    for (const std::string& call : calls_) {
        if (call.starts_with(prefix)) {
            found.push_back(call);
        }
    }
    return found;
}

void NullRenderDevice::SetRenderState(RenderState state, std::uint32_t value)
{
    state_.renderStates[static_cast<int>(state)] = value;
    // Float states read as their number ("SetRenderState PointSize 0.4").
    char text[32] = {};
    if (IsFloatState(state)) {
        std::snprintf(text, sizeof text, "%g", static_cast<double>(std::bit_cast<float>(value)));
    } else {
        std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
    }
    Record(std::string("SetRenderState ") + RenderStateName(state) + " " + text);
}

void NullRenderDevice::SetTransform(TransformKind kind, const Matrix& matrix)
{
    state_.transforms[static_cast<int>(kind)] = matrix;
    static constexpr const char* kNames[] = {"World", "View", "Projection"};
    Record(std::string("SetTransform ") + kNames[static_cast<int>(kind)]);
}

void NullRenderDevice::SetMaterial(const Material& material)
{
    state_.material = material;
    Record("SetMaterial " + Hex(PackColor(material.diffuse)) + " " + std::to_string(material.power));
}

void NullRenderDevice::SetLight(const LightRecord& light)
{
    state_.light = light;
    Record("SetLight");
}

void NullRenderDevice::EnableLight(bool on)
{
    state_.lightEnabled = on;
    Record(std::string("EnableLight ") + (on ? "1" : "0"));
}

void NullRenderDevice::SetTexture(int stage, Texture* texture)
{
    if (stage < 0 || stage >= kTextureStages) {
        return;
    }
    state_.textures[static_cast<std::size_t>(stage)] = texture;
    Record("SetTexture " + std::to_string(stage) + " " + Presence(texture));
}

void NullRenderDevice::SetVertexFormat(std::uint32_t format)
{
    state_.vertexFormat = format;
    Record("SetVertexFormat " + Hex(format));
}

void NullRenderDevice::SetStreamSource(VertexBuffer* buffer, std::uint32_t stride)
{
    state_.stream = buffer;
    state_.streamStride = stride;
    Record("SetStreamSource " + std::string(Presence(buffer)) + " " + std::to_string(stride));
}

void NullRenderDevice::SetIndices(IndexBuffer* buffer)
{
    state_.indices = buffer;
    Record(std::string("SetIndices ") + Presence(buffer));
}

void NullRenderDevice::SetPixelShader(PixelShader* shader)
{
    state_.pixelShader = shader;
    Record(std::string("SetPixelShader ") + Presence(shader));
}

void NullRenderDevice::SetViewport(const Viewport& viewport)
{
    state_.viewport = viewport;
    Record("SetViewport");
}

void NullRenderDevice::SetScissorRect(const ScissorRect* rect)
{
    state_.scissorOn = rect != nullptr;
    state_.scissor = rect ? *rect : ScissorRect{};
    if (!rect) {
        Record("SetScissorRect none");
        return;
    }
    Record("SetScissorRect " + std::to_string(rect->left) + " " + std::to_string(rect->top) + " " +
           std::to_string(rect->right) + " " + std::to_string(rect->bottom));
}

std::unique_ptr<Texture> NullRenderDevice::CreateTextureFromFile(std::string_view path, std::string* error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadDataFile(path, kMaxFileBytes, bytes, error)) {
        return nullptr;
    }
    return CreateTextureFromMemory(bytes, error);
}

std::unique_ptr<Texture> NullRenderDevice::CreateTextureFromMemory(std::span<const std::uint8_t> fileBytes,
                                                                   std::string* error)
{
    RgbaImage image;
    if (!DecodeImage(fileBytes, image, error)) {
        return nullptr;
    }
    return std::make_unique<NullTexture>(image.width, image.height, false);
}

std::unique_ptr<Texture> NullRenderDevice::CreateTextureFromPixels(int width, int height,
                                                                   std::span<const std::uint8_t> rgba)
{
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<std::size_t>(width) * height * 4) {
        return nullptr;
    }
    return std::make_unique<NullTexture>(width, height, false);
}

std::unique_ptr<Texture> NullRenderDevice::CreateTextureFromPixelsNearestMip(int width, int height,
                                                                             std::span<const std::uint8_t> rgba)
{
    return CreateTextureFromPixels(width, height, rgba);
}

std::unique_ptr<Texture> NullRenderDevice::CreateRenderTarget(int width, int height)
{
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    return std::make_unique<NullTexture>(width, height, true);
}

std::unique_ptr<VertexBuffer> NullRenderDevice::CreateVertexBuffer(std::size_t bytes)
{
    Record("CreateVertexBuffer " + std::to_string(bytes));
    return std::make_unique<NullVertexBuffer>(bytes);
}

std::unique_ptr<IndexBuffer> NullRenderDevice::CreateIndexBuffer(std::uint32_t count, bool wide)
{
    Record("CreateIndexBuffer " + std::to_string(count));
    return std::make_unique<NullIndexBuffer>(count, wide);
}

std::unique_ptr<PixelShader> NullRenderDevice::CreatePixelShaderFromFile(std::string_view path, std::string* error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadDataFile(path, kMaxFileBytes, bytes, error)) {
        return nullptr;
    }
    return std::make_unique<NullPixelShader>();
}

std::unique_ptr<Font> NullRenderDevice::CreateFont(const FontDesc& desc)
{
    ++fontsCreated_;
    return std::make_unique<NullFont>(desc);
}

void NullRenderDevice::DrawPrimitive(Primitive type, std::uint32_t startVertex, std::uint32_t count)
{
    Record(std::string("DrawPrimitive ") + PrimitiveName(type) + " " + std::to_string(startVertex) + " " +
           std::to_string(count));
}

void NullRenderDevice::DrawIndexedPrimitive(Primitive type, std::int32_t baseVertex, std::uint32_t minIndex,
                                            std::uint32_t vertexCount, std::uint32_t startIndex, std::uint32_t count)
{
    Record(std::string("DrawIndexedPrimitive ") + PrimitiveName(type) + " " + std::to_string(baseVertex) + " " +
           std::to_string(minIndex) + " " + std::to_string(vertexCount) + " " + std::to_string(startIndex) + " " +
           std::to_string(count));
}

void NullRenderDevice::BeginSprites()
{
    Record("BeginSprites");
}

void NullRenderDevice::DrawText(Font& font, std::string_view text, int x, int y, std::uint32_t argb)
{
    Record("DrawText " + std::to_string(font.LineHeight()) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
           Hex(argb) + " " + std::string(text));
}

void NullRenderDevice::EndSprites()
{
    Record("EndSprites");
}

void NullRenderDevice::SetRenderTarget(Texture* target)
{
    target_ = target;
    state_.scissorOn = false;
    const float width = static_cast<float>(target ? target->Width() : pictureWidth_);
    const float height = static_cast<float>(target ? target->Height() : pictureHeight_);
    state_.viewport = {0.0f, 0.0f, width, height, 0.0f, 1.0f};
    Record(std::string("SetRenderTarget ") + (target ? "texture" : "picture"));
}

void NullRenderDevice::Clear(std::uint32_t argb, float depth)
{
    Record("Clear " + Hex(argb) + " " + std::to_string(depth));
}

bool NullRenderDevice::BeginScene()
{
    ++sceneDepth_;
    Record("BeginScene");
    return true;
}

void NullRenderDevice::EndScene()
{
    sceneDepth_ = std::max(sceneDepth_ - 1, 0);
    Record("EndScene");
}

void NullRenderDevice::Present()
{
    ++presents_;
    Record("Present");
}

bool NullRenderDevice::ReadPicture(RgbImage& image)
{
    image.width = pictureWidth_;
    image.height = pictureHeight_;
    image.rgb.assign(static_cast<std::size_t>(pictureWidth_) * pictureHeight_ * 3, 0);
    return true;
}

} // namespace platform

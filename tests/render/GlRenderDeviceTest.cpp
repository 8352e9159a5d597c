// The GL device against the conventions the drawing code relies on,
// checked on pixels read back from an offscreen picture.
#include "platform/GlRenderDevice.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"
#include "render/GroundShaderSource.h"

#include <doctest/doctest.h>
#include <epoxy/gl.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

using namespace platform;

namespace {

constexpr int kSize = 64;

// Writes vertices into a buffer and sets it as stream 0 with its format.
template <typename Vertex>
std::unique_ptr<VertexBuffer> Stream(RenderDevice& device, const std::vector<Vertex>& vertices, std::uint32_t format)
{
    std::unique_ptr<VertexBuffer> buffer = device.CreateVertexBuffer(vertices.size() * sizeof(Vertex));
    std::memcpy(buffer->Lock().data(), vertices.data(), vertices.size() * sizeof(Vertex));
    buffer->Unlock();
    device.SetVertexFormat(format);
    device.SetStreamSource(buffer.get(), sizeof(Vertex));
    return buffer;
}

// The same, drawn at once as triangles (a fan of them by default); the
// buffer stays bound.
template <typename Vertex>
std::unique_ptr<VertexBuffer> Draw(RenderDevice& device, const std::vector<Vertex>& vertices, std::uint32_t format,
                                   Primitive primitive = Primitive::TriangleFan)
{
    std::unique_ptr<VertexBuffer> buffer = Stream(device, vertices, format);
    const auto count =
        static_cast<std::uint32_t>(primitive == Primitive::TriangleFan ? vertices.size() - 2 : vertices.size() / 3);
    device.DrawPrimitive(primitive, 0, count);
    return buffer;
}

std::vector<ScreenVertex> ScreenRect(float x0, float y0, float x1, float y1, std::uint32_t color, float z = 0.5f)
{
    return {{x0, y0, z, 1.0f, color}, {x1, y0, z, 1.0f, color}, {x1, y1, z, 1.0f, color}, {x0, y1, z, 1.0f, color}};
}

// A white rectangle showing the whole of the bound texture.
std::vector<ScreenTexVertex> TexturedRect(float x0, float y0, float x1, float y1)
{
    return {{x0, y0, 0.5f, 1, 0xFFFFFFFFu, 0, 0},
            {x1, y0, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
            {x1, y1, 0.5f, 1, 0xFFFFFFFFu, 1, 1},
            {x0, y1, 0.5f, 1, 0xFFFFFFFFu, 0, 1}};
}

std::unique_ptr<Texture> GreyTexture(RenderDevice& device)
{
    return device.CreateTextureFromPixels(4, 4, std::vector<std::uint8_t>(4 * 4 * 4, 128));
}

struct LitVertex {
    Vec3 position;
    Vec3 normal;
};

struct ColouredVertex {
    Vec3 position;
    std::uint32_t color;
};

// A world rectangle at depth z from (x0, y0) to (x1, y1), clockwise as seen
// from the eye looking down +z.
std::vector<ColouredVertex> WorldRect(float x0, float y0, float x1, float y1, float z, std::uint32_t color)
{
    return {{{x0, y0, z}, color}, {{x1, y0, z}, color}, {{x1, y1, z}, color}, {{x0, y1, z}, color}};
}

constexpr std::uint32_t kColouredFormat = kVertexPosition | kVertexDiffuse;

struct LitColouredVertex {
    Vec3 position;
    Vec3 normal;
    std::uint32_t color;
};

// A face towards the eye (looking down +z) at depth 5, from x0 to x1 across
// the middle rows of the picture.
template <typename Vertex, typename... Colour> std::vector<Vertex> FacingQuad(float x0, float x1, Colour... color)
{
    const Vec3 n{0.0f, 0.0f, -1.0f};
    return {
        {{x0, 2, 5}, n, color...}, {{x1, 2, 5}, n, color...}, {{x1, -2, 5}, n, color...}, {{x0, -2, 5}, n, color...}};
}

// The picture as it stands, read back.
RgbImage Read(RenderDevice& device)
{
    RgbImage image;
    REQUIRE(device.ReadPicture(image));
    return image;
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFFu);
        const int cb = static_cast<int>((b >> shift) & 0xFFu);
        if (std::abs(ca - cb) > tolerance) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST_CASE("the GL device draws by the game's conventions")
{
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kSize, kSize);
    REQUIRE(screen.device);
    RenderDevice& device = *screen.device;
    device.SetRenderState(RenderState::Lighting, 0);
    device.Clear(0xFF000000u, 1.0f);
    const Matrix perspective = MatrixPerspectiveFovLH(kPi / 2.0f, 1.0f, 1.0f, 10.0f);

    SUBCASE("a screen rectangle covers exactly its pixels, top left included, y down")
    {
        const auto buffer = Draw(device, ScreenRect(2.0f, 3.0f, 6.0f, 7.0f, 0xFFFF0000u), kScreenVertexFormat);
        const RgbImage image = Read(device);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                CAPTURE(x);
                CAPTURE(y);
                const bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
                CHECK(testing::PixelAt(image, x, y) == (inside ? 0xFF0000u : 0x000000u));
            }
        }
    }

    SUBCASE("with no texture the vertex colour shows, with one its texels, point sprites left on or not")
    {
        auto buffer = Draw(device, ScreenRect(0.0f, 0.0f, 8.0f, 8.0f, 0xFF804020u), kScreenVertexFormat);
        // Left on, point sprites must not touch other primitives' texture coordinates.
        device.SetRenderState(RenderState::PointSpriteEnable, 1);
        const std::vector<std::uint8_t> redThenGreen = {255, 0, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
        std::unique_ptr<Texture> texture = device.CreateTextureFromPixels(4, 1, redThenGreen);
        device.SetTexture(0, texture.get());
        buffer = Draw(device, TexturedRect(8, 0, 40, 8), kScreenTexVertexFormat);
        device.SetTexture(0, nullptr);
        const RgbImage image = Read(device);
        CHECK(testing::PixelAt(image, 4, 4) == 0x804020u);
        CHECK(testing::PixelAt(image, 14, 4) == 0xFF0000u);
        CHECK(testing::PixelAt(image, 34, 4) == 0x00FF00u);
    }

    SUBCASE("a state set to the value it holds changes nothing, one set back takes effect at the next draw")
    {
        device.SetRenderState(RenderState::AlphaBlendEnable, 1);
        device.SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
        device.SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
        auto buffer = Draw(device, ScreenRect(0.0f, 0.0f, 8.0f, 8.0f, 0x80FF0000u), kScreenVertexFormat);
        device.SetRenderState(RenderState::AlphaBlendEnable, 1);
        buffer = Draw(device, ScreenRect(8.0f, 0.0f, 16.0f, 8.0f, 0x80FF0000u), kScreenVertexFormat);
        device.SetRenderState(RenderState::AlphaBlendEnable, 0);
        buffer = Draw(device, ScreenRect(16.0f, 0.0f, 24.0f, 8.0f, 0x80FF0000u), kScreenVertexFormat);
        const RgbImage image = Read(device);
        CHECK(Near(testing::PixelAt(image, 4, 4), 0x800000u, 1));
        CHECK(Near(testing::PixelAt(image, 12, 4), 0x800000u, 1));
        CHECK(testing::PixelAt(image, 20, 4) == 0xFF0000u);
    }

    SUBCASE("a texture, buffer or target freed while bound is unbound, never drawn from, and all outlive the device")
    {
        std::unique_ptr<Texture> texture = GreyTexture(device);
        std::unique_ptr<Texture> target = device.CreateRenderTarget(8, 8);
        device.SetTexture(0, texture.get());
        device.SetTexture(1, texture.get());
        device.SetRenderTarget(target.get());
        texture.reset();
        target.reset();
        CHECK(device.GetRenderTarget() == nullptr);
        auto buffer = Draw(device, ScreenRect(0.0f, 0.0f, 8.0f, 8.0f, 0xFF804020u), kScreenVertexFormat);
        buffer.reset();
        // A new buffer may take the freed one's GL name; it must still be bound.
        buffer = Draw(device, ScreenRect(8.0f, 0.0f, 16.0f, 8.0f, 0xFF2040FFu), kScreenVertexFormat);
        const RgbImage image = Read(device);
        CHECK(testing::PixelAt(image, 4, 4) == 0x804020u);
        CHECK(testing::PixelAt(image, 12, 4) == 0x2040FFu);
        // A texture and a buffer outliving their device are freed without it.
        std::unique_ptr<Texture> kept = GreyTexture(device);
        device.SetTexture(0, kept.get());
        screen.device.reset();
        kept.reset();
    }

    SUBCASE("depth runs 0 to 1: what lies before the near plane is clipped, the buffer holds screen z")
    {
        device.SetTransform(TransformKind::Projection, perspective);
        // Each fills the view at its depth.
        const auto fill = [](float z, std::uint32_t color) { return WorldRect(-z, z, z, -z, z, color); };
        auto buffer = Draw(device, fill(0.75f, 0xFFFF0000u), kColouredFormat);
        CHECK(testing::PixelAt(Read(device), 32, 32) == 0x000000u);
        buffer = Draw(device, fill(5.0f, 0xFF00FF00u), kColouredFormat);
        buffer = Draw(device, fill(8.0f, 0xFF0000FFu), kColouredFormat);
        CHECK(testing::PixelAt(Read(device), 32, 32) == 0x00FF00u);
        device.SetRenderState(RenderState::ZEnable, 0);
        buffer = Draw(device, fill(11.0f, 0xFFFFFFFFu), kColouredFormat); // beyond the far plane: clipped
        CHECK(testing::PixelAt(Read(device), 32, 32) == 0x00FF00u);

        device.SetRenderState(RenderState::ZEnable, 1);
        device.Clear(0xFF000000u, 1.0f);
        buffer = Draw(device, ScreenRect(0, 0, 8, 8, 0xFFFFFFFFu, 0.25f), kScreenVertexFormat);
        float depth = 0.0f;
        glReadPixels(4, kSize - 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        CHECK(depth == doctest::Approx(0.25f).epsilon(0.001));
    }

    SUBCASE("a stream whose stride is short of its format's vertex draws nothing")
    {
        // Rectangle vertices under the textured layout would read their
        // texture coordinates from the next vertex.
        const auto buffer = Stream(device, ScreenRect(0.0f, 0.0f, 8.0f, 8.0f, 0xFFFF0000u), kScreenTexVertexFormat);
        device.DrawPrimitive(Primitive::TriangleFan, 0, 2);
        CHECK(testing::PixelAt(Read(device), 4, 4) == 0x000000u);
        device.SetVertexFormat(kScreenVertexFormat);
        device.DrawPrimitive(Primitive::TriangleFan, 0, 2);
        CHECK(testing::PixelAt(Read(device), 4, 4) == 0xFF0000u);
    }

    SUBCASE("counter-clockwise faces are culled, on screen and in the world")
    {
        const std::vector<ScreenVertex> clockwise = {
            {0, 0, 0.5f, 1, 0xFFFF0000u}, {16, 0, 0.5f, 1, 0xFFFF0000u}, {0, 16, 0.5f, 1, 0xFFFF0000u}};
        const std::vector<ScreenVertex> counter = {
            {32, 0, 0.5f, 1, 0xFFFF0000u}, {32, 16, 0.5f, 1, 0xFFFF0000u}, {48, 0, 0.5f, 1, 0xFFFF0000u}};
        auto buffer = Draw(device, clockwise, kScreenVertexFormat, Primitive::TriangleList);
        buffer = Draw(device, counter, kScreenVertexFormat, Primitive::TriangleList);
        device.SetTransform(TransformKind::Projection, perspective);
        const std::vector<Vec3> worldCounter = {{-4, -4, 5}, {4, -4, 5}, {-4, -1, 5}};
        buffer = Draw(device, worldCounter, kVertexPosition, Primitive::TriangleList);
        const RgbImage image = Read(device);
        CHECK(testing::PixelAt(image, 4, 4) == 0xFF0000u);
        CHECK(testing::PixelAt(image, 36, 4) == 0x000000u);
        CHECK(testing::PixelAt(image, 16, 54) == 0x000000u);
        device.SetRenderState(RenderState::CullMode, kCullNone);
        device.DrawPrimitive(Primitive::TriangleList, 0, 1);
        CHECK(testing::PixelAt(Read(device), 16, 54) == 0xFFFFFFu);
    }

    SUBCASE("a texture target is drawn the right way up, resets the viewport and reads with alpha 1")
    {
        std::unique_ptr<Texture> target = device.CreateRenderTarget(16, 16);
        REQUIRE(target);
        device.SetViewport({4, 4, 8, 8, 0, 1});
        device.SetRenderTarget(target.get());
        CHECK(device.GetState().viewport.width == 16.0f);
        device.Clear(0x000000FFu, 1.0f); // blue, with an alpha of 0
        auto buffer = Draw(device, ScreenRect(0, 0, 16, 4, 0xFFFF0000u), kScreenVertexFormat);
        // And a world rectangle in the lower half, seen through the target.
        device.SetTransform(TransformKind::Projection, perspective);
        buffer = Draw(device, WorldRect(-5, -1, 5, -5, 5, 0xFF00FF00u), kColouredFormat);

        device.SetRenderTarget(nullptr);
        CHECK(device.GetState().viewport.width == static_cast<float>(kSize));
        device.SetRenderState(RenderState::AlphaBlendEnable, 1);
        device.SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
        device.SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
        device.SetTexture(0, target.get());
        buffer = Draw(device, TexturedRect(0, 0, 32, 32), kScreenTexVertexFormat);
        device.SetTexture(0, nullptr);
        const RgbImage image = Read(device);
        CHECK(testing::PixelAt(image, 16, 2) == 0xFF0000u);
        CHECK(testing::PixelAt(image, 16, 14) == 0x0000FFu);
        CHECK(testing::PixelAt(image, 16, 28) == 0x00FF00u);
    }

    SUBCASE("a scissor rectangle keeps draws and clears inside it, y down on the picture and in a target")
    {
        const ScissorRect inside{10, 20, 30, 40};
        device.SetScissorRect(&inside);
        auto buffer = Draw(device, ScreenRect(0, 0, kSize, kSize, 0xFFFF0000u), kScreenVertexFormat);
        RgbImage image = Read(device);
        CHECK(testing::PixelAt(image, 10, 20) == 0xFF0000u);
        CHECK(testing::PixelAt(image, 29, 39) == 0xFF0000u);
        for (const auto& [x, y] : {std::pair{9, 25}, std::pair{30, 25}, std::pair{15, 19}, std::pair{15, 40}}) {
            CHECK(testing::PixelAt(image, x, y) == 0x000000u);
        }
        device.Clear(0xFF0000FFu, 1.0f);
        image = Read(device);
        CHECK(testing::PixelAt(image, 15, 25) == 0x0000FFu);
        CHECK(testing::PixelAt(image, 5, 5) == 0x000000u);

        // A switch of target lifts it; in the target its rows count from
        // the top too.
        std::unique_ptr<Texture> target = device.CreateRenderTarget(16, 16);
        REQUIRE(target);
        device.SetRenderTarget(target.get());
        CHECK_FALSE(device.GetState().scissorOn);
        device.Clear(0xFF000000u, 1.0f);
        const ScissorRect topRows{0, 0, 16, 4};
        device.SetScissorRect(&topRows);
        buffer = Draw(device, ScreenRect(0, 0, 16, 16, 0xFFFF0000u), kScreenVertexFormat);
        device.SetRenderTarget(nullptr);
        CHECK_FALSE(device.GetState().scissorOn);
        device.Clear(0xFF000000u, 1.0f);
        device.SetTexture(0, target.get());
        buffer = Draw(device, TexturedRect(0, 0, 32, 32), kScreenTexVertexFormat);
        device.SetTexture(0, nullptr);
        image = Read(device);
        CHECK(testing::PixelAt(image, 16, 2) == 0xFF0000u);
        CHECK(testing::PixelAt(image, 16, 14) == 0x000000u);
        CHECK(testing::PixelAt(image, 16, 28) == 0x000000u);
        CHECK(testing::PixelAt(image, 40, 40) == 0x000000u);
    }

    SUBCASE("a buffer handed over in part keeps the rest as it was handed over before")
    {
        std::vector<ScreenVertex> rects = ScreenRect(0, 0, 8, 8, 0xFFFF0000u);
        const std::vector<ScreenVertex> second = ScreenRect(8, 0, 16, 8, 0xFFFF0000u);
        rects.insert(rects.end(), second.begin(), second.end());
        std::unique_ptr<VertexBuffer> buffer = Stream(device, rects, kScreenVertexFormat);
        // Both turn green in the buffer's memory; only the second is handed over.
        std::span<std::uint8_t> bytes = buffer->Lock();
        for (std::size_t i = 0; i < rects.size(); ++i) {
            rects[i].color = 0xFF00FF00u;
        }
        std::memcpy(bytes.data(), rects.data(), rects.size() * sizeof(ScreenVertex));
        buffer->UnlockRange(4 * sizeof(ScreenVertex), 4 * sizeof(ScreenVertex));
        device.DrawPrimitive(Primitive::TriangleFan, 0, 2);
        device.DrawPrimitive(Primitive::TriangleFan, 4, 2);
        const RgbImage image = Read(device);
        CHECK(testing::PixelAt(image, 4, 4) == 0xFF0000u);
        CHECK(testing::PixelAt(image, 12, 4) == 0x00FF00u);
    }

    SUBCASE("a lit face: ambient times the material plus the light along its normal")
    {
        device.SetRenderState(RenderState::Lighting, 1);
        device.SetRenderState(RenderState::Ambient, 0xFF202020u);
        device.SetTransform(TransformKind::Projection, perspective);
        LightRecord light;
        light.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        light.direction = {0.0f, 0.0f, 1.0f}; // travelling away from the eye, onto the face
        device.SetLight(light);
        device.EnableLight(true);
        Material material;
        material.diffuse = {0.5f, 0.25f, 0.0f, 1.0f};
        material.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
        device.SetMaterial(material);
        const Vec3 n{0.0f, 0.0f, -1.0f};
        const std::vector<LitVertex> face = {{{-5, 5, 5}, n}, {{5, 5, 5}, n}, {{5, -5, 5}, n}, {{-5, -5, 5}, n}};
        auto buffer = Draw(device, face, kVertexPosition | kVertexNormal);
        // 0x20/255 + 0.5, 0x20/255 + 0.25, 0x20/255.
        CHECK(Near(testing::PixelAt(Read(device), 32, 32), 0xA06020u, 2));

        // Turned edge-on to the light only the ambient is left.
        light.direction = {1.0f, 0.0f, 0.0f};
        device.SetLight(light);
        device.DrawPrimitive(Primitive::TriangleFan, 0, 2);
        CHECK(Near(testing::PixelAt(Read(device), 32, 32), 0x202020u, 2));
    }

    SUBCASE("the ground shader mixes its two layers by the vertex alpha and scales by the vertex colour")
    {
        std::unique_ptr<PixelShader> shader;
        {
            testing::DataDirectoryScope data;
            std::string why;
            shader = device.CreatePixelShaderFromFile(kGroundShaderPath, &why);
            CAPTURE(why);
            REQUIRE(shader);
        }
        std::unique_ptr<Texture> layer0 =
            device.CreateTextureFromPixels(1, 1, std::vector<std::uint8_t>{255, 0, 0, 255});
        std::unique_ptr<Texture> layer1 =
            device.CreateTextureFromPixels(1, 1, std::vector<std::uint8_t>{0, 0, 255, 255});
        device.SetTexture(0, layer0.get());
        device.SetTexture(1, layer1.get());
        device.SetPixelShader(shader.get());
        struct GroundVertex {
            float x, y, z, rhw;
            std::uint32_t color;
            float u0, v0, u1, v1;
        };
        const auto rect = [](float x0, std::uint32_t color) {
            return std::vector<GroundVertex>{{x0, 0, 0.5f, 1, color, 0, 0, 0, 0},
                                             {x0 + 8, 0, 0.5f, 1, color, 1, 0, 1, 0},
                                             {x0 + 8, 8, 0.5f, 1, color, 1, 1, 1, 1},
                                             {x0, 8, 0.5f, 1, color, 0, 1, 0, 1}};
        };
        const std::uint32_t format = kVertexScreenPosition | kVertexDiffuse | kVertexTex2;
        auto buffer = Draw(device, rect(0, 0x00FFFFFFu), format);
        auto second = Draw(device, rect(8, 0xFFFFFFFFu), format);
        auto third = Draw(device, rect(16, 0x80808080u), format);
        device.SetPixelShader(nullptr);
        const RgbImage image = Read(device);
        CHECK(testing::PixelAt(image, 4, 4) == 0xFF0000u);
        CHECK(testing::PixelAt(image, 12, 4) == 0x0000FFu);
        CHECK(Near(testing::PixelAt(image, 20, 4), 0x400040u, 1));

        testing::TempDirectory temp;
        std::ofstream("bad.ps") << "this is not GLSL";
        std::string why;
        CHECK_FALSE(device.CreatePixelShaderFromFile("bad.ps", &why));
        CHECK(why.find("does not compile") != std::string::npos);
    }
}

TEST_CASE("a draw looks the same whatever the draws before it left")
{
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kSize, kSize);
    REQUIRE(screen.device);
    RenderDevice& device = *screen.device;
    std::unique_ptr<Texture> grey = GreyTexture(device);
    std::unique_ptr<Texture> red = device.CreateTextureFromPixels(1, 1, std::vector<std::uint8_t>{255, 0, 0, 255});
    std::vector<std::unique_ptr<VertexBuffer>> buffers;
    LightRecord light;
    light.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.direction = {0.0f, 0.0f, 1.0f};
    Material yellow;
    yellow.diffuse = {1.0f, 1.0f, 0.0f, 1.0f};
    yellow.ambient = {1.0f, 1.0f, 0.0f, 1.0f};

    // Each draw sets the states it depends on, as the game's drawing does:
    // a lit face in its material, one in its vertex colours, the first again,
    // then a textured and a plain screen quad.
    const auto drawScene = [&] {
        device.Clear(0xFF000000u, 1.0f);
        device.SetTransform(TransformKind::Projection, MatrixPerspectiveFovLH(kPi / 2.0f, 1.0f, 1.0f, 10.0f));
        device.SetRenderState(RenderState::Lighting, 1);
        device.SetRenderState(RenderState::AlphaBlendEnable, 0);
        device.SetRenderState(RenderState::Ambient, 0xFF202020u);
        device.SetLight(light);
        device.EnableLight(true);
        device.SetTexture(0, nullptr);
        device.SetMaterial(yellow);
        buffers.push_back(Draw(device, FacingQuad<LitVertex>(-5, -3), kVertexPosition | kVertexNormal));
        buffers.push_back(Draw(device, FacingQuad<LitColouredVertex>(-3, -1, 0xFF00FFFFu),
                               kVertexPosition | kVertexNormal | kVertexDiffuse));
        buffers.push_back(Draw(device, FacingQuad<LitVertex>(-1, 1), kVertexPosition | kVertexNormal));
        device.SetRenderState(RenderState::Lighting, 0);
        device.SetTexture(0, grey.get());
        buffers.push_back(Draw(device, TexturedRect(0, 0, 16, 8), kScreenTexVertexFormat));
        device.SetTexture(0, nullptr);
        buffers.push_back(Draw(device, ScreenRect(16, 0, 32, 8, 0xFF2040FFu), kScreenVertexFormat));
        return Read(device);
    };
    const RgbImage alone = drawScene();
    // The ambient light on the material's ambient plus the light on the face's
    // diffuse: the material's, or the vertices' cyan.
    const std::uint32_t yellowLit = 0xFFFF00u;
    CHECK(Near(testing::PixelAt(alone, 4, 32), yellowLit, 2));
    CHECK(Near(testing::PixelAt(alone, 20, 32), 0x20FFFFu, 2));
    CHECK(Near(testing::PixelAt(alone, 32, 32), yellowLit, 2));
    CHECK(Near(testing::PixelAt(alone, 8, 4), 0x808080u, 1));
    CHECK(testing::PixelAt(alone, 24, 4) == 0x2040FFu);

    // Draws that leave colour tracking on with a last colour of magenta,
    // another material, point sprites, textures on every stage and the
    // textured layout.
    device.SetMaterial(Material{{0.0f, 0.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}, {}, {}, 0.0f});
    buffers.push_back(Draw(device, FacingQuad<LitVertex>(-5, 5), kVertexPosition | kVertexNormal));
    buffers.push_back(Draw(device, FacingQuad<LitColouredVertex>(-5, 5, 0xFFFF00FFu),
                           kVertexPosition | kVertexNormal | kVertexDiffuse));
    for (int stage = 0; stage < kTextureStages; ++stage) {
        device.SetTexture(stage, red.get());
    }
    device.SetRenderState(RenderState::PointSpriteEnable, 1);
    device.SetRenderState(RenderState::Lighting, 0);
    buffers.push_back(Stream(device, WorldRect(-1, 1, 1, -1, 5, 0xFFFF00FFu), kColouredFormat));
    device.DrawPrimitive(Primitive::PointList, 0, 4);
    device.SetRenderState(RenderState::PointSpriteEnable, 0);
    buffers.push_back(Draw(device, TexturedRect(0, 0, 64, 64), kScreenTexVertexFormat));
    device.SetTexture(1, nullptr);
    device.SetTexture(2, nullptr);

    CHECK(drawScene().rgb == alone.rgb);
}

// The vocabulary of the drawing device (RenderDevice.h): render states and
// their values, vertex formats, primitives, materials and the screen-space
// vertex layouts. The device keeps state between draws, and every state has
// the default the game's drawing code relies on without setting it.
#pragma once

#include "platform/math/Color.h"

#include <cstdint>

namespace platform {

// Persistent device states. Flags take 0 or 1; blend factors, cull modes,
// material sources and fill modes take the enums below; colours are ARGB;
// point sizes and scales are floats stored by SetRenderStateFloat.
enum class RenderState : int {
    ZEnable,                // depth test (off also stops depth writes); on
    ZWriteEnable,           // on
    Lighting,               // on
    SpecularEnable,         // specular highlights added after texturing; off
    AlphaBlendEnable,       // off
    SrcBlend,               // Blend::One
    DestBlend,              // Blend::Zero
    CullMode,               // Cull::CounterClockwise: clockwise faces are the front
    Ambient,                // global ambient light, ARGB; 0
    DiffuseMaterialSource,  // MaterialSource::Color1
    SpecularMaterialSource, // MaterialSource::Color2
    LocalViewer,            // on; the game turns it off
    FillMode,               // Fill::Solid
    PointSpriteEnable,      // off
    PointScaleEnable,       // off
    PointSize,              // 1.0
    PointSizeMin,           // 1.0
    PointScaleA,            // 1.0
    PointScaleB,            // 0.0
    PointScaleC,            // 0.0
    Count,
};

// The states that hold a float's bits rather than a number or a flag.
inline constexpr bool IsFloatState(RenderState state)
{
    return state >= RenderState::PointSize && state <= RenderState::PointScaleC;
}

enum Blend : std::uint32_t {
    kBlendZero = 1,
    kBlendOne = 2,
    kBlendSrcAlpha = 5,
    kBlendInvSrcAlpha = 6,
};

enum Cull : std::uint32_t {
    kCullNone = 1,
    kCullClockwise = 2,
    kCullCounterClockwise = 3,
};

// Where a lit vertex's diffuse or specular colour comes from: the material,
// or the vertex's diffuse (Color1) or specular (Color2) colour when the
// vertex carries it.
enum MaterialSource : std::uint32_t {
    kSourceMaterial = 0,
    kSourceColor1 = 1,
    kSourceColor2 = 2,
};

enum Fill : std::uint32_t {
    kFillPoint = 1,
    kFillWireframe = 2,
    kFillSolid = 3,
};

// Vertex format flags. Fields lie in this order, each present only with its
// flag: position (3 floats, or 4 with ScreenPosition: x, y in pixels from
// the top left with y down, z 0..1 and 1/w), normal (3 floats), diffuse
// (ARGB u32, bytes B G R A in memory), specular (ARGB u32), texture
// coordinates (2 floats per set, v running down the image).
enum VertexFormatFlags : std::uint32_t {
    kVertexPosition = 0x002,
    kVertexScreenPosition = 0x004,
    kVertexNormal = 0x010,
    kVertexDiffuse = 0x040,
    kVertexSpecular = 0x080,
    kVertexTex1 = 0x100,
    kVertexTex2 = 0x200,
};

// Byte size of one vertex of a format.
inline constexpr std::uint32_t VertexStride(std::uint32_t format)
{
    std::uint32_t stride = 0;
    stride += (format & kVertexScreenPosition) ? 16 : 0;
    stride += (format & kVertexPosition) ? 12 : 0;
    stride += (format & kVertexNormal) ? 12 : 0;
    stride += (format & kVertexDiffuse) ? 4 : 0;
    stride += (format & kVertexSpecular) ? 4 : 0;
    stride += (format & kVertexTex2) ? 16 : ((format & kVertexTex1) ? 8 : 0);
    return stride;
}

enum class Primitive : int {
    PointList,
    LineList,
    LineStrip,
    TriangleList,
    TriangleStrip,
    TriangleFan,
};

// Vertices a primitive count takes.
inline constexpr std::uint32_t PrimitiveVertexCount(Primitive type, std::uint32_t count)
{
    switch (type) {
    case Primitive::PointList:
        return count;
    case Primitive::LineList:
        return 2 * count;
    case Primitive::LineStrip:
        return count + 1;
    case Primitive::TriangleList:
        return 3 * count;
    case Primitive::TriangleStrip:
    case Primitive::TriangleFan:
        return count + 2;
    }
    return 0;
}

enum class TransformKind : int {
    World,
    View,
    Projection,
    Count,
};

struct Material {
    ColorValue diffuse;
    ColorValue ambient;
    ColorValue specular;
    ColorValue emissive;
    float power = 0.0f;
};

// A rectangle of the target's pixels counted as the viewport counts them,
// from the top left with y down: columns left .. right - 1, rows top ..
// bottom - 1.
struct ScissorRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ScissorRect&) const = default;
};

// A pre-transformed vertex: screen pixels, not lit, coloured.
struct ScreenVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.5f;
    float rhw = 1.0f;
    std::uint32_t color = 0xFFFFFFFFu;
};
static_assert(sizeof(ScreenVertex) == 20);
inline constexpr std::uint32_t kScreenVertexFormat = kVertexScreenPosition | kVertexDiffuse;

// The same with one texture coordinate set.
struct ScreenTexVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.5f;
    float rhw = 1.0f;
    std::uint32_t color = 0xFFFFFFFFu;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(ScreenTexVertex) == 28);
inline constexpr std::uint32_t kScreenTexVertexFormat = kVertexScreenPosition | kVertexDiffuse | kVertexTex1;

// A font by face, cell height and average character width in pixels (0:
// the natural ones) and weight. An outlined font draws a dark rim round every
// glyph, under the text, so that it reads over bright and dark ground alike.
struct FontDesc {
    int height = 0;
    int width = 0;
    bool bold = false;
    bool italic = false;
    const char* face = "Arial";
    bool outlined = false;
};

} // namespace platform

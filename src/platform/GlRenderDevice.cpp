// GlRenderDevice: the game's drawing conventions on the fixed-function GL.
//
// - Matrices are row-vector; their memory is the column-vector GL matrix of
//   the same transform, so they load untransposed. The modelview is
//   world x view x S and the projection S x projection x F, where S flips z
//   (GL lights in a right-handed eye space, with the viewer looking down -z,
//   which is what its specular highlights assume) and F maps the 0..1 depth
//   of the projection onto GL's -1..1 (z' = 2z - w). Into a texture target F
//   also flips y, so row 0 of the texture is the top of the picture as a
//   texture read with v = 0 expects; the winding then flips with it.
// - Clockwise faces are the front (the default cull drops counter-clockwise
//   ones), as seen on screen.
// - Screen-position vertices are pixels with y down and pixel centres on
//   whole numbers. They are placed half a pixel on, less 1/64, so an edge on a
//   whole number covers the pixel below and right of it (top-left rule) with
//   no ties left to the GL's own rule. They are never lit; their 1/w is
//   taken as 1.
// - The light is world space: its direction is given to GL under the view
//   matrix alone. The specular colour is added after texturing, and only
//   while SpecularEnable is on (else the GL material's specular is black).
// - A lit vertex's diffuse comes from its diffuse colour when it has one
//   (DiffuseMaterialSource Color1); ambient and emissive from the material.
//   GL follows one vertex colour only, so a specular source of Color2 uses
//   the material's specular (the terrain's edges carry white there, as does
//   their material).
// - Stage 0 modulates; with no texture bound stage 0 is off, which reads as
//   an opaque white texture. Other stages only feed a pixel shader.
// - A draw looks the same whatever the draws before it did: the GL state is
//   brought to the device state it depends on before each draw, including
//   what GL keeps by itself (the material a colour-tracking draw overwrote,
//   the current colour and normal once their arrays go off). A draw whose
//   stride is shorter than its vertex format's vertex draws nothing.
#include "platform/GlRenderDevice.h"

#include "platform/GlFont.h"
#include "platform/GlResources.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr float kPixelBias = 0.5f - 1.0f / 64.0f;
constexpr float kMaxPointSize = 64.0f;
// GL refuses a size of 0 or less.
constexpr float kSmallestPointSize = 1.0f / 1024.0f;

GLenum GlBlend(std::uint32_t blend)
{
    switch (blend) {
    case kBlendZero:
        return GL_ZERO;
    case kBlendSrcAlpha:
        return GL_SRC_ALPHA;
    case kBlendInvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    default:
        return GL_ONE;
    }
}

GLenum GlPrimitive(Primitive type)
{
    switch (type) {
    case Primitive::PointList:
        return GL_POINTS;
    case Primitive::LineList:
        return GL_LINES;
    case Primitive::LineStrip:
        return GL_LINE_STRIP;
    case Primitive::TriangleList:
        return GL_TRIANGLES;
    case Primitive::TriangleStrip:
        return GL_TRIANGLE_STRIP;
    case Primitive::TriangleFan:
        return GL_TRIANGLE_FAN;
    }
    return GL_TRIANGLES;
}

void ColorArray(const ColorValue& c, GLfloat out[4])
{
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

void SetCap(GLenum cap, bool on)
{
    if (on) {
        glEnable(cap);
    } else {
        glDisable(cap);
    }
}

Matrix FlipZ()
{
    Matrix s = Matrix::Identity();
    s.m[2][2] = -1.0f;
    return s;
}

// A row-vector matrix's memory is the column-vector GL matrix of the same
// transform.
void LoadMatrix(const Matrix& m)
{
    glLoadMatrixf(&m.m[0][0]);
}

const void* Offset(std::uint32_t bytes)
{
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bytes));
}

} // namespace

std::unique_ptr<GlRenderDevice> GlRenderDevice::Create(Window& window, std::string* error)
{
    const auto fail = [error](const char* why) {
        if (error) {
            *error = why;
        }
        return nullptr;
    };
    if (epoxy_gl_version() < 21) {
        return fail("OpenGL 2.1 is needed");
    }
    if (epoxy_gl_version() < 30 && !epoxy_has_gl_extension("GL_ARB_framebuffer_object")) {
        return fail("OpenGL framebuffer objects are needed");
    }
    if (epoxy_gl_version() < 32 && !epoxy_has_gl_extension("GL_ARB_vertex_array_bgra")) {
        return fail("OpenGL BGRA vertex colours are needed");
    }
    std::unique_ptr<GlRenderDevice> device(new GlRenderDevice(window));
    device->InitialiseGl();
    return device;
}

GlRenderDevice::GlRenderDevice(Window& window) : window_(window)
{
    pictureWidth_ = window.PictureWidth();
    pictureHeight_ = window.PictureHeight();
    state_.viewport = {0.0f, 0.0f, static_cast<float>(pictureWidth_), static_cast<float>(pictureHeight_), 0.0f, 1.0f};
    link_->device = this;
}

GlRenderDevice::~GlRenderDevice()
{
    spriteBuffer_.reset();
    glUseProgram(0);
    link_->device = nullptr;
}

void GlRenderDevice::ForgetTexture(const Texture* texture)
{
    for (DeviceState* state : {&state_, &spriteSavedState_}) {
        for (Texture*& bound : state->textures) {
            if (bound == texture) {
                bound = nullptr;
            }
        }
    }
    if (spriteTexture_ == texture) {
        spriteTexture_ = nullptr;
    }
    if (target_ == texture) {
        SetRenderTarget(nullptr);
    }
    dirty_ |= kDirtyTextures;
}

void GlRenderDevice::ForgetVertexBuffer(const VertexBuffer* buffer)
{
    for (DeviceState* state : {&state_, &spriteSavedState_}) {
        if (state->stream == buffer) {
            state->stream = nullptr;
        }
    }
    // GL unbinds a deleted buffer, and a new one may get its name.
    boundArrayBuffer_ = 0;
}

void GlRenderDevice::ForgetIndexBuffer(const IndexBuffer* buffer)
{
    for (DeviceState* state : {&state_, &spriteSavedState_}) {
        if (state->indices == buffer) {
            state->indices = nullptr;
        }
    }
}

void GlRenderDevice::ForgetPixelShader(const PixelShader* shader)
{
    for (DeviceState* state : {&state_, &spriteSavedState_}) {
        if (state->pixelShader == shader) {
            state->pixelShader = nullptr;
        }
    }
    dirty_ |= kDirtyTextures;
}

void GlRenderDevice::InitialiseGl()
{
    window_.BindPicture();
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glDisable(GL_NORMALIZE);
    glDisable(GL_DITHER);
    glShadeModel(GL_SMOOTH);
    glDepthFunc(GL_LEQUAL);
    glCullFace(GL_BACK);
    glBlendEquation(GL_FUNC_ADD);
    glEnable(GL_LIGHT0);
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    for (int stage = 0; stage < kTextureStages; ++stage) {
        glActiveTexture(GL_TEXTURE0 + stage);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glDisable(GL_TEXTURE_2D);
    }
    glActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_VERTEX_ARRAY);
    dirty_ = kDirtyAll;
}

void GlRenderDevice::SetRenderState(RenderState state, std::uint32_t value)
{
    // The renderer sets each draw's states whether or not they changed; an
    // unchanged one must not send the whole state block to GL again.
    if (state_.renderStates[static_cast<int>(state)] == value) {
        return;
    }
    state_.renderStates[static_cast<int>(state)] = value;
    dirty_ |= kDirtyStates;
    if (state == RenderState::SpecularEnable || state == RenderState::DiffuseMaterialSource) {
        dirty_ |= kDirtyMaterial;
    }
}

void GlRenderDevice::SetTransform(TransformKind kind, const Matrix& matrix)
{
    Matrix& current = state_.transforms[static_cast<int>(kind)];
    if (std::memcmp(&current, &matrix, sizeof matrix) == 0) {
        return;
    }
    current = matrix;
    dirty_ |= kDirtyTransforms;
    if (kind == TransformKind::View) {
        dirty_ |= kDirtyLight;
    }
}

void GlRenderDevice::SetMaterial(const Material& material)
{
    if (std::memcmp(&state_.material, &material, sizeof material) == 0) {
        return;
    }
    state_.material = material;
    dirty_ |= kDirtyMaterial;
}

void GlRenderDevice::SetLight(const LightRecord& light)
{
    state_.light = light;
    dirty_ |= kDirtyLight;
}

void GlRenderDevice::EnableLight(bool on)
{
    state_.lightEnabled = on;
    dirty_ |= kDirtyLight;
}

void GlRenderDevice::SetTexture(int stage, Texture* texture)
{
    if (stage < 0 || stage >= kTextureStages || state_.textures[static_cast<std::size_t>(stage)] == texture) {
        return;
    }
    state_.textures[static_cast<std::size_t>(stage)] = texture;
    dirty_ |= kDirtyTextures;
}

void GlRenderDevice::SetVertexFormat(std::uint32_t format)
{
    if (state_.vertexFormat == format) {
        return;
    }
    state_.vertexFormat = format;
    dirty_ |= kDirtyMaterial | kDirtyTextures;
}

void GlRenderDevice::SetStreamSource(VertexBuffer* buffer, std::uint32_t stride)
{
    state_.stream = buffer;
    state_.streamStride = stride;
}

void GlRenderDevice::SetIndices(IndexBuffer* buffer)
{
    state_.indices = buffer;
}

void GlRenderDevice::SetPixelShader(PixelShader* shader)
{
    if (state_.pixelShader == shader) {
        return;
    }
    state_.pixelShader = shader;
    dirty_ |= kDirtyTextures;
}

void GlRenderDevice::SetViewport(const Viewport& viewport)
{
    state_.viewport = viewport;
    dirty_ |= kDirtyViewport | kDirtyTransforms;
}

void GlRenderDevice::SetScissorRect(const ScissorRect* rect)
{
    state_.scissorOn = rect != nullptr;
    state_.scissor = rect ? *rect : ScissorRect{};
    dirty_ |= kDirtyScissor;
}

Matrix GlRenderDevice::ClipFix() const
{
    Matrix fix = Matrix::Identity();
    fix.m[1][1] = target_ ? -1.0f : 1.0f;
    fix.m[2][2] = 2.0f;
    fix.m[3][2] = -1.0f;
    return fix;
}

Matrix GlRenderDevice::ScreenProjection() const
{
    const Viewport& vp = state_.viewport;
    const float width = std::max(vp.width, 1.0f);
    const float height = std::max(vp.height, 1.0f);
    Matrix m;
    m.m[0][0] = 2.0f / width;
    m.m[3][0] = 2.0f * (kPixelBias - vp.x) / width - 1.0f;
    if (target_) {
        m.m[1][1] = 2.0f / height;
        m.m[3][1] = 2.0f * (kPixelBias - vp.y) / height - 1.0f;
    } else {
        m.m[1][1] = -2.0f / height;
        m.m[3][1] = 1.0f - 2.0f * (kPixelBias - vp.y) / height;
    }
    m.m[2][2] = 2.0f;
    m.m[3][2] = -1.0f;
    m.m[3][3] = 1.0f;
    return m;
}

void GlRenderDevice::ApplyViewport()
{
    const Viewport& vp = state_.viewport;
    const int targetHeight = target_ ? target_->Height() : pictureHeight_;
    const int x = static_cast<int>(vp.x);
    const int width = static_cast<int>(vp.width);
    const int height = static_cast<int>(vp.height);
    // GL counts rows from the bottom; a texture target is drawn upside down
    // in GL terms, so its rows already count from the top.
    const int y = target_ ? static_cast<int>(vp.y) : targetHeight - static_cast<int>(vp.y) - height;
    glViewport(x, y, width, height);
    glDepthRange(vp.minZ, vp.maxZ);
}

void GlRenderDevice::GlScissor(const ScissorRect& rect) const
{
    const int targetHeight = target_ ? target_->Height() : pictureHeight_;
    const int width = std::max(rect.right - rect.left, 0);
    const int height = std::max(rect.bottom - rect.top, 0);
    // As for the viewport: a texture target's rows already count from the top.
    const int y = target_ ? rect.top : targetHeight - rect.top - height;
    glScissor(rect.left, y, width, height);
}

void GlRenderDevice::ApplyScissor()
{
    SetCap(GL_SCISSOR_TEST, state_.scissorOn);
    if (state_.scissorOn) {
        GlScissor(state_.scissor);
    }
}

void GlRenderDevice::ApplyStates()
{
    const DeviceState& s = state_;
    SetCap(GL_DEPTH_TEST, s.IsOn(RenderState::ZEnable));
    glDepthMask(s.IsOn(RenderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
    SetCap(GL_BLEND, s.IsOn(RenderState::AlphaBlendEnable));
    glBlendFunc(GlBlend(s.Get(RenderState::SrcBlend)), GlBlend(s.Get(RenderState::DestBlend)));
    const std::uint32_t cull = s.Get(RenderState::CullMode);
    SetCap(GL_CULL_FACE, cull != kCullNone);
    // Dropping counter-clockwise faces keeps the clockwise ones as the front;
    // a texture target's flip turns the winding round.
    const bool frontIsClockwise = cull != kCullClockwise;
    glFrontFace((frontIsClockwise != (target_ != nullptr)) ? GL_CW : GL_CCW);
    const std::uint32_t fill = s.Get(RenderState::FillMode);
    glPolygonMode(GL_FRONT_AND_BACK, fill == kFillPoint ? GL_POINT : (fill == kFillWireframe ? GL_LINE : GL_FILL));

    // A scaled point's size is world units and may be well under a pixel
    // before scaling (the trails' 0.2); GL clamps the scaled size itself. An
    // unscaled one is pixels, clamped here. Sprites are switched on per draw,
    // for point lists only.
    const float size = s.GetFloat(RenderState::PointSize);
    const bool scaled = s.IsOn(RenderState::PointScaleEnable);
    glPointSize(scaled ? std::max(size, kSmallestPointSize) : std::clamp(size, 1.0f, kMaxPointSize));
    glPointParameterf(GL_POINT_SIZE_MIN, std::max(s.GetFloat(RenderState::PointSizeMin), 0.0f));
    glPointParameterf(GL_POINT_SIZE_MAX, kMaxPointSize);
    // The scaled size is size x viewport height x sqrt(1 / (A + B d + C d^2));
    // GL has no height factor, so it goes into the coefficients as 1 / h^2.
    const float h = std::max(s.viewport.height, 1.0f);
    GLfloat attenuation[3] = {1.0f, 0.0f, 0.0f};
    if (scaled) {
        attenuation[0] = s.GetFloat(RenderState::PointScaleA) / (h * h);
        attenuation[1] = s.GetFloat(RenderState::PointScaleB) / (h * h);
        attenuation[2] = s.GetFloat(RenderState::PointScaleC) / (h * h);
    }
    glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, attenuation);

    GLfloat ambient[4] = {};
    ColorArray(UnpackColor(s.Get(RenderState::Ambient)), ambient);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, s.IsOn(RenderState::LocalViewer) ? GL_TRUE : GL_FALSE);
}

void GlRenderDevice::ApplyLight()
{
    glMatrixMode(GL_MODELVIEW);
    LoadMatrix(state_.GetTransform(TransformKind::View) * FlipZ());
    const LightRecord& light = state_.light;
    // GL's directional light position is the direction towards the light.
    const GLfloat towards[4] = {-light.direction.x, -light.direction.y, -light.direction.z, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, towards);
    GLfloat colour[4] = {};
    ColorArray(light.diffuse, colour);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, colour);
    ColorArray(light.specular, colour);
    glLightfv(GL_LIGHT0, GL_SPECULAR, colour);
    ColorArray(light.ambient, colour);
    glLightfv(GL_LIGHT0, GL_AMBIENT, colour);
    SetCap(GL_LIGHT0, state_.lightEnabled);
    dirty_ |= kDirtyTransforms;
}

void GlRenderDevice::ApplyTransforms(bool screenSpace)
{
    glMatrixMode(GL_PROJECTION);
    if (screenSpace) {
        LoadMatrix(ScreenProjection());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        return;
    }
    LoadMatrix(FlipZ() * state_.GetTransform(TransformKind::Projection) * ClipFix());
    glMatrixMode(GL_MODELVIEW);
    LoadMatrix(state_.GetTransform(TransformKind::World) * state_.GetTransform(TransformKind::View) * FlipZ());
}

void GlRenderDevice::ApplyMaterial()
{
    const std::uint32_t format = state_.vertexFormat;
    const Material& m = state_.material;
    // Tracking off first: while it is on, GL ignores the material colour it
    // tracks, and a draw after one with vertex colours would keep whatever
    // diffuse an earlier draw left instead of its own.
    glDisable(GL_COLOR_MATERIAL);
    GLfloat colour[4] = {};
    ColorArray(m.ambient, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, colour);
    ColorArray(m.diffuse, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, colour);
    ColorArray(m.emissive, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, colour);
    const bool specular = state_.IsOn(RenderState::SpecularEnable);
    ColorArray(specular ? m.specular : ColorValue{0.0f, 0.0f, 0.0f, 0.0f}, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, colour);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m.power, 0.0f, 128.0f));
    const std::uint32_t source = state_.Get(RenderState::DiffuseMaterialSource);
    const bool fromVertex = (source == kSourceColor1 && (format & kVertexDiffuse)) ||
                            (source == kSourceColor2 && (format & kVertexSpecular));
    SetCap(GL_COLOR_MATERIAL, fromVertex);
}

void GlRenderDevice::ApplyTextures()
{
    const bool shader = state_.pixelShader != nullptr;
    glUseProgram(shader ? static_cast<GlPixelShader*>(state_.pixelShader)->Program() : 0);
    for (int stage = kTextureStages - 1; stage >= 0; --stage) {
        glActiveTexture(GL_TEXTURE0 + stage);
        const auto* texture = static_cast<const GlTexture*>(state_.textures[static_cast<std::size_t>(stage)]);
        glBindTexture(GL_TEXTURE_2D, texture ? texture->Id() : 0);
        // The fixed pipeline reads stage 0 only; a pixel shader samples all.
        SetCap(GL_TEXTURE_2D, !shader && stage == 0 && texture != nullptr);
    }
}

void GlRenderDevice::ApplyArrays(std::uint32_t byteOffset)
{
    const std::uint32_t format = state_.vertexFormat;
    const auto stride = static_cast<GLsizei>(state_.streamStride);
    const auto* buffer = static_cast<const GlVertexBuffer*>(state_.stream);
    if (buffer->Id() != boundArrayBuffer_) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer->Id());
        boundArrayBuffer_ = buffer->Id();
    }
    std::uint32_t at = byteOffset;
    if (format & kVertexScreenPosition) {
        glVertexPointer(3, GL_FLOAT, stride, Offset(at));
        at += 16;
    } else {
        glVertexPointer(3, GL_FLOAT, stride, Offset(at));
        at += 12;
    }
    // The constant normal and colour are set again whenever their array goes
    // off: a draw from the array leaves the current value undefined.
    const int normals = (format & kVertexNormal) ? 1 : 0;
    if (normals) {
        if (appliedNormals_ != 1) {
            glEnableClientState(GL_NORMAL_ARRAY);
        }
        glNormalPointer(GL_FLOAT, stride, Offset(at));
        at += 12;
    } else if (appliedNormals_ != 0) {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0.0f, 0.0f, 0.0f);
    }
    appliedNormals_ = normals;
    const int colours = (format & kVertexDiffuse) ? 1 : 0;
    if (colours) {
        if (appliedColours_ != 1) {
            glEnableClientState(GL_COLOR_ARRAY);
        }
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, Offset(at));
        at += 4;
    } else if (appliedColours_ != 0) {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    appliedColours_ = colours;
    if (format & kVertexSpecular) {
        at += 4;
    }
    ApplyTexCoordArrays((format & kVertexTex2) ? 2 : ((format & kVertexTex1) ? 1 : 0), stride, at);
}

void GlRenderDevice::ApplyTexCoordArrays(int sets, int stride, std::uint32_t at)
{
    bool movedUnit = false;
    for (int set = 0; set < 2; ++set) {
        const bool on = set < sets;
        const bool known = appliedTexSets_ >= 0;
        const bool wasOn = known && set < appliedTexSets_;
        if (!on && known && !wasOn) {
            continue;
        }
        glClientActiveTexture(GL_TEXTURE0 + set);
        movedUnit = movedUnit || set != 0;
        if (!on) {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            continue;
        }
        if (!wasOn) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glTexCoordPointer(2, GL_FLOAT, stride, Offset(at));
        at += 8;
    }
    if (movedUnit) {
        glClientActiveTexture(GL_TEXTURE0);
    }
    appliedTexSets_ = sets;
}

bool GlRenderDevice::PrepareDraw()
{
    // A stride short of the format's vertex would read each vertex's last
    // fields from the next one, and past the buffer's end at the last.
    if (!state_.stream || state_.streamStride == 0 || state_.streamStride < VertexStride(state_.vertexFormat)) {
        return false;
    }
    const bool screenSpace = (state_.vertexFormat & kVertexScreenPosition) != 0;
    const bool lit = !screenSpace && state_.IsOn(RenderState::Lighting);
    if (dirty_ & kDirtyViewport) {
        ApplyViewport();
    }
    if (dirty_ & kDirtyScissor) {
        ApplyScissor();
    }
    if (dirty_ & kDirtyStates) {
        ApplyStates();
    }
    if ((dirty_ & kDirtyLight) && lit) {
        ApplyLight();
        dirty_ &= ~kDirtyLight;
    }
    if ((dirty_ & kDirtyTransforms) || screenSpace != appliedScreenSpace_) {
        ApplyTransforms(screenSpace);
        appliedScreenSpace_ = screenSpace;
    }
    if (lit != appliedLit_ || (dirty_ & kDirtyStates)) {
        SetCap(GL_LIGHTING, lit);
        appliedLit_ = lit;
    }
    if (dirty_ & kDirtyMaterial) {
        ApplyMaterial();
    }
    if (dirty_ & kDirtyTextures) {
        ApplyTextures();
    }
    dirty_ &= kDirtyLight;
    return true;
}

void GlRenderDevice::ApplyPointSprites(Primitive type)
{
    // The sprite state speaks for points alone. Left on for other primitives,
    // the GL replaces their texture coordinates as well, and every textured
    // quad or mesh shows one texel stretched over it.
    const bool sprites = type == Primitive::PointList && state_.IsOn(RenderState::PointSpriteEnable);
    if (appliedSprites_ == static_cast<int>(sprites)) {
        return;
    }
    appliedSprites_ = static_cast<int>(sprites);
    SetCap(GL_POINT_SPRITE, sprites);
    glActiveTexture(GL_TEXTURE0);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, sprites ? GL_TRUE : GL_FALSE);
}

void GlRenderDevice::DrawPrimitive(Primitive type, std::uint32_t startVertex, std::uint32_t count)
{
    if (count == 0 || !PrepareDraw()) {
        return;
    }
    ApplyPointSprites(type);
    ApplyArrays(0);
    glDrawArrays(GlPrimitive(type), static_cast<GLint>(startVertex),
                 static_cast<GLsizei>(PrimitiveVertexCount(type, count)));
    ++drawCalls_;
}

void GlRenderDevice::DrawIndexedPrimitive(Primitive type, std::int32_t baseVertex, std::uint32_t minIndex,
                                          std::uint32_t vertexCount, std::uint32_t startIndex, std::uint32_t count)
{
    if (count == 0 || !state_.indices || baseVertex < 0 || !PrepareDraw()) {
        return;
    }
    const auto* indices = static_cast<const GlIndexBuffer*>(state_.indices);
    const std::uint32_t indexCount = PrimitiveVertexCount(type, count);
    if (startIndex > indices->Count() || indexCount > indices->Count() - startIndex) {
        return;
    }
    ApplyPointSprites(type);
    // The base vertex moves the arrays' start rather than needing GL 3.2.
    ApplyArrays(static_cast<std::uint32_t>(baseVertex) * state_.streamStride);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices->Id());
    const std::uint32_t size = indices->IsWide() ? 4 : 2;
    glDrawRangeElements(GlPrimitive(type), minIndex, minIndex + std::max(vertexCount, 1u) - 1,
                        static_cast<GLsizei>(indexCount), indices->IsWide() ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                        Offset(startIndex * size));
    ++drawCalls_;
}

void GlRenderDevice::BeginSprites()
{
    if (inSprites_) {
        return;
    }
    inSprites_ = true;
    spriteSavedState_ = state_;
    sprites_.clear();
    spriteTexture_ = nullptr;
}

void GlRenderDevice::DrawText(Font& font, std::string_view text, int x, int y, std::uint32_t argb)
{
    auto& glFont = static_cast<GlFont&>(font);
    if (!inSprites_) {
        BeginSprites();
        DrawText(font, text, x, y, argb);
        EndSprites();
        return;
    }
    if (spriteTexture_ != glFont.GetAtlas()) {
        FlushSprites();
        spriteTexture_ = glFont.GetAtlas();
    }
    glFont.AppendQuads(text, x, y, argb, sprites_);
}

void GlRenderDevice::FlushSprites()
{
    if (sprites_.empty()) {
        return;
    }
    const std::size_t bytes = sprites_.size() * sizeof(ScreenTexVertex);
    if (!spriteBuffer_ || spriteBuffer_->Size() < bytes) {
        spriteBuffer_ = CreateVertexBuffer(std::bit_ceil(bytes));
    }
    std::span<std::uint8_t> memory = spriteBuffer_->Lock();
    std::memcpy(memory.data(), sprites_.data(), bytes);
    spriteBuffer_->Unlock();
    SetRenderState(RenderState::ZEnable, 0);
    SetRenderState(RenderState::Lighting, 0);
    SetRenderState(RenderState::AlphaBlendEnable, 1);
    SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    SetRenderState(RenderState::CullMode, kCullNone);
    SetRenderState(RenderState::FillMode, kFillSolid);
    SetRenderState(RenderState::PointSpriteEnable, 0);
    SetScissorRect(nullptr);
    SetPixelShader(nullptr);
    SetTexture(0, spriteTexture_);
    SetVertexFormat(kScreenTexVertexFormat);
    SetStreamSource(spriteBuffer_.get(), sizeof(ScreenTexVertex));
    DrawPrimitive(Primitive::TriangleList, 0, static_cast<std::uint32_t>(sprites_.size() / 3));
    sprites_.clear();
}

void GlRenderDevice::EndSprites()
{
    if (!inSprites_) {
        return;
    }
    FlushSprites();
    inSprites_ = false;
    state_ = spriteSavedState_;
    dirty_ = kDirtyAll;
}

void GlRenderDevice::BindTarget()
{
    if (target_) {
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GlTexture*>(target_)->Framebuffer());
    } else {
        window_.BindPicture();
    }
    dirty_ |= kDirtyViewport;
}

void GlRenderDevice::SetRenderTarget(Texture* target)
{
    if (target && !target->IsRenderTarget()) {
        return;
    }
    target_ = target;
    state_.scissorOn = false;
    BindTarget();
    const float width = static_cast<float>(target ? target->Width() : pictureWidth_);
    const float height = static_cast<float>(target ? target->Height() : pictureHeight_);
    state_.viewport = {0.0f, 0.0f, width, height, 0.0f, 1.0f};
    dirty_ = kDirtyAll;
}

void GlRenderDevice::Clear(std::uint32_t argb, float depth)
{
    ApplyViewport();
    // GL clears the whole target whatever the viewport: the scissor keeps
    // the clear inside it, and inside the caller's rectangle when there is one.
    const Viewport& vp = state_.viewport;
    ScissorRect area{static_cast<int>(vp.x), static_cast<int>(vp.y), static_cast<int>(vp.x + vp.width),
                     static_cast<int>(vp.y + vp.height)};
    if (state_.scissorOn) {
        const ScissorRect& s = state_.scissor;
        area = {std::max(area.left, s.left), std::max(area.top, s.top), std::min(area.right, s.right),
                std::min(area.bottom, s.bottom)};
    }
    glEnable(GL_SCISSOR_TEST);
    GlScissor(area);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    const ColorValue c = UnpackColor(argb);
    glClearColor(c.r, c.g, c.b, c.a);
    glClearDepth(depth);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyScissor();
    dirty_ |= kDirtyStates;
}

bool GlRenderDevice::BeginScene()
{
    ++sceneDepth_;
    return true;
}

void GlRenderDevice::EndScene()
{
    sceneDepth_ = std::max(sceneDepth_ - 1, 0);
}

void GlRenderDevice::Flush()
{
    glFlush();
}

void GlRenderDevice::Present()
{
    if (target_) {
        SetRenderTarget(nullptr);
    }
    window_.Present();
    // The window rebinds the picture with a full viewport.
    dirty_ |= kDirtyViewport | kDirtyStates;
    lastFrameDrawCalls_ = drawCalls_;
    drawCalls_ = 0;
}

bool GlRenderDevice::ReadPicture(RgbImage& image)
{
    window_.BindPicture();
    image.width = pictureWidth_;
    image.height = pictureHeight_;
    image.rgb.assign(static_cast<std::size_t>(pictureWidth_) * pictureHeight_ * 3, 0);
    std::vector<std::uint8_t> bottomUp(image.rgb.size(), 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, pictureWidth_, pictureHeight_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const std::size_t rowBytes = static_cast<std::size_t>(pictureWidth_) * 3;
    for (int y = 0; y < pictureHeight_; ++y) {
        std::memcpy(&image.rgb[static_cast<std::size_t>(y) * rowBytes],
                    &bottomUp[static_cast<std::size_t>(pictureHeight_ - 1 - y) * rowBytes], rowBytes);
    }
    BindTarget();
    return glGetError() == GL_NO_ERROR;
}

} // namespace platform

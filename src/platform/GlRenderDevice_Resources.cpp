// GlRenderDevice: textures (from files, pixels, or as render targets),
// vertex and index buffers, the pixel shader and fonts.
//
// Textures load with a full mip chain, trilinear filtering and wrapping, the
// sampling every texture of the game uses. The top image row goes to GL row
// 0, which is where v = 0 reads, so v runs down the picture. Render targets
// are RGB: they read with alpha 1 wherever they are drawn.
#include "platform/GlRenderDevice.h"

#include "platform/FileSystem.h"
#include "platform/GlFont.h"
#include "platform/GlResources.h"
#include "platform/ImageFile.h"

#include <algorithm>
#include <cstdio>

namespace platform {

namespace {

// Textures today are at most 1 MB; shaders a few kilobytes.
constexpr std::size_t kMaxTextureFileBytes = 32 * 1024 * 1024;
constexpr std::size_t kMaxShaderFileBytes = 64 * 1024;

// The vertex half of a pixel shader's program: the colour as stored (the
// ground is drawn unlit) and both texture sets, placed as the fixed pipeline
// places them.
constexpr const char* kPassThroughVertexShader = R"(#version 120
void main()
{
    gl_Position = ftransform();
    gl_FrontColor = gl_Color;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_MultiTexCoord1;
}
)";

void SetError(std::string* error, const std::string& why)
{
    if (error) {
        *error = why;
    }
}

GLuint CompileShader(GLenum kind, const char* source, std::string& log)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char text[1024] = {};
        glGetShaderInfoLog(shader, sizeof text - 1, nullptr, text);
        log = text;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

GlTexture::~GlTexture()
{
    if (link_ && link_->device) {
        link_->device->ForgetTexture(this);
    }
    if (framebuffer_ != 0) {
        glDeleteFramebuffers(1, &framebuffer_);
    }
    if (depth_ != 0) {
        glDeleteRenderbuffers(1, &depth_);
    }
    glDeleteTextures(1, &id_);
}

bool GlTexture::AttachFramebuffer()
{
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width_, height_);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, id_, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

GlBuffer::GlBuffer(GLenum target, std::size_t bytes) : target_(target), bytes_(bytes, 0)
{
    glGenBuffers(1, &id_);
}

GlBuffer::~GlBuffer()
{
    glDeleteBuffers(1, &id_);
}

void GlBuffer::Unlock()
{
    // Element buffers bind to the vertex array state in some drivers; keep the
    // device's own binding out of it by restoring what was bound.
    const GLenum query = target_ == GL_ARRAY_BUFFER ? GL_ARRAY_BUFFER_BINDING : GL_ELEMENT_ARRAY_BUFFER_BINDING;
    GLint previous = 0;
    glGetIntegerv(query, &previous);
    glBindBuffer(target_, id_);
    if (!uploaded_) {
        glBufferData(target_, static_cast<GLsizeiptr>(bytes_.size()), bytes_.data(), GL_DYNAMIC_DRAW);
        uploaded_ = true;
    } else {
        // Orphan the old storage so a buffer drawn from earlier in the frame
        // is not waited for.
        glBufferData(target_, static_cast<GLsizeiptr>(bytes_.size()), nullptr, GL_DYNAMIC_DRAW);
        glBufferSubData(target_, 0, static_cast<GLsizeiptr>(bytes_.size()), bytes_.data());
    }
    glBindBuffer(target_, static_cast<GLuint>(previous));
}

// No orphaning: a new store would cost the whole buffer's copy (and the
// driver's clearing of it) for a few changed bytes.
void GlBuffer::UnlockRange(std::size_t first, std::size_t count)
{
    if (!uploaded_) {
        Unlock();
        return;
    }
    const std::size_t from = std::min(first, bytes_.size());
    const std::size_t bytes = std::min(count, bytes_.size() - from);
    if (bytes == 0) {
        return;
    }
    const GLenum query = target_ == GL_ARRAY_BUFFER ? GL_ARRAY_BUFFER_BINDING : GL_ELEMENT_ARRAY_BUFFER_BINDING;
    GLint previous = 0;
    glGetIntegerv(query, &previous);
    glBindBuffer(target_, id_);
    glBufferSubData(target_, static_cast<GLintptr>(from), static_cast<GLsizeiptr>(bytes), bytes_.data() + from);
    glBindBuffer(target_, static_cast<GLuint>(previous));
}

GlVertexBuffer::~GlVertexBuffer()
{
    if (link_ && link_->device) {
        link_->device->ForgetVertexBuffer(this);
    }
}

GlIndexBuffer::~GlIndexBuffer()
{
    if (link_ && link_->device) {
        link_->device->ForgetIndexBuffer(this);
    }
}

GlPixelShader::~GlPixelShader()
{
    if (link_ && link_->device) {
        link_->device->ForgetPixelShader(this);
    }
    glDeleteProgram(program_);
}

std::unique_ptr<Texture> GlRenderDevice::CreateTextureFromFile(std::string_view path, std::string* error)
{
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!ReadDataFile(path, kMaxTextureFileBytes, bytes, &why)) {
        SetError(error, why);
        return nullptr;
    }
    std::unique_ptr<Texture> texture = CreateTextureFromMemory(bytes, &why);
    if (!texture) {
        SetError(error, std::string(path) + ": " + why);
    }
    return texture;
}

std::unique_ptr<Texture> GlRenderDevice::CreateTextureFromMemory(std::span<const std::uint8_t> fileBytes,
                                                                 std::string* error)
{
    RgbaImage image;
    if (!DecodeImage(fileBytes, image, error)) {
        return nullptr;
    }
    return CreateTextureFromPixels(image.width, image.height, image.rgba);
}

std::unique_ptr<Texture> GlRenderDevice::CreateTextureFromPixels(int width, int height,
                                                                 std::span<const std::uint8_t> rgba)
{
    return MakeTexture(width, height, rgba, GL_LINEAR_MIPMAP_LINEAR);
}

std::unique_ptr<Texture> GlRenderDevice::CreateTextureFromPixelsNearestMip(int width, int height,
                                                                           std::span<const std::uint8_t> rgba)
{
    return MakeTexture(width, height, rgba, GL_LINEAR_MIPMAP_NEAREST);
}

std::unique_ptr<Texture> GlRenderDevice::MakeTexture(int width, int height, std::span<const std::uint8_t> rgba,
                                                     GLenum minFilter)
{
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<std::size_t>(width) * height * 4) {
        return nullptr;
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    dirty_ |= kDirtyTextures;
    auto texture = std::make_unique<GlTexture>(id, width, height);
    texture->SetDeviceLink(link_);
    return texture;
}

std::unique_ptr<Texture> GlRenderDevice::CreateRenderTarget(int width, int height)
{
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    auto texture = std::make_unique<GlTexture>(id, width, height);
    texture->SetDeviceLink(link_);
    const bool complete = texture->AttachFramebuffer();
    BindTarget();
    dirty_ |= kDirtyTextures;
    if (!complete) {
        return nullptr;
    }
    return texture;
}

std::unique_ptr<VertexBuffer> GlRenderDevice::CreateVertexBuffer(std::size_t bytes)
{
    return std::make_unique<GlVertexBuffer>(bytes, link_);
}

std::unique_ptr<IndexBuffer> GlRenderDevice::CreateIndexBuffer(std::uint32_t count, bool wide)
{
    return std::make_unique<GlIndexBuffer>(count, wide, link_);
}

std::unique_ptr<PixelShader> GlRenderDevice::CreatePixelShaderFromFile(std::string_view path, std::string* error)
{
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!ReadDataFile(path, kMaxShaderFileBytes, bytes, &why)) {
        SetError(error, why);
        return nullptr;
    }
    const std::string source(bytes.begin(), bytes.end());
    std::string log;
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, kPassThroughVertexShader, log);
    const GLuint fragment = vertex != 0 ? CompileShader(GL_FRAGMENT_SHADER, source.c_str(), log) : 0;
    if (fragment == 0) {
        if (vertex != 0) {
            glDeleteShader(vertex);
        }
        SetError(error, std::string(path) + " does not compile: " + log);
        return nullptr;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char text[1024] = {};
        glGetProgramInfoLog(program, sizeof text - 1, nullptr, text);
        glDeleteProgram(program);
        SetError(error, std::string(path) + " does not link: " + text);
        return nullptr;
    }
    glUseProgram(program);
    for (int stage = 0; stage < kTextureStages; ++stage) {
        const std::string name = "stage" + std::to_string(stage);
        const GLint location = glGetUniformLocation(program, name.c_str());
        if (location >= 0) {
            glUniform1i(location, stage);
        }
    }
    glUseProgram(0);
    dirty_ |= kDirtyTextures;
    return std::make_unique<GlPixelShader>(program, link_);
}

std::unique_ptr<Font> GlRenderDevice::CreateFont(const FontDesc& desc)
{
    std::string why;
    std::unique_ptr<GlFont> font = GlFont::Create(*this, desc, &why);
    if (!font) {
        std::fprintf(stderr, "Kostrivane: font not made: %s\n", why.c_str());
    }
    return font;
}

} // namespace platform

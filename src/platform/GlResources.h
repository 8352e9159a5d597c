// The OpenGL objects behind the device's textures, buffers and shaders; seen
// only by the GL device's own files.
#pragma once

#include "platform/RenderDevice.h"

#include <epoxy/gl.h>

#include <vector>

namespace platform {

class GlRenderDevice;

// A texture tells the device that made it when it goes, so that no texture
// stage, saved state or render target of the device is left pointing at it
// (the game frees a map's textures while they are still set, as Direct3D
// allows); the device lets go of the textures still alive when it goes first.
class GlTexture : public Texture {
public:
    GlTexture(GLuint id, int width, int height, GlRenderDevice* owner)
        : id_(id), width_(width), height_(height), owner_(owner)
    {
    }
    ~GlTexture() override;
    GlTexture(const GlTexture&) = delete;
    GlTexture& operator=(const GlTexture&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool IsRenderTarget() const override { return framebuffer_ != 0; }

    GLuint Id() const { return id_; }
    GLuint Framebuffer() const { return framebuffer_; }
    // Makes this texture a target with a depth buffer of its own size.
    bool AttachFramebuffer();
    // The device is going: nobody to tell any more.
    void ForgetOwner() { owner_ = nullptr; }

private:
    GLuint id_ = 0;
    int width_ = 0;
    int height_ = 0;
    GlRenderDevice* owner_ = nullptr;
    GLuint framebuffer_ = 0;
    GLuint depth_ = 0;
};

// A GL buffer object with a CPU copy: Lock hands out the copy, Unlock sends it.
class GlBuffer {
public:
    GlBuffer(GLenum target, std::size_t bytes);
    ~GlBuffer();
    GlBuffer(const GlBuffer&) = delete;
    GlBuffer& operator=(const GlBuffer&) = delete;

    std::span<std::uint8_t> Lock() { return bytes_; }
    void Unlock();
    std::size_t Size() const { return bytes_.size(); }
    GLuint Id() const { return id_; }

private:
    GLenum target_;
    GLuint id_ = 0;
    std::vector<std::uint8_t> bytes_;
    bool uploaded_ = false;
};

class GlVertexBuffer : public VertexBuffer {
public:
    explicit GlVertexBuffer(std::size_t bytes) : buffer_(GL_ARRAY_BUFFER, bytes) {}
    std::span<std::uint8_t> Lock() override { return buffer_.Lock(); }
    void Unlock() override { buffer_.Unlock(); }
    std::size_t Size() const override { return buffer_.Size(); }
    GLuint Id() const { return buffer_.Id(); }

private:
    GlBuffer buffer_;
};

class GlIndexBuffer : public IndexBuffer {
public:
    GlIndexBuffer(std::uint32_t count, bool wide)
        : buffer_(GL_ELEMENT_ARRAY_BUFFER, static_cast<std::size_t>(count) * (wide ? 4 : 2)), count_(count), wide_(wide)
    {
    }
    std::span<std::uint8_t> Lock() override { return buffer_.Lock(); }
    void Unlock() override { buffer_.Unlock(); }
    std::uint32_t Count() const override { return count_; }
    bool IsWide() const override { return wide_; }
    GLuint Id() const { return buffer_.Id(); }

private:
    GlBuffer buffer_;
    std::uint32_t count_;
    bool wide_;
};

class GlPixelShader : public PixelShader {
public:
    explicit GlPixelShader(GLuint program) : program_(program) {}
    ~GlPixelShader() override;
    GlPixelShader(const GlPixelShader&) = delete;
    GlPixelShader& operator=(const GlPixelShader&) = delete;
    GLuint Program() const { return program_; }

private:
    GLuint program_ = 0;
};

} // namespace platform

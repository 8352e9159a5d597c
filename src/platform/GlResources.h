// The OpenGL objects behind the device's textures, buffers and shaders; seen
// only by the GL device's own files.
#pragma once

#include "platform/RenderDevice.h"

#include <epoxy/gl.h>

#include <memory>
#include <vector>

namespace platform {

class GlRenderDevice;

// Shared by a device and every resource it makes. A resource freed while the
// device still has it bound (a match's ground texture, freed as the next map
// loads) takes itself out of the device's bindings on its way, so the device
// never binds a freed object; once the device is gone the link is empty.
struct GlDeviceLink {
    GlRenderDevice* device = nullptr;
};
using GlDeviceLinkPtr = std::shared_ptr<GlDeviceLink>;

class GlTexture : public Texture {
public:
    GlTexture(GLuint id, int width, int height) : id_(id), width_(width), height_(height) {}
    ~GlTexture() override;
    GlTexture(const GlTexture&) = delete;
    GlTexture& operator=(const GlTexture&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool IsRenderTarget() const override { return framebuffer_ != 0; }

    GLuint Id() const { return id_; }
    GLuint Framebuffer() const { return framebuffer_; }
    void SetDeviceLink(GlDeviceLinkPtr link) { link_ = std::move(link); }
    // Makes this texture a target with a depth buffer of its own size.
    bool AttachFramebuffer();

private:
    GLuint id_ = 0;
    int width_ = 0;
    int height_ = 0;
    GLuint framebuffer_ = 0;
    GLuint depth_ = 0;
    GlDeviceLinkPtr link_;
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
    void UnlockRange(std::size_t first, std::size_t count);
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
    GlVertexBuffer(std::size_t bytes, GlDeviceLinkPtr link) : buffer_(GL_ARRAY_BUFFER, bytes), link_(std::move(link)) {}
    ~GlVertexBuffer() override;
    GlVertexBuffer(const GlVertexBuffer&) = delete;
    GlVertexBuffer& operator=(const GlVertexBuffer&) = delete;
    std::span<std::uint8_t> Lock() override { return buffer_.Lock(); }
    void Unlock() override { buffer_.Unlock(); }
    void UnlockRange(std::size_t first, std::size_t count) override { buffer_.UnlockRange(first, count); }
    std::size_t Size() const override { return buffer_.Size(); }
    GLuint Id() const { return buffer_.Id(); }

private:
    GlBuffer buffer_;
    GlDeviceLinkPtr link_;
};

class GlIndexBuffer : public IndexBuffer {
public:
    GlIndexBuffer(std::uint32_t count, bool wide, GlDeviceLinkPtr link)
        : buffer_(GL_ELEMENT_ARRAY_BUFFER, static_cast<std::size_t>(count) * (wide ? 4 : 2)), count_(count),
          wide_(wide), link_(std::move(link))
    {
    }
    ~GlIndexBuffer() override;
    GlIndexBuffer(const GlIndexBuffer&) = delete;
    GlIndexBuffer& operator=(const GlIndexBuffer&) = delete;
    std::span<std::uint8_t> Lock() override { return buffer_.Lock(); }
    void Unlock() override { buffer_.Unlock(); }
    void UnlockRange(std::size_t first, std::size_t count) override { buffer_.UnlockRange(first, count); }
    std::uint32_t Count() const override { return count_; }
    bool IsWide() const override { return wide_; }
    GLuint Id() const { return buffer_.Id(); }

private:
    GlBuffer buffer_;
    std::uint32_t count_;
    bool wide_;
    GlDeviceLinkPtr link_;
};

class GlPixelShader : public PixelShader {
public:
    GlPixelShader(GLuint program, GlDeviceLinkPtr link) : program_(program), link_(std::move(link)) {}
    ~GlPixelShader() override;
    GlPixelShader(const GlPixelShader&) = delete;
    GlPixelShader& operator=(const GlPixelShader&) = delete;
    GLuint Program() const { return program_; }

private:
    GLuint program_ = 0;
    GlDeviceLinkPtr link_;
};

} // namespace platform

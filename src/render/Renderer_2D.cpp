// Renderer: rectangles, lines and textured quads in screen pixels, and the
// numbered screenshots.
//
// Each primitive kind has one small vertex buffer made on first use and
// rewritten for every draw: no allocation per draw. Vertices sit at z 0.5
// with 1/w 1, all in the one colour given; a quad's texture is stretched
// whole over it, (0, 0) at its top left.
//
// Each draw sets its own vertex layout and texture, so rectangles and lines
// come out in their colour under the quads' preset too (the statistics
// table fills its rows between pictures), rather than reading texture
// coordinates past each vertex and the last quad's texture.
#include "render/Renderer.h"

#include "core/ErrorLog.h"
#include "platform/FileSystem.h"
#include "platform/ImageFile.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kScreenshotFolder = "Screenshots";
constexpr int kScreenshotNameTries = 3;

} // namespace

template <typename Vertex>
void Renderer::FillAndDraw(std::unique_ptr<platform::VertexBuffer>& buffer, std::span<const Vertex> vertices,
                           platform::Primitive type, std::uint32_t count)
{
    if (!buffer) {
        buffer = device_->CreateVertexBuffer(vertices.size_bytes());
    }
    std::memcpy(buffer->Lock().data(), vertices.data(), vertices.size_bytes());
    buffer->Unlock();
    device_->SetStreamSource(buffer.get(), sizeof(Vertex));
    device_->DrawPrimitive(type, 0, count);
}

void Renderer::SetUntexturedLayout()
{
    device_->SetVertexFormat(platform::kScreenVertexFormat);
    device_->SetTexture(0, nullptr);
}

void Renderer::DrawRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color, bool filled)
{
    if (!device_) {
        return;
    }
    device_->SetRenderState(platform::RenderState::ZEnable, 0);
    SetUntexturedLayout();
    const float x0 = topLeft.x;
    const float y0 = topLeft.y;
    const float x1 = bottomRight.x;
    const float y1 = bottomRight.y;
    const platform::ScreenVertex corners[5] = {{x0, y0, 0.5f, 1.0f, color},
                                               {x1, y0, 0.5f, 1.0f, color},
                                               {x1, y1, 0.5f, 1.0f, color},
                                               {x0, y1, 0.5f, 1.0f, color},
                                               {x0, y0, 0.5f, 1.0f, color}};
    if (filled) {
        FillAndDraw<platform::ScreenVertex>(rectBuffer_, corners, platform::Primitive::TriangleFan, 2);
    } else {
        FillAndDraw<platform::ScreenVertex>(rectBuffer_, corners, platform::Primitive::LineStrip, 4);
    }
    device_->SetRenderState(platform::RenderState::ZEnable, 1);
}

void Renderer::DrawLine(const Vec2& a, const Vec2& b, std::uint32_t color)
{
    if (!device_) {
        return;
    }
    device_->SetRenderState(platform::RenderState::ZEnable, 0);
    SetUntexturedLayout();
    const platform::ScreenVertex ends[2] = {{a.x, a.y, 0.5f, 1.0f, color}, {b.x, b.y, 0.5f, 1.0f, color}};
    FillAndDraw<platform::ScreenVertex>(lineBuffer_, ends, platform::Primitive::LineList, 1);
    device_->SetRenderState(platform::RenderState::ZEnable, 1);
}

void Renderer::DrawTexturedRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color,
                                platform::Texture* texture)
{
    if (!device_) {
        return;
    }
    device_->SetRenderState(platform::RenderState::ZEnable, 0);
    const float x0 = topLeft.x;
    const float y0 = topLeft.y;
    const float x1 = bottomRight.x;
    const float y1 = bottomRight.y;
    const platform::ScreenTexVertex corners[4] = {{x0, y0, 0.5f, 1.0f, color, 0.0f, 0.0f},
                                                  {x1, y0, 0.5f, 1.0f, color, 1.0f, 0.0f},
                                                  {x1, y1, 0.5f, 1.0f, color, 1.0f, 1.0f},
                                                  {x0, y1, 0.5f, 1.0f, color, 0.0f, 1.0f}};
    device_->SetVertexFormat(platform::kScreenTexVertexFormat);
    device_->SetTexture(0, texture);
    FillAndDraw<platform::ScreenTexVertex>(quadBuffer_, corners, platform::Primitive::TriangleFan, 2);
    device_->SetRenderState(platform::RenderState::ZEnable, 1);
}

std::string Renderer::FreeScreenshotName(const std::string& folder)
{
    // Taken means the file exists, whatever it is and whoever may write it:
    // a read-only picture or a folder of that name is skipped, not overwritten.
    for (int i = 0;; ++i) {
        std::string name = folder + "/ScreenShot - " + std::to_string(i) + ".bmp";
        if (!platform::PathExists(name)) {
            return name;
        }
    }
}

std::string Renderer::SaveScreenshot()
{
    if (!device_) {
        return {};
    }
    ErrorLog log("Renderer.txt", true);
    std::string folderWhy;
    if (!platform::MakeFolder(kScreenshotFolder, &folderWhy)) {
        log.Warning(std::string("Could not make the folder ") + kScreenshotFolder + " for screenshots (" + folderWhy +
                    ").");
        return {};
    }
    platform::RgbImage picture;
    if (!device_->ReadPicture(picture)) {
        log.Warning("Could not read the picture for a screenshot.");
        return {};
    }
    // The file is made new, never written through a link; a name taken
    // between the look and the write passes to the next free one.
    const std::vector<std::uint8_t> bmp = platform::EncodeBmp24(picture);
    for (int attempt = 0; attempt < kScreenshotNameTries; ++attempt) {
        const std::string name = FreeScreenshotName(kScreenshotFolder);
        std::string why;
        const platform::NewFileResult result = platform::WriteNewFile(name, bmp, &why);
        if (result == platform::NewFileResult::kWritten) {
            return name;
        }
        if (result == platform::NewFileResult::kFailed) {
            log.Warning("Could not save the screenshot " + name + " (" + why + ").");
            return {};
        }
    }
    log.Warning("Could not save a screenshot: every free name was taken before it was written.");
    return {};
}

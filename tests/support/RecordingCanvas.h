// A 2-D canvas and picture loader that draw nothing: every call is recorded
// so a test can read back what the GUI drew, in order, and every picture is
// a named stand-in whose life is counted, so a test can see textures let go.
//
// GuiTestScope installs one into the GUI manager for a test's length, with
// a counted click sound and the screen size given; Offer hands a widget or a
// window one message, Dispatch the GUI manager, Fire a screen's callback as
// its widget would call it, and each tells whether it was handled;
// RecordEvent is a widget callback that keeps what it is told.
#pragma once

#include "gui/guiCodes.h"
#include "platform/RenderDevice.h"
#include "render/Canvas2D.h"
#include "render/TextureLoader.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace testing {

// A picture that only knows the path it was loaded from.
class NamedTexture : public platform::Texture {
public:
    NamedTexture(std::string path, std::shared_ptr<int> live);
    ~NamedTexture() override;
    int Width() const override { return 32; }
    int Height() const override { return 32; }
    bool IsRenderTarget() const override { return false; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::shared_ptr<int> live_;
};

struct CanvasCall {
    enum class Kind {
        kTexturedRect,
        kRect,
        kLine,
        kText,
    };
    Kind kind = Kind::kTexturedRect;
    Vec2 topLeft;
    Vec2 bottomRight;
    std::uint32_t color = 0;
    // The picture's path; "" for none.
    std::string texture;
    bool filled = false;
    std::string text;
    int x = 0;
    int y = 0;
    std::string fontKey;
    ColorValue textColor;
    bool outlined = false;
};

class RecordingCanvas : public Canvas2D, public TextureLoader {
public:
    void DrawTexturedRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color,
                          platform::Texture* texture) override;
    void DrawRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color, bool filled) override;
    void DrawLine(const Vec2& a, const Vec2& b, std::uint32_t color) override;
    void DrawText(const std::string& text, int x, int y, const std::string& fontKey, const ColorValue& color) override;
    void DrawOutlinedText(const std::string& text, int x, int y, const std::string& fontKey,
                          const ColorValue& color) override;
    // Every character that is not a control counts characterWidth pixels.
    int MeasureText(const std::string& text, const std::string& fontKey) const override;
    int LineHeight(const std::string&) const override { return lineHeight; }
    // Every path loads except those listed in missing.
    TextureHandle LoadTexture(const std::string& path) override;

    // The paths of the textured quads drawn, in order.
    std::vector<std::string> DrawnTextures() const;
    int LiveTextures() const { return *live_; }

    std::vector<CanvasCall> calls;
    std::set<std::string> missing;
    int loads = 0;
    int characterWidth = 10;
    int lineHeight = 16;

private:
    std::shared_ptr<int> live_ = std::make_shared<int>(0);
};

template <typename Receiver> bool Offer(Receiver& receiver, std::uint32_t message, int a, int b)
{
    bool handled = false;
    receiver.HandleMessage(message, guiParam::FromInt(a), guiParam::FromInt(b), &handled);
    return handled;
}

// What widget callbacks were told through RecordEvent, in order; the test
// that reads them clears them first.
struct GuiEvent {
    std::uint32_t code = 0;
    guiParam a;
    guiParam b;
};
std::vector<GuiEvent>& RecordedEvents();
std::vector<std::uint32_t> RecordedCodes();
std::uint32_t RecordEvent(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);

bool Dispatch(std::uint32_t message, int a, int b);
bool Fire(guiCallback callback, std::uint32_t code, guiParam a = {}, guiParam b = {});

class GuiTestScope {
public:
    explicit GuiTestScope(int screenWidth = 1024, int screenHeight = 768);
    ~GuiTestScope();
    GuiTestScope(const GuiTestScope&) = delete;
    GuiTestScope& operator=(const GuiTestScope&) = delete;

    RecordingCanvas canvas;
    int clicks = 0;
};

} // namespace testing

#include "RecordingCanvas.h"

#include <algorithm>

#include "gui/guiManager.h"

namespace testing {

NamedTexture::NamedTexture(std::string path, std::shared_ptr<int> live) : path_(std::move(path)), live_(std::move(live))
{
    ++*live_;
}

NamedTexture::~NamedTexture()
{
    --*live_;
}

void RecordingCanvas::DrawTexturedRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color,
                                       platform::Texture* texture)
{
    CanvasCall call;
    call.topLeft = topLeft;
    call.bottomRight = bottomRight;
    call.color = color;
    if (const auto* named = dynamic_cast<const NamedTexture*>(texture)) {
        call.texture = named->Path();
    }
    calls.push_back(call);
}

void RecordingCanvas::DrawRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color, bool filled)
{
    CanvasCall call;
    call.kind = CanvasCall::Kind::kRect;
    call.topLeft = topLeft;
    call.bottomRight = bottomRight;
    call.color = color;
    call.filled = filled;
    calls.push_back(call);
}

void RecordingCanvas::DrawLine(const Vec2& a, const Vec2& b, std::uint32_t color)
{
    CanvasCall call;
    call.kind = CanvasCall::Kind::kLine;
    call.topLeft = a;
    call.bottomRight = b;
    call.color = color;
    calls.push_back(call);
}

void RecordingCanvas::DrawText(const std::string& text, int x, int y, const std::string& fontKey,
                               const ColorValue& color)
{
    CanvasCall call;
    call.kind = CanvasCall::Kind::kText;
    call.text = text;
    call.x = x;
    call.y = y;
    call.fontKey = fontKey;
    call.textColor = color;
    calls.push_back(call);
}

void RecordingCanvas::DrawOutlinedText(const std::string& text, int x, int y, const std::string& fontKey,
                                       const ColorValue& color)
{
    DrawText(text, x, y, fontKey, color);
    calls.back().outlined = true;
}

int RecordingCanvas::MeasureText(const std::string& text, const std::string&) const
{
    const auto drawn =
        std::count_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x20; });
    return static_cast<int>(drawn) * characterWidth;
}

TextureHandle RecordingCanvas::LoadTexture(const std::string& path)
{
    ++loads;
    if (missing.contains(path)) {
        return nullptr;
    }
    return std::make_shared<NamedTexture>(path, live_);
}

std::vector<std::string> RecordingCanvas::DrawnTextures() const
{
    std::vector<std::string> paths;
    for (const CanvasCall& call : calls) {
        if (call.kind == CanvasCall::Kind::kTexturedRect) {
            paths.push_back(call.texture);
        }
    }
    return paths;
}

GuiTestScope::GuiTestScope(int screenWidth, int screenHeight)
{
    guiManager* manager = guiManager::Instance();
    manager->SetScreenSize(screenWidth, screenHeight);
    manager->SetCanvas(&canvas);
    manager->SetTextureLoader(&canvas);
    manager->SetClickSound([this] { ++clicks; });
}

GuiTestScope::~GuiTestScope()
{
    guiManager* manager = guiManager::Instance();
    // The windows hold the canvas's pictures; they go before it does.
    manager->Shutdown();
    manager->SetCanvas(nullptr);
    manager->SetTextureLoader(nullptr);
    manager->SetClickSound(nullptr);
}

std::vector<GuiEvent>& RecordedEvents()
{
    static std::vector<GuiEvent> events;
    return events;
}

std::vector<std::uint32_t> RecordedCodes()
{
    std::vector<std::uint32_t> codes;
    for (const GuiEvent& event : RecordedEvents()) {
        codes.push_back(event.code);
    }
    return codes;
}

std::uint32_t RecordEvent(std::uint32_t code, guiParam* a, guiParam* b, bool*)
{
    RecordedEvents().push_back({code, *a, *b});
    return 0;
}

bool Dispatch(std::uint32_t message, int a, int b)
{
    bool handled = false;
    guiManager::Instance()->DispatchInput(message, guiParam::FromInt(a), guiParam::FromInt(b), &handled);
    return handled;
}

bool Fire(guiCallback callback, std::uint32_t code, guiParam a, guiParam b)
{
    bool handled = false;
    callback(code, &a, &b, &handled);
    return handled;
}

} // namespace testing

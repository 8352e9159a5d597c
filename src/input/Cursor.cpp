// Cursor: the pictures, and where the picture of each mode is drawn.
#include "input/Cursor.h"

#include "render/Canvas2D.h"

namespace {

constexpr std::array<const char*, kCursorModeCount> kPictures = {
    "Interface/Cursor/SelectCursor.png",
    "Interface/Cursor/MoveCursor.png",
    "Interface/Cursor/AttackCursor.png",
};

constexpr std::array<Vec2, kCursorModeCount> kHotSpots = {{{0.0f, 0.0f}, {3.0f, 20.0f}, {16.0f, 16.0f}}};

constexpr float kSide = 32.0f;
constexpr float kLayoutWidth = 1024.0f;
constexpr float kLayoutHeight = 768.0f;

} // namespace

void Cursor::Init(int screenWidth, int screenHeight, TextureLoader* loader)
{
    screenWidth_ = screenWidth;
    screenHeight_ = screenHeight;
    x_ = screenWidth / 2;
    y_ = screenHeight / 2;
    for (std::size_t mode = 0; mode < textures_.size(); ++mode) {
        textures_[mode] = loader ? loader->LoadTexture(kPictures[mode]) : nullptr;
    }
}

void Cursor::Release()
{
    textures_.fill(nullptr);
}

void Cursor::SetMode(CursorMode mode)
{
    if (mode < kCursorModeCount) {
        mode_ = mode;
    }
}

void Cursor::GetRect(Vec2& topLeft, Vec2& bottomRight) const
{
    // Half a pixel back, so the picture's texels sit on the screen's pixels.
    const Vec2 hotSpot = kHotSpots[mode_];
    topLeft = {static_cast<float>(x_) - 0.5f - hotSpot.x, static_cast<float>(y_) - 0.5f - hotSpot.y};
    bottomRight = {topLeft.x + kSide * static_cast<float>(screenWidth_) / kLayoutWidth,
                   topLeft.y + kSide * static_cast<float>(screenHeight_) / kLayoutHeight};
}

void Cursor::Render(Canvas2D& canvas) const
{
    platform::Texture* const picture = textures_[mode_].get();
    if (!picture) {
        return;
    }
    Vec2 topLeft;
    Vec2 bottomRight;
    GetRect(topLeft, bottomRight);
    canvas.DrawTexturedRect(topLeft, bottomRight, 0xFFFFFFFFu, picture);
}

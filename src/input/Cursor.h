// The game's own mouse pointer, drawn as the very last thing of a frame: a
// 32x32 picture on the 1024x768 layout (scaled with the screen), one picture
// per mode. The mouse moves it; in a match the selection sets the mode each
// frame (attack over an enemy, move while units are selected, else select).
//
// Each picture has its hot spot, the pixel that points: the select arrow's
// tip at its top-left corner, the move marker's point at (3, 20), the attack
// crosshair's centre at (16, 16). The offsets are pixels of the picture and
// are not scaled.
#pragma once

#include "core/Singleton.h"
#include "platform/math/Vector.h"
#include "render/TextureLoader.h"

#include <array>
#include <cstdint>

class Canvas2D;

enum CursorMode : std::uint32_t {
    kCursorSelect = 0,
    kCursorMove = 1,
    kCursorAttack = 2,
    kCursorModeCount = 3,
};

class Cursor : public Singleton<Cursor> {
    friend class Singleton<Cursor>;

public:
    // Centres the cursor and loads the three pictures, letting go of those of
    // an earlier Init; a picture that does not load leaves its mode undrawn.
    void Init(int screenWidth, int screenHeight, TextureLoader* loader);
    // Lets the pictures go (the drawing device is going).
    void Release();

    void SetX(std::int32_t x) { x_ = x; }
    void SetY(std::int32_t y) { y_ = y; }
    std::int32_t GetX() const { return x_; }
    std::int32_t GetY() const { return y_; }
    // Modes outside the three are ignored.
    void SetMode(CursorMode mode);
    CursorMode GetMode() const { return mode_; }

    // The picture's rectangle in pixels for the mode now set.
    void GetRect(Vec2& topLeft, Vec2& bottomRight) const;
    // Draws the mode's picture in opaque white; nothing without a picture.
    void Render(Canvas2D& canvas) const;

private:
    Cursor() = default;

    std::int32_t x_ = 512;
    std::int32_t y_ = 384;
    CursorMode mode_ = kCursorSelect;
    int screenWidth_ = 1024;
    int screenHeight_ = 768;
    std::array<TextureHandle, kCursorModeCount> textures_{};
};

// Where the minimap panel sits on the screen and how the map lies in it: a
// square of size pixels around centre, the whole map across it, +x to the
// right and +z up. The HUD draws the minimap by this layout and the player's
// clicks on the panel are read back through the same one, so a click lands
// on the ground point drawn under it at any screen or map size.
#pragma once

#include "platform/math/Vector.h"

struct MinimapLayout {
    Vec2 centre;
    float size = 200.0f;
    float mapSize = 400.0f;

    // The layout the HUD uses: 200 pixels around (0.89 W, 0.853 H).
    static MinimapLayout ForScreen(float screenWidth, float screenHeight, float mapSize)
    {
        return {{0.89f * screenWidth, 0.853f * screenHeight}, 200.0f, mapSize};
    }

    float Scale() const { return mapSize > 0.0f ? size / mapSize : 0.0f; }
    Vec2 WorldToScreen(float x, float z) const { return {centre.x + x * Scale(), centre.y - z * Scale()}; }
    // The world x and z (in out.x and out.z) under a screen point; y is 0.
    Vec3 ScreenToWorld(const Vec2& screen) const
    {
        const float scale = Scale();
        if (scale <= 0.0f) {
            return {};
        }
        return {(screen.x - centre.x) / scale, 0.0f, (centre.y - screen.y) / scale};
    }
    // Inside the panel's square, edges included.
    bool Contains(const Vec2& screen) const
    {
        const float half = size / 2.0f;
        return screen.x >= centre.x - half && screen.x <= centre.x + half && screen.y >= centre.y - half &&
               screen.y <= centre.y + half;
    }
};

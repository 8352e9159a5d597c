// The health bar and selection square of a unit.
#include "render/HealthBar.h"

#include "game/Unit.h"

#include <algorithm>
#include <array>
#include <cmath>

std::uint32_t HealthBarColour(float healthFraction)
{
    const float f = std::clamp(healthFraction, 0.0f, 1.0f);
    const auto red = static_cast<std::uint32_t>(255.0f * (1.0f - f));
    const auto green = static_cast<std::uint32_t>(255.0f * f);
    return 0xA0000000u | (red << 16) | (green << 8);
}

void DrawHealthBar(Canvas2D& canvas, const ScreenProjection& projection, const CameraView& view, const Unit& unit,
                   std::uint32_t colour)
{
    const Vec3 c = unit.GetPosition() + Vec3(0.0f, 0.5f, 0.0f);
    const Vec3 rt = view.GetRight();
    const Vec3 u = view.GetScreenUp();
    const auto full = static_cast<float>(unit.GetFullHitPoints());
    const float f = full > 0.0f ? std::clamp(static_cast<float>(unit.GetHitPoints()) / full, 0.0f, 1.0f) : 0.0f;
    const std::array<Vec3, 5> world = {c - rt + u, c + rt - u, c + 1.25f * rt + u - 2.0f * (1.0f - f) * u,
                                       c + 1.5f * rt - u, c + 1.25f * rt + u};
    std::array<Vec2, 5> screen{};
    for (std::size_t i = 0; i < world.size(); ++i) {
        if (!projection.ToScreen(world[i], screen[i])) {
            return;
        }
        // Whole pixels, so the thin frame does not shimmer as the camera moves.
        screen[i] = {std::trunc(screen[i].x), std::trunc(screen[i].y)};
    }
    const std::uint32_t health = HealthBarColour(f);
    canvas.DrawRect(screen[0], screen[1], colour, false);
    canvas.DrawRect(screen[2], screen[3], health, true);
    canvas.DrawRect(screen[4], screen[3], health, false);
}

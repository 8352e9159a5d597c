// Colours as four floats, 0 to 1, and the packed 0xAARRGGBB form the drawing
// calls take.
#pragma once

#include <algorithm>
#include <cstdint>

struct ColorValue {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

inline constexpr std::uint32_t PackArgb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}

inline std::uint32_t PackColor(const ColorValue& c)
{
    const auto channel = [](float v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return PackArgb(channel(c.a), channel(c.r), channel(c.g), channel(c.b));
}

inline constexpr ColorValue UnpackColor(std::uint32_t argb)
{
    return {static_cast<float>((argb >> 16) & 0xFFu) / 255.0f, static_cast<float>((argb >> 8) & 0xFFu) / 255.0f,
            static_cast<float>(argb & 0xFFu) / 255.0f, static_cast<float>((argb >> 24) & 0xFFu) / 255.0f};
}

// The pictures embedded in the maps: ground layers, skirt strata and water
// frames, painted from periodic noise so that every one tiles without a seam.
#pragma once

#include "Image.h"

namespace datagen {

inline constexpr int kGroundTextureSize = 256;
inline constexpr int kWaterTextureSize = 128;
inline constexpr int kWaterFrameCount = 8;

enum class GroundMaterial { Sand, Sandstone, Grass, Earth, Snow, Ice, Moss, Flagstone };

// The skirts show the ground in section: bands of three colours.
struct EdgeLook {
    Rgb dark;
    Rgb middle;
    Rgb light;
};

struct WaterLook {
    Rgb deep;
    Rgb shallow;
    float glint = 0.5f; // how bright the wave crests catch the light
    float slush = 0.0f; // floating ice, 0 for open water
};

Image PaintGround(GroundMaterial material, unsigned seed);
Image PaintEdge(const EdgeLook& look, unsigned seed);
// Frame 0 to 7 of the water animation; the frames play forwards and back.
Image PaintWaterFrame(const WaterLook& look, int frame, unsigned seed);

} // namespace datagen

// The pictures of the world models, "Actors/ObjectTextures/<name>.png": each
// tiles sideways, and the atlases among them hold two pictures in horizontal
// bands, which the object meshes map their pieces into.
#pragma once

#include "Image.h"

namespace datagen {

// A band of a picture, from v = top to v = bottom (v runs downward).
struct TextureBand {
    float top;
    float bottom;
};

// tree1.png and snowtree.png: leaves (snowtree: snow at v = 0, needles
// below), then bark.
inline constexpr TextureBand kLeafBand{0.0f, 0.5f};
inline constexpr TextureBand kBarkBand{0.5f, 1.0f};
// flag.png: a light cloth the flag's colour tints, then the pole's metal.
inline constexpr TextureBand kClothBand{0.0f, 0.5f};
inline constexpr TextureBand kMetalBand{0.5f, 1.0f};

inline constexpr int kObjectTextureSize = 128;

Image PaintTreeTexture(unsigned seed);
Image PaintSnowTreeTexture(unsigned seed);
Image PaintRockTexture(unsigned seed);
Image PaintIceTexture(unsigned seed);
Image PaintFlagTexture(unsigned seed);

} // namespace datagen

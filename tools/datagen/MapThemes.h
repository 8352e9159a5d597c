// The four battlefields: what makes each its own (relief, water, ground
// layers, scenery, pictures) on the frame all maps share: a 400-unit square,
// eight army starts on a ring, the first flag on the hill at the centre.
#pragma once

#include "MapTextures.h"
#include "platform/math/Vector.h"

#include <vector>

namespace datagen {

// A point of the finished ground, as the blend and scenery rules see it.
struct GroundPoint {
    Vec3 position;
    Vec3 normal;
    float waterLevel = 0.0f;
};

struct MapTheme {
    const char* fileName;
    unsigned seed;
    float waterLevel;
    std::vector<Vec2> starts; // x, z of army slots 0 to 7
    std::vector<Vec2> flags;  // x, z; the first is the hill at the centre
    int treeCount;
    int rockCount;
    float groundRepeats; // ground pictures across the map
    // Ground height before the places where armies start and flags stand
    // are levelled.
    float (*height)(float x, float z);
    // Share of ground layer 1, 0 to 1.
    float (*blend)(const GroundPoint& ground);
    // Likelihood, 0 to 1, that a tree or a rock stands at a ground point.
    float (*treeDensity)(const GroundPoint& ground);
    float (*rockDensity)(const GroundPoint& ground);
    GroundMaterial layer0;
    GroundMaterial layer1;
    EdgeLook edge;
    WaterLook water;
};

const std::vector<MapTheme>& MapThemes();

} // namespace datagen

// The light record the scene and the terrain's CPU lighting share: one plain
// description of a light, filled by the game and read by the drawing code.
#pragma once

#include "platform/math/Color.h"
#include "platform/math/Vector.h"

#include <cstdint>

enum LightType : std::uint32_t {
    kLightPoint = 1,
    kLightSpot = 2,
    kLightDirectional = 3,
};

struct LightRecord {
    LightType type = kLightDirectional;
    ColorValue diffuse;
    ColorValue specular;
    ColorValue ambient;
    Vec3 position;
    // Unit vector the light travels along (a directional light's only geometry).
    Vec3 direction;
    float range = 0.0f;
    float falloff = 0.0f;
    float attenuation0 = 0.0f;
    float attenuation1 = 0.0f;
    float attenuation2 = 0.0f;
    // Spot cone angles in radians, inner and outer.
    float theta = 0.0f;
    float phi = 0.0f;
};

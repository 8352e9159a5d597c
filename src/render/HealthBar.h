// A unit's screen marker on the 2-D layer: a square around it in the
// caller's colour (green for the own selection, red for marked enemies) and,
// to its right, an upright bar filled from the bottom to its share of health,
// coloured from green at full health to red near death. The camera's right
// and screen-up vectors keep the marker facing the player whatever the view.
#pragma once

#include "render/Canvas2D.h"
#include "render/CameraView.h"
#include "render/ScreenProjection.h"

#include <cstdint>

class Unit;

// The health colour: alpha 0xA0, red 255 (1 - f), green 255 f.
std::uint32_t HealthBarColour(float healthFraction);
// Nothing for a unit with any corner of its marker behind the camera.
void DrawHealthBar(Canvas2D& canvas, const ScreenProjection& projection, const CameraView& view, const Unit& unit,
                   std::uint32_t colour);

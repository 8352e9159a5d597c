// The animation lengths of each unit type's models (and of the click
// marker), read once from the mesh library: what unit timing needs of the
// models, kept apart from the models themselves.
#pragma once

#include "game/AnimationController.h"

// meshSet 0-4 are the unit types, 5 the click marker; an unknown set has no
// animations.
const AnimationPeriods& GetUnitAnimationPeriods(int meshSet);

// Makes a unit of the class of its type.
#pragma once

#include "game/Unit.h"

#include <memory>

// Null for a type outside 0-4.
std::unique_ptr<Unit> CreateUnit(float x, float y, float z, std::uint32_t type, Army* army, std::uint8_t index,
                                 std::uint8_t armyId);

// The checks a received record passes before any handler acts on it: the
// values that index tables, size loops or reach the physics and the terrain
// (floats that must be finite, option words in the ranges the game takes,
// explosion sizes the crater code can work with).
#pragma once

#include "net/NetMessages.h"

bool IsFinite(const Vec3& v);
// The ranges Game::SetOptions enforces, and an allowed-unit mask of 1 to 31.
bool AreValidSettings(const GameSettingsMessage& settings);
// A finite centre and strength, 0 < radius <= 50, 0 <= crater <= 50.
bool IsValidExplosion(const ExplosionMessage& explosion);
// A known order and finite position, destination and velocity.
bool IsValidUnitState(const UnitStateMessage& state);
// Unit counts of a slot as unit selection can take them (0 to 120 each).
PlayerSlot BoundedSlot(const PlayerSlot& slot);

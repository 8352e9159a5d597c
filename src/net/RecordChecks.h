// The checks a received record passes before any handler acts on it: the
// values that index tables, size loops or reach the physics and the terrain
// (floats that must be finite and on the map, option words in the ranges the
// game takes, explosion sizes the crater code can work with, armies the match
// allows), and the text that is shown (no control bytes).
#pragma once

#include "net/NetMessages.h"

#include <string>

// How far a received point may lie from the map's centre: half the map's
// side and a margin across (x and z), and the heights a map can hold (y).
struct MapReach {
    float across = 0.0f;
    float height = 0.0f;
};

// The reach of a map of this side; a side of 0 or less (no map loaded) gives
// the reach of the largest map the game loads.
MapReach ReachOfMap(float mapSide);

bool IsFinite(const Vec3& v);
// Finite and within reach.
bool IsOnMap(const Vec3& point, const MapReach& reach);
// The ranges Game::SetOptions enforces, and an allowed-unit mask of 1 to 31.
bool AreValidSettings(const GameSettingsMessage& settings);
// A centre on the map, 0 <= strength <= 100 (the units' blasts are 15 and
// 24), 0 < radius <= 50, 0 <= crater <= 50.
bool IsValidExplosion(const ExplosionMessage& explosion, const MapReach& reach);
// How far from the map's centre a unit may aim: a unit fleeing a melee
// attacker heads for a point Unit::kFleeStretch times its distance from the
// attacker past itself, both on the map, so far beyond the map's edge (the
// walls keep the unit itself on it).
MapReach AimReach(const MapReach& reach);
// A known order, a position on the map, a destination within the aim reach
// (refusing a fleeing unit's states would leave every client's copy of it
// running its own way until it stopped fleeing), and a velocity no faster
// than the map's side in a second.
bool IsValidUnitState(const UnitStateMessage& state, const MapReach& reach);
// A slot as this match can take it: no unit of a type the mask bars, at
// most maxUnits in all (counts beyond are cut, the later types first), a
// start on the largest map (the army's own map clamps it further), and a name
// without control bytes.
PlayerSlot BoundedSlot(const PlayerSlot& slot, const GameSettingsMessage& match);
// Received text as it may be shown: every control byte (C0, DEL and the C1
// range of Latin-1) taken out, so nothing moves the pen or draws over other
// lines.
std::string CleanReceivedText(const std::string& text);
// A match state the rules know, at most eight armies each named once, and
// figures a match can reach: damage 0 to every unit there can be, flag
// counts 0 to 255, flag times finite and less than a day either way.
bool IsValidMatchResult(const MatchResultMessage& result);

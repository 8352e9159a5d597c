// Fills a freshly loaded map: its trees and rocks become scenery, its army
// start positions the start slots, and its flags the flags of the mode.
#pragma once

#include "game/Battle.h"

#include <cstddef>

class Terrain;

// Appends the map's scenery and the mode's flags to the battle and fills
// the start slots (at most eight; the rest stay unfilled). Flags the mode
// does not play with are destroyed at once, not left in the physics as
// invisible obstacles.
void PopulateWorldObjects(Battle& battle, const Terrain& terrain, GameMode mode);

// How many of a map's flags the mode plays with, in list order: the first
// one in Last Man On The Hill, Steal the Bacon and King Of The Hill, all of
// them in Territories, none in Body Count.
std::size_t GetKeptFlagCount(GameMode mode, std::size_t mapFlags);

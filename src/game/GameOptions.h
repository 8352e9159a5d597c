// What a match is set up with, shared by the menus that edit it, the network
// that carries it and the Game that plays it: the options record, the
// allowed-unit-type bits and the unit counts handed to army creation.
#pragma once

#include <cstdint>

enum SessionKind : std::uint32_t {
    kSinglePlayer = 0,
    kMultiPlayer = 1,
};

// Allowed unit-type bits of GameOptions::unitMask (not the UnitType order).
enum UnitTypeBit : std::uint32_t {
    kAllowSmashtor = 1,
    kAllowTriangoloid = 2,
    kAllowDetagon = 4,
    kAllowTrajectagon = 8,
    kAllowArtillerator = 16,
    kAllowAllUnitTypes = 31,
};

// The defaults are the single-player game the main menu starts from.
struct GameOptions {
    std::uint32_t mode = 0;
    float minutes = 1.0f;
    std::uint32_t unitMask = kAllowAllUnitTypes;
    std::uint32_t mapIndex = 0;
    std::uint32_t maxUnits = 40;
    std::uint32_t computerArmies = 7;
};

// Unit counts handed to army creation, always in this order (not the
// UnitType order).
struct ArmyUnitCounts {
    int smashtors = 0;
    int triangoloids = 0;
    int trajectagons = 0;
    int detagons = 0;
    int artillerators = 0;
};

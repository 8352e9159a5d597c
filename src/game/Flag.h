// A flag of the match: fixed scenery the armies gather at, or, in Steal the
// Bacon, the loose "bacon" that units push about. How flags score belongs to
// the match rules.
#pragma once

#include "game/Battle.h"
#include "game/MeshObject.h"

#include <cstdint>

class Flag : public MeshObject {
public:
    // Where the bacon always starts, whatever the map says.
    static constexpr Vec3 kBaconStart{-5.0f, 0.0f, -5.0f};

    Flag(float x, float y, float z, ObjectMeshType type, GameMode mode);

    // ARGB; the flag is drawn fully lit in it.
    std::uint32_t GetColour() const { return colour_; }
    void SetColour(std::uint32_t colour) { colour_ = colour; }

private:
    void MakeLoose();

    std::uint32_t colour_ = 0xFFFFFFFFu;
    // TODO(rules): the armies present and the credit timer of the flag rules.
};

// A flag of the match: fixed scenery the armies gather at, or, in Steal the
// Bacon, the loose "bacon" that units push about. A flag is held by the
// armies present at it (a live unit within 25); holders gain a flag count
// while they hold it and flag time for as long as they held it. Nobody
// present leaves it with its last holders.
#pragma once

#include "game/Battle.h"
#include "game/MeshObject.h"

#include <cstdint>
#include <vector>

class Army;

class Flag : public MeshObject {
public:
    // Where the bacon always starts, whatever the map says.
    static constexpr Vec3 kBaconStart{-5.0f, 0.0f, -5.0f};

    Flag(float x, float y, float z, ObjectMeshType type, GameMode mode);

    // ARGB; the flag is drawn fully lit in it.
    std::uint32_t GetColour() const { return colour_; }
    void SetColour(std::uint32_t colour) { colour_ = colour; }

    // Who holds the flag: the armies present at the last look.
    const std::vector<Army*>& GetPresent() const { return present_; }
    // Looks who is present about three times a second (on its own timer,
    // whatever the frame rate): the previous holders are credited the time
    // since the last credit and give back their count, then each army of the
    // battle of strength at least 0.005 with a unit that is not dying within
    // 25 takes the flag. Nobody present: the holders keep it.
    void Update();

private:
    void MakeLoose();
    void TakePresence();

    std::uint32_t colour_ = 0xFFFFFFFFu;
    std::vector<Army*> present_;
    std::int64_t creditTimer_ = 0;
    std::int64_t lookTimer_ = 0;
};

// The colour of a flag held by armies: the one army's colour, or the
// truncated mean of their red, green and blue, opaque.
std::uint32_t MixArmyColours(const std::vector<Army*>& armies);

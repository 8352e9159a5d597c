// UnitFactory: the class of each unit type.
#include "game/UnitFactory.h"

#include "game/Artillerator.h"
#include "game/Detagon.h"
#include "game/Smashtor.h"
#include "game/Trajectagon.h"
#include "game/Triangoloid.h"

std::unique_ptr<Unit> CreateUnit(float x, float y, float z, std::uint32_t type, Army* army, std::uint8_t index,
                                 std::uint8_t armyId)
{
    switch (type) {
    case kSmashtor:
        return std::make_unique<Smashtor>(x, y, z, army, index, armyId);
    case kTriangoloid:
        return std::make_unique<Triangoloid>(x, y, z, army, index, armyId);
    case kTrajectagon:
        return std::make_unique<Trajectagon>(x, y, z, army, index, armyId);
    case kArtillerator:
        return std::make_unique<Artillerator>(x, y, z, army, index, armyId);
    case kDetagon:
        return std::make_unique<Detagon>(x, y, z, army, index, armyId);
    default:
        return nullptr;
    }
}

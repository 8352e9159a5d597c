// StealTheBaconStrategy: every aim is the bacon.
#include "game/StealTheBaconStrategy.h"

Vec3 StealTheBaconStrategy::AimPoint(float /*distance*/) const
{
    return HillPosition();
}

Vec3 StealTheBaconStrategy::OpeningPoint(float /*distance*/, int /*coin*/) const
{
    return HillPosition();
}

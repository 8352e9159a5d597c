// Flag: a match flag, or the loose bacon.
#include "game/Flag.h"

Flag::Flag(float x, float y, float z, ObjectMeshType type, GameMode mode) : MeshObject(x, y, z, type)
{
    if (mode == kModeStealTheBacon) {
        MakeLoose();
    }
}

// The bacon is light and slides; it steers so that it brakes, and rests
// wherever it was pushed: its destination is where it stands and it counts
// as arrived, so it never drives itself anywhere.
void Flag::MakeLoose()
{
    SetMass(0.05f);
    SetFrictionEnabled(true);
    SetFrictionCoefficient(0.1f);
    SetGravity(30.0f);
    SetMovable(true);
    SetSteering(true);
    SetGravityEnabled(true);
    SetDragEnabled(true);
    SetCollisionType(kCollisionFlag);
    SetPosition(kBaconStart);
    SetDestination(kBaconStart.x, kBaconStart.y, kBaconStart.z);
    SetArrived(true);
    SetDriveFalloff(0.0f);
}

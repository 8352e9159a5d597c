// Physical: construction from a data file or the defaults, its place in the
// engine's body store, and the setters that tell the engine or the steering
// something changed.
#include "physics/Physical.h"

#include "physics/Physics.h"

#include <cmath>

namespace {

// Headings use pi at single precision, as every other angle in the game.
constexpr double kHeadingPi = 3.1415927410125732;

} // namespace

Physical::Physical(float x, float y, float z, const char* path)
    : place_(Physics::Instance()->bodies_.Take()), state_(*place_.block), lane_(place_.lane)
{
    PutPosition(Vec3(x, y, z));
    state_.destinationX[lane_] = x;
    state_.destinationY[lane_] = y;
    state_.destinationZ[lane_] = z;
    state_.forceX[lane_] = 0.0f;
    state_.forceY[lane_] = 0.0f;
    state_.forceZ[lane_] = 0.0f;
    state_.groundX[lane_] = kStaleGround;
    state_.spinRate[lane_] = 0.0f;
    PhysicalData data;
    if (path != nullptr) {
        PhysicalDataFile::Load(path, data);
    }
    Apply(data);
}

// Owners remove their bodies before deleting them; one that forgot must not
// leave the engine holding a pointer to freed memory.
Physical::~Physical()
{
    if (inPhysics_) {
        Physics::Instance()->RemoveObject(this);
    }
    Physics::Instance()->bodies_.Give(place_);
}

void Physical::Apply(const PhysicalData& data)
{
    PutVelocity(data.velocity);
    SetDriveForce(data.driveForce);
    SetDriveFalloff(data.driveFalloff);
    SetTurnRate(data.turnRate);
    SetSpinAxis(data.spinAxis);
    SetHeading(data.heading);
    SetArrived(data.arrived);
    SetMass(data.mass);
    SetDragCoefficient(data.dragCoefficient);
    SetFrictionCoefficient(data.frictionCoefficient);
    SetGravity(data.gravity);
    SetRadius(data.radius);
    SetCollisionType(data.collisionType);
    SetCollides(data.collides);
    SetCollisionResponse(true);
    SetMovable(data.movable);
    SetSteering(data.steering);
    SetGravityEnabled(data.gravityEnabled);
    SetDragEnabled(data.dragEnabled);
    SetFrictionEnabled(data.frictionEnabled);
}

void Physical::PutPosition(const Vec3& position)
{
    state_.positionX[lane_] = position.x;
    state_.positionY[lane_] = position.y;
    state_.positionZ[lane_] = position.z;
}

void Physical::PutVelocity(const Vec3& velocity)
{
    state_.velocityX[lane_] = velocity.x;
    state_.velocityY[lane_] = velocity.y;
    state_.velocityZ[lane_] = velocity.z;
}

void Physical::SetPosition(const Vec3& position)
{
    PutPosition(position);
    if (inPhysics_) {
        Physics::Instance()->MarkUnsorted();
    }
}

void Physical::SetDestination(float x, float y, float z)
{
    state_.destinationX[lane_] = x;
    state_.destinationY[lane_] = y;
    state_.destinationZ[lane_] = z;
    SetArrived(false);
}

void Physical::SetSpinAxis(const Vec3& axis)
{
    state_.spinAxisX[lane_] = axis.x;
    state_.spinAxisY[lane_] = axis.y;
    state_.spinAxisZ[lane_] = axis.z;
}

void Physical::FaceDirection(float x, float /*y*/, float z)
{
    SetHeading(static_cast<float>(kHeadingPi / 2.0 - std::atan2(static_cast<double>(z), static_cast<double>(x))));
}

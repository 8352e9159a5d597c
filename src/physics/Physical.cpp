// Physical: construction from a data file or the defaults, and the two
// setters that tell the engine or the steering something changed.
#include "physics/Physical.h"

#include "physics/Physics.h"

#include <cmath>

namespace {

// Headings use pi at single precision, as every other angle in the game.
constexpr double kHeadingPi = 3.1415927410125732;

} // namespace

Physical::Physical(float x, float y, float z, const char* path) : position_(x, y, z), destination_(x, y, z)
{
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
}

void Physical::Apply(const PhysicalData& data)
{
    velocity_ = data.velocity;
    driveForce_ = data.driveForce;
    driveFalloff_ = data.driveFalloff;
    turnRate_ = data.turnRate;
    spinAxis_ = data.spinAxis;
    heading_ = data.heading;
    arrived_ = data.arrived;
    mass_ = data.mass;
    dragCoefficient_ = data.dragCoefficient;
    frictionCoefficient_ = data.frictionCoefficient;
    gravity_ = data.gravity;
    radius_ = data.radius;
    collisionType_ = data.collisionType;
    collides_ = data.collides;
    collisionResponse_ = true;
    movable_ = data.movable;
    steering_ = data.steering;
    gravityEnabled_ = data.gravityEnabled;
    dragEnabled_ = data.dragEnabled;
    frictionEnabled_ = data.frictionEnabled;
}

void Physical::SetPosition(const Vec3& position)
{
    position_ = position;
    if (inPhysics_) {
        Physics::Instance()->MarkUnsorted();
    }
}

void Physical::SetDestination(float x, float y, float z)
{
    destination_ = Vec3(x, y, z);
    arrived_ = false;
}

void Physical::FaceDirection(float x, float /*y*/, float z)
{
    heading_ = static_cast<float>(kHeadingPi / 2.0 - std::atan2(static_cast<double>(z), static_cast<double>(x)));
}

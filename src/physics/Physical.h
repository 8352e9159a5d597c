// Physical: the base of every body the physics engine moves (units, scenery,
// flags, projectiles). It only holds state; Physics reads and writes it each
// step. A unit type's constants come from its physical data file; other
// bodies start from the built-in defaults and adjust them with the setters.
#pragma once

#include "physics/PhysicalDataFile.h"
#include "platform/math/Vector.h"

#include <cstdint>

// What a body is to the collision dispatch and to explosions.
enum CollisionType : std::int32_t {
    kCollisionNone = 0, // no pair dispatch, ignored by explosions
    kCollisionUnit = 1,
    kCollisionProjectile = 2,
    kCollisionFlag = 3,
};

class Physical {
    // The step reads and writes the state directly: it moves every body in
    // every frame, and the setters' bookkeeping is its own.
    friend class Physics;

public:
    // path names the body's physical data file, or is null for the defaults.
    Physical(float x, float y, float z, const char* path);
    virtual ~Physical();

    Physical(const Physical&) = delete;
    Physical& operator=(const Physical&) = delete;

    bool GetInPhysics() const { return inPhysics_; }
    void SetInPhysics(bool value) { inPhysics_ = value; }

    Vec3 GetPosition() const { return position_; }
    // A registered body that moves may break the engine's order by x.
    void SetPosition(const Vec3& position);
    Vec3 GetDestination() const { return destination_; }
    // A new destination means the body has somewhere to go again.
    void SetDestination(float x, float y, float z);
    Vec3 GetVelocity() const { return velocity_; }
    void SetVelocity(const Vec3& velocity) { velocity_ = velocity; }

    float GetSpinRate() const { return spinRate_; }
    void SetSpinRate(float value) { spinRate_ = value; }
    Vec3 GetSpinAxis() const { return spinAxis_; }
    void SetSpinAxis(const Vec3& axis) { spinAxis_ = axis; }
    float GetTurnRate() const { return turnRate_; }
    void SetTurnRate(float value) { turnRate_ = value; }
    float GetHeading() const { return heading_; }
    void SetHeading(float value) { heading_ = value; }
    // Turns the body to look along (x, z); 0 faces +z, pi/2 faces +x.
    void FaceDirection(float x, float y, float z);

    float GetMass() const { return mass_; }
    void SetMass(float value) { mass_ = value; }
    float GetRadius() const { return radius_; }
    void SetRadius(float value) { radius_ = value; }
    float GetDragCoefficient() const { return dragCoefficient_; }
    void SetDragCoefficient(float value) { dragCoefficient_ = value; }
    float GetFrictionCoefficient() const { return frictionCoefficient_; }
    void SetFrictionCoefficient(float value) { frictionCoefficient_ = value; }
    float GetGravity() const { return gravity_; }
    void SetGravity(float value) { gravity_ = value; }

    std::int32_t GetCollisionType() const { return collisionType_; }
    void SetCollisionType(std::int32_t value) { collisionType_ = value; }
    bool GetArrived() const { return arrived_; }
    void SetArrived(bool value) { arrived_ = value; }
    float GetDriveForce() const { return driveForce_; }
    void SetDriveForce(float value) { driveForce_ = value; }
    float GetDriveFalloff() const { return driveFalloff_; }
    void SetDriveFalloff(float value) { driveFalloff_ = value; }

    bool GetCollides() const { return collides_; }
    void SetCollides(bool value) { collides_ = value; }
    bool GetCollisionResponse() const { return collisionResponse_; }
    void SetCollisionResponse(bool value) { collisionResponse_ = value; }
    bool GetMovable() const { return movable_; }
    void SetMovable(bool value) { movable_ = value; }
    bool GetSteering() const { return steering_; }
    void SetSteering(bool value) { steering_ = value; }
    bool GetGravityEnabled() const { return gravityEnabled_; }
    void SetGravityEnabled(bool value) { gravityEnabled_ = value; }
    bool GetDragEnabled() const { return dragEnabled_; }
    void SetDragEnabled(bool value) { dragEnabled_ = value; }
    bool GetFrictionEnabled() const { return frictionEnabled_; }
    void SetFrictionEnabled(bool value) { frictionEnabled_ = value; }

private:
    void Apply(const PhysicalData& data);

    bool inPhysics_ = false;
    Vec3 position_;
    Vec3 destination_;
    Vec3 velocity_;
    float spinRate_ = 0.0f;
    Vec3 spinAxis_{0.0f, 1.0f, 0.0f};
    float turnRate_ = 6.0f;
    float heading_ = 0.0f;
    float mass_ = 0.3f;
    float radius_ = 0.8f;
    float dragCoefficient_ = 0.0f;
    float frictionCoefficient_ = 0.0f;
    float gravity_ = 30.0f;
    std::int32_t collisionType_ = kCollisionNone;
    bool arrived_ = true;
    float driveForce_ = 10.0f;
    float driveFalloff_ = 0.0f;
    bool collides_ = true;
    bool collisionResponse_ = true;
    bool movable_ = true;
    bool steering_ = true;
    bool gravityEnabled_ = true;
    bool dragEnabled_ = true;
    bool frictionEnabled_ = true;
};

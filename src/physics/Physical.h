// Physical: the base of every body the physics engine moves (units, scenery,
// flags, projectiles). Its state lies in the engine's body store (BodyStore.h),
// which Physics reads and writes each step eight bodies at a time. A unit
// type's constants come from its physical data file; other bodies start from
// the built-in defaults and adjust them with the setters.
#pragma once

#include "physics/BodyStore.h"
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
    // The step reads and writes the state in the store directly: it moves
    // every body in every frame, and the setters' bookkeeping is its own.
    friend class Physics;

public:
    // path names the body's physical data file, or is null for the defaults.
    Physical(float x, float y, float z, const char* path);
    virtual ~Physical();

    Physical(const Physical&) = delete;
    Physical& operator=(const Physical&) = delete;

    bool GetInPhysics() const { return inPhysics_; }
    void SetInPhysics(bool value) { inPhysics_ = value; }

    Vec3 GetPosition() const { return {state_.positionX[lane_], state_.positionY[lane_], state_.positionZ[lane_]}; }
    // A registered body that moves may break the engine's order by x.
    void SetPosition(const Vec3& position);
    Vec3 GetDestination() const
    {
        return {state_.destinationX[lane_], state_.destinationY[lane_], state_.destinationZ[lane_]};
    }
    // A new destination means the body has somewhere to go again.
    void SetDestination(float x, float y, float z);
    Vec3 GetVelocity() const { return {state_.velocityX[lane_], state_.velocityY[lane_], state_.velocityZ[lane_]}; }
    void SetVelocity(const Vec3& velocity) { PutVelocity(velocity); }

    float GetSpinRate() const { return state_.spinRate[lane_]; }
    void SetSpinRate(float value) { state_.spinRate[lane_] = value; }
    Vec3 GetSpinAxis() const { return {state_.spinAxisX[lane_], state_.spinAxisY[lane_], state_.spinAxisZ[lane_]}; }
    void SetSpinAxis(const Vec3& axis);
    float GetTurnRate() const { return state_.turnRate[lane_]; }
    void SetTurnRate(float value) { state_.turnRate[lane_] = value; }
    float GetHeading() const { return state_.heading[lane_]; }
    void SetHeading(float value) { state_.heading[lane_] = value; }
    // Turns the body to look along (x, z); 0 faces +z, pi/2 faces +x.
    void FaceDirection(float x, float y, float z);

    float GetMass() const { return state_.mass[lane_]; }
    void SetMass(float value) { state_.mass[lane_] = value; }
    float GetRadius() const { return state_.radius[lane_]; }
    void SetRadius(float value) { state_.radius[lane_] = value; }
    float GetDragCoefficient() const { return state_.dragCoefficient[lane_]; }
    void SetDragCoefficient(float value) { state_.dragCoefficient[lane_] = value; }
    float GetFrictionCoefficient() const { return state_.frictionCoefficient[lane_]; }
    void SetFrictionCoefficient(float value) { state_.frictionCoefficient[lane_] = value; }
    float GetGravity() const { return state_.gravity[lane_]; }
    void SetGravity(float value) { state_.gravity[lane_] = value; }

    std::int32_t GetCollisionType() const { return state_.collisionType[lane_]; }
    void SetCollisionType(std::int32_t value) { state_.collisionType[lane_] = value; }
    bool GetArrived() const { return state_.arrived[lane_] != 0; }
    void SetArrived(bool value) { state_.arrived[lane_] = Switch(value); }
    float GetDriveForce() const { return state_.driveForce[lane_]; }
    void SetDriveForce(float value) { state_.driveForce[lane_] = value; }
    float GetDriveFalloff() const { return state_.driveFalloff[lane_]; }
    void SetDriveFalloff(float value) { state_.driveFalloff[lane_] = value; }

    bool GetCollides() const { return state_.collides[lane_]; }
    void SetCollides(bool value) { state_.collides[lane_] = value; }
    bool GetCollisionResponse() const { return state_.collisionResponse[lane_]; }
    void SetCollisionResponse(bool value) { state_.collisionResponse[lane_] = value; }
    bool GetMovable() const { return state_.movable[lane_] != 0; }
    void SetMovable(bool value) { state_.movable[lane_] = Switch(value); }
    bool GetSteering() const { return state_.steering[lane_] != 0; }
    void SetSteering(bool value) { state_.steering[lane_] = Switch(value); }
    bool GetGravityEnabled() const { return state_.gravityEnabled[lane_] != 0; }
    void SetGravityEnabled(bool value) { state_.gravityEnabled[lane_] = Switch(value); }
    bool GetDragEnabled() const { return state_.dragEnabled[lane_] != 0; }
    void SetDragEnabled(bool value) { state_.dragEnabled[lane_] = Switch(value); }
    bool GetFrictionEnabled() const { return state_.frictionEnabled[lane_] != 0; }
    void SetFrictionEnabled(bool value) { state_.frictionEnabled[lane_] = Switch(value); }

private:
    static std::int32_t Switch(bool on) { return on ? -1 : 0; }
    void Apply(const PhysicalData& data);
    void PutPosition(const Vec3& position);
    void PutVelocity(const Vec3& velocity);

    // The body's place in the engine's store, taken for its whole life.
    const BodyStore::Place place_;
    BodyStore::Block& state_;
    const std::uint32_t lane_;
    bool inPhysics_ = false;
};

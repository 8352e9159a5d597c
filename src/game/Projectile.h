// A moving object: a Trajectagon's shot, an Artillerator's shell, or a piece
// of a destroyed unit (debris, collision type 0). It is launched with one
// push, flies under gravity and is removed by its first physics event:
// ground contact, a collision, or (shells) falling into water.
#pragma once

#include "game/MeshObject.h"
#include "physics/Physics.h"

#include <cstdint>

class Army;
class Unit;

class Projectile : public MeshObject {
public:
    // Launched from at along direction with the push direction * strength;
    // owner is the unit that fired it (or the destroyed unit, for debris).
    Projectile(const Vec3& at, ObjectMeshType type, const Vec3& direction, float strength, Unit* owner);

    Unit* GetOwner() const { return owner_; }
    Army* GetOwnerArmy() const { return ownerArmy_; }
    std::uint32_t GetColour() const { return colour_; }
    float GetPitch() const { return pitch_; }
    Vec3 GetPitchAxis() const { return pitchAxis_; }

    // The flight's pitch and its axis from the velocity, for drawing: up
    // while rising, down while falling. A vertical flight has no axis.
    void Update();
    // A shell from an Artillerator that comes down on dry ground sets off
    // its blast (on the machine with authority); then the object leaves the
    // moving objects and the physics, to be freed after the step.
    void Remove();
    // A shell fell into water: a splash, no blast.
    void Explode();

    // Registers Remove (or Explode) as the one-shot callback of event.
    void RemoveOnEvent(PhysicsEvent event);
    void ExplodeOnEvent(PhysicsEvent event);

    // A projectile struck a unit: its owner strikes the unit, unless the
    // owner is dying.
    static void OnHitUnit(Projectile& projectile, Unit& unit);

private:
    Unit* owner_ = nullptr;
    Army* ownerArmy_ = nullptr;
    Vec3 pitchAxis_;
    float pitch_ = 0.0f;
    std::uint32_t colour_ = 0xFFFFFFFFu;
};

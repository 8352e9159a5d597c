// The five physical data files, "Actors/PhysicalData/<Type>.kvp", written
// with the game's own writer and checked with its own unit check.
//
// How the values were tuned: the drive must beat the per-step friction at
// 1000 frames per second, so driveForce is large (20000 x mass); the drive
// falloff must stay small (4 x mass) for the update to be stable at the
// clamped 0.0666 s step; the friction amount per step is therefore small
// (about 0.01) and stopping comes from drag, which does not depend on the
// frame rate. The walking speed v then follows from
//     driveForce * mu * mass * gravity * 1.5 = driveFalloff * v^2 + 5 * mass * drag * v,
// giving mu = (4 v^2 + 10 v) / (30000 * mass * 30). The speeds keep the ratios
// of the unit types (Triangoloid fastest, Detagon slowest): about 9.0, 7.8,
// 6.4, 5.6 and 5.1 units per second at 60 frames per second.
//
// Gravity is 30 for every type: the shooters' launch speed assumes that their
// shells fall as they do. Radii stay below 1.2 for the shooters (a shell
// spawns 2.0 above its shooter with radius 0.8) and any two sum to at most
// 2.2, the spacing of a formation.
#include "DataGenerator.h"

#include "physics/PhysicalDataFile.h"

#include <cstdio>

namespace {

struct UnitPhysics {
    const char* typeName;
    float driveForce;
    float driveFalloff;
    float turnRate;
    float mass;
    float frictionCoefficient;
    float radius;
};

const UnitPhysics kUnitPhysics[] = {
    {"Smashtor", 12000.0f, 2.4f, 6.0f, 0.6f, 0.0006f, 0.8f},
    {"Triangoloid", 12000.0f, 2.4f, 6.0f, 0.6f, 0.00077f, 0.9f},
    {"Trajectagon", 16000.0f, 3.2f, 5.0f, 0.8f, 0.00032f, 0.8f},
    {"Artillerator", 24000.0f, 4.8f, 3.0f, 1.2f, 0.00017f, 1.0f},
    {"Detagon", 16000.0f, 3.2f, 4.0f, 0.8f, 0.00022f, 0.9f},
};

PhysicalData MakeData(const UnitPhysics& unit)
{
    PhysicalData data;
    data.velocity = Vec3();
    data.driveForce = unit.driveForce;
    data.driveFalloff = unit.driveFalloff;
    data.turnRate = unit.turnRate;
    data.spinAxis = Vec3(0.0f, 1.0f, 0.0f);
    data.heading = 0.0f;
    data.arrived = false;
    data.mass = unit.mass;
    data.dragCoefficient = 2.0f;
    data.frictionCoefficient = unit.frictionCoefficient;
    data.gravity = 30.0f;
    data.radius = unit.radius;
    data.collisionType = 1;
    data.collides = true;
    data.movable = true;
    data.steering = true;
    data.gravityEnabled = true;
    data.dragEnabled = true;
    data.frictionEnabled = true;
    return data;
}

} // namespace

namespace datagen {

bool GeneratePhysicalData(const std::filesystem::path& root)
{
    for (const UnitPhysics& unit : kUnitPhysics) {
        const PhysicalData data = MakeData(unit);
        const std::string problem = PhysicalDataFile::CheckUnitData(data);
        if (!problem.empty()) {
            std::fprintf(stderr, "kvdatagen: %s physical data: %s\n", unit.typeName, problem.c_str());
            return false;
        }
        const std::string text = PhysicalDataFile::Format(data);
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        if (!WriteDataFile(root, PhysicalDataFile::PathForType(unit.typeName), bytes)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen

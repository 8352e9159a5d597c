// The physical data file of a unit type, "Actors/PhysicalData/<Type>.kvp":
// the reader the game uses and the writer the data generator uses, kept side
// by side so the two cannot disagree. The format is described at the top of
// PhysicalDataFile.cpp.
#pragma once

#include "platform/math/Vector.h"

#include <cstdint>
#include <string>
#include <string_view>

// The constants a body takes from its file. The member initialisers are the
// built-in defaults of a body without a file.
struct PhysicalData {
    Vec3 velocity;
    float driveForce = 10.0f;
    float driveFalloff = 0.0f;
    float turnRate = 6.0f;
    Vec3 spinAxis{0.0f, 1.0f, 0.0f};
    float heading = 0.0f;
    // A body without a file starts arrived so that, if it steers at all, it
    // brakes where it stands instead of driving toward its construction point.
    bool arrived = true;
    float mass = 0.3f;
    float dragCoefficient = 0.0f;
    float frictionCoefficient = 0.0f;
    float gravity = 30.0f;
    float radius = 0.8f;
    std::int32_t collisionType = 0;
    bool collides = true;
    bool movable = true;
    bool steering = true;
    bool gravityEnabled = true;
    bool dragEnabled = true;
    bool frictionEnabled = true;
};

class PhysicalDataFile {
public:
    static constexpr int kLineCount = 19;
    // Larger files are not physical data files; they are refused unread.
    static constexpr std::size_t kMaxFileBytes = 64 * 1024;

    // The file name of a unit type, e.g. "Actors/PhysicalData/Smashtor.kvp".
    static std::string PathForType(std::string_view typeName);

    // Reads the lines in order into data, each line only once it parsed whole;
    // stops at the first line that does not. Returns the lines read.
    static int Parse(std::string_view text, PhysicalData& data);

    // Defaults first, then the file. A missing, short or malformed file and
    // values no body can live with (among them a unit that could not move:
    // movable off or a negative friction) are reported in "Physical.txt",
    // naming the file and the field, each problem once a run however many
    // units read the file; the fields concerned keep their defaults. True
    // when all lines were read and valid.
    static bool Load(std::string_view path, PhysicalData& data);

    // The file text for data, every value written so that it reads back equal.
    static std::string Format(const PhysicalData& data);

    // Why data cannot drive a walking unit, or "" when it can: units need a
    // positive mass and radius, gravity, friction to push against, and the
    // switches that make them collide, move and steer on the ground.
    static std::string CheckUnitData(const PhysicalData& data);
};

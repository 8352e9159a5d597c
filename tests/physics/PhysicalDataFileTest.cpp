// The physical data files of bodies: written and read back, and refused
// where no body could live with what they say.
#include "physics/PhysicalDataFile.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <tuple>

namespace {

// A file in which every value differs from the built-in defaults.
const std::string kText = "1.5,-2.25,3.0\n16000.0\n3.2\n5.0\n0.0,0.6,0.8\n1.25\n0\n0.8\n2.0\n0.00077\n25.0\n0.9\n1\n0\n"
                          "0\n0\n0\n0\n0\n";
const auto kTextFields =
    std::tuple(Vec3(1.5f, -2.25f, 3.0f), 16000.0f, 3.2f, 5.0f, Vec3(0.0f, 0.6f, 0.8f), 1.25f, false, 0.8f, 2.0f,
               0.00077f, 25.0f, 0.9f, 1, false, false, false, false, false, false);

auto Fields(const PhysicalData& d)
{
    return std::tuple(d.velocity, d.driveForce, d.driveFalloff, d.turnRate, d.spinAxis, d.heading, d.arrived, d.mass,
                      d.dragCoefficient, d.frictionCoefficient, d.gravity, d.radius, d.collisionType, d.collides,
                      d.movable, d.steering, d.gravityEnabled, d.dragEnabled, d.frictionEnabled);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

bool LogHas(const std::string& words)
{
    return testing::ReadTextFile("Physical.txt").find(words) != std::string::npos;
}

PhysicalData Distinctive()
{
    PhysicalData data;
    PhysicalDataFile::Parse(kText, data);
    return data;
}

} // namespace

TEST_CASE("physical data files read back what was written, and the reader stops at a bad line")
{
    CHECK(PhysicalDataFile::Format(Distinctive()) == kText);
    std::string crlf;
    for (const char c : kText) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    for (const std::string& variant : {kText, crlf, "\n\n   " + kText + "trailing words are ignored"}) {
        PhysicalData read;
        CHECK(PhysicalDataFile::Parse(variant, read) == PhysicalDataFile::kLineCount);
        CHECK(Fields(read) == kTextFields);
    }

    PhysicalData read;
    CHECK(PhysicalDataFile::Parse(Replaced(kText, "\n0\n0.8", "\n5\n0.8"), read) == PhysicalDataFile::kLineCount);
    CHECK(read.arrived); // any non-zero switch is on
    CHECK(PhysicalDataFile::Parse(Replaced(kText, "\n0\n0.8", "\n99999999999\n0.8"), read) == 6);
    for (const char* halfVector : {"1.0 ,2.0,3.0\n", "1.0,2.0,x\n"}) {
        PhysicalData partial;
        CHECK(PhysicalDataFile::Parse(halfVector, partial) == 0);
        CHECK(partial.velocity == Vec3());
    }
}

TEST_CASE("loading refuses what no body can live with")
{
    testing::TempDirectory dir;
    const std::string complete = kText;
    const auto load = [](const std::string& text, PhysicalData& data) {
        std::ofstream("Unit.kvp", std::ios::binary) << text;
        return PhysicalDataFile::Load("Unit.kvp", data);
    };
    PhysicalData data = Distinctive();

    SUBCASE("a short or malformed file keeps the defaults from where it stops")
    {
        CHECK_FALSE(load(complete.substr(0, complete.find("2.0\n")), data)); // lines 1 to 8
        CHECK(std::tuple(data.velocity, data.mass, data.dragCoefficient, data.movable) ==
              std::tuple(std::get<0>(kTextFields), 0.8f, 0.0f, true));
        CHECK(LogHas("past line 8"));
        CHECK_FALSE(load(Replaced(complete, "0.00077", "abc"), data));
        CHECK(std::tuple(data.dragCoefficient, data.frictionCoefficient, data.radius) == std::tuple(2.0f, 0.0f, 0.8f));
    }
    SUBCASE("mass, gravity and radius must be positive and everything finite")
    {
        PhysicalData bad = Distinctive();
        bad.mass = 0.0f;
        bad.gravity = -30.0f;
        bad.radius = std::nanf("");
        bad.driveForce = INFINITY;
        CHECK_FALSE(load(PhysicalDataFile::Format(bad), data));
        CHECK(std::tuple(data.mass, data.gravity, data.radius, data.driveForce, data.turnRate) ==
              std::tuple(0.3f, 30.0f, 0.8f, 10.0f, 5.0f)); // the good values stay
        CHECK(LogHas("unusable gravity"));
    }
}

#include "physics/PhysicalDataFile.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

namespace {

PhysicalData Distinctive()
{
    PhysicalData data;
    data.velocity = Vec3(1.5f, -2.25f, 3.0f);
    data.driveForce = 16000.0f;
    data.driveFalloff = 3.2f;
    data.turnRate = 5.0f;
    data.spinAxis = Vec3(0.0f, 0.6f, 0.8f);
    data.heading = 1.25f;
    data.arrived = false;
    data.mass = 0.8f;
    data.dragCoefficient = 2.0f;
    data.frictionCoefficient = 0.00077f;
    data.gravity = 30.0f;
    data.radius = 0.9f;
    data.collisionType = 1;
    data.collides = true;
    data.movable = false;
    data.steering = true;
    data.gravityEnabled = false;
    data.dragEnabled = true;
    data.frictionEnabled = false;
    return data;
}

void CheckEqual(const PhysicalData& a, const PhysicalData& b)
{
    CHECK(a.velocity == b.velocity);
    CHECK(a.driveForce == b.driveForce);
    CHECK(a.driveFalloff == b.driveFalloff);
    CHECK(a.turnRate == b.turnRate);
    CHECK(a.spinAxis == b.spinAxis);
    CHECK(a.heading == b.heading);
    CHECK(a.arrived == b.arrived);
    CHECK(a.mass == b.mass);
    CHECK(a.dragCoefficient == b.dragCoefficient);
    CHECK(a.frictionCoefficient == b.frictionCoefficient);
    CHECK(a.gravity == b.gravity);
    CHECK(a.radius == b.radius);
    CHECK(a.collisionType == b.collisionType);
    CHECK(a.collides == b.collides);
    CHECK(a.movable == b.movable);
    CHECK(a.steering == b.steering);
    CHECK(a.gravityEnabled == b.gravityEnabled);
    CHECK(a.dragEnabled == b.dragEnabled);
    CHECK(a.frictionEnabled == b.frictionEnabled);
}

void WriteFile(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary) << text;
}

// The text of Distinctive() with CR LF line ends.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

} // namespace

TEST_CASE("physical data files read back what was written")
{
    const PhysicalData written = Distinctive();
    const std::string text = PhysicalDataFile::Format(written);

    SUBCASE("every field round-trips")
    {
        PhysicalData read;
        CHECK(PhysicalDataFile::Parse(text, read) == PhysicalDataFile::kLineCount);
        CheckEqual(read, written);
    }
    SUBCASE("CR LF line ends, blank lines and indentation are accepted")
    {
        PhysicalData read;
        CHECK(PhysicalDataFile::Parse(WithCrLf(text), read) == PhysicalDataFile::kLineCount);
        CheckEqual(read, written);
        PhysicalData spaced;
        CHECK(PhysicalDataFile::Parse("\n\n   " + text + "trailing words are ignored", spaced) ==
              PhysicalDataFile::kLineCount);
        CheckEqual(spaced, written);
    }
    SUBCASE("the writer keeps the look of the files")
    {
        CHECK(text.rfind("1.5,-2.25,3.0\n16000.0\n3.2\n5.0\n0.0,0.6,0.8\n1.25\n0\n0.8\n", 0) == 0);
        CHECK(std::count(text.begin(), text.end(), '\n') == PhysicalDataFile::kLineCount);
    }
}

TEST_CASE("the reader follows the formatted-read grammar")
{
    const std::string text = PhysicalDataFile::Format(Distinctive());

    SUBCASE("a non-zero arrived or switch value reads as on")
    {
        std::string changed = text;
        changed.replace(changed.find("\n0\n0.8"), 3, "\n5\n");
        PhysicalData read;
        CHECK(PhysicalDataFile::Parse(changed, read) == PhysicalDataFile::kLineCount);
        CHECK(read.arrived);
    }
    SUBCASE("a space before a comma stops the vector line")
    {
        PhysicalData read;
        CHECK(PhysicalDataFile::Parse("1.0 ,2.0,3.0\n", read) == 0);
        CHECK(read.velocity == Vec3());
    }
    SUBCASE("a half-read vector line leaves the whole vector alone")
    {
        PhysicalData read;
        CHECK(PhysicalDataFile::Parse("1.0,2.0,x\n", read) == 0);
        CHECK(read.velocity == Vec3());
    }
    SUBCASE("an integer too large for its field stops the read")
    {
        std::string changed = text;
        changed.replace(changed.find("\n0\n0.8"), 3, "\n99999999999\n");
        PhysicalData read;
        CHECK(PhysicalDataFile::Parse(changed, read) == 6);
    }
}

TEST_CASE("loading refuses what no body can live with")
{
    testing::TempDirectory dir;
    const std::string complete = PhysicalDataFile::Format(Distinctive());

    SUBCASE("a complete file loads without a warning")
    {
        WriteFile("Unit.kvp", complete);
        PhysicalData data;
        CHECK(PhysicalDataFile::Load("Unit.kvp", data));
        CheckEqual(data, Distinctive());
        CHECK_FALSE(std::filesystem::exists("Physical.txt"));
    }
    SUBCASE("a missing file gives the defaults and the warning")
    {
        PhysicalData data = Distinctive();
        CHECK_FALSE(PhysicalDataFile::Load("Actors/PhysicalData/Nobody.kvp", data));
        CheckEqual(data, PhysicalData());
        CHECK(testing::ReadTextFile("Physical.txt")
                  .ends_with("Warning: Failed to open physical file Actors/PhysicalData/Nobody.kvp."));
    }
    SUBCASE("a short file keeps the defaults for the lines it lacks")
    {
        std::string shortText = complete;
        shortText.resize(shortText.find("2.0\n")); // lines 1 to 8
        WriteFile("Unit.kvp", shortText);
        PhysicalData data;
        CHECK_FALSE(PhysicalDataFile::Load("Unit.kvp", data));
        CHECK(data.mass == 0.8f);
        CHECK(data.velocity == Distinctive().velocity);
        CHECK(data.dragCoefficient == PhysicalData().dragCoefficient);
        CHECK(data.radius == PhysicalData().radius);
        CHECK(data.gravity == 30.0f);
        CHECK(data.movable);
        CHECK(testing::ReadTextFile("Physical.txt").find("past line 8") != std::string::npos);
    }
    SUBCASE("a malformed value stops the read there")
    {
        std::string broken = complete;
        broken.replace(broken.find("0.00077"), 7, "abc");
        WriteFile("Unit.kvp", broken);
        PhysicalData data;
        CHECK_FALSE(PhysicalDataFile::Load("Unit.kvp", data));
        CHECK(data.dragCoefficient == 2.0f);
        CHECK(data.frictionCoefficient == 0.0f);
        CHECK(data.radius == 0.8f);
    }
    SUBCASE("mass, gravity and radius must be positive and everything finite")
    {
        PhysicalData bad = Distinctive();
        bad.mass = 0.0f;
        bad.gravity = -30.0f;
        bad.radius = std::nanf("");
        bad.driveForce = INFINITY;
        WriteFile("Unit.kvp", PhysicalDataFile::Format(bad));
        PhysicalData data;
        CHECK_FALSE(PhysicalDataFile::Load("Unit.kvp", data));
        CHECK(data.mass == 0.3f);
        CHECK(data.gravity == 30.0f);
        CHECK(data.radius == 0.8f);
        CHECK(data.driveForce == 10.0f);
        CHECK(data.turnRate == 5.0f); // the good values stay
        const std::string log = testing::ReadTextFile("Physical.txt");
        CHECK(log.find("unusable mass") != std::string::npos);
        CHECK(log.find("unusable gravity") != std::string::npos);
    }
    SUBCASE("a file far too large is not parsed")
    {
        WriteFile("Unit.kvp", complete + std::string(PhysicalDataFile::kMaxFileBytes, ' '));
        PhysicalData data;
        CHECK_FALSE(PhysicalDataFile::Load("Unit.kvp", data));
        CheckEqual(data, PhysicalData());
    }
}

TEST_CASE("the unit check names what a walking unit lacks")
{
    PhysicalData data = Distinctive();
    data.movable = true;
    data.gravityEnabled = true;
    data.frictionEnabled = true;
    CHECK(PhysicalDataFile::CheckUnitData(data).empty());

    SUBCASE("friction at the threshold is no friction")
    {
        data.frictionCoefficient = 0.0001f;
        CHECK_FALSE(PhysicalDataFile::CheckUnitData(data).empty());
    }
    SUBCASE("not steering")
    {
        data.steering = false;
        CHECK_FALSE(PhysicalDataFile::CheckUnitData(data).empty());
    }
}

// Physical data that would leave a unit unable to move is said, naming the
// file and the field, and once however many units read the file.
#include "physics/PhysicalDataFile.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <fstream>
#include <string>

namespace {

std::size_t Occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// A walking unit's data, but for what the test changes.
PhysicalData Walker()
{
    PhysicalData data;
    data.driveFalloff = 0.4f;
    data.frictionCoefficient = 0.5f;
    data.collisionType = 1;
    REQUIRE(PhysicalDataFile::CheckUnitData(data).empty());
    return data;
}

} // namespace

TEST_CASE("a unit that could not move is warned of once a run, by file and field, and gets the usable default")
{
    testing::TempDirectory dir;
    PhysicalData stuck = Walker();
    stuck.movable = false;
    stuck.frictionCoefficient = -0.5f;
    std::ofstream("Stuck.kvp", std::ios::binary) << PhysicalDataFile::Format(stuck);
    std::ofstream("Fine.kvp", std::ios::binary) << PhysicalDataFile::Format(Walker());

    // Every unit of a type reads its file.
    for (int unit = 0; unit < 40; ++unit) {
        PhysicalData data;
        CHECK_FALSE(PhysicalDataFile::Load("Stuck.kvp", data));
        CHECK(data.movable);
        CHECK(data.frictionCoefficient == 0.0f);
        CHECK(PhysicalDataFile::Load("Fine.kvp", data));
    }
    const std::string log = testing::ReadTextFile("Physical.txt");
    CHECK(Occurrences(log, "\n") == 2);
    CHECK(Occurrences(log, "Physical file Stuck.kvp has movable off, so the unit could not move; using 1.") == 1);
    CHECK(Occurrences(log, "Physical file Stuck.kvp has an unusable friction coefficient (-0.5); using 0.") == 1);
    CHECK(log.find("Fine.kvp") == std::string::npos);
}

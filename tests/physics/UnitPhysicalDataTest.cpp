// The shipped physical data of the five unit types, walked at frame rates
// from 15 to 1000 a second. Standing still on real ground is the maps tests'
// part (GeneratedMapsTest), at the frame rates the game runs at.
#include "PhysicsTestWorld.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

using namespace physics_test;

TEST_CASE("each unit type keeps its pace and stops once where it was sent, from 15 to 1000 frames a second")
{
    const char* const types[] = {"Triangoloid", "Smashtor", "Trajectagon", "Artillerator", "Detagon"};
    const float walkSpeeds[] = {8.97f, 7.79f, 6.40f, 5.61f, 5.13f}; // on flat ground at 60 frames a second

    TestWorld world;
    for (std::size_t i = 0; i < std::size(types); ++i) {
        const std::string name = types[i];
        CAPTURE(name);
        PhysicalData data;
        CHECK(PhysicalDataFile::Load(UnitDataPath(types[i]), data));
        CHECK(PhysicalDataFile::CheckUnitData(data).empty());
        CHECK(data.gravity == 30.0f); // the shooters' launch speed assumes it
        CHECK(data.radius <= 1.1f);   // a formation's spacing is 2.2
        float referenceArrival = 0.0f;
        for (const float dt : {1.0f / 60.0f, 1.0f / 15.0f, 1.0f / 240.0f, 1.0f / 1000.0f}) {
            CAPTURE(1.0f / dt);
            const auto walk = [dt](float seconds) { TestWorld::Step(dt, static_cast<int>(std::lround(seconds / dt))); };
            auto unit = MakeUnitBody(types[i], -60.0f, 0.0f);
            unit->SetDestination(60.0f, 0.0f, 0.0f);
            int arrivedCalls = 0;
            Physics::Instance()->AddCallback(
                unit.get(), [&](Physical*) { ++arrivedCalls; }, kEventArrived, true);
            walk(3.0f);
            const float x3 = unit->GetPosition().x;
            walk(3.0f);
            CHECK((unit->GetPosition().x - x3) / 3.0f == doctest::Approx(walkSpeeds[i]).epsilon(0.15));
            float arrival = 6.0f;
            for (; !unit->GetArrived() && arrival < 40.0f; arrival += dt) {
                TestWorld::Step(dt);
            }
            referenceArrival = referenceArrival == 0.0f ? arrival : referenceArrival;
            CHECK(arrival == doctest::Approx(referenceArrival).epsilon(0.15));
            // Flagged within 1.0 of the destination, it brakes a few units on
            // and stays there, still arrived, told once.
            walk(4.0f);
            const float braked = unit->GetPosition().x;
            walk(4.0f);
            CHECK(unit->GetPosition().x == doctest::Approx(braked).epsilon(0.001));
            CHECK(braked > 59.0f);
            CHECK(braked < 64.0f);
            CHECK(unit->GetArrived());
            CHECK(arrivedCalls == 1);
            Physics::Instance()->RemoveObject(unit.get());
        }
    }
}

// The collision pass's pair search: every overlapping pair proposed, from
// its lower number's side, whatever the layout of the boxes.
#include "physics/PairGrid.h"

#include "platform/Random.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

float RandomIn(float low, float high)
{
    return low + (high - low) * static_cast<float>(platform::Rand()) / platform::kRandMax;
}

void Add(std::vector<PairGrid::Item>& items, float x, float z, float width, float depth, bool movable = true)
{
    items.push_back({{x, x + width, z, z + depth}, static_cast<std::uint32_t>(items.size()), movable});
}

// Each number's later overlaps, found by the grid and by brute force, and
// the numbers that have any, lowest first.
void CheckFound(PairGrid& grid, const std::vector<PairGrid::Item>& items)
{
    grid.FindPairs(items, items.size());
    std::vector<std::uint32_t> withLater;
    for (std::uint32_t number = 0; number < items.size(); ++number) {
        if (!grid.LaterOverlaps(number).empty()) {
            withLater.push_back(number);
        }
    }
    const auto listed = grid.NumbersWithLaterOverlaps();
    CHECK(std::vector<std::uint32_t>(listed.begin(), listed.end()) == withLater);
    for (const PairGrid::Item& a : items) {
        std::vector<std::uint32_t> expected;
        for (const PairGrid::Item& b : items) {
            if (a.number < b.number && a.box.minX <= b.box.maxX && b.box.minX <= a.box.maxX &&
                a.box.minZ <= b.box.maxZ && b.box.minZ <= a.box.maxZ && (a.movable || b.movable)) {
                expected.push_back(b.number);
            }
        }
        const auto span = grid.LaterOverlaps(a.number);
        std::vector<std::uint32_t> found(span.begin(), span.end());
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        CAPTURE(a.number);
        CHECK(found == expected);
    }
}

// The boxes in the order the collision pass gives them, by their bodies' x,
// numbered in that order: the sweep's case, unless it walks too far.
void OrderAlongX(std::vector<PairGrid::Item>& items)
{
    // The box that is not a number goes last, as the engine sorts NaN.
    const auto middle = [](const PairGrid::Item& item) {
        const float twice = item.box.minX + item.box.maxX;
        return std::isnan(twice) ? INFINITY : twice;
    };
    std::stable_sort(items.begin(), items.end(),
                     [&middle](const PairGrid::Item& a, const PairGrid::Item& b) { return middle(a) < middle(b); });
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].number = static_cast<std::uint32_t>(i);
    }
}

// A crowd with every awkward layout, checked as it moves.
void CheckAsTheyMove(bool alongX)
{
    platform::SeedRand(17);
    PairGrid grid;
    std::vector<PairGrid::Item> items;
    for (int i = 0; i < 300; ++i) { // a crowd, a quarter of it unable to move
        Add(items, RandomIn(-60.0f, 60.0f), RandomIn(-60.0f, 60.0f), RandomIn(0.2f, 3.0f), RandomIn(0.2f, 3.0f),
            i % 4 != 0);
    }
    for (int i = 0; i < 100; ++i) { // a column sharing one x, and a row sharing one z
        Add(items, -1.0f, static_cast<float>(i) * 0.9f, 2.0f, 2.0f);
        Add(items, static_cast<float>(i) * 0.9f, -1.0f, 2.0f, 2.0f);
    }
    if (!alongX) {                               // the sweep along x would walk too far past these
        Add(items, -50.0f, -2.0f, 100.0f, 3.0f); // a shell across the map
        Add(items, -3.0f, -50.0f, 3.0f, 100.0f); // and one along the other axis
    }
    Add(items, 1.0e6f, 1.0e6f, 2.0f, 2.0f);    // far away
    Add(items, -1.0e6f, 1.0e6f, 2.0f, 2.0f);   // and far away elsewhere
    Add(items, 5.0f, 5.0f, 1.0f, 1.0f, false); // two that cannot move
    Add(items, 5.0f, 5.0f, 1.0f, 1.0f, false); // on the same spot
    Add(items, NAN, 0.0f, 1.0f, 1.0f);         // not finite
    Add(items, 0.0f, INFINITY, 1.0f, 1.0f);    // nor this
    for (int step = 0; step < 4; ++step) {     // and as they move
        CAPTURE(step);
        if (alongX) {
            OrderAlongX(items);
        }
        CheckFound(grid, items);
        for (PairGrid::Item& item : items) {
            const float dx = RandomIn(-1.0f, 1.0f);
            const float dz = RandomIn(-1.0f, 1.0f);
            item.box = {item.box.minX + dx, item.box.maxX + dx, item.box.minZ + dz, item.box.maxZ + dz};
        }
    }
}

} // namespace

TEST_CASE("the pair search proposes exactly the overlapping boxes, however they lie")
{
    SUBCASE("in any order")
    {
        CheckAsTheyMove(false);
    }
    SUBCASE("in order along x, as the collision pass gives them")
    {
        CheckAsTheyMove(true);
    }
    SUBCASE("a sparse crowd that searched easily, then all drawn together along x")
    {
        platform::SeedRand(23);
        PairGrid grid;
        std::vector<PairGrid::Item> items;
        for (int i = 0; i < 200; ++i) {
            Add(items, RandomIn(-100.0f, 100.0f), RandomIn(-100.0f, 100.0f), 2.0f, 2.0f);
        }
        OrderAlongX(items);
        CheckFound(grid, items);
        CheckFound(grid, items);
        for (PairGrid::Item& item : items) {
            item.box.minX = 0.0f;
            item.box.maxX = 2.0f;
        }
        CheckFound(grid, items);
    }
}

// The collision pass's pair search: every overlapping pair proposed, from
// its lower number's side, whatever the layout of the boxes.
#include "physics/PairGrid.h"

#include "platform/Random.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

float RandomIn(float low, float high)
{
    return low + (high - low) * static_cast<float>(platform::Rand()) / platform::kRandMax;
}

PairGrid::Item Box(std::uint32_t number, float x, float z, float width, float depth, bool movable = true)
{
    return {{x, x + width, z, z + depth}, number, movable};
}

// Every pair the search must propose, by brute force.
std::vector<std::vector<std::uint32_t>> Expected(const std::vector<PairGrid::Item>& items)
{
    std::vector<std::vector<std::uint32_t>> later(items.size());
    for (const PairGrid::Item& a : items) {
        for (const PairGrid::Item& b : items) {
            const bool overlap = a.box.minX <= b.box.maxX && b.box.minX <= a.box.maxX && a.box.minZ <= b.box.maxZ &&
                                 b.box.minZ <= a.box.maxZ;
            if (a.number < b.number && overlap && (a.movable || b.movable) && std::isfinite(a.box.minX) &&
                std::isfinite(b.box.minX)) {
                later[a.number].push_back(b.number);
            }
        }
    }
    return later;
}

void CheckFound(PairGrid& grid, const std::vector<PairGrid::Item>& items)
{
    grid.FindPairs(items, items.size());
    const auto expected = Expected(items);
    for (std::uint32_t n = 0; n < items.size(); ++n) {
        CAPTURE(n);
        const auto found = grid.LaterOverlaps(n);
        std::vector<std::uint32_t> sorted(found.begin(), found.end());
        std::sort(sorted.begin(), sorted.end());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        CHECK(sorted == expected[n]);
    }
}

} // namespace

TEST_CASE("the pair search proposes exactly the overlapping boxes, however they lie")
{
    platform::SeedRand(17);
    PairGrid grid;
    std::vector<PairGrid::Item> items;

    SUBCASE("a crowd, in several steps as it moves")
    {
        for (std::uint32_t i = 0; i < 400; ++i) {
            items.push_back(Box(i, RandomIn(-60.0f, 60.0f), RandomIn(-60.0f, 60.0f), RandomIn(0.2f, 3.0f),
                                RandomIn(0.2f, 3.0f), i % 4 != 0));
        }
        for (int step = 0; step < 5; ++step) {
            CheckFound(grid, items);
            for (PairGrid::Item& item : items) {
                const float dx = RandomIn(-1.0f, 1.0f);
                const float dz = RandomIn(-1.0f, 1.0f);
                item.box = {item.box.minX + dx, item.box.maxX + dx, item.box.minZ + dz, item.box.maxZ + dz};
            }
        }
    }
    SUBCASE("a column sharing one x, and a row sharing one z")
    {
        for (std::uint32_t i = 0; i < 200; ++i) {
            const float along = static_cast<float>(i) * 0.9f;
            items.push_back(i < 100 ? Box(i, -1.0f, along, 2.0f, 2.0f) : Box(i, along, -1.0f, 2.0f, 2.0f));
        }
        CheckFound(grid, items);
    }
    SUBCASE("one box sweeping far, boxes far apart, on the same spot, and not finite")
    {
        for (std::uint32_t i = 0; i < 300; ++i) {
            items.push_back(Box(i, RandomIn(-40.0f, 40.0f), RandomIn(-40.0f, 40.0f), 1.5f, 1.5f));
        }
        items.push_back(Box(300, -50.0f, -2.0f, 100.0f, 3.0f));   // a shell across the map
        items.push_back(Box(301, -3.0f, -50.0f, 3.0f, 100.0f));   // and one along the other axis
        items.push_back(Box(302, 1.0e6f, 1.0e6f, 2.0f, 2.0f));    // far away
        items.push_back(Box(303, -1.0e6f, 1.0e6f, 2.0f, 2.0f));   // far away elsewhere
        items.push_back(Box(304, 5.0f, 5.0f, 1.0f, 1.0f, false)); // two that cannot move,
        items.push_back(Box(305, 5.0f, 5.0f, 1.0f, 1.0f, false)); // on the same spot
        items.push_back(Box(306, NAN, 0.0f, 1.0f, 1.0f));         // not finite
        items.push_back(Box(307, 0.0f, INFINITY, 1.0f, 1.0f));    // nor this
        CheckFound(grid, items);
    }
}

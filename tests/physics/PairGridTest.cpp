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

struct Item {
    PairGrid::Box box;
    bool movable = true;
};

void Add(std::vector<Item>& items, float x, float z, float width, float depth, bool movable = true)
{
    items.push_back({{x, x + width, z, z + depth}, movable});
}

// Each number's later overlaps, found by the grid and by brute force, and
// the pairs grouped by their lower number, lowest first.
void CheckFound(PairGrid& grid, const std::vector<Item>& items)
{
    // Written into more room than is used, as the collision pass does when
    // some bodies do not collide.
    const PairGrid::Fields fields = grid.PrepareBoxes(items.size() + 5);
    for (std::size_t i = 0; i < items.size(); ++i) {
        fields.minX[i] = items[i].box.minX;
        fields.maxX[i] = items[i].box.maxX;
        fields.minZ[i] = items[i].box.minZ;
        fields.maxZ[i] = items[i].box.maxZ;
        fields.movable[i] = items[i].movable ? 1 : 0;
    }
    grid.FindPairs(items.size());
    std::vector<std::vector<std::uint32_t>> found(items.size());
    std::uint32_t lastLower = 0;
    for (const std::uint64_t pair : grid.Pairs()) {
        const std::uint32_t lower = PairGrid::LowerOf(pair);
        REQUIRE(lower < items.size());
        // Grouped by the lower number, lowest first.
        CHECK(lower >= lastLower);
        CHECK((found[lower].empty() || lower == lastLower));
        found[lower].push_back(PairGrid::HigherOf(pair));
        lastLower = lower;
    }
    for (std::uint32_t a = 0; a < items.size(); ++a) {
        std::vector<std::uint32_t> expected;
        for (std::uint32_t b = a + 1; b < items.size(); ++b) {
            const PairGrid::Box& p = items[a].box;
            const PairGrid::Box& q = items[b].box;
            if (p.minX <= q.maxX && q.minX <= p.maxX && p.minZ <= q.maxZ && q.minZ <= p.maxZ &&
                (items[a].movable || items[b].movable)) {
                expected.push_back(b);
            }
        }
        std::sort(found[a].begin(), found[a].end());
        CAPTURE(a);
        CHECK(found[a] == expected);
    }
}

// The boxes in the order the collision pass gives them, by their bodies' x,
// numbered in that order: the sweep's case, unless it walks too far.
void OrderAlongX(std::vector<Item>& items)
{
    // The box that is not a number goes last, as the engine sorts NaN.
    const auto middle = [](const Item& item) {
        const float twice = item.box.minX + item.box.maxX;
        return std::isnan(twice) ? INFINITY : twice;
    };
    std::stable_sort(items.begin(), items.end(),
                     [&middle](const Item& a, const Item& b) { return middle(a) < middle(b); });
}

// A crowd with every awkward layout, checked as it moves.
void CheckAsTheyMove(bool alongX)
{
    platform::SeedRand(17);
    PairGrid grid;
    std::vector<Item> items;
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
        for (Item& item : items) {
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
        std::vector<Item> items;
        for (int i = 0; i < 200; ++i) {
            Add(items, RandomIn(-100.0f, 100.0f), RandomIn(-100.0f, 100.0f), 2.0f, 2.0f);
        }
        OrderAlongX(items);
        CheckFound(grid, items);
        CheckFound(grid, items);
        for (Item& item : items) {
            item.box.minX = 0.0f;
            item.box.maxX = 2.0f;
        }
        CheckFound(grid, items);
    }
    SUBCASE("a long column and a long row crossing, too crowded to sweep along either axis")
    {
        PairGrid grid;
        std::vector<Item> items;
        for (int i = 0; i < 300; ++i) {
            Add(items, 150.0f, static_cast<float>(i), 2.0f, 2.0f);
            Add(items, static_cast<float>(i), 150.0f, 2.0f, 2.0f);
        }
        OrderAlongX(items);
        CheckFound(grid, items);
        CheckFound(grid, items);
    }
    SUBCASE("boxes a span apart beyond the float range, along one x and in a crossing crowd")
    {
        // 3e38 - (-3e38) is infinite: the orders along z and the rows must
        // still make indices of it (the sanitizer build stops on a NaN cast).
        PairGrid grid;
        std::vector<Item> items;
        for (int i = 0; i < 300; ++i) {
            Add(items, 0.0f, static_cast<float>(i), 2.0f, 2.0f);
        }
        Add(items, 0.0f, 3.0e38f, 2.0f, 2.0f);
        Add(items, 0.0f, -3.0e38f, 2.0f, 2.0f);
        Add(items, 1.0f, 3.0e38f, 2.0f, 2.0f); // meets the first far one
        OrderAlongX(items);
        CheckFound(grid, items);
        for (int i = 0; i < 300; ++i) {
            Add(items, static_cast<float>(i), 150.0f, 2.0f, 2.0f);
        }
        Add(items, -3.0e38f, -3.0e38f, 2.0f, 1.0e38f); // one box of a depth beyond the rows
        OrderAlongX(items);
        CheckFound(grid, items);
        CheckFound(grid, items);
    }
}

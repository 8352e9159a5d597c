#include "platform/Random.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <vector>

TEST_CASE("the generator stays within 0 to 32767 and repeats from a seed")
{
    const auto draw = [](unsigned seed, int count) {
        platform::SeedRand(seed);
        std::vector<int> values(static_cast<std::size_t>(count));
        std::ranges::generate(values, platform::Rand);
        return values;
    };
    const std::vector<int> many = draw(1234, 100000);
    CHECK(std::ranges::min(many) == 0);
    CHECK(std::ranges::max(many) == platform::kRandMax);
    CHECK(draw(1234, 16) == std::vector<int>(many.begin(), many.begin() + 16));
    CHECK(draw(1235, 16) != draw(1234, 16));
    // The classic first values of this 15-bit LCG for seed 1.
    CHECK(draw(1, 3) == std::vector<int>{41, 18467, 6334});
}

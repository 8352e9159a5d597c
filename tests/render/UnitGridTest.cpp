// The unit grid's filing and its culling by cells, checked against a
// brute-force test of every grid corner against the view's outline.
#include "../units/BattleTestWorld.h"
#include "game/MeshObject.h"
#include "render/UnitGrid.h"

#include <array>
#include <limits>
#include <vector>

namespace {

float Side(const Vec3& a, const Vec3& b, float x, float z)
{
    return (b.x - a.x) * (z - a.z) - (b.z - a.z) * (x - a.x);
}

// On or inside one of the four triangles over the view's ground points.
bool UnderView(const std::array<Vec3, 4>& g, float x, float z)
{
    const int triangles[4][3] = {{0, 1, 2}, {1, 2, 3}, {2, 3, 0}, {3, 0, 1}};
    for (const auto& t : triangles) {
        const float s0 = Side(g[t[0]], g[t[1]], x, z);
        const float s1 = Side(g[t[1]], g[t[2]], x, z);
        const float s2 = Side(g[t[2]], g[t[0]], x, z);
        if ((s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0)) {
            return true;
        }
    }
    return false;
}

std::vector<UnitGrid::Cell> BruteForceVisible(const std::array<Vec3, 4>& g)
{
    std::vector<UnitGrid::Cell> cells;
    for (int z = 0; z < UnitGrid::kCells; ++z) {
        for (int x = 0; x < UnitGrid::kCells; ++x) {
            bool seen = false;
            for (int corner = 0; corner < 4; ++corner) {
                const float cx = (x + corner % 2) * UnitGrid::kCellSize - UnitGrid::kHalfSize;
                const float cz = (z + corner / 2) * UnitGrid::kCellSize - UnitGrid::kHalfSize;
                seen = seen || UnderView(g, cx, cz);
            }
            if (seen) {
                cells.push_back({x, z});
            }
        }
    }
    return cells;
}

float RandomCoordinate()
{
    return static_cast<float>(platform::Rand() % 5000) / 10.0f - 250.0f;
}

} // namespace

TEST_CASE("the unit grid files by cell and leaves out what lies off the grid or is not a number")
{
    UnitGrid::Cell cell{7, 7};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    // Cell bounds.
    CHECK(UnitGrid::CellOf(-210.0f, 199.9f, cell));
    CHECK(cell == UnitGrid::Cell{0, 15});
    CHECK(UnitGrid::CellOf(24.9f, 25.0f, cell));
    CHECK(cell == UnitGrid::Cell{8, 9});
    for (const float bad : {200.0f, -225.0f, nan, inf, -inf, 1e30f, -1e30f}) {
        CHECK_FALSE(UnitGrid::CellOf(bad, 0.0f, cell));
        CHECK_FALSE(UnitGrid::CellOf(0.0f, bad, cell));
    }
    CHECK(cell == UnitGrid::Cell{8, 9});

    // Each frame files the battle afresh.
    units_test::BattleWorld world;
    Battle* battle = Battle::Instance();
    Unit& unit = world.AddUnit(world.AddArmy(), kSmashtor, -190.0f, 190.0f);
    for (const float x : {0.0f, nan, 1e30f, 200.0f}) {
        battle->GetWorldObjects().push_back(std::make_unique<MeshObject>(x, 0.0f, 10.0f, ObjectMeshType::Rock));
    }
    UnitGrid grid;
    grid.Rebuild(*battle);
    CHECK(grid.GetUnits({0, 15}) == std::vector<Unit*>{&unit});
    CHECK(grid.GetObjects({8, 8}) == std::vector<MeshObject*>{battle->GetWorldObjects()[0].get()});
    std::size_t filed = 0;
    for (int z = 0; z < UnitGrid::kCells; ++z) {
        for (int x = 0; x < UnitGrid::kCells; ++x) {
            filed += grid.GetUnits({x, z}).size() + grid.GetObjects({x, z}).size();
        }
    }
    CHECK(filed == 2);

    unit.SetPosition({30.0f, 0.0f, -30.0f});
    grid.Rebuild(*battle);
    CHECK(grid.GetUnits({0, 15}).empty());
    CHECK(grid.GetUnits({9, 6}) == std::vector<Unit*>{&unit});
}

TEST_CASE("the visible cells are those with a grid corner under the view, all of them with the horizon in sight")
{
    UnitGrid grid;
    // A view wholly inside one cell touches none of its corners and draws nothing.
    grid.FindVisibleCells({{{-1, 0, -1}, {1, 0, -1}, {-1, 0, 1}, {1, 0, 1}}});
    CHECK(grid.GetVisibleCells() == std::vector<UnitGrid::Cell>{{7, 7}, {8, 7}, {7, 8}, {8, 8}});
    grid.FindVisibleCells({{{5, 0, 5}, {20, 0, 5}, {5, 0, 20}, {20, 0, 20}}});
    CHECK(grid.GetVisibleCells().empty());
    // A ground point that is not a number, or the horizon in sight, draws every cell.
    grid.FindVisibleCells({{{-1, 0, -1}, {1, 0, -1}, {std::numeric_limits<float>::quiet_NaN(), 0, 1}, {1, 0, 1}}});
    CHECK(grid.GetVisibleCells().size() == UnitGrid::kCells * UnitGrid::kCells);
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(400.0f, 3, units_test::Flat, -5.0f)));
    PickView level;
    level.view = MatrixLookAtLH({0, 10, -100}, {0, 10, 0}, {0, 1, 0});
    level.projection = MatrixPerspectiveFovLH(kPi / 4.0f, 4.0f / 3.0f, 2.0f, 800.0f);
    level.eye = {0, 10, -100};
    grid.FindVisibleCells({{{5, 0, 5}, {20, 0, 5}, {5, 0, 20}, {20, 0, 20}}});
    grid.FindVisibleCells(terrain, level, 1024.0f, 768.0f);
    CHECK(grid.GetVisibleCells().size() == UnitGrid::kCells * UnitGrid::kCells);

    // Random views agree with a brute-force check.
    platform::SeedRand(99);
    for (int view = 0; view < 300; ++view) {
        std::array<Vec3, 4> ground{};
        for (Vec3& point : ground) {
            point = {RandomCoordinate(), static_cast<float>(platform::Rand() % 40) - 20.0f, RandomCoordinate()};
        }
        grid.FindVisibleCells(ground);
        REQUIRE(grid.GetVisibleCells() == BruteForceVisible(ground));
    }
}

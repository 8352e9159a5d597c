// UnitGrid: filing by cell, the corners under the view, and the drawing
// loops over the visible cells.
#include "render/UnitGrid.h"

#include "game/Army.h"
#include "game/Battle.h"
#include "game/Flag.h"
#include "game/MeshObject.h"
#include "game/Unit.h"
#include "platform/math/Matrix.h"
#include "render/UnitDrawer.h"
#include "render/WorldObjectDrawer.h"
#include "world/Terrain.h"

#include <algorithm>
#include <cmath>

namespace {

// The grid index of one coordinate, or -1. The range is tested on the float
// before it is converted, so a huge or non-finite position cannot overflow
// the conversion.
int CellIndex(float coordinate)
{
    const float offset = (coordinate + UnitGrid::kHalfSize) / UnitGrid::kCellSize;
    if (!(offset > -1.0f && offset < static_cast<float>(UnitGrid::kCells))) {
        return -1;
    }
    return static_cast<int>(offset);
}

// The grid corners stand at this height and look straight down onto the
// ground points under the screen's corners.
constexpr float kCornerRayHeight = 100.0f;

} // namespace

UnitGrid::UnitGrid()
{
    visible_.reserve(kCells * kCells);
}

bool UnitGrid::CellOf(float x, float z, Cell& out)
{
    const int cellX = CellIndex(x);
    const int cellZ = CellIndex(z);
    if (cellX < 0 || cellZ < 0) {
        return false;
    }
    out = {cellX, cellZ};
    return true;
}

void UnitGrid::Rebuild(Battle& battle)
{
    // Emptied, not freed: the cells keep their room from frame to frame.
    for (std::vector<Unit*>& cell : units_) {
        cell.clear();
    }
    for (std::vector<MeshObject*>& cell : objects_) {
        cell.clear();
    }
    for (const std::unique_ptr<Army>& army : battle.GetArmies()) {
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            const Vec3 at = unit->GetPosition();
            Cell cell;
            if (CellOf(at.x, at.z, cell)) {
                units_[Index(cell)].push_back(unit.get());
            }
        }
    }
    for (const std::unique_ptr<MeshObject>& object : battle.GetWorldObjects()) {
        FileObject(*object);
    }
    for (const std::unique_ptr<Flag>& flag : battle.GetFlags()) {
        FileObject(*flag);
    }
}

void UnitGrid::FileObject(MeshObject& object)
{
    const Vec3 at = object.GetPosition();
    Cell cell;
    if (CellOf(at.x, at.z, cell)) {
        objects_[Index(cell)].push_back(&object);
    }
}

void UnitGrid::FindVisibleCells(const std::array<Vec3, 4>& ground)
{
    // A point that is not a number bounds nothing (and would pass every
    // test of the ray against its triangles).
    if (!std::all_of(ground.begin(), ground.end(), [](const Vec3& point) { return Vec3IsFinite(point); })) {
        MakeAllVisible();
        return;
    }
    // The four triangles over the four points cover the view's quadrilateral
    // whichever way round the corners lie.
    const std::array<std::array<int, 3>, 4> triangles = {{{0, 1, 2}, {1, 2, 3}, {2, 3, 0}, {3, 0, 1}}};
    const Vec3 down{0.0f, -1.0f, 0.0f};
    for (int x = 0; x < kCorners; ++x) {
        for (int z = 0; z < kCorners; ++z) {
            const Vec3 origin{x * kCellSize - kHalfSize, kCornerRayHeight, z * kCellSize - kHalfSize};
            bool hit = false;
            for (const std::array<int, 3>& t : triangles) {
                float u = 0.0f;
                float v = 0.0f;
                float distance = 0.0f;
                if (IntersectTriangle(ground[t[0]], ground[t[1]], ground[t[2]], origin, down, u, v, distance)) {
                    hit = true;
                    break;
                }
            }
            corners_[static_cast<std::size_t>(x * kCorners + z)] = hit;
        }
    }
    visible_.clear();
    for (int z = 0; z < kCells; ++z) {
        for (int x = 0; x < kCells; ++x) {
            if (CornerVisible(x, z) || CornerVisible(x + 1, z) || CornerVisible(x, z + 1) ||
                CornerVisible(x + 1, z + 1)) {
                visible_.push_back({x, z});
            }
        }
    }
}

void UnitGrid::FindVisibleCells(const Terrain& terrain, const PickView& view, float width, float height)
{
    const std::array<Vec2, 4> screen = {
        {{0.0f, 0.0f}, {width - 1.0f, 0.0f}, {0.0f, height - 1.0f}, {width - 1.0f, height - 1.0f}}};
    std::array<Vec3, 4> ground{};
    for (std::size_t i = 0; i < screen.size(); ++i) {
        if (!terrain.ScreenToTerrain(view, screen[i].x, screen[i].y, ground[i])) {
            MakeAllVisible();
            return;
        }
    }
    FindVisibleCells(ground);
}

void UnitGrid::MakeAllVisible()
{
    corners_.fill(true);
    visible_.clear();
    for (int z = 0; z < kCells; ++z) {
        for (int x = 0; x < kCells; ++x) {
            visible_.push_back({x, z});
        }
    }
}

void UnitGrid::DrawUnits(UnitDrawer& drawer) const
{
    for (const Cell& cell : visible_) {
        for (const Unit* unit : units_[Index(cell)]) {
            drawer.Draw(*unit);
        }
    }
}

void UnitGrid::DrawObjects(WorldObjectDrawer& drawer) const
{
    for (const Cell& cell : visible_) {
        for (const MeshObject* object : objects_[Index(cell)]) {
            drawer.DrawMeshObject(*object);
        }
    }
}

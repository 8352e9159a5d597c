// Which units, scenery and flags the camera can see, by whole cells of a
// 16 x 16 grid over the square of side 400 about the origin. Every frame the
// grid is emptied and refilled from the battle (so a unit that died or moved
// is dropped or refiled), the grid corners lying under the camera's view of
// the ground are marked, and every cell with a marked corner is drawn.
//
// Culling is by whole cells: a unit in a visible cell is drawn even when it
// is outside the view, and a cell none of whose corners is under the view
// is skipped even when the view lies wholly inside it. Anything outside the
// square (and any position that is not a number) is never drawn, so maps
// keep to a size of at most 400.
#pragma once

#include "platform/math/Vector.h"

#include <array>
#include <vector>

class Battle;
class MeshObject;
class Terrain;
class Unit;
class UnitDrawer;
class WorldObjectDrawer;
struct PickView;

class UnitGrid {
public:
    static constexpr int kCells = 16;
    static constexpr float kHalfSize = 200.0f;
    static constexpr float kCellSize = 2.0f * kHalfSize / kCells;

    struct Cell {
        int x = 0;
        int z = 0;
        bool operator==(const Cell&) const = default;
    };

    UnitGrid();

    // The cell of ground point (x, z): each index is the offset from -200 in
    // cells, truncated toward zero, so a point just beyond -200 still falls
    // in the edge cell. False for a point outside the grid or not finite.
    static bool CellOf(float x, float z, Cell& out);

    // Files every live unit of every army, then the scenery, then the flags.
    void Rebuild(Battle& battle);

    // Marks the grid corners under the view and lists the visible cells, z
    // outer and x inner. ground holds the ground points under the screen's
    // corners: top left, top right, bottom left, bottom right. Points that
    // are not all numbers bound nothing, and every cell is drawn.
    void FindVisibleCells(const std::array<Vec3, 4>& ground);
    // The same from the camera's view of terrain, picture width x height.
    // When a screen corner shows no ground (the horizon is in sight) the
    // view has no bounds on the ground, and every cell is drawn.
    void FindVisibleCells(const Terrain& terrain, const PickView& view, float width, float height);
    // Every cell, in the same order.
    void MakeAllVisible();

    // In the order of the visible cells: each unit of a cell in its army's
    // colour; each scenery object and flag of a cell.
    void DrawUnits(UnitDrawer& drawer) const;
    void DrawObjects(WorldObjectDrawer& drawer) const;

    const std::vector<Cell>& GetVisibleCells() const { return visible_; }
    const std::vector<Unit*>& GetUnits(const Cell& cell) const { return units_[Index(cell)]; }
    const std::vector<MeshObject*>& GetObjects(const Cell& cell) const { return objects_[Index(cell)]; }

private:
    static constexpr int kCorners = kCells + 1;

    static std::size_t Index(const Cell& cell) { return static_cast<std::size_t>(cell.z * kCells + cell.x); }
    bool CornerVisible(int x, int z) const { return corners_[static_cast<std::size_t>(x * kCorners + z)]; }
    void FileObject(MeshObject& object);

    std::array<std::vector<Unit*>, kCells * kCells> units_;
    std::array<std::vector<MeshObject*>, kCells * kCells> objects_;
    // Indexed [corner x][corner z].
    std::array<bool, kCorners * kCorners> corners_{};
    std::vector<Cell> visible_;
};

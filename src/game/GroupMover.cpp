// GroupMover: formation layouts and the moves that use them.
#include "game/GroupMover.h"

#include "game/Battle.h"
#include "game/Unit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kSquareSpacing = 2.2f;
// pi/2 and pi as single-precision values, so every machine lays out the
// same points.
constexpr float kHalfPi = 1.5707963705062866f;
constexpr float kPiF = 3.1415927410125732f;

// A turn about +y by angle, left-handed: +z turns toward +x.
Vec3 TurnAboutY(const Vec3& v, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}

std::vector<Vec3> SquarePoints(std::size_t count, const Vec3& point)
{
    std::vector<Vec3> points;
    const auto side = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(count))));
    const float half = count == 1 ? 0.0f : static_cast<float>(side) * kSquareSpacing / 2.0f;
    for (std::size_t i = 0; i < side && points.size() < count; ++i) {
        for (std::size_t j = 0; j < side && points.size() < count; ++j) {
            points.emplace_back(point.x + static_cast<float>(i) * kSquareSpacing - half, point.y,
                                point.z + static_cast<float>(j) * kSquareSpacing - half);
        }
    }
    return points;
}

struct LineShape {
    std::size_t rowWidth = 10;
    float spacing = 2.2f;
    float rowGap = 2.2f;
    float fullHalfWidth = 11.0f;
    bool staggered = false;
};

LineShape ShapeOf(FormationKind formation)
{
    switch (formation) {
    case kFormationRows20:
        return {20, 4.4f, 4.4f, 22.0f, false};
    case kFormationStaggered:
        return {20, 4.4f, 8.8f, 22.0f, true};
    default:
        return {};
    }
}

std::vector<Vec3> LinePoints(FormationKind formation, std::size_t count, const Vec3& point, const Vec3& rowDirection)
{
    const LineShape shape = ShapeOf(formation);
    const Vec3 across = Vec3(rowDirection.x, 0.0f, rowDirection.z);
    const Vec3 back = TurnAboutY(across, kHalfPi);
    // Short rows are centred as if 2.2 apart, whatever their spacing.
    const float half = count < shape.rowWidth ? static_cast<float>(std::min(count, shape.rowWidth)) * 2.2f / 2.0f
                                              : shape.fullHalfWidth;
    std::vector<Vec3> points;
    for (std::size_t row = 0; points.size() < count; ++row) {
        for (std::size_t column = 0; column < shape.rowWidth && points.size() < count; ++column) {
            const float c = static_cast<float>(column);
            const float setBack = shape.staggered ? shape.spacing * static_cast<float>(column % 2) : 0.0f;
            const float depth = shape.rowGap * static_cast<float>(row) + setBack;
            points.push_back(point + across * (shape.spacing * c) - across * half + back * depth);
        }
    }
    return points;
}

} // namespace

void GroupMover::SetFormation(std::uint32_t kind)
{
    if (kind < kFormationCount) {
        formation_ = static_cast<FormationKind>(kind);
    }
}

void GroupMover::SetMoveKind(std::uint32_t kind)
{
    if (kind < kMoveKindCount) {
        moveKind_ = static_cast<MoveKind>(kind);
    }
}

void GroupMover::MoveUnit(Unit& unit, const Vec3& point) const
{
    MoveUnitBy(moveKind_, unit, point);
}

void GroupMover::MoveGroup(std::span<Unit* const> units, const Vec3& point, const Vec3& rowDirection) const
{
    MoveInFormation(formation_, moveKind_, units, point, rowDirection);
}

void GroupMover::MoveUnitBy(MoveKind kind, Unit& unit, const Vec3& point)
{
    if (kind == kMoveAppend) {
        unit.AddWaypoint(point);
    } else {
        unit.MoveTo(point);
    }
}

void GroupMover::MoveInFormation(FormationKind formation, MoveKind kind, std::span<Unit* const> units,
                                 const Vec3& point, const Vec3& rowDirection)
{
    const std::vector<Vec3> points = FormationPoints(formation, units.size(), point, rowDirection);
    for (std::size_t i = 0; i < points.size(); ++i) {
        Unit& unit = *units[i];
        MoveUnitBy(kind, unit, points[i]);
        if (formation != kFormationSquare) {
            continue;
        }
        if (unit.GetOrder() != kOrderBusy && unit.GetOrder() != kOrderEngage) {
            unit.SetOrder(kOrderMove, false);
        }
        if (BattleNetwork* const network = Battle::Instance()->GetNetwork()) {
            network->MoveOrder(unit, points[i]);
        }
    }
}

void GroupMover::PlaceInSquare(std::span<Unit* const> units, const Vec3& point)
{
    const std::vector<Vec3> points = SquarePoints(units.size(), point);
    for (std::size_t i = 0; i < points.size(); ++i) {
        units[i]->SetPosition(points[i]);
        units[i]->MoveTo(points[i]);
        if (BattleNetwork* const network = Battle::Instance()->GetNetwork()) {
            network->MoveOrder(*units[i], points[i]);
        }
    }
}

std::vector<Vec3> GroupMover::FormationPoints(FormationKind formation, std::size_t count, const Vec3& point,
                                              const Vec3& rowDirection)
{
    switch (formation) {
    case kFormationSquare:
        return SquarePoints(count, point);
    case kFormationRows10:
    case kFormationRows20:
    case kFormationStaggered:
        return LinePoints(formation, count, point, rowDirection);
    default:
        return {};
    }
}

Vec3 GroupMover::RowDirection(const Vec3& drag, const Vec3& cameraLook)
{
    const Vec3 c = cameraLook;
    float phi = std::atan2(std::fabs(c.z), std::fabs(c.x));
    if (c.z < 0.0f && c.x > 0.0f) {
        phi = kPiF - phi;
    } else if (c.z < 0.0f && c.x < 0.0f) {
        phi = phi + kPiF;
    } else if (c.z > 0.0f && c.x < 0.0f) {
        phi = 2.0f * kPiF - phi;
    }
    Vec3 row = TurnAboutY(drag, -phi - kHalfPi);
    row.y = 0.0f;
    return row;
}

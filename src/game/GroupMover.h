// Moves of units and of groups in formation. The player's keys choose a
// formation and whether a move replaces or extends a unit's route; only the
// player's own orders follow those choices. Army placement and every other
// caller name the formation and move kind they want, so nothing the player
// holds down shapes a computer army or a unit's own behaviour.
#pragma once

#include "core/Singleton.h"
#include "platform/math/Vector.h"

#include <cstdint>
#include <span>
#include <vector>

class Unit;

enum FormationKind : std::uint32_t {
    kFormationSquare = 0,    // a square grid on the world axes, 2.2 apart
    kFormationRows10 = 1,    // rows of 10, 2.2 apart, rows 2.2 apart
    kFormationRows20 = 2,    // rows of 20, 4.4 apart, rows 4.4 apart
    kFormationStaggered = 3, // rows of 20, 4.4 apart, every second unit 4.4 back, rows 8.8 apart
    kFormationNone = 4,      // nobody moves
    kFormationCount = 5,
};

enum MoveKind : std::uint32_t {
    kMoveReplace = 0, // the point replaces the route
    kMoveAppend = 1,  // the point is queued after the route
    kMoveKindCount = 2,
};

class GroupMover : public Singleton<GroupMover> {
    friend class Singleton<GroupMover>;

public:
    // The player's choices; values out of range are ignored.
    void SetFormation(std::uint32_t kind);
    void ResetFormation() { formation_ = kFormationSquare; }
    FormationKind GetFormation() const { return formation_; }
    void SetMoveKind(std::uint32_t kind);
    MoveKind GetMoveKind() const { return moveKind_; }

    // The player's orders: one unit, or a group around point, by the
    // player's formation and move kind. rowDirection lays out the rows of
    // the line formations (see RowDirection).
    void MoveUnit(Unit& unit, const Vec3& point) const;
    void MoveGroup(std::span<Unit* const> units, const Vec3& point, const Vec3& rowDirection) const;

    static void MoveUnitBy(MoveKind kind, Unit& unit, const Vec3& point);
    // A group order in a named formation. The square sets Move on every
    // unit that is neither Busy nor engaging; the line layouts change no
    // order.
    static void MoveInFormation(FormationKind formation, MoveKind kind, std::span<Unit* const> units, const Vec3& point,
                                const Vec3& rowDirection);
    // An army's start: each unit stands at its place in the square at once
    // and is sent there.
    static void PlaceInSquare(std::span<Unit* const> units, const Vec3& point);

    // Where n units stand in a formation around point, in list order; none
    // for kFormationNone.
    static std::vector<Vec3> FormationPoints(FormationKind formation, std::size_t count, const Vec3& point,
                                             const Vec3& rowDirection);
    // The row direction of the line formations, from the player's drag on
    // the screen turned by where the camera looks (look-at minus eye), so a
    // drag to the right of the screen lines the units up across the view.
    static Vec3 RowDirection(const Vec3& drag, const Vec3& cameraLook);

private:
    GroupMover() = default;

    FormationKind formation_ = kFormationSquare;
    MoveKind moveKind_ = kMoveReplace;
};

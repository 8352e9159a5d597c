// Army: buying, removing and placing units, groups, strength and the
// per-frame pass over all armies.
#include "game/Army.h"

#include "game/Battle.h"
#include "game/GroupMover.h"
#include "game/Unit.h"
#include "game/UnitFactory.h"
#include "physics/Physics.h"

#include <algorithm>

namespace {

// Ids are one byte: the network names armies by it.
std::uint8_t gNextArmyId = 0;

const std::vector<Unit*> kNoUnits;

UnitRemovedHook gUnitRemovedHook = nullptr;

void NotifyUnitRemoved(Unit* unit)
{
    if (gUnitRemovedHook) {
        gUnitRemovedHook(unit);
    }
}

// Runs the order handler of every unit that passes the filter, in list
// order. A handler may remove its own unit (a death), which shortens the
// list under the walk: the walk then stays on the index that now holds the
// next unit.
template <typename Filter> void RunUnitOrders(const std::vector<std::unique_ptr<Unit>>& units, Filter filter)
{
    std::size_t i = 0;
    while (i < units.size()) {
        Unit* const unit = units[i].get();
        if (filter(*unit)) {
            unit->UpdateOrder();
        }
        if (i < units.size() && units[i].get() == unit) {
            ++i;
        }
    }
}

} // namespace

Army::Army() : id_(gNextArmyId++) {}

Army::~Army()
{
    DeleteUnits();
}

void Army::ResetIdCounter()
{
    gNextArmyId = 0;
}

void Army::SetUnitRemovedHook(UnitRemovedHook hook)
{
    gUnitRemovedHook = hook;
}

void Army::Update()
{
    RunUnitOrders(units_, [](const Unit&) { return true; });
}

void Army::SetPoints(std::uint32_t points)
{
    points_ = points;
    startingPoints_ = points;
    liveValue_ = 0;
}

bool Army::AddUnit(std::uint32_t type)
{
    if (!IsValidUnitType(type) || nextUnitIndex_ >= kMaxUnits) {
        return false;
    }
    const UnitType unitType = static_cast<UnitType>(type);
    const std::uint32_t cost = GetUnitCost(unitType);
    if (points_ < cost) {
        return false;
    }
    points_ -= cost;
    liveValue_ += cost;
    boughtValue_ += cost;
    const auto index = static_cast<std::uint8_t>(nextUnitIndex_++);
    Unit* const unit = units_.emplace_back(CreateUnit(0.0f, 0.0f, 0.0f, unitType, this, index, id_)).get();
    Physics::Instance()->AddObject(unit);
    Physics::Instance()->AddCallback(
        unit, [](Physical* body) { static_cast<Unit*>(body)->OnArrived(); }, kEventArrived, false);
    return true;
}

void Army::RemoveUnit(std::uint8_t index)
{
    const auto found = std::find_if(units_.begin(), units_.end(),
                                    [index](const std::unique_ptr<Unit>& unit) { return unit->GetIndex() == index; });
    if (found == units_.end()) {
        return;
    }
    std::unique_ptr<Unit> unit = std::move(*found);
    units_.erase(found);
    const std::uint32_t cost = GetUnitCost(unit->GetType());
    points_ += cost;
    liveValue_ -= std::min(liveValue_, cost);
    NotifyUnitRemoved(unit.get());
    Physics::Instance()->RemoveObject(unit.get());
    dead_.push_back(std::move(unit));
}

Unit* Army::FindUnit(std::uint8_t index) const
{
    for (const std::unique_ptr<Unit>& unit : units_) {
        if (unit->GetIndex() == index) {
            return unit.get();
        }
    }
    return nullptr;
}

void Army::DeleteUnits()
{
    // The dead were reported as they died; the live go now.
    for (const std::unique_ptr<Unit>& unit : units_) {
        NotifyUnitRemoved(unit.get());
    }
    for (std::vector<Unit*>& group : groups_) {
        group.clear();
    }
    groups_.clear();
    for (std::vector<Unit*>& list : unitsByType_) {
        list.clear();
    }
    // A unit still registered leaves the physics as it is destroyed.
    units_.clear();
    dead_.clear();
}

double Army::GetStrength() const
{
    if (boughtValue_ == 0) {
        return 0.0;
    }
    return static_cast<double>(liveValue_) / static_cast<double>(boughtValue_);
}

std::optional<Vec3> Army::GetCentre() const
{
    if (units_.empty()) {
        return std::nullopt;
    }
    Vec3 sum;
    for (const std::unique_ptr<Unit>& unit : units_) {
        sum += unit->GetPosition();
    }
    return sum / static_cast<float>(units_.size());
}

bool Army::IsLive(const Unit* unit) const
{
    return std::any_of(units_.begin(), units_.end(),
                       [unit](const std::unique_ptr<Unit>& live) { return live.get() == unit; });
}

std::optional<Vec3> Army::GetGroupCentre(std::int32_t group) const
{
    Vec3 sum;
    int count = 0;
    for (const Unit* const unit : GetGroup(group)) {
        if (IsLive(unit)) {
            sum += unit->GetPosition();
            ++count;
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    return sum / static_cast<float>(count);
}

const std::vector<Unit*>& Army::GetGroup(std::int32_t group) const
{
    if (group < 0 || static_cast<std::size_t>(group) >= groups_.size()) {
        return kNoUnits;
    }
    return groups_[static_cast<std::size_t>(group)];
}

void Army::Place(float x, float y, float z)
{
    position_ = Vec3(x, y, z);
    std::vector<Unit*> list;
    list.reserve(units_.size());
    for (const std::unique_ptr<Unit>& unit : units_) {
        list.push_back(unit.get());
    }
    GroupMover::PlaceInSquare(list, position_);

    const auto unitCount = static_cast<std::int32_t>(list.size());
    groupCount_ = unitCount == 0 ? 0 : std::clamp(groupCount_, 1, unitCount);

    for (std::vector<Unit*>& byType : unitsByType_) {
        byType.clear();
    }
    for (Unit* const unit : list) {
        unitsByType_[unit->GetType()].push_back(unit);
    }

    // Dealt like cards from the back of the list: group 0 takes the last
    // unit, group 1 the one before, and round again.
    groups_.assign(static_cast<std::size_t>(groupCount_), {});
    while (!list.empty()) {
        for (std::vector<Unit*>& group : groups_) {
            if (list.empty()) {
                break;
            }
            group.push_back(list.back());
            list.pop_back();
        }
    }
}

void UpdateArmies(Battle& battle)
{
    if (battle.GetMatchState() == kMatchPlanning) {
        return;
    }
    std::vector<std::unique_ptr<Army>>& armies = battle.GetArmies();
    if (battle.GetAuthority()) {
        for (const std::unique_ptr<Army>& army : armies) {
            army->Update();
        }
        return;
    }
    for (const std::unique_ptr<Army>& army : armies) {
        RunUnitOrders(army->GetUnits(), [](const Unit& unit) { return unit.GetOrder() == kOrderAttack; });
    }
}

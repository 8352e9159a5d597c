// One side of a battle: a human player's force or, through a derived class,
// a computer's. It buys its units from a point budget, owns them, places
// them, deals them into groups and keeps the statistics the match rules
// score. Units that die leave the live list for the dead one and stay
// allocated until the army is destroyed at the match's end, because targets,
// groups, projectiles and the timed queues still point at them.
#pragma once

#include "game/UnitType.h"
#include "platform/math/Vector.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Battle;
class Unit;

// Told of each unit that leaves an army's live list, when it dies and when
// the match's end frees it: the player's selection, which lives above the
// simulation, must not keep it. The application sets it.
using UnitRemovedHook = void (*)(Unit* unit);

class Army {
public:
    // Armies are named by one byte on the network.
    static constexpr std::size_t kMaxUnits = 256;
    static constexpr std::int32_t kDefaultGroupCount = 100;

    Army();
    // Computer armies are destroyed through this base. Frees every unit,
    // live and dead.
    virtual ~Army();
    Army(const Army&) = delete;
    Army& operator=(const Army&) = delete;

    // The army's work for one frame: every live unit runs its order.
    virtual void Update();

    // The next army made takes id 0 again.
    static void ResetIdCounter();
    // Null (the default) tells nobody.
    static void SetUnitRemovedHook(UnitRemovedHook hook);

    // The budget: points left, and no unit bought or alive yet.
    void SetPoints(std::uint32_t points);
    std::uint32_t GetPoints() const { return points_; }
    std::uint32_t GetStartingPoints() const { return startingPoints_; }
    std::uint32_t GetLiveValue() const { return liveValue_; }
    std::uint32_t GetBoughtValue() const { return boughtValue_; }

    void SetName(const std::string& name) { name_ = name; }
    const std::string& GetName() const { return name_; }
    // 0x00RRGGBB; the top byte is ignored.
    void SetColour(std::uint32_t colour) { colour_ = colour; }
    std::uint32_t GetColour() const { return colour_; }
    void SetComputer(bool computer) { computer_ = computer; }
    bool IsComputer() const { return computer_; }
    std::uint8_t GetId() const { return id_; }
    Vec3 GetPosition() const { return position_; }

    std::int32_t GetFlagCount() const { return flagCount_; }
    void SetFlagCount(std::int32_t count) { flagCount_ = count; }
    float GetFlagTime() const { return flagTime_; }
    void SetFlagTime(float seconds) { flagTime_ = seconds; }
    std::int32_t GetDamageDealt() const { return damageDealt_; }
    std::int32_t GetDamageTaken() const { return damageTaken_; }
    void AddDamageDealt(std::int32_t value) { damageDealt_ += value; }
    void AddDamageTaken(std::int32_t value) { damageTaken_ += value; }

    // Buys a unit of type at the origin and registers it with the physics.
    // False, with nothing changed, for an unknown type, too few points, or
    // once kMaxUnits units were bought.
    bool AddUnit(std::uint32_t type);
    // The live unit with that index leaves the army and the physics for the
    // dead list, and its cost comes back; an unknown index does nothing.
    void RemoveUnit(std::uint8_t index);
    // The live unit with that index, or null.
    Unit* FindUnit(std::uint8_t index) const;
    // Every unit, live and dead, leaves the physics and is freed.
    void DeleteUnits();

    const std::vector<std::unique_ptr<Unit>>& GetUnits() const { return units_; }
    std::size_t GetDeadCount() const { return dead_.size(); }

    // The share of what was bought that still lives; 0 for an army that
    // bought nothing.
    double GetStrength() const;
    // The mean position of the live units; none when no unit lives.
    std::optional<Vec3> GetCentre() const;
    // The mean position of group's live units; none when none lives.
    std::optional<Vec3> GetGroupCentre(std::int32_t group) const;

    // Puts the units in a square around (x, y, z) and deals them into groups.
    void Place(float x, float y, float z);
    // Clamped by Place to the number of units.
    void SetGroupCount(std::int32_t count) { groupCount_ = count; }
    std::int32_t GetGroupCount() const { return groupCount_; }
    // The units dealt to group, dead ones included; empty out of range.
    const std::vector<Unit*>& GetGroup(std::int32_t group) const;
    const std::vector<Unit*>& GetUnitsOfType(UnitType type) const { return unitsByType_[type]; }

private:
    bool IsLive(const Unit* unit) const;

    std::uint32_t points_ = 0;
    std::uint32_t liveValue_ = 0;
    std::uint32_t startingPoints_ = 0;
    std::uint32_t boughtValue_ = 0;
    std::vector<std::unique_ptr<Unit>> units_;
    Vec3 position_;
    std::uint32_t colour_ = 0;
    std::string name_;
    float flagTime_ = 0.0f;
    std::int32_t flagCount_ = 0;
    std::int32_t damageDealt_ = 0;
    std::int32_t damageTaken_ = 0;
    bool computer_ = false;
    std::uint8_t id_ = 0;
    std::uint32_t nextUnitIndex_ = 0;
    std::vector<std::unique_ptr<Unit>> dead_;
    std::vector<std::vector<Unit*>> groups_;
    std::int32_t groupCount_ = kDefaultGroupCount;
    std::array<std::vector<Unit*>, kUnitTypeCount> unitsByType_;
};

// The armies' work for one frame: nothing while the match is being planned;
// with authority every army's Update; otherwise only the attacks of units in
// Attack (everything else is moved by the host's unit states).
void UpdateArmies(Battle& battle);

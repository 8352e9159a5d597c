// The combat sense of a computer army: on each re-plan it looks for an enemy
// army that has come close and answers with a flank (in Territories, squads
// that meet other squads engage them), and, more often as the game time
// runs out, marches the whole army on the nearest live enemy. Its contact
// flag holds the army's plan back until the strategy engages.
#pragma once

#include "game/UnitOrder.h"
#include "platform/math/Vector.h"

#include <cstdint>
#include <vector>

class Army;
class ComputerArmy;

class ArmyAIController {
public:
    explicit ArmyAIController(ComputerArmy& army);

    // The first call acts at once, later ones only after more than the
    // shared re-plan interval.
    void Update();

    // When order is given every unit that is not dying takes it; then every
    // group whose first unit is not idle goes to point.
    void IssueOrders(const Vec3& point, const UnitOrder* order);
    // The other armies that still have units, live ones nearest first, the
    // beaten ones (strength ratio at most 0.001) last.
    std::vector<Army*> GetNearestArmies() const;
    // The nearest army that is neither beaten nor without units, or null.
    Army* GetNearestLiveArmy() const;

    // The army's units take position around its centre facing the enemy
    // at enemyCentre: melee units ahead on either side in lines, shooters
    // behind in a staggered line, the artillery behind, the Detagons at the
    // centre.
    void Flank(const Vec3& enemyCentre);

    bool InContact() const { return contact_; }
    void ClearContact() { contact_ = false; }
    float GetContactElapsed() const;
    // The share of the game time left at the last re-plan.
    float GetTimeLeftFraction() const { return timeLeft_; }

private:
    void CheckContact();
    void CheckSquadContact(const Army& other);
    void March();

    ComputerArmy& army_;
    std::int64_t contactTimer_ = 0;
    std::int64_t replanTimer_ = 0;
    float timeLeft_ = 1.0f;
    bool contact_ = false;
    bool firstUpdate_ = true;
};

// The unit searches over the battle's armies.
#include "game/UnitSearches.h"

#include "game/Army.h"
#include "game/Battle.h"
#include "game/Unit.h"

namespace {

constexpr float kEnemiesNearRadius = 20.0f;
constexpr double kNearestEnemyLimit = 1e6;

double Distance(const Vec3& a, const Vec3& b)
{
    return static_cast<double>(Vec3Length(a - b));
}

} // namespace

void FindEnemyUnitsNear(const Army* excluded, std::vector<Unit*>& out, const Vec3& point)
{
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        if (army.get() == excluded) {
            continue;
        }
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            if (Distance(unit->GetPosition(), point) < kEnemiesNearRadius) {
                out.push_back(unit.get());
            }
        }
    }
}

Unit* FindNearestEnemyUnit(const Army* excluded, const Vec3& point)
{
    Unit* nearest = nullptr;
    double best = kNearestEnemyLimit;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        if (army.get() == excluded) {
            continue;
        }
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            const double distance = Distance(unit->GetPosition(), point);
            if (distance < best) {
                best = distance;
                nearest = unit.get();
            }
        }
    }
    return nearest;
}

void FindArmyUnitsInAlertRadius(const Army* army, std::vector<Unit*>& out, const Unit& unit)
{
    if (army == nullptr) {
        return;
    }
    const double radius = GetAlertRadius(Battle::Instance()->GetMode());
    for (const std::unique_ptr<Unit>& comrade : army->GetUnits()) {
        if (Distance(comrade->GetPosition(), unit.GetPosition()) < radius) {
            out.push_back(comrade.get());
        }
    }
}

void FindNearestUnitOfArmy(const Army* army, const Physical& object, Unit*& out, double maxDistance)
{
    if (army == nullptr) {
        return;
    }
    double best = maxDistance;
    for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
        const double distance = Distance(unit->GetPosition(), object.GetPosition());
        if (distance < best) {
            best = distance;
            out = unit.get();
        }
    }
}

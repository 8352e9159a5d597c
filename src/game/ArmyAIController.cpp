// ArmyAIController: contact, flanking and the march on the nearest enemy.
#include "game/ArmyAIController.h"

#include "core/Stopwatch.h"
#include "game/AiStrategy.h"
#include "game/ComputerArmy.h"
#include "game/GameRules.h"
#include "game/GroupMover.h"
#include "game/TerritoriesStrategy.h"
#include "game/Unit.h"
#include "platform/Random.h"

#include <algorithm>

namespace {

constexpr float kEngageDistance = 50.0f;
constexpr float kSquadContactDistance = 20.0f;
constexpr float kPlayerContactDistance = 60.0f;
constexpr float kFlankStep = 10.0f;
constexpr double kBeatenRatio = 0.001;

std::vector<Unit*> LiveUnitsOf(const std::vector<Unit*>& units)
{
    std::vector<Unit*> live;
    for (Unit* const unit : units) {
        if (unit->GetOrder() != kOrderDying) {
            live.push_back(unit);
        }
    }
    return live;
}

void Engage(const std::vector<Unit*>& units, Unit& target)
{
    for (Unit* const unit : units) {
        if (unit->GetOrder() == kOrderDying) {
            continue;
        }
        unit->SetTargets({&target, target.GetArmy(), unit->GetTargets().lastAttacker});
        unit->SetOrder(kOrderEngage, false);
    }
}

} // namespace

ArmyAIController::ArmyAIController(ComputerArmy& army) : army_(army)
{
    TimerStart(contactTimer_);
    TimerStart(replanTimer_);
}

float ArmyAIController::GetContactElapsed() const
{
    return TimerElapsed(contactTimer_);
}

void ArmyAIController::Update()
{
    if (!firstUpdate_ && TimerElapsed(replanTimer_) <= AiStrategy::GetReplanInterval()) {
        return;
    }
    TimerStart(replanTimer_);
    timeLeft_ = GameRules::Instance()->GetTimeLeftFraction();
    CheckContact();
    March();
    firstUpdate_ = false;
}

// More likely as time runs out; never without a strategy to say how keen.
void ArmyAIController::March()
{
    const AiStrategy* const strategy = army_.GetStrategy();
    if (strategy == nullptr) {
        return;
    }
    const int roll = platform::Rand() % 100;
    if (static_cast<float>(roll) >= strategy->GetAggression() * (1.0f - timeLeft_)) {
        return;
    }
    const Army* const enemy = GetNearestLiveArmy();
    if (enemy == nullptr) {
        return;
    }
    const UnitOrder busy = kOrderBusy;
    IssueOrders(enemy->GetCentre().value_or(Vec3()), &busy);
}

void ArmyAIController::CheckContact()
{
    if (army_.IsFighting()) {
        return;
    }
    const std::optional<Vec3> centre = army_.GetCentre();
    if (!centre) {
        return;
    }
    const bool territories = GameRules::Instance()->GetMode() == kModeTerritories;
    for (const std::unique_ptr<Army>& other : GameRules::Instance()->GetArmies()) {
        if (other.get() == &army_) {
            continue;
        }
        if (territories) {
            CheckSquadContact(*other);
            continue;
        }
        // An army with no live unit stands nowhere.
        const std::optional<Vec3> otherCentre = other->GetCentre();
        if (!otherCentre || Vec3Length(*otherCentre - *centre) >= kEngageDistance) {
            continue;
        }
        const AiStrategy* const strategy = army_.GetStrategy();
        if (strategy != nullptr && strategy->IsDone() && !contact_) {
            Flank(*otherCentre);
            contact_ = true;
            TimerStart(contactTimer_);
        }
        return;
    }
}

void ArmyAIController::CheckSquadContact(const Army& other)
{
    const auto* const own = dynamic_cast<const TerritoriesStrategy*>(army_.GetStrategy());
    if (own == nullptr) {
        return;
    }
    const auto* const otherComputer = dynamic_cast<const ComputerArmy*>(&other);
    for (const TerritoriesStrategy::Squad& squad : own->GetSquads()) {
        if (otherComputer == nullptr) {
            const std::optional<Vec3> otherCentre = other.GetCentre();
            Unit* const first = other.FindUnit(0);
            if (otherCentre && first != nullptr && Vec3Length(*otherCentre - squad.centre) < kPlayerContactDistance) {
                Engage(squad.units, *first);
            }
            continue;
        }
        const auto* const theirs = dynamic_cast<const TerritoriesStrategy*>(otherComputer->GetStrategy());
        // An army that bought nothing has no group 0 to aim at.
        Unit* const target = FirstUnitOfGroup(*otherComputer, 0);
        if (theirs == nullptr || target == nullptr) {
            continue;
        }
        for (const TerritoriesStrategy::Squad& enemySquad : theirs->GetSquads()) {
            if (Vec3Length(enemySquad.centre - squad.centre) < kSquadContactDistance) {
                Engage(squad.units, *target);
            }
        }
    }
}

void ArmyAIController::IssueOrders(const Vec3& point, const UnitOrder* order)
{
    if (order != nullptr) {
        for (const std::unique_ptr<Unit>& unit : army_.GetUnits()) {
            unit->SetOrder(*order, false); // refused by dying units
        }
    }
    for (std::int32_t group = 0; group < army_.GetGroupCount(); ++group) {
        const Unit* const first = FirstUnitOfGroup(army_, group);
        if (first == nullptr || first->GetOrder() == kOrderIdle) {
            continue;
        }
        const std::vector<Unit*> units = LiveUnitsOf(army_.GetGroup(group));
        GroupMover::MoveInFormation(kFormationSquare, kMoveReplace, units, point, Vec3());
    }
}

std::vector<Army*> ArmyAIController::GetNearestArmies() const
{
    struct Entry {
        Army* army = nullptr;
        float distance = 0.0f;
        bool beaten = false;
    };
    const Vec3 centre = army_.GetCentre().value_or(Vec3());
    std::vector<Entry> entries;
    for (const std::unique_ptr<Army>& other : GameRules::Instance()->GetArmies()) {
        const std::optional<Vec3> otherCentre = other->GetCentre();
        if (other.get() == &army_ || !otherCentre) {
            continue;
        }
        const bool beaten = army_.GetStrengthRatio(*other) <= kBeatenRatio;
        entries.push_back({other.get(), Vec3Length(*otherCentre - centre), beaten});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.beaten != b.beaten) {
            return b.beaten;
        }
        return a.distance < b.distance;
    });
    std::vector<Army*> armies;
    for (const Entry& entry : entries) {
        armies.push_back(entry.army);
    }
    return armies;
}

Army* ArmyAIController::GetNearestLiveArmy() const
{
    const std::vector<Army*> armies = GetNearestArmies();
    if (armies.empty() || army_.GetStrengthRatio(*armies.front()) <= kBeatenRatio) {
        return nullptr;
    }
    return armies.front();
}

void ArmyAIController::Flank(const Vec3& enemyCentre)
{
    const Vec3 centre = army_.GetCentre().value_or(Vec3());
    const Vec3 d = Vec3Normalize(enemyCentre - centre);
    const Vec3 s(d.z, d.y, -d.x);
    struct Post {
        UnitType type;
        FormationKind formation;
        Vec3 point;
    };
    const Post posts[] = {
        {kSmashtor, kFormationRows10, centre + d * kFlankStep + s * kFlankStep},
        {kTriangoloid, kFormationRows10, centre + d * kFlankStep - s * kFlankStep},
        {kTrajectagon, kFormationStaggered, centre - d * kFlankStep},
        {kArtillerator, kFormationSquare, centre - d * kFlankStep},
        {kDetagon, kFormationSquare, centre},
    };
    for (const Post& post : posts) {
        const std::vector<Unit*> units = LiveUnitsOf(army_.GetUnitsOfType(post.type));
        GroupMover::MoveInFormation(post.formation, kMoveReplace, units, post.point, s);
    }
}

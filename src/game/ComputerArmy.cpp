// ComputerArmy: the frame, group orders and engagements of a computer army.
#include "game/ComputerArmy.h"

#include "game/AiStrategy.h"
#include "game/GroupMover.h"
#include "game/Unit.h"

ComputerArmy::ComputerArmy()
{
    SetComputer(true);
    SetGroupCount(kDefaultGroupCount);
}

ComputerArmy::~ComputerArmy() = default;

void ComputerArmy::Update()
{
    if (!GetUnits().empty()) {
        if (strategy_) {
            strategy_->Think();
        }
        if (controller_) {
            controller_->Update();
        }
    }
    Army::Update();
}

void ComputerArmy::SetupStrategies(GameMode mode)
{
    strategy_ = AiStrategy::Create(mode, *this);
    controller_ = std::make_unique<ArmyAIController>(*this);
}

void ComputerArmy::OrderGroup(const Vec3& point, std::int32_t group, bool force)
{
    const Unit* const first = FirstUnitOfGroup(*this, group);
    if (first == nullptr) {
        return;
    }
    const UnitOrder order = first->GetOrder();
    if (!force && order != kOrderIdle && order != kOrderMove) {
        return;
    }
    std::vector<Unit*> units;
    for (Unit* const unit : GetGroup(group)) {
        if (unit->GetOrder() != kOrderDying) {
            units.push_back(unit);
        }
    }
    GroupMover::MoveInFormation(kFormationSquare, kMoveReplace, units, point, Vec3());
}

void ComputerArmy::EngageArmy(Army& enemy)
{
    Unit* target = nullptr;
    for (const std::unique_ptr<Unit>& unit : enemy.GetUnits()) {
        if (unit->GetOrder() != kOrderDying) {
            target = unit.get();
            break;
        }
    }
    if (target == nullptr) {
        return;
    }
    for (const std::unique_ptr<Unit>& unit : GetUnits()) {
        if (unit->GetOrder() == kOrderDying) {
            continue;
        }
        unit->SetTargets({target, &enemy, unit->GetTargets().lastAttacker});
        unit->SetOrder(kOrderEngage, false);
    }
}

bool ComputerArmy::IsFighting() const
{
    for (const std::unique_ptr<Unit>& unit : GetUnits()) {
        if (unit->GetOrder() == kOrderEngage || unit->GetOrder() == kOrderAttack) {
            return true;
        }
    }
    return false;
}

double ComputerArmy::GetStrengthRatio(const Army& other) const
{
    const double own = GetStrength();
    return own > 0.0 ? other.GetStrength() / own : 0.0;
}

// Battle: the lists of the battle, the retiring of moving objects and the
// clearing at a match's end.
#include "game/Battle.h"

#include "game/AnimationCallbacks.h"
#include "game/Army.h"
#include "game/Flag.h"
#include "game/OrderQueue.h"
#include "game/Projectile.h"
#include "physics/Physics.h"
#include "world/Terrain.h"

#include <algorithm>
#include <limits>

Battle::Battle() = default;

Battle::~Battle() = default;

Army* Battle::AddArmy(std::unique_ptr<Army> army)
{
    armies_.push_back(std::move(army));
    return armies_.back().get();
}

Army* Battle::FindArmyById(std::uint32_t id) const
{
    for (const std::unique_ptr<Army>& army : armies_) {
        if (army->GetId() == id) {
            return army.get();
        }
    }
    return nullptr;
}

Projectile* Battle::AddProjectile(std::unique_ptr<Projectile> projectile)
{
    projectiles_.push_back(std::move(projectile));
    return projectiles_.back().get();
}

bool Battle::RetireProjectile(const Projectile* projectile)
{
    const auto found =
        std::find_if(projectiles_.begin(), projectiles_.end(),
                     [projectile](const std::unique_ptr<Projectile>& p) { return p.get() == projectile; });
    if (found == projectiles_.end()) {
        return false;
    }
    std::unique_ptr<Projectile> retired = std::move(*found);
    projectiles_.erase(found);
    Physics::Instance()->RemoveObject(retired.get());
    retired_.push_back(std::move(retired));
    return true;
}

void Battle::FreeRetired()
{
    retired_.clear();
}

void Battle::UpdateProjectiles()
{
    for (const std::unique_ptr<Projectile>& projectile : projectiles_) {
        projectile->Update();
    }
}

void Battle::Clear()
{
    AnimationCallbacks::Instance()->Clear();
    OrderQueue::Instance()->Clear();
    // Units and objects leave the physics as they are destroyed.
    armies_.clear();
    worldObjects_.clear();
    flags_.clear();
    projectiles_.clear();
    retired_.clear();
    for (StartSlot& slot : startSlots_) {
        slot.taken = false;
    }
    Physics::Instance()->Clear();
}

float Battle::GetWaterLevel() const
{
    return terrain_ != nullptr ? terrain_->GetWaterLevel() : -std::numeric_limits<float>::infinity();
}

void Battle::PlaySound(BattleSound sound, const Vec3& at) const
{
    if (soundHook_ != nullptr) {
        soundHook_(sound, at.x, at.y, at.z);
    }
}

void Battle::ShowEffect(BattleEffect effect, const Vec3& at, const Vec3& direction) const
{
    if (effectHook_ != nullptr) {
        effectHook_(effect, at, direction);
    }
}

float GetAlertRadius(GameMode mode)
{
    return mode == kModeTerritories ? 12.0f : 45.0f;
}

void Battle::DigCrater(float radius, const Vec3& centre) const
{
    if (diggable_ != nullptr) {
        diggable_->Crater(radius, centre);
    }
}

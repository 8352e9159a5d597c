// The battle being fought, in the menus' background or in a match: the
// armies, the scenery, the flags, the moving objects (projectiles and debris)
// and the eight start slots, with the few facts about the game that unit
// behaviour acts on (who holds authority, the mode, the match state, the
// ground). The application owns the frame and sets these facts; the
// simulation reads them here, never from the layers above it.
#pragma once

#include "core/Singleton.h"
#include "game/BattleNetwork.h"
#include "game/BattleEffect.h"
#include "game/BattleSound.h"
#include "platform/math/Vector.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class Army;
class Flag;
class MeshObject;
class Projectile;
class Terrain;

enum GameMode : std::uint32_t {
    kModeLastManOnTheHill = 0,
    kModeStealTheBacon = 1,
    kModeTerritories = 2,
    kModeBodyCount = 3,
    kModeKingOfTheHill = 4,
    kGameModeCount = 5,
};

enum MatchState : std::uint32_t {
    kMatchWaiting = 0,
    kMatchPlanning = 1,
    kMatchGameOn = 2,
    kMatchSuddenDeath = 3,
    kMatchGameOver = 4,
    kMatchStatistics = 5,
};

// Where an army may start. A slot the current map did not fill is never
// handed out, so no army starts at a previous map's position.
struct StartSlot {
    Vec3 position;
    bool filled = false;
    bool taken = false;
};
inline constexpr std::size_t kStartSlotCount = 8;

class Battle : public Singleton<Battle> {
    friend class Singleton<Battle>;

public:
    std::vector<std::unique_ptr<Army>>& GetArmies() { return armies_; }
    Army* AddArmy(std::unique_ptr<Army> army);
    // The first army with that id, or null.
    Army* FindArmyById(std::uint32_t id) const;

    std::vector<std::unique_ptr<MeshObject>>& GetWorldObjects() { return worldObjects_; }
    // The flags the mode plays with; the rules score them (GameRules::GetFlags).
    std::vector<std::unique_ptr<Flag>>& GetFlags() { return flags_; }
    std::array<StartSlot, kStartSlotCount>& GetStartSlots() { return startSlots_; }

    std::vector<std::unique_ptr<Projectile>>& GetProjectiles() { return projectiles_; }
    Projectile* AddProjectile(std::unique_ptr<Projectile> projectile);
    // Takes the projectile out of the moving objects and the physics. It is
    // freed by FreeRetired after the physics step, since the step that
    // reported its contact may still hold it. False when it was not listed.
    bool RetireProjectile(const Projectile* projectile);
    void FreeRetired();
    std::size_t GetRetiredCount() const { return retired_.size(); }
    // Every moving object's per-frame work, in list order.
    void UpdateProjectiles();

    // The match's end: the animation callbacks and the order queue first
    // (they point at units), then the armies with their units, the scenery,
    // the flags and the moving objects; the start slots come free and the
    // physics is emptied.
    void Clear();

    // This machine runs the full simulation (the host, or a game without
    // network). The NetworkManager sets it (NetworkManager::SetAuthority).
    bool GetAuthority() const { return authority_; }
    void SetAuthority(bool authority) { authority_ = authority; }
    // The rules' mode and match state (GameRules sets them as the match runs).
    GameMode GetMode() const { return mode_; }
    void SetMode(GameMode mode) { mode_ = mode < kGameModeCount ? mode : kModeLastManOnTheHill; }
    MatchState GetMatchState() const { return matchState_; }
    void SetMatchState(MatchState state) { matchState_ = state; }

    // The ground the battle stands on; may be null (no water then). Only a
    // ground handed over as diggable takes craters from explosions.
    void SetTerrain(const Terrain* terrain)
    {
        terrain_ = terrain;
        diggable_ = nullptr;
    }
    void SetDiggableTerrain(Terrain* terrain)
    {
        terrain_ = terrain;
        diggable_ = terrain;
    }
    const Terrain* GetTerrain() const { return terrain_; }
    // Presses a crater of radius into the ground at centre, when the ground
    // is diggable.
    void DigCrater(float radius, const Vec3& centre) const;
    float GetWaterLevel() const;

    void SetSoundHook(BattleSoundHook hook) { soundHook_ = hook; }
    // Borrowed; null sends nothing.
    void SetNetwork(BattleNetwork* network) { network_ = network; }
    BattleNetwork* GetNetwork() const { return network_; }
    void PlaySound(BattleSound sound, const Vec3& at) const;
    void SetEffectHook(BattleEffectHook hook) { effectHook_ = hook; }
    void ShowEffect(BattleEffect effect, const Vec3& at, const Vec3& direction) const;

private:
    Battle();
    ~Battle();

    std::vector<std::unique_ptr<Army>> armies_;
    std::vector<std::unique_ptr<MeshObject>> worldObjects_;
    std::vector<std::unique_ptr<Flag>> flags_;
    std::vector<std::unique_ptr<Projectile>> projectiles_;
    std::vector<std::unique_ptr<Projectile>> retired_;
    std::array<StartSlot, kStartSlotCount> startSlots_{};
    bool authority_ = true;
    GameMode mode_ = kModeLastManOnTheHill;
    MatchState matchState_ = kMatchGameOn;
    const Terrain* terrain_ = nullptr;
    Terrain* diggable_ = nullptr;
    BattleSoundHook soundHook_ = nullptr;
    BattleNetwork* network_ = nullptr;
    BattleEffectHook effectHook_ = nullptr;
};

// The radius within which a hit unit's idle comrades join its fight: 45.0,
// or 12.0 in Territories, where armies stand close around many flags.
float GetAlertRadius(GameMode mode);

// Game: construction, start-up, settings and options.
#include "app/Game.h"

#include "core/Stopwatch.h"
#include "game/Battle.h"
#include "game/BattleCollisions.h"
#include "physics/Physics.h"
#include "platform/Random.h"
#include "platform/SystemTime.h"
#include "sound/SoundEffect.h"
#include "sound/SoundManager.h"

namespace {

void PlayExplosionSound(float x, float y, float z)
{
    SoundManager::Instance()->PlayPositionalSound(kSoundExplosion, x, y, z);
}

SoundEffect EffectOf(BattleSound sound)
{
    switch (sound) {
    case BattleSound::kShot:
        return kSoundShot;
    case BattleSound::kPlop:
        return kSoundPlop;
    case BattleSound::kSwoosh:
        return kSoundSwoosh;
    case BattleSound::kHit:
        return kSoundHit;
    case BattleSound::kProjectileHit:
        return kSoundProjectileHit;
    case BattleSound::kWhir:
        return kSoundWhir;
    case BattleSound::kFallApart:
        return kSoundFallApart;
    }
    return kSoundHit;
}

void PlayBattleSound(BattleSound sound, float x, float y, float z)
{
    SoundManager::Instance()->PlayPositionalSound(EffectOf(sound), x, y, z);
}

} // namespace

// The bodies and the battle stand on this game's ground, their blasts and
// blows are heard, and the physics' contacts reach the units.
Game::Game()
{
    Physics::Instance()->SetTerrain(&terrain_);
    Physics::Instance()->SetExplosionSound(PlayExplosionSound);
    Physics::Instance()->SetCollisionHandlers(GetBattleCollisionHandlers());
    Battle::Instance()->SetTerrain(&terrain_);
    Battle::Instance()->SetSoundHook(PlayBattleSound);
}

void Game::Init()
{
    // The first use of the sound manager opens the sound output.
    SoundManager::Instance()->LoadEffects();

    TimerStart(frameStart_);
    TimerStart(splashStart_);

    settings_.fill(0);
    settings_[kSettingWidth] = 1024;
    settings_[kSettingHeight] = 768;
    settings_[kSettingWindowed] = 0;
    settings_[kSettingPresentInterval] = kPresentIntervalImmediate;
    settings_[kSettingGameState] = kStateSplash;
    settings_[kSettingEditor] = 0;

    stateHandlers_[kStateSplash] = &Game::SplashFrame;
    stateHandlers_[kStateMenus] = &Game::MenuFrame;
    stateHandlers_[kStateIdle] = &Game::IdleFrame;
    stateHandlers_[kStateMatch] = &Game::PlayFrame;

    platform::SeedRand(static_cast<unsigned>(platform::GetUnixTime()));

    mapList_.clear();
    mapList_.push_back("Desert.kvm");
    mapList_.push_back("Grassland.kvm");
    mapList_.push_back("Tundra.kvm");
    mapList_.push_back("Ex-Cathedra.kvm");

    backgroundMinutes_ = 5.0f;
}

std::uint32_t Game::GetSetting(int index) const
{
    if (index < 0 || index >= kSettingCount) {
        return 0;
    }
    return settings_[static_cast<std::size_t>(index)];
}

std::uint32_t Game::SetSetting(int index, std::uint32_t value)
{
    if (index < 0 || index >= kSettingCount) {
        return 0;
    }
    settings_[static_cast<std::size_t>(index)] = value;
    return value;
}

float Game::GetWidthScale() const
{
    return static_cast<float>(GetSetting(kSettingWidth)) / 1024.0f;
}

float Game::GetHeightScale() const
{
    return static_cast<float>(GetSetting(kSettingHeight)) / 768.0f;
}

void Game::SetOptions(std::uint32_t mode, float minutes, std::uint32_t unitMask, std::uint32_t mapIndex,
                      std::uint32_t maxUnits, std::uint32_t computerArmies)
{
    options_.mode = mode;
    options_.minutes = minutes;
    options_.unitMask = unitMask;
    options_.mapIndex = mapIndex;
    options_.maxUnits = maxUnits;
    options_.computerArmies = computerArmies;
}

// Game: construction, start-up, settings and options.
#include "app/Game.h"

#include "app/GameNetSession.h"
#include "app/GameNetUi.h"
#include "app/GameNetWorld.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/BattleCollisions.h"
#include "game/GameRules.h"
#include "input/SelectionController.h"
#include "net/NetBattleLink.h"
#include "net/NetworkManager.h"
#include "physics/Physics.h"
#include "platform/Random.h"
#include "platform/SystemTime.h"
#include "render/ParticleManager.h"
#include "render/TextManager.h"
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

void ShowBattleEffect(BattleEffect effect, const Vec3& at, const Vec3& direction)
{
    ParticleManager* const particles = ParticleManager::Instance();
    switch (effect) {
    case BattleEffect::kSplashExplosion:
        particles->SpawnSplashExplosion(at, direction);
        return;
    case BattleEffect::kSelfDestructExplosion:
        particles->SpawnSelfDestructExplosion(at, direction);
        return;
    case BattleEffect::kTrail:
        particles->SpawnTrail(at, direction);
        return;
    case BattleEffect::kArtilleryTrail:
        particles->SpawnArtilleryTrail(at, direction);
        return;
    case BattleEffect::kProjectileExplosion:
        particles->SpawnProjectileExplosion(at, direction);
        return;
    }
}

} // namespace

// The bodies and the battle stand on this game's ground, their blasts and
// blows are heard and seen, and the physics' contacts reach the units.
Game::Game()
{
    Physics::Instance()->SetTerrain(&terrain_);
    Physics::Instance()->SetExplosionSound(PlayExplosionSound);
    Physics::Instance()->SetCollisionHandlers(GetBattleCollisionHandlers());
    Battle::Instance()->SetDiggableTerrain(&terrain_);
    Battle::Instance()->SetSoundHook(PlayBattleSound);
    Battle::Instance()->SetEffectHook(ShowBattleEffect);
    GameRules* const rules = GameRules::Instance();
    rules->SetInMenusQuery([this] { return GetSetting(kSettingGameState) == kStateMenus; });
    rules->SetChatSink([](const std::string& line) {
        // Headless, or before the menus exist, there is no chat box.
        if (TextBox* chat = TextManager::Instance()->GetTextBox("ChatConsole")) {
            chat->AddLine(line);
        }
    });
    rules->SetLeaveHandler([this] { LeaveMatch(); });
    // The statistics show nothing of what the match said ("Sudden Death!",
    // the chat): its lines go as they come up. A line said while they are
    // up (the host leaving) still shows.
    rules->SetStatisticsHook([] {
        if (TextBox* chat = TextManager::Instance()->GetTextBox("ChatConsole")) {
            chat->ClearLines();
        }
    });
    // A unit leaving its army leaves the player's selection with it.
    Army::SetUnitRemovedHook([](Unit* unit) { SelectionController::Instance()->RemoveUnit(unit); });
    ConnectPlayerControls();
    ScreenManager::Instance()->SetHost(&menuHost_);
}

Game::~Game() = default;

void Game::ConnectNetwork()
{
    NetworkManager* const net = NetworkManager::Instance();
    if (!netWorld_) {
        netWorld_ = std::make_unique<GameNetWorld>();
        netLink_ = std::make_unique<NetBattleLink>(*net);
        net->SetWorld(netWorld_.get());
        Battle::Instance()->SetNetwork(netLink_.get());
        netUi_ = std::make_unique<GameNetUi>(*net);
        netSession_ = std::make_unique<GameNetSession>(*net);
        net->SetUi(netUi_.get());
        ScreenManager::Instance()->SetNetSession(netSession_.get());
    }
    net->SetAuthority(true);
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

bool Game::SetOptions(std::uint32_t mode, float minutes, std::uint32_t unitMask, std::uint32_t mapIndex,
                      std::uint32_t maxUnits, std::uint32_t computerArmies)
{
    // King Of The Hill is not offered; the rules still play it if asked.
    const bool valid = mode < kModeKingOfTheHill && GameRules::IsValidGameMinutes(minutes) && mapIndex < 4 &&
                       maxUnits >= 1 && maxUnits <= 100 && computerArmies <= 7;
    if (!valid) {
        return false;
    }
    options_.mode = mode;
    options_.minutes = minutes;
    options_.unitMask = unitMask;
    options_.mapIndex = mapIndex;
    options_.maxUnits = maxUnits;
    options_.computerArmies = computerArmies;
    return true;
}

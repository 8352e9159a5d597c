// The application object: the world of the current battle, the display
// settings and current state, the match options, the frame clock and the
// table of per-state frame handlers. Everything reaches it through
// Game::Instance.
#pragma once

#include "core/Singleton.h"
#include "render/Terrain.h"

#include <array>
#include <cstdint>
#include <list>
#include <string>

// Indices of the six settings words.
enum GameSetting : int {
    kSettingHeight = 0,
    kSettingWidth = 1,
    kSettingWindowed = 2,
    kSettingPresentInterval = 3,
    kSettingGameState = 4,
    kSettingEditor = 5,
    kSettingCount = 6,
};

enum GameState : std::uint32_t {
    kStateSplash = 0,
    kStateMenus = 1,
    kStateIdle = 2,
    kStateMatch = 3,
    kStateCount = 4,
};

enum SessionKind : std::uint32_t {
    kSinglePlayer = 0,
    kMultiPlayer = 1,
};

// Presentation without waiting for the display's refresh.
inline constexpr std::uint32_t kPresentIntervalImmediate = 0x80000000u;

// Allowed unit-type bits of GameOptions::unitMask (not the UnitType order).
enum UnitTypeBit : std::uint32_t {
    kAllowSmashtor = 1,
    kAllowTriangoloid = 2,
    kAllowDetagon = 4,
    kAllowTrajectagon = 8,
    kAllowArtillerator = 16,
    kAllowAllUnitTypes = 31,
};

struct GameOptions {
    std::uint32_t mode = 0;
    float minutes = 1.0f;
    std::uint32_t unitMask = kAllowAllUnitTypes;
    std::uint32_t mapIndex = 0;
    std::uint32_t maxUnits = 40;
    std::uint32_t computerArmies = 7;
};

class Game : public Singleton<Game> {
    friend class Singleton<Game>;

public:
    std::uint32_t GetSetting(int index) const;
    std::uint32_t SetSetting(int index, std::uint32_t value);
    // Factors from the 1024x768 layout to the real screen.
    float GetWidthScale() const;
    float GetHeightScale() const;

    void SetOptions(std::uint32_t mode, float minutes, std::uint32_t unitMask, std::uint32_t mapIndex,
                    std::uint32_t maxUnits, std::uint32_t computerArmies);
    const GameOptions& GetOptions() const { return options_; }

    Terrain& GetTerrain() { return terrain_; }
    std::list<std::string>& GetMapList() { return mapList_; }

    // Seconds the last frame took; every subsystem advances by it.
    float GetFrameTime() const { return frameTime_; }
    // Tests and tools drive frames with a chosen step.
    void SetFrameTime(float seconds) { frameTime_ = seconds; }

    SessionKind sessionKind = kSinglePlayer;

private:
    Game();

    std::uint32_t backgroundMode_ = 0;
    GameOptions options_;
    std::array<std::uint32_t, kSettingCount> settings_{};
    std::int64_t frameStart_ = 0;
    float frameTime_ = 0.0f;
    Terrain terrain_;
    std::int64_t splashStart_ = 0;
    std::list<std::string> mapList_;
    float backgroundMinutes_ = 5.0f;
};

// Game: construction, settings and options.
#include "core/Game.h"

Game::Game() = default;

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

float Game::GetWidthScale() const { return static_cast<float>(GetSetting(kSettingWidth)) / 1024.0f; }

float Game::GetHeightScale() const { return static_cast<float>(GetSetting(kSettingHeight)) / 768.0f; }

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

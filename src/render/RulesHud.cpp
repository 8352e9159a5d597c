// RulesHud: the clock, the army list and the scoreboards.
#include "render/RulesHud.h"

#include "game/Army.h"
#include "game/GameRules.h"
#include "render/Renderer.h"
#include "render/TextManager.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

constexpr const char* kFont = "Default";
constexpr ColorValue kWhite{1.0f, 1.0f, 1.0f, 1.0f};

constexpr int kClockX = 470;
constexpr int kSuddenDeathX = 460;
constexpr int kClockY = 12;

constexpr int kTitleX = 340;
constexpr int kTitleY = 40;
constexpr int kFirstRowY = 80;
constexpr int kRowStep = 20;
constexpr int kNameX = 340;
constexpr int kStrengthX = 540;
constexpr float kPanelLeft = 320.0f;
constexpr int kScoreX = 635;
constexpr std::uint32_t kPanelAlpha = 0x55u;

// The spaces line the column heads up over the name and score columns.
constexpr std::array<const char*, kGameModeCount> kTitles = {
    "Last Man On The Hill           Army          Flag",
    "Steal the Bacon                   Army             Time",
    "Territories                              Army           Flags",
    "Body Count                          Army        Damage",
    "King Of The Hill                    Army             Time",
};

// The timed modes' panels are wider for their "m : ss".
float PanelRight(GameMode mode)
{
    return mode == kModeStealTheBacon || mode == kModeKingOfTheHill ? 695.0f : 670.0f;
}

int RowY(std::size_t row)
{
    return kFirstRowY + kRowStep * static_cast<int>(row);
}

} // namespace

RulesHud::RulesHud(platform::RenderDevice& device)
{
    // A plain white picture made here rather than read from the data: the
    // panels only need something to tint with the army's colour.
    const std::array<std::uint8_t, 2 * 2 * 4> pixels = {
        255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    };
    white_ = device.CreateTextureFromPixels(2, 2, pixels);
}

void RulesHud::Draw(Renderer& renderer, TextManager& text, const GameRules& rules) const
{
    if (rules.InMenus()) {
        return;
    }
    const MatchState state = rules.GetState();
    const float limit = state == kMatchPlanning ? rules.GetPlanningSeconds() : rules.GetGameSeconds();
    const std::string clock = GameRules::ClockText(state, limit - rules.GetPhaseElapsed());
    if (!clock.empty()) {
        text.DrawText(clock, state == kMatchSuddenDeath ? kSuddenDeathX : kClockX, kClockY, kFont, kWhite);
    }
    // The statistics screen (drawn with the windows) takes the whole of state 5.
    if (state == kMatchStatistics || !rules.GetShowScores()) {
        return;
    }
    DrawArmyList(text, rules.GetRankedArmies());
    DrawScoreboard(renderer, text, rules.GetMode(), rules.GetRankedArmies());
}

void RulesHud::DrawArmyList(TextManager& text, const std::vector<std::unique_ptr<Army>>& armies) const
{
    for (std::size_t row = 0; row < armies.size(); ++row) {
        const Army& army = *armies[row];
        text.DrawText(ColumnName(text, army.GetName()), kNameX, RowY(row), kFont, kWhite);
        text.DrawText(StrengthText(army.GetStrength()), kStrengthX, RowY(row), kFont, kWhite);
    }
}

void RulesHud::DrawScoreboard(Renderer& renderer, TextManager& text, GameMode mode,
                              const std::vector<std::unique_ptr<Army>>& armies) const
{
    if (mode >= kGameModeCount) {
        return;
    }
    text.DrawText(kTitles[mode], kTitleX, kTitleY, kFont, kWhite);
    for (std::size_t row = 0; row < armies.size(); ++row) {
        const Army& army = *armies[row];
        const float y = static_cast<float>(RowY(row));
        const std::uint32_t tint = (kPanelAlpha << 24) | (army.GetColour() & 0x00FFFFFFu);
        renderer.DrawTexturedRect({kPanelLeft, y}, {PanelRight(mode), y + kRowStep}, tint, white_.get());
        const std::string score = ScoreText(mode, army);
        if (!score.empty()) {
            text.DrawText(score, kScoreX, RowY(row), kFont, kWhite);
        }
    }
}

std::string RulesHud::StrengthText(double strength)
{
    // Strength is a share of 0 to 1; anything else (or not a number) is
    // held to the three digits the column has room for before the cast.
    const double percent = std::isfinite(strength) ? std::clamp(strength * 100.0, 0.0, 999.0) : 0.0;
    // The share is a quotient: 7 of 100 comes out a hair above 7 %, which
    // must not round up to 8 %.
    const int whole = static_cast<int>(std::ceil(percent - 1e-9));
    return std::to_string(std::max(whole, 0)) + " %";
}

std::string RulesHud::ScoreText(GameMode mode, const Army& army)
{
    switch (mode) {
    case kModeLastManOnTheHill:
        return army.GetFlagCount() != 0 ? "O" : "";
    case kModeStealTheBacon:
    case kModeKingOfTheHill:
        return GameRules::MinutesSeconds(army.GetFlagTime());
    case kModeTerritories:
        return LeadingDigits(army.GetFlagCount());
    case kModeBodyCount:
        return LeadingDigits(army.GetDamageDealt());
    default:
        return "";
    }
}

std::string RulesHud::LeadingDigits(std::int32_t value)
{
    // Widened first: the most negative count has no positive of its own size.
    const std::string digits = std::to_string(std::llabs(static_cast<long long>(value))).substr(0, 3);
    return value < 0 ? "-" + digits : digits;
}

std::string RulesHud::ColumnName(const TextManager& text, const std::string& name)
{
    return text.FitText(name, kFont, kNameWidth);
}

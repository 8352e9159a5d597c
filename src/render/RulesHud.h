// The rules' part of the 2-D overlay: the match clock and, while the player
// shows the scores, the army list (names and strengths) and the mode's
// scoreboard (a panel in each army's colour with its score). The rules keep
// the state and the armies in ranked order; this only reads them, so a
// headless battle never needs it.
//
// Positions are those of the 1024x768 virtual screen. The text goes through
// the TextManager's queue and is drawn with the rest of the frame's text. A
// name too long for its column is cut to it, with "...", as the statistics
// cut theirs: names come from the players, and nothing bounds their width.
#pragma once

#include "game/Battle.h"
#include "platform/RenderDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Army;
class GameRules;
class Renderer;
class TextManager;

class RulesHud {
public:
    // Makes the plain white texture the panels are tinted over.
    explicit RulesHud(platform::RenderDevice& device);

    // The clock, then, when the scores are shown, the army list and the
    // scoreboard. Nothing in the menus. The statistics screen of state 5 is
    // not drawn here.
    void Draw(Renderer& renderer, TextManager& text, const GameRules& rules) const;
    // Each army's name and strength, a row of 20 pixels each from y 80.
    void DrawArmyList(TextManager& text, const std::vector<std::unique_ptr<Army>>& armies) const;
    // The mode's title, then each army's panel and score on the army list's rows.
    void DrawScoreboard(Renderer& renderer, TextManager& text, GameMode mode,
                        const std::vector<std::unique_ptr<Army>>& armies) const;

    // Strength as a whole percentage rounded up, so a nearly beaten army
    // still shows 1 %: "100 %", "3 %", "0 %".
    static std::string StrengthText(double strength);
    // The mode's score column for army: the flag holder's "O", the flag time
    // as minutes and seconds, the flag count or the damage dealt.
    static std::string ScoreText(GameMode mode, const Army& army);
    // The first three digits of value, a "-" before them when negative.
    static std::string LeadingDigits(std::int32_t value);
    // The name as drawn: cut, with "...", to the pixels its column has
    // before the strengths, measured in the list's font.
    static std::string ColumnName(const TextManager& text, const std::string& name);

    // The names column runs from x 340 to the strengths at 540; a name
    // stops a little short of them.
    static constexpr int kNameWidth = 190;

private:
    std::unique_ptr<platform::Texture> white_;
};

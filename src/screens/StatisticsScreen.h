// The statistics screen at the end of a match: over the frozen battle, a
// full-screen picture, a title, one row per army in the mode's final ranking
// (name, damage dealt and taken, flags, flag time, on a panel in the army's
// colour) and a "Done" button in the in-game window that ends the match.
// A name too long for its column is cut to the column's width, measured in
// the table's font.
//
// It is drawn in the 1024x768 layout of the HUD, under the GUI windows so the
// button lies on top. Behind the menus there is no in-game window and no
// button: the background battle goes on by itself.
#pragma once

#include "core/Singleton.h"
#include "gui/guiCodes.h"
#include "render/TextureLoader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Army;
class Canvas2D;

// One army's line of the table, with its texts as drawn.
struct StatisticsRow {
    int y = 0;
    std::uint32_t panelColor = 0;
    std::string name;
    std::string damageDealt;
    std::string damageTaken;
    std::string flags;
    std::string flagTime;
};

class StatisticsScreen : public Singleton<StatisticsScreen> {
    friend class Singleton<StatisticsScreen>;

public:
    static constexpr const char* kPlayWindow = "MainPlayScreen";
    static constexpr const char* kDoneButton = "GameOverButton";
    // The widest a name is drawn, in pixels: short of the damage column's
    // divider at x 300, with room to spare.
    static constexpr int kNameWidth = 190;

    // The rows of armies in their order: from y 250, 50 apart.
    static std::vector<StatisticsRow> Rows(const std::vector<std::unique_ptr<Army>>& armies);

    // The whole screen, for a screen of width x height pixels. Pictures come
    // through loader the first time; a missing one is not drawn.
    void Draw(Canvas2D& canvas, TextureLoader& loader, const std::vector<std::unique_ptr<Army>>& armies, int width,
              int height);
    // The "Done" button in the in-game window, made once; nothing when the
    // window is missing (in the menus).
    void EnsureDoneButton() const;
    // The match is being cleared.
    void RemoveDoneButton() const;
    // Lets the pictures go (before the drawing device goes).
    void Release();

    // On a completed click (the release, so that the release cannot also
    // reach the title screen built when the match is left): the match ends.
    static std::uint32_t DoneButtonCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);

private:
    StatisticsScreen() = default;

    void LoadPictures(TextureLoader& loader);

    bool loaded_ = false;
    TextureHandle background_;
    TextureHandle title_;
};

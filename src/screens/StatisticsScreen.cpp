// StatisticsScreen: the rows, the drawing and the "Done" button.
#include "screens/StatisticsScreen.h"

#include "game/Army.h"
#include "game/GameRules.h"
#include "gui/guiButton.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "render/Canvas2D.h"
#include "screens/ScreenManager.h"

#include <array>
#include <cstdio>

namespace {

constexpr int kHeadY = 175;
constexpr int kFirstRowY = kHeadY + 75;
constexpr int kRowStep = 50;
constexpr float kTableLeft = 100.0f;
constexpr float kTableWidth = 822.0f;
constexpr std::uint32_t kPanelAlpha = 0x55u;
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;
const ColorValue kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr const char* kFont = "GameOverFont";

struct Column {
    const char* head;
    int headX;
    int valueX;
};

constexpr std::array<Column, 5> kColumns = {{
    {"Player", 125, 100},
    {"Dmg Dealt", 250, 310},
    {"Dmg Taken", 435, 497},
    {"# Flags", 625, 663},
    {"Flag Time", 780, 820},
}};

std::string FlagTimeText(float seconds)
{
    char text[48] = {};
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(seconds));
    return text;
}

void DrawPicture(Canvas2D& canvas, const TextureHandle& picture, float left, float top, float right, float bottom,
                 std::uint32_t color)
{
    if (picture) {
        canvas.DrawTexturedRect({left, top}, {right, bottom}, color, picture.get());
    }
}

} // namespace

std::vector<StatisticsRow> StatisticsScreen::Rows(const std::vector<std::unique_ptr<Army>>& armies)
{
    std::vector<StatisticsRow> rows;
    rows.reserve(armies.size());
    int y = kFirstRowY;
    for (const std::unique_ptr<Army>& army : armies) {
        StatisticsRow row;
        row.y = y;
        row.panelColor = (kPanelAlpha << 24) | (army->GetColour() & 0x00FFFFFFu);
        row.name = army->GetName();
        row.damageDealt = std::to_string(army->GetDamageDealt());
        row.damageTaken = std::to_string(army->GetDamageTaken());
        row.flags = std::to_string(army->GetFlagCount());
        row.flagTime = FlagTimeText(army->GetFlagTime());
        rows.push_back(std::move(row));
        y += kRowStep;
    }
    return rows;
}

void StatisticsScreen::LoadPictures(TextureLoader& loader)
{
    loaded_ = true;
    background_ = loader.LoadTexture("Interface/Textures/GameOverScreen.png");
    title_ = loader.LoadTexture("Interface/Textures/GameStatistics.png");
}

void StatisticsScreen::Draw(Canvas2D& canvas, TextureLoader& loader, const std::vector<std::unique_ptr<Army>>& armies,
                            int width, int height)
{
    if (!loaded_) {
        LoadPictures(loader);
    }
    DrawPicture(canvas, background_, 0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height), kOpaqueWhite);
    DrawPicture(canvas, title_, 370.0f, 65.0f, 370.0f + 256.0f, 65.0f + 64.0f, kOpaqueWhite);
    for (const Column& column : kColumns) {
        canvas.DrawText(column.head, column.headX, kHeadY, kFont, kWhite);
    }
    for (const StatisticsRow& row : Rows(armies)) {
        const auto y = static_cast<float>(row.y);
        canvas.DrawRect({kTableLeft, y - 1.0f}, {kTableLeft + kTableWidth, y + 32.0f}, row.panelColor, true);
        const std::string name = canvas.FitText(row.name, kFont, kNameWidth);
        const std::array<const std::string*, 5> texts = {&name, &row.damageDealt, &row.damageTaken, &row.flags,
                                                         &row.flagTime};
        for (std::size_t i = 0; i < texts.size(); ++i) {
            canvas.DrawText(*texts[i], kColumns[i].valueX, row.y, kFont, kWhite);
        }
    }
}

void StatisticsScreen::EnsureDoneButton() const
{
    // Silent lookups: this runs every frame of the statistics.
    guiWindow* window = guiManager::Instance()->GetWindow(kPlayWindow);
    if (!window || window->FindObject(kDoneButton)) {
        return;
    }
    auto* button = static_cast<guiButton*>(
        window->CreateObject(kDoneButton, kGuiButton, DoneButtonCallback, 0.8f, 0.05f, 0.11f, 0.05f));
    button->SetUpTexture(ScreenManager::kButtonUp);
    button->SetDownTexture("Interface/Button/bdown.dds");
    button->SetHoverTexture("Interface/Button/bhover.dds");
    button->SetLabel("Done", "ButtonDefault", 35.0f, 12.0f, 1.0f, 1.0f, 1.0f, 1.0f);
}

void StatisticsScreen::RemoveDoneButton() const
{
    guiWindow* window = guiManager::Instance()->GetWindow(kPlayWindow);
    if (window && window->FindObject(kDoneButton)) {
        window->DeleteObject(kDoneButton);
    }
}

void StatisticsScreen::Release()
{
    loaded_ = false;
    background_.reset();
    title_.reset();
}

std::uint32_t StatisticsScreen::DoneButtonCallback(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    GameRules::Instance()->SetState(kMatchGameOver);
    *handled = true;
    return 0;
}

// OptionsScreen: the layout, the mappings between options and widgets, and
// the widget callbacks.
#include "screens/OptionsScreen.h"

#include "gui/guiButton.h"
#include "gui/guiCheckBox.h"
#include "gui/guiManager.h"
#include "gui/guiSlider.h"
#include "gui/guiWindow.h"
#include "render/Canvas2D.h"
#include "screens/LobbyScreen.h"
#include "screens/MenuHost.h"
#include "screens/NetSession.h"
#include "screens/ScreenManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

constexpr float kMinMinutes = 1.0f;
constexpr float kMaxMinutes = 10.0f;
constexpr std::uint32_t kMaxUnits = 100;
const ColorValue kTextColor{0.21f, 0.45f, 0.78f, 1.0f};

constexpr float kBoxX = 95.0f / 1024.0f;
constexpr float kBoxWidth = 0.0768f;
constexpr float kBoxHeight = 0.03f;
constexpr float kSliderHeight = 0.03f;
// A checked box shows the up face with a tick (under the cursor, the hover
// face with one): the pressed face would make an allowed type look off.
constexpr const char* kCheckedFace = "Interface/Button/bcheck.dds";
constexpr const char* kCheckedHoverFace = "Interface/Button/bcheckhover.dds";

struct Picture {
    const char* file;
    float x;
    float y;
    float width;
    float height;
};

constexpr const char* kComputerArmiesPicture = "Interface/Textures/AIPlayersText.png";
constexpr const char* kBackground = "Interface/Textures/GameOptionsBack.png";
// Over the lobby: the same without the computer armies' panel.
constexpr const char* kNetworkBackground = "Interface/Textures/GameOptionsBackNetwork.png";

constexpr std::array<Picture, 7> kPictures = {{
    {kBackground, 0.0f, 0.0f, 1.0f, 1.0f},
    {"Interface/Textures/GameOptions.png", 0.25f, 0.01f, 0.5f, 0.083f},
    {"Interface/Textures/UnitRestrictions.png", 0.077f, 0.1f, 0.25f, 0.083f},
    {"Interface/Textures/GameTimeText.png", 723.0f / 1024.0f, 0.1f, 0.25f, 0.083f},
    {kComputerArmiesPicture, 723.0f / 1024.0f, 0.3253f, 0.25f, 0.083f},
    {"Interface/Textures/GameTypeText.png", 0.077f, 0.545f, 0.25f, 0.083f},
    {"Interface/Textures/MaximumUnits.png", 0.077f, 0.3653f, 0.25f, 0.083f},
}};

guiButton* AddButton(guiWindow& window, const char* name, guiCallback callback, float x, const char* label,
                     float labelX)
{
    auto* button = static_cast<guiButton*>(window.CreateObject(name, kGuiButton, callback, x, 0.919f, 0.1f, 0.05f));
    button->SetLabel(label, "ButtonDefault", labelX, 12.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    button->SetUpTexture(ScreenManager::kButtonUp);
    button->SetDownTexture(ScreenManager::kButtonDown);
    button->SetHoverTexture(ScreenManager::kButtonHover);
    return button;
}

guiCheckBox* AddBox(guiWindow& window, const std::string& name, guiCallback callback, float y)
{
    auto* box =
        static_cast<guiCheckBox*>(window.CreateObject(name, kGuiCheckBox, callback, kBoxX, y, kBoxWidth, kBoxHeight));
    box->SetUncheckedTexture(ScreenManager::kButtonUp);
    box->SetCheckedTexture(kCheckedFace);
    box->SetHoverTexture(ScreenManager::kButtonHover);
    box->SetCheckedHoverTexture(kCheckedHoverFace);
    return box;
}

guiSlider* AddSlider(guiWindow& window, const char* name, guiCallback callback, float x, float y, float width,
                     float height, bool horizontal, float thumbWidth, float value)
{
    auto* slider = static_cast<guiSlider*>(window.CreateObject(name, kGuiSlider, callback, x, y, width, height));
    slider->SetHorizontal(horizontal ? 1 : 0);
    slider->SetTrackTexture(ScreenManager::kTrackPicture);
    slider->SetThumbTexture(ScreenManager::kButtonUp, thumbWidth, 0.04f);
    slider->SetValue(value);
    return slider;
}

void SetSliderValue(guiSlider* slider, float value)
{
    if (slider) {
        slider->SetValue(value);
    }
}

} // namespace

const std::array<const char*, OptionsScreen::kUnitBoxes> OptionsScreen::kUnitNames = {
    "Smashtor", "Triangoloid", "Dedagon", "Trajectagon", "Artillerator"};
const std::array<const char*, OptionsScreen::kModeBoxes> OptionsScreen::kModeNames = {
    "Last Man on the Hill", "Steal the Bacon", "Territories", "Body Count"};
const std::array<const char*, OptionsScreen::kMaps> OptionsScreen::kMapBases = {"Maps/Desert", "Maps/Grassland",
                                                                                "Maps/Tundra", "Maps/Ex-Cathedra"};

float OptionsScreen::MinutesFromSlider(float value)
{
    return value * 9.0f + 1.0f;
}

float OptionsScreen::SliderFromMinutes(float minutes)
{
    return (minutes - 1.0f) / 9.0f;
}

std::uint32_t OptionsScreen::ComputerArmiesFromSlider(float value, int otherPlayers)
{
    const int freeSlots = kStartSlots - 1 - std::max(otherPlayers, 0);
    const int limit = std::clamp(freeSlots, 0, static_cast<int>(kMaxComputerArmies));
    const int wanted = static_cast<int>(std::clamp(value, 0.0f, 1.0f) * static_cast<float>(kMaxComputerArmies));
    return static_cast<std::uint32_t>(std::clamp(wanted, 0, limit));
}

float OptionsScreen::SliderFromComputerArmies(std::uint32_t armies)
{
    return static_cast<float>(armies) / static_cast<float>(kMaxComputerArmies);
}

int OptionsScreen::MapFromSlider(float value)
{
    return std::clamp(static_cast<int>(value * 3.0f), 0, kMaps - 1);
}

float OptionsScreen::SliderFromMap(std::uint32_t map)
{
    return static_cast<float>(map) / 3.0f;
}

std::uint32_t OptionsScreen::MaxUnitsFromSlider(float value)
{
    return static_cast<std::uint32_t>(std::clamp(value, 0.0f, 1.0f) * 99.0f) + 1;
}

float OptionsScreen::SliderFromMaxUnits(std::uint32_t maxUnits)
{
    return static_cast<float>(maxUnits - 1) / 99.0f;
}

GameOptions OptionsScreen::Checked(const GameOptions& options)
{
    GameOptions checked = options;
    if (checked.mode >= static_cast<std::uint32_t>(kModeBoxes)) {
        checked.mode = 0;
    }
    checked.minutes = std::isfinite(options.minutes) ? std::clamp(options.minutes, kMinMinutes, kMaxMinutes) : 1.0f;
    if ((checked.unitMask & kAllowAllUnitTypes) == 0) {
        checked.unitMask = kAllowAllUnitTypes;
    }
    checked.unitMask &= kAllowAllUnitTypes;
    if (checked.mapIndex >= static_cast<std::uint32_t>(kMaps)) {
        checked.mapIndex = 0;
    }
    checked.maxUnits = std::clamp<std::uint32_t>(options.maxUnits, 1, kMaxUnits);
    checked.computerArmies = std::min(options.computerArmies, kMaxComputerArmies);
    return checked;
}

std::string OptionsScreen::TimeText(float minutes)
{
    const int whole = static_cast<int>(minutes);
    const int seconds = static_cast<int>((minutes - static_cast<float>(whole)) * 60.0f);
    char text[64] = {};
    std::snprintf(text, sizeof text, "%d Minutes, %d Seconds", whole, seconds);
    return text;
}

void OptionsScreen::Build()
{
    ForgetWidgets();
    lastMapShown_ = 0;
    options_ = GameOptions{};
    guiManager* gui = guiManager::Instance();
    window_ = gui->CreateWindow(kWindow);
    AddTextures(*window_);
    window_->SetPositionXYZ(0.0f, 0.0f, 0.0f);
    AddButtons(*window_);
    mapWindow_ = gui->CreateWindow(kMapWindow);
    ShowMap(0);
    gameTypeWindow_ = gui->CreateWindow(kGameTypeWindow);
    ShowGameType(0);
    AddBoxes(*window_);
    AddSliders(*window_);
}

void OptionsScreen::AddTextures(guiWindow& window) const
{
    for (const Picture& picture : kPictures) {
        const std::string_view file = picture.file;
        if (overLobby_ && file == kComputerArmiesPicture) {
            continue;
        }
        const char* const shown = overLobby_ && file == kBackground ? kNetworkBackground : picture.file;
        window.AddTexture(shown, picture.x, picture.y, picture.width, picture.height);
    }
}

void OptionsScreen::SetOverLobby(bool overLobby)
{
    overLobby_ = overLobby;
    if (window_) {
        window_->ClearTextures();
        AddTextures(*window_);
    }
    if (armiesSlider_) {
        armiesSlider_->SetVisible(overLobby ? 0 : 1);
    }
}

void OptionsScreen::AddButtons(guiWindow& window)
{
    AddButton(window, "CancelButtonHandle", OptionsCancelPressed, 0.72f, "Cancel", 28.0f);
    AddButton(window, "OKButtonHandle", OptionsOkPressed, 0.84f, "OK", 35.0f);
}

void OptionsScreen::AddBoxes(guiWindow& window)
{
    for (int i = 0; i < kUnitBoxes; ++i) {
        const float y = (125.0f + 30.0f * static_cast<float>(i)) / 768.0f;
        guiCheckBox* box = AddBox(window, "OptionsScreenUnitCheckBox" + std::to_string(i), UnitCheckBoxChanged, y);
        box->SetChecked(1);
        unitBoxes_[static_cast<std::size_t>(i)] = box;
    }
    for (int i = 0; i < kModeBoxes; ++i) {
        const float y = (485.0f + 40.0f * static_cast<float>(i)) / 768.0f;
        modeBoxes_[static_cast<std::size_t>(i)] =
            AddBox(window, "OptionsScreenGameTypeOptionBox" + std::to_string(i), GameTypeBoxChanged, y);
    }
    modeBoxes_[0]->SetChecked(1);
}

void OptionsScreen::AddSliders(guiWindow& window)
{
    const float rowX = 747.0f / 1024.0f;
    const float rowWidth = 208.0f / 1024.0f;
    timerSlider_ = AddSlider(window, "OptionsTimerSlider", TimerSliderMoved, rowX, 203.0f / 768.0f, rowWidth,
                             kSliderHeight, true, 0.03f, 0.45f);
    armiesSlider_ = AddSlider(window, "OptionsAIAmountSlider", AIAmountSliderMoved, rowX, 375.0f / 768.0f, rowWidth,
                              kSliderHeight, true, 0.03f, 0.0f);
    mapSlider_ = AddSlider(window, "OptionsMapWindowSlider", MapSliderMoved, 671.0f / 1024.0f, 0.1497f, 0.03f, 0.392f,
                           false, 0.04f, 0.0f);
    unitsSlider_ = AddSlider(window, "OptionsUnitAmountSlider", UnitAmountSliderMoved, 70.0f / 1024.0f, 385.0f / 768.0f,
                             276.0f / 1024.0f, kSliderHeight, true, 0.03f, 0.2f);
}

void OptionsScreen::SetValues(const GameOptions& options)
{
    options_ = Checked(options);
    const GameOptions wanted = options_;
    ShowGameType(static_cast<int>(wanted.mode));
    ShowMap(static_cast<int>(wanted.mapIndex));
    lastMapShown_ = static_cast<int>(wanted.mapIndex);
    for (int i = 0; i < kUnitBoxes; ++i) {
        if (guiCheckBox* box = unitBoxes_[static_cast<std::size_t>(i)]) {
            box->SetChecked((wanted.unitMask >> i) & 1u);
        }
    }
    for (int i = 0; i < kModeBoxes; ++i) {
        if (guiCheckBox* box = modeBoxes_[static_cast<std::size_t>(i)]) {
            box->SetChecked(static_cast<std::uint32_t>(i) == wanted.mode ? 1 : 0);
        }
    }
    SetSliderValue(timerSlider_, SliderFromMinutes(wanted.minutes));
    SetSliderValue(armiesSlider_, SliderFromComputerArmies(wanted.computerArmies));
    SetSliderValue(mapSlider_, SliderFromMap(wanted.mapIndex));
    SetSliderValue(unitsSlider_, SliderFromMaxUnits(wanted.maxUnits));
}

void OptionsScreen::ShowMap(int index)
{
    const int map = index >= 0 && index < kMaps ? index : 0;
    options_.mapIndex = static_cast<std::uint32_t>(map);
    if (!mapWindow_) {
        return;
    }
    const std::string base = kMapBases[static_cast<std::size_t>(map)];
    mapWindow_->ClearTextures();
    mapWindow_->AddTexture(base + ".bmp", 0.3721f, 0.1497f, 0.2715f, 0.395f);
    mapWindow_->AddTexture("Interface/Textures/Map.png", 0.3720703f, 0.1f, 0.25f, 0.083f);
    mapWindow_->AddTexture(base + ".png", 0.3721f + 0.01065f, 0.1497f + 0.395f - 0.073f, 0.25f, 0.083f);
}

void OptionsScreen::ShowGameType(int index)
{
    const int mode = index >= 0 && index < kModeBoxes ? index : 0;
    options_.mode = static_cast<std::uint32_t>(mode);
    if (!gameTypeWindow_) {
        return;
    }
    gameTypeWindow_->ClearTextures();
    gameTypeWindow_->AddTexture(std::string("Interface/Textures/") + kModeNames[static_cast<std::size_t>(mode)] +
                                    ".png",
                                0.35f, 0.63f, 0.5f, 0.167f);
}

void OptionsScreen::Draw(Canvas2D& canvas) const
{
    for (int i = 0; i < kUnitBoxes; ++i) {
        canvas.DrawText(kUnitNames[static_cast<std::size_t>(i)], 195, 125 + 30 * i, "Default", kTextColor);
    }
    for (int i = 0; i < kModeBoxes; ++i) {
        canvas.DrawText(kModeNames[static_cast<std::size_t>(i)], 195, 485 + 40 * i, "Default", kTextColor);
    }
    canvas.DrawText(TimeText(options_.minutes), 760, 148, "Default", kTextColor);
    if (!overLobby_) {
        canvas.DrawText(std::to_string(options_.computerArmies) + " AI Armies", 760, 322, "Default", kTextColor);
    }
    canvas.DrawText("Maximum Units Per Army: " + std::to_string(options_.maxUnits), 75, 355, "Default", kTextColor);
}

void OptionsScreen::Close()
{
    guiManager* gui = guiManager::Instance();
    gui->DestroyWindow(kGameTypeWindow);
    gui->DestroyWindow(kMapWindow);
    gui->DestroyWindow(kWindow);
    ForgetWidgets();
}

void OptionsScreen::ForgetWidgets()
{
    window_ = nullptr;
    mapWindow_ = nullptr;
    gameTypeWindow_ = nullptr;
    unitBoxes_.fill(nullptr);
    modeBoxes_.fill(nullptr);
    timerSlider_ = nullptr;
    armiesSlider_ = nullptr;
    mapSlider_ = nullptr;
    unitsSlider_ = nullptr;
}

std::uint32_t OptionsScreen::MaskFromBoxes() const
{
    std::uint32_t mask = 0;
    for (int i = 0; i < kUnitBoxes; ++i) {
        const guiCheckBox* box = unitBoxes_[static_cast<std::size_t>(i)];
        if (box && box->IsChecked()) {
            mask |= 1u << i;
        }
    }
    return mask;
}

bool OptionsScreen::AnyChecked(const guiCheckBox* const* boxes, int count) const
{
    return std::any_of(boxes, boxes + count, [](const guiCheckBox* box) { return box && box->IsChecked(); });
}

int OptionsScreen::IndexOf(const guiCheckBox* const* boxes, int count, const void* box) const
{
    const auto found = std::find(boxes, boxes + count, box);
    return found == boxes + count ? -1 : static_cast<int>(found - boxes);
}

std::uint32_t OptionsScreen::UnitCheckBoxChanged(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    OptionsScreen* screen = Instance();
    // At least one unit type stays allowed.
    if (code == kGuiUnchecked && !screen->AnyChecked(screen->unitBoxes_.data(), kUnitBoxes)) {
        if (auto* box = static_cast<guiCheckBox*>(a->AsPointer())) {
            box->SetChecked(1);
        }
    }
    return 0;
}

std::uint32_t OptionsScreen::GameTypeBoxChanged(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    OptionsScreen* screen = Instance();
    auto* sender = static_cast<guiCheckBox*>(a->AsPointer());
    const int index = screen->IndexOf(screen->modeBoxes_.data(), kModeBoxes, sender);
    // A box of a screen already closed has nothing to act on.
    if (index < 0) {
        return 0;
    }
    if (code == kGuiChecked) {
        for (guiCheckBox* box : screen->modeBoxes_) {
            if (box && box != sender) {
                box->SetChecked(0);
            }
        }
        screen->ShowGameType(index);
    } else if (code == kGuiUnchecked && !screen->AnyChecked(screen->modeBoxes_.data(), kModeBoxes)) {
        sender->SetChecked(1);
    }
    return 0;
}

std::uint32_t OptionsScreen::TimerSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiSliderMoved) {
        Instance()->options_.minutes = MinutesFromSlider(a->AsFloat());
    }
    return 0;
}

std::uint32_t OptionsScreen::AIAmountSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiSliderMoved) {
        OptionsScreen* screen = Instance();
        screen->options_.computerArmies = ComputerArmiesFromSlider(a->AsFloat(), screen->otherPlayers_);
    }
    return 0;
}

std::uint32_t OptionsScreen::MapSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code != kGuiSliderMoved) {
        return 0;
    }
    OptionsScreen* screen = Instance();
    const int map = MapFromSlider(a->AsFloat());
    // Within one map's stretch of the slider the pictures stay as they are.
    if (map != screen->lastMapShown_) {
        screen->lastMapShown_ = map;
        screen->ShowMap(map);
    }
    return 0;
}

std::uint32_t OptionsScreen::UnitAmountSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiSliderMoved) {
        Instance()->options_.maxUnits = MaxUnitsFromSlider(a->AsFloat());
    }
    return 0;
}

std::uint32_t OptionsScreen::OptionsCancelPressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    if (Instance()->overLobby_) {
        // The lobby keeps the settings it had.
        LobbyScreen::Instance()->ReturnFromOptions();
    } else {
        ScreenManager::Instance()->SetScreen(kScreenMainMenu);
    }
    *handled = true;
    return 0;
}

std::uint32_t OptionsScreen::OptionsOkPressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    OptionsScreen* screen = Instance();
    screen->options_.unitMask = screen->MaskFromBoxes();
    const GameOptions chosen = Checked(screen->options_);
    if (screen->overLobby_) {
        LobbyScreen::Instance()->SetGameOptions(chosen);
        if (NetSession* session = ScreenManager::Instance()->GetNetSession()) {
            session->SendGameSettings(LobbyScreen::Instance()->GetOptions());
        }
        LobbyScreen::Instance()->ReturnFromOptions();
    } else if (MenuHost* host = ScreenManager::Instance()->GetHost(); host && host->SetOptions(chosen)) {
        ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
    }
    *handled = true;
    return 0;
}

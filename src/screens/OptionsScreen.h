// The options screen: one GameOptions record edited with check boxes (the
// allowed unit types, the game mode as a radio group) and sliders (game
// time, computer armies, map, maximum units per army), with the map's
// preview and the mode's picture shown as they are chosen. In single player
// "OK" hands the record to the game and goes on to unit selection, "Cancel"
// goes back to the main menu. Laid over the lobby, both return there
// (the network layer's part).
//
// Whatever comes in (SetValues, possibly from the network) and whatever goes
// out ("OK") is in range: a record with no unit type allowed, a mode or map
// out of the tables, non-finite minutes or zero units would stall or divide
// by zero further on.
#pragma once

#include "core/Singleton.h"
#include "game/GameOptions.h"
#include "gui/guiCodes.h"

#include <array>
#include <cstdint>
#include <string>

class Canvas2D;
class guiCheckBox;
class guiSlider;
class guiWindow;

class OptionsScreen : public Singleton<OptionsScreen> {
    friend class Singleton<OptionsScreen>;

public:
    static constexpr const char* kWindow = "OptionsScreenWindowHandle";
    static constexpr const char* kMapWindow = "OptionsMapHandle";
    static constexpr const char* kGameTypeWindow = "GameTypeWindowHandle";
    static constexpr int kUnitBoxes = 5;
    static constexpr int kModeBoxes = 4;
    static constexpr int kMaps = 4;
    static constexpr std::uint32_t kMaxComputerArmies = 7;
    // The start slots of a map: the computer armies share them with the players.
    static constexpr int kStartSlots = 8;

    // Names in box order; the unit box i stands for mask bit 2^i.
    static const std::array<const char*, kUnitBoxes> kUnitNames;
    static const std::array<const char*, kModeBoxes> kModeNames;
    static const std::array<const char*, kMaps> kMapBases;

    void Build();
    // Loads a record (checked first) into the record and the widgets.
    void SetValues(const GameOptions& options);
    const GameOptions& GetOptions() const { return options_; }
    void ShowMap(int index);
    void ShowGameType(int index);
    // The texts beside the widgets, at fixed pixels of the 1024x768 layout.
    void Draw(Canvas2D& canvas) const;
    // Over the lobby only: its three windows go, and the pointers with them.
    void Close();

    // Human players besides this one; they take start slots and lower the
    // computer armies' limit. Zero in single player.
    void SetOtherPlayers(int count) { otherPlayers_ = count; }
    int GetOtherPlayers() const { return otherPlayers_; }
    // Over the lobby "OK" and "Cancel" go back to it (the network layer),
    // and the computer armies' slider, picture and count are not shown: a
    // network match has none.
    void SetOverLobby(bool overLobby);

    // The slider mappings, both ways (values run 0 to 1).
    static float MinutesFromSlider(float value);
    static float SliderFromMinutes(float minutes);
    // At most the free start slots: eight less this machine's player and the
    // others; never below zero.
    static std::uint32_t ComputerArmiesFromSlider(float value, int otherPlayers);
    static float SliderFromComputerArmies(std::uint32_t armies);
    // Map 3 only at the very end of the slider.
    static int MapFromSlider(float value);
    static float SliderFromMap(std::uint32_t map);
    static std::uint32_t MaxUnitsFromSlider(float value);
    static float SliderFromMaxUnits(std::uint32_t maxUnits);
    // The record with every word brought into range: mode and map to 0 when
    // out of the tables, minutes to 1..10 (1 when not a number), a mask
    // with no unit type to all types, units to 1..100, armies to 0..7.
    static GameOptions Checked(const GameOptions& options);
    // "%d Minutes, %d Seconds".
    static std::string TimeText(float minutes);

    // Widget callbacks.
    static std::uint32_t UnitCheckBoxChanged(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t GameTypeBoxChanged(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t TimerSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t AIAmountSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t MapSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t UnitAmountSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t OptionsCancelPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t OptionsOkPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);

private:
    OptionsScreen() = default;

    void ForgetWidgets();
    void AddTextures(guiWindow& window) const;
    void AddButtons(guiWindow& window);
    void AddBoxes(guiWindow& window);
    void AddSliders(guiWindow& window);
    std::uint32_t MaskFromBoxes() const;
    bool AnyChecked(const guiCheckBox* const* boxes, int count) const;
    int IndexOf(const guiCheckBox* const* boxes, int count, const void* box) const;

    GameOptions options_;
    guiWindow* window_ = nullptr;
    guiWindow* mapWindow_ = nullptr;
    guiWindow* gameTypeWindow_ = nullptr;
    std::array<guiCheckBox*, kUnitBoxes> unitBoxes_{};
    std::array<guiCheckBox*, kModeBoxes> modeBoxes_{};
    guiSlider* timerSlider_ = nullptr;
    guiSlider* armiesSlider_ = nullptr;
    guiSlider* mapSlider_ = nullptr;
    guiSlider* unitsSlider_ = nullptr;
    int lastMapShown_ = 0;
    int otherPlayers_ = 0;
    bool overLobby_ = false;
};

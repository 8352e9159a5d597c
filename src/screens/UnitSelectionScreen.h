// Unit selection: the player shares the army's units among the five unit
// types with one vertical slider each until the total is the options'
// maximum units per army; "Start" then begins the match. Types the options
// bar show a red cross and count 0. A slider moved past the total is pushed
// back, so the total never exceeds the maximum.
//
// The screen also keeps the players' set-up records (PlayerSlot) that a
// network game exchanges; they are cleared at every build, so a match never
// starts with armies left over from the one before.
#pragma once

#include "core/Singleton.h"
#include "game/GameOptions.h"
#include "gui/guiCodes.h"
#include "platform/math/Vector.h"

#include <array>
#include <cstdint>
#include <string>

class Canvas2D;

// One player's set-up, carried whole between machines (the network layer
// writes and reads its bytes).
struct PlayerSlot {
    ArmyUnitCounts counts;
    Vec3 start;
    bool ready = false;
    std::string name;
    std::uint32_t colour = 0;
    std::uint32_t mode = 0;
};

class UnitSelectionScreen : public Singleton<UnitSelectionScreen> {
    friend class Singleton<UnitSelectionScreen>;

public:
    static constexpr int kUnitTypes = 5;
    static constexpr int kSlots = 8;
    static constexpr const char* kCrossWindow = "XWindow";
    static constexpr const char* kBackButton = "ConfirmUnitsBackButtonHandle";

    // The types in the screen's order: Smashtor, Trajectagon, Triangoloid,
    // Detagon, Artillerator.
    enum Type : int {
        kSmashtor = 0,
        kTrajectagon = 1,
        kTriangoloid = 2,
        kDetagon = 3,
        kArtillerator = 4,
    };

    void Build();
    void Close();
    // The total line, the counts, and "Start" shown only when the total is right.
    void Draw(Canvas2D& canvas) const;

    int GetCount(Type type) const { return counts_[static_cast<std::size_t>(type)]; }
    int GetTotal() const;
    int GetRequiredTotal() const { return required_; }
    bool IsStartAllowed() const { return startAllowed_; }
    // The counts in the order army creation takes them.
    ArmyUnitCounts GetArmyCounts() const;
    const std::array<PlayerSlot, kSlots>& GetSlots() const { return slots_; }
    PlayerSlot& GetSlot(int index) { return slots_[static_cast<std::size_t>(index)]; }

    // A slider's count: the integer part of (1 - value) x the maximum.
    static int CountFromSlider(float value, int maximum);
    // The total line: "Total Units: N" and what it means.
    static std::string TotalText(int total, int required);

    static std::uint32_t SmashtorSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t TrajectagonSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t TriangoloidSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t DedagonSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t ArtilleratorSliderMoved(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t StartGameFromUnitSelection(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t UnitSelectionBackPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t UnitSelectionWindowCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);

private:
    UnitSelectionScreen() = default;

    void AddUnitType(Type type);
    void AddButtons();
    // The moved slider's count, pushed back by what goes over the total.
    void SliderMoved(Type type, float value);
    void StartSinglePlayer();

    std::array<int, kUnitTypes> counts_{};
    std::array<PlayerSlot, kSlots> slots_{};
    GameOptions options_;
    int required_ = 0;
    // The most a slider gives, at its end stop.
    int perTypeMaximum_ = 0;
    bool startAllowed_ = true;
};

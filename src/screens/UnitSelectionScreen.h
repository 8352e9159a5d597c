// Unit selection: the player shares the army's units among the five unit
// types with one vertical slider each until the total is the options'
// maximum units per army; "Start" then begins the match. Types the options
// bar show a red cross and count 0. A slider moved past the total is pushed
// back, so the total never exceeds the maximum.
//
// The screen also keeps the players' set-up records (PlayerSetup) that a
// network game exchanges, by connection id (0 the host); they are cleared at
// every build, so a match never starts with armies left over from the one
// before. In a network game the host's "Start" shows once every joined
// client has sent its ready slot; the host then places every ready player
// and sends the slots, and each client makes the same armies from them.
#pragma once

#include "core/Singleton.h"
#include "game/GameOptions.h"
#include "gui/guiCodes.h"
#include "platform/math/Vector.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Canvas2D;

// One player's set-up, carried whole between machines (the network layer
// turns it into its PlayerSlot record and back).
struct PlayerSetup {
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
    // Network host: every joined client is ready (or none is joined).
    void SetStartAllowed(bool allowed) { startAllowed_ = allowed; }
    // Host: the joined clients are now these ids; the slots of those who
    // left are cleared, and "Start" follows whether the rest are all ready.
    void PlayersChanged(const std::vector<std::int32_t>& ids);
    // Client: the host's slots arrived; the match starts with the armies it
    // placed, own the one at ownId.
    void StartNetworkMatch(const std::array<PlayerSetup, 8>& slots, std::int32_t ownId);

    // The counts in the order army creation takes them.
    ArmyUnitCounts GetArmyCounts() const;
    const std::array<PlayerSetup, kSlots>& GetSlots() const { return slots_; }
    PlayerSetup& GetSlot(int index) { return slots_[static_cast<std::size_t>(index)]; }

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
    void StartNetworkHost();
    void SendClientSlot();
    // Slot i's army, created from the entry as it stands.
    void CreateNetworkArmy(int index, bool selected);
    PlayerSetup OwnSetup() const;

    std::array<int, kUnitTypes> counts_{};
    std::array<PlayerSetup, kSlots> slots_{};
    GameOptions options_;
    int required_ = 0;
    // The most a slider gives, at its end stop.
    int perTypeMaximum_ = 0;
    bool startAllowed_ = true;
};

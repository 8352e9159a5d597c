// The lobby: who is connected, a chat box with its command line, and the
// match settings with the map's preview. Both sides have "Drop" (leave, back
// to the connection screen); the host also has "Ready" (everyone on to unit
// selection), "Change" (the options screen laid over the lobby) and a "Kick"
// beside each joined client.
//
// Every machine lists the players alike: the host first, then the clients
// in the order of their ids (the host from its own name and its joined
// players, a client from its host and the names the host sends). The kick
// buttons and the host's name lines follow the network's joined players
// every time they change, rather than a count kept alongside, so a double
// leave, a leave while the options lie over the lobby or a ninth client can
// never show a button for nobody or index past the eight; each sits on its
// client's line, under the host's. While the options lie over it the lobby
// is hidden and disabled: its command line and kick buttons take no keys or
// clicks meant for the options.
//
// Computer armies play only in single player, so the lobby's settings do
// not list them.
//
// Settings arrive checked (from the options or the network); names and chat
// lines are cut to the widths they travel in.
#pragma once

#include "core/Singleton.h"
#include "game/GameOptions.h"
#include "gui/guiCodes.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

class Canvas2D;
class guiButton;
class guiWindow;

// A settings line; the mode's and the units' names stand indented under
// their headings.
struct LobbyLine {
    std::string text;
    bool indented = false;
};

class LobbyScreen : public Singleton<LobbyScreen> {
    friend class Singleton<LobbyScreen>;

public:
    static constexpr const char* kWindow = "LobbyWindow";
    static constexpr const char* kChatBox = "LobbyChatBox";
    static constexpr const char* kCommandLine = "LobbyCommandLine";
    static constexpr const char* kMapWindow = "LobbyMapWindow";
    static constexpr const char* kReadyButton = "LobbyReadyButton";
    static constexpr const char* kDropButton = "LobbyQuitButton";
    static constexpr const char* kChangeButton = "LobbyOptionsButton";
    static constexpr const char* kKickPrefix = "KickButton";
    static constexpr int kKickButtons = 8;
    static constexpr int kNames = 7;
    // The chat line as typed, and a name as the names record carries it.
    static constexpr int kCommandLength = 75;
    static constexpr std::size_t kNameLength = 74;
    // The unit names in the order of the mask bits 1, 2, 4, 8, 16.
    static const std::array<const char*, 5> kUnitNames;

    void Build();
    void Close();
    // The names and the settings, at fixed pixels of the 1024x768 layout.
    void Draw(Canvas2D& canvas) const;
    // The lines Draw writes, for the names and for the settings.
    std::vector<std::string> NameLines() const;
    std::vector<LobbyLine> SettingsLines() const;

    // The host's joined players changed: the kick buttons follow them.
    void PlayersChanged();
    // Checked before it is stored; the preview follows the map.
    void SetGameOptions(const GameOptions& options);
    const GameOptions& GetOptions() const { return options_; }
    // Index 0-6 only; the name cut to its field.
    void SetPlayerName(int index, const std::string& name);
    const std::string& GetPlayerName(int index) const { return names_[static_cast<std::size_t>(index)]; }
    void AddChatLine(const std::string& line);
    void ShowMapPreview(int index);
    // Built (under the options too).
    bool IsShown() const { return shown_; }
    bool IsUnderOptions() const { return underOptions_; }
    int KickButtonsShown() const;
    // The options' "OK" and "Cancel": the lobby shown and taking input again.
    void ReturnFromOptions();

    static std::uint32_t LobbyChatEntered(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t LobbyKickPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t LobbyDropPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t LobbyReadyPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t LobbyOptionsPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);

private:
    LobbyScreen() = default;

    void AddHostButtons(guiWindow& window);
    void ForgetWidgets();
    // Hidden and disabled under the options, or shown and enabled again.
    void SetTakingInput(bool taking);
    void OpenOptions();
    void LeaveOptions();

    bool shown_ = false;
    bool underOptions_ = false;
    GameOptions options_{0, 1.0f, kAllowAllUnitTypes, 0, 40, 0};
    guiWindow* window_ = nullptr;
    guiWindow* mapWindow_ = nullptr;
    std::array<guiButton*, kKickButtons> kickButtons_{};
    std::array<std::string, kNames> names_{};
};

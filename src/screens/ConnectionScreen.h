// The connection screen, the first multi-player screen: the player types a
// name, then hosts ("Host Game", on to the lobby) or joins one of the hosts
// heard on the local network, each announced host adding a "Connect" button
// below the last. Entering it opens the network's receive port (the screen
// manager's network preparation); the host's welcome moves a joining player
// on to the lobby.
//
// One connection attempt at a time: while it runs every "Connect" and "Host
// Game" is hidden, so a second press cannot start another; a failed attempt
// shows them again with the failure written on the screen, and so does a
// host that turns the player away or sends a joined player back here. Every
// host the network keeps has its row inside the panel, its line level with
// its button, and button i always stands for host i of the network's list
// (buttons follow the list, which forgets silent hosts).
#pragma once

#include "core/Singleton.h"
#include "gui/guiCodes.h"

#include <cstddef>
#include <string>
#include <vector>

class Canvas2D;
class guiButton;

class ConnectionScreen : public Singleton<ConnectionScreen> {
    friend class Singleton<ConnectionScreen>;

public:
    static constexpr const char* kWindow = "ButtonsWindow";
    static constexpr const char* kNameBox = "NameText";
    static constexpr const char* kDefaultName = "NameGoesHere";
    // The "Back" button's widget name. "connectoin" is misspelt, but the name
    // is only the key the button is found by, so it stays spelt this way.
    static constexpr const char* kBackButton = "connectoinscreenQuitButtonHandle";
    static constexpr const char* kHostButtonPrefix = "ConnectionButton";
    // Left of the connection list's lines (drawn from 0.4 of the width), so
    // each button stands beside its host's line and covers none of it; lined
    // up with the name box.
    static constexpr float kHostButtonX = 0.3f;
    static constexpr float kFirstHostButtonY = 0.235f;
    // One row of the host list, its button and its line alike, as a share of
    // the screen's height. Sixteen rows (every host the network keeps) and
    // the total line under them end by about 0.85 of the height, clear of
    // the panel's bottom frame (from about 0.86); the buttons are as tall as
    // a row, so they stack without overlapping. Hosts past these would be
    // counted in the total, not listed.
    static constexpr float kHostRowStep = 0.037f;
    static constexpr float kHostButtonWidth = 0.08f;
    static constexpr float kHostButtonHeight = kHostRowStep;
    static constexpr std::size_t kMaxHostButtons = 16;
    // The label of a host button, in pixels from the face's corner.
    static constexpr float kConnectLabelOffset = 5.0f;

    // Why a host sent the player back here. Never welcomed: the host turned
    // the join away (its game full or past the lobby), or it went while the
    // join was on its way. Welcomed: the host kicked the player, or left, or
    // its connection was lost; its leave alone does not tell which.
    static constexpr const char* kNotLetInNote = "Could not join: the game is full or has begun, or the host has gone.";
    static constexpr const char* kSentBackNote = "The host has gone, or has removed you from its game.";

    void Build();
    void Close();
    // The hosts heard of, at (0.4, 0.2) of the screen, and what the last
    // attempt came to.
    void Draw(Canvas2D& canvas) const;

    // The network's host list changed: one button for each host that has
    // none yet, up to the cap, and none past the list's end.
    void RefreshHosts();
    // The attempt failed: the buttons come back and the failure is shown.
    void ConnectFailed();
    // The host sent the player back here (the screen just built afresh):
    // the reason is shown where the attempt's status was.
    void HostSentBack(bool welcomed);
    // The button's index in the host button list, or -1.
    int FindHostButton(const void* button) const;
    std::size_t HostButtonCount() const { return hostButtons_.size(); }
    const std::string& GetStatus() const { return status_; }
    // The name typed (the default when the box is gone).
    std::string TypedName() const;

    static std::uint32_t HostGamePressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t ConnectPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t ConnectionBackPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t ConnectionWindowCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    // The name box takes keys but acts on nothing, Enter included.
    static std::uint32_t NameBoxCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);

private:
    ConnectionScreen() = default;

    void AddHostButton();
    // The top of host row i, in pixels, where its button's face starts; the
    // row past the last host holds the total.
    static int RowTop(std::size_t row);
    // Every "Connect" and "Host Game" shown or hidden together.
    void ShowChoices(bool shown);
    void Connect(int index);

    std::vector<guiButton*> hostButtons_;
    std::string status_;
    std::string connectingTo_;
};

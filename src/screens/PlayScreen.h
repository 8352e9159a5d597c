// The in-game window: one full-screen GUI window, "MainPlayScreen", whose
// callback takes every mouse and key message no widget took during a match
// (and in the menus, where only a few of them act). Mouse gestures go to the
// SelectionController; key commands move the camera while held, open and
// close the chat line, quit or end the match, hold Ctrl, Shift, a formation
// or the waypoint mode, stop or select units, toggle the scores and save
// screenshots. It keeps no state of its own: the held modes live in the
// selection and the group mover.
//
// The screen manager builds the window when a match starts
// (ScreenManager::BuildPlayScreen calls PlayScreen::Build). What the window
// needs of the game above it comes in through PlayScreenHooks.
#pragma once

#include "core/Singleton.h"
#include "gui/guiCodes.h"
#include "render/Camera.h"

#include <cstdint>
#include <functional>
#include <string>

struct PlayScreenHooks {
    // True in GameState 1 (the menus); null counts as a match.
    std::function<bool()> inMenus;
    // The player's camera; null leaves camera keys without effect.
    Camera* camera = nullptr;
    // Sends one chat line to the other players.
    std::function<void(const std::string&)> sendChat;
    // Saves the last presented frame; the renderer's by default.
    std::function<void()> saveScreenshot;
};

class PlayScreen : public Singleton<PlayScreen> {
    friend class Singleton<PlayScreen>;

public:
    static constexpr const char* kWindowName = "MainPlayScreen";
    static constexpr const char* kChatBoxName = "ChatBox";
    static constexpr const char* kChatBackground = "Interface/EditBox/genericbg.dds";
    static constexpr std::int32_t kChatMaxLength = 100;

    void SetHooks(PlayScreenHooks hooks) { hooks_ = std::move(hooks); }

    // Makes the window "MainPlayScreen" with its callback.
    static void Build();
    static std::uint32_t MainPlayScreenCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t ChatBoxCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);

    // The CameraCommand a camera key holds (1 to 10); -1 for other keys.
    static int CameraCommandOfKey(std::uint32_t key);

private:
    PlayScreen() = default;

    bool InMenus() const { return hooks_.inMenus && hooks_.inMenus(); }
    void OnMouse(std::uint32_t code, float x, float y) const;
    void OnKeyDown(std::uint32_t key) const;
    void OnKeyUp(std::uint32_t key) const;
    void ToggleChatBox() const;
    void SendChat(const std::string& text) const;
    void SaveScreenshot() const;

    PlayScreenHooks hooks_;
};

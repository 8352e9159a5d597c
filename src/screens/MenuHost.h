// What the menu screens need of the game above them: the options and the
// kind of session, the authority flag, the match set-up calls of the
// single-player "Start", the armies of the battle behind the menus, and the
// screen's size for the texts drawn at fixed pixels. The Game provides it
// (app/GameMenuHost); the tests provide a recording one.
#pragma once

#include "game/GameOptions.h"
#include "platform/math/Vector.h"

#include <cstdint>
#include <string>

class MenuHost {
public:
    virtual ~MenuHost() = default;

    virtual const GameOptions& GetOptions() const = 0;
    // False, leaving the options as they were, for words out of range.
    virtual bool SetOptions(const GameOptions& options) = 0;
    virtual SessionKind GetSessionKind() const = 0;
    virtual void SetSessionKind(SessionKind kind) = 0;
    // Whether this machine runs the full simulation (single player or host).
    virtual bool HasAuthority() const = 0;
    virtual void SetAuthority(bool authority) = 0;
    // True while a match is played (not the battle behind the menus).
    virtual bool InMatch() const = 0;

    // The single-player start, step by step in the order the screen calls
    // them: stop the menu camera's orbit, clear the battle behind the menus,
    // start the match, add the armies, enter the match state.
    virtual void StopMenuCamera() = 0;
    virtual void EndMatch() = 0;
    virtual void StartMatch() = 0;
    // An army at position, or at a random free start slot when position is
    // the origin; local armies are the player's.
    virtual void CreateArmy(bool local, const ArmyUnitCounts& counts, const Vec3& position, bool human,
                            const std::string& name) = 0;
    virtual void CreateComputerArmies() = 0;
    // Network matches: the host draws a free start slot of the new match's
    // map for each player (false when none is left), and every machine then
    // makes the same armies in the same order where the host placed them;
    // only this machine's own army is selected.
    virtual bool ClaimStartSlot(Vec3& position, std::uint32_t& colour) = 0;
    virtual void CreateNetworkArmy(bool selected, const ArmyUnitCounts& counts, const Vec3& position,
                                   const std::string& name, std::uint32_t colour) = 0;
    virtual void EnterMatchState() = 0;
    // The loading just done is not counted as one long frame.
    virtual void RestartFrameClock() = 0;

    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
};

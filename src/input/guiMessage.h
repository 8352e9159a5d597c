// The input messages the keyboard and mouse offer to the GUI's windows,
// front window first. Mouse messages carry the cursor's pixel position (a = x,
// b = y, origin top left); key messages carry the key's command in a and, on
// key down, the typed character in b (0 when none).
#pragma once

#include <cstdint>

enum guiMessage : std::uint32_t {
    kGuiMouseMove = 1,
    kGuiLeftDown = 2,
    kGuiRightDown = 3,
    kGuiLeftUp = 4,
    kGuiRightUp = 5,
    // 6 is never sent.
    kGuiKeyDown = 7,
    kGuiKeyUp = 8,
};

// The game's key codes: what a key means, carried in the key messages the
// keyboard offers the GUI. The in-game window acts on them (camera, chat,
// quitting, selection, formations, waypoints, scores, screenshots); 13, 16
// and 19 are carried by no key, and T (14) and Y (18) mean nothing yet.
#pragma once

#include <cstdint>

enum KeyCommand : std::uint32_t {
    kKeyNone = 0,
    kKeyTurnLeft = 1,   // Z
    kKeyTurnRight = 2,  // X
    kKeyOrbitLeft = 3,  // Q
    kKeyOrbitRight = 4, // E
    kKeyPanForward = 5, // W
    kKeyPanBack = 6,    // S
    kKeyPanLeft = 7,    // A
    kKeyPanRight = 8,   // D
    kKeyZoomIn = 9,     // C
    kKeyZoomOut = 10,   // V
    kKeyChat = 11,      // grave accent
    kKeyQuit = 12,      // Esc
    kKeyT = 14,
    kKeyControl = 15, // either Ctrl
    kKeyStop = 17,    // Space
    kKeyY = 18,
    kKeyFormation1 = 20, // 6 to 9: formations 1 to 4 while held
    kKeyFormation2 = 21,
    kKeyFormation3 = 22,
    kKeyFormation4 = 23,
    kKeySelectType1 = 24, // 1 to 5: select every unit of a type
    kKeySelectType2 = 25,
    kKeySelectType3 = 26,
    kKeySelectType4 = 27,
    kKeySelectType5 = 28,
    kKeyWaypoints = 29,  // P
    kKeyScores = 30,     // Tab
    kKeySelectAll = 31,  // F2
    kKeyShift = 32,      // either Shift
    kKeyScreenshot = 33, // F10
};

// The screens the menus switch between, by the numbers the screen manager and
// the network's handlers both use.
#pragma once

enum ScreenId : int {
    kScreenTitle = 0,
    kScreenMainMenu = 1,
    kScreenUnitSelection = 2,
    kScreenConnection = 3,
    kScreenLobby = 4,
    kScreenOptions = 5,
    kScreenCount = 6,
};

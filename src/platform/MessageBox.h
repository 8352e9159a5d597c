// Messages the player must see, such as "Could not load map.". Always written
// to stderr; also shown in a dialog when a display is available. Never blocks
// when there is no display (headless runs and tests).
#pragma once

#include <string>

namespace platform {

void ShowMessageBox(const std::string& text, const std::string& title);

// Tests turn dialogs off so nothing waits for a click.
void SetMessageBoxDialogsEnabled(bool enabled);

} // namespace platform

// Messages the player must see, such as "Could not load map.". Always written
// to stderr; also shown in a dialog when a display is available. Never blocks
// when there is no display (headless runs and tests).
#pragma once

#include <functional>
#include <string>

namespace platform {

void ShowMessageBox(const std::string& text, const std::string& title);

// Tests turn dialogs off so nothing waits for a click.
void SetMessageBoxDialogsEnabled(bool enabled);

// Tests catch the messages instead: while a sink is set, every message goes to
// it alone. An empty sink restores the usual stderr line and dialog.
using MessageBoxSink = std::function<void(const std::string& text, const std::string& title)>;
void SetMessageBoxSink(MessageBoxSink sink);

} // namespace platform

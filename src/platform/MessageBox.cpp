// Message boxes over SDL. A dialog is shown only when a real video driver is
// up (not the offscreen or dummy ones), since it waits for the player. SDL's
// dialog blocks until it is answered, so it is shown inside a blocking-dialog
// scope: a quit signal then ends the program, dialog and all, and one that
// came before it leaves the dialog unopened.
#include "platform/MessageBox.h"

#include "platform/QuitRequest.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace platform {

namespace {

bool g_dialogsEnabled = true;
MessageBoxSink g_sink;

bool DisplayAvailable()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

} // namespace

void ShowMessageBox(const std::string& text, const std::string& title)
{
    if (g_sink) {
        g_sink(text, title);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    if (!g_dialogsEnabled || !DisplayAvailable()) {
        return;
    }
    // The scope first: a signal from here on ends the process, one before it
    // is seen below.
    const BlockingDialogScope blocking;
    if (!QuitSignalPending()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
    }
}

void SetMessageBoxDialogsEnabled(bool enabled)
{
    g_dialogsEnabled = enabled;
}

void SetMessageBoxSink(MessageBoxSink sink)
{
    g_sink = std::move(sink);
}

} // namespace platform

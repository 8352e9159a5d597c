// The host's lobby and the options laid over it, drawn by the whole game in
// an offscreen window at 1024x768 over the generated data, with a client
// joined: the host's own name heads the list, the client's kick button
// stands on the client's line, and the options offer no computer armies;
// a chat line far too long, cut inside the chat panel; and a line typed too
// long for the command line, shown by its end short of "Drop". Each picture
// is written to the build folder to be looked at.
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "render/TextManager.h"
#include "screens/LobbyScreen.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"

#include "GameOnScreen.h"
#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// How many pixels of the rectangle (right and bottom excluded) pass the test.
template <typename Test>
int CountPixels(const platform::RgbImage& image, int left, int top, int right, int bottom, const Test& test)
{
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
            count += test(Rgb{image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]}) ? 1 : 0;
        }
    }
    return count;
}

// Pixels of the rectangle (right and bottom excluded) whose colour differs
// between the two pictures by more than blending's rounding.
int ChangedPixels(const platform::RgbImage& a, const platform::RgbImage& b, int left, int top, int right, int bottom)
{
    int changed = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * a.width + x) * 3;
            for (std::size_t c = 0; c < 3; ++c) {
                if (std::abs(static_cast<int>(a.rgb[at + c]) - static_cast<int>(b.rgb[at + c])) > 8) {
                    ++changed;
                    break;
                }
            }
        }
    }
    return changed;
}

} // namespace

TEST_CASE("the host's lobby heads its list with the host, and its options offer no computer armies")
{
    testing::GameOnScreen screen(31);
    screen.session.hosting = true;
    screen.session.ownName = "Hal";
    screen.session.players = {{1, "Vera"}};
    ScreenManager::Instance()->SetScreen(kScreenLobby);
    screen.Frames(2);
    CHECK(LobbyScreen::Instance()->NameLines() == std::vector<std::string>{" 1: Hal", " 2: Vera"});
    // The kick button beside the client's line (141 + 30 pixels), not the host's.
    const guiObject* kick = guiManager::Instance()->FindObject(LobbyScreen::kWindow, "KickButton0", kGuiButton);
    REQUIRE(kick != nullptr);
    CHECK(kick->IsVisible());
    const guiWindow* lobby = guiManager::Instance()->GetWindow(LobbyScreen::kWindow);
    const guiRect rect =
        kick->PixelRect(lobby->GetPosition().x, lobby->GetPosition().y, lobby->GetWidth(), lobby->GetHeight());
    CHECK(rect.top >= 165.0f);
    CHECK(rect.bottom <= 200.0f);
    const platform::RgbImage lobbyShot = screen.Shot("net_lobby_host");

    // The same options screen in single player, then laid over the lobby:
    // where the computer armies' picture, count and slider stood, the
    // picture changes; elsewhere in that column it does not.
    ScreenManager::Instance()->SetScreen(kScreenOptions);
    OptionsScreen::Instance()->SetValues({0, 1.0f, kAllowAllUnitTypes, 0, 40, 3});
    screen.Frames(2);
    const platform::RgbImage single = screen.Shot("net_options_single");
    ScreenManager::Instance()->SetScreen(kScreenLobby);
    screen.Frames(1);
    REQUIRE(testing::Fire(LobbyScreen::LobbyOptionsPressed, kGuiButtonReleased));
    REQUIRE(ScreenManager::Instance()->GetScreenId() == kScreenOptions);
    OptionsScreen::Instance()->SetValues({0, 1.0f, kAllowAllUnitTypes, 0, 40, 3});
    screen.Frames(2);
    const platform::RgbImage overLobby = screen.Shot("net_options_over_lobby");
    // The computer armies' rows: heading picture, count and slider (x 723 to 990, y 249 to 410).
    CHECK(ChangedPixels(single, overLobby, 723, 249, 990, 410) > 2000);
    // The game time's rows above them stay as they were.
    CHECK(ChangedPixels(single, overLobby, 723, 80, 990, 230) < 50);
}

TEST_CASE("a chat line far too long stops inside the lobby's chat panel")
{
    testing::GameOnScreen screen(31);
    ScreenManager::Instance()->SetScreen(kScreenLobby);
    // As wide as a line comes: the chat record's whole field of "W".
    LobbyScreen::Instance()->AddChatLine(std::string(199, 'W'));
    screen.Frames(2);
    const platform::RgbImage picture = screen.Shot("net_lobby_long_chat");
    TextBox* chat = TextManager::Instance()->GetTextBox(LobbyScreen::kChatBox);
    REQUIRE(chat != nullptr);
    const std::string shown = chat->GetLines().front();
    CHECK(shown.ends_with("..."));
    // The newest line at (70, 654): its glyphs reach close to the panel's
    // frame, whose glass ends at the thin amber line at x 712, and nothing
    // of them lies on the frame or beyond.
    const auto glyph = [](const Rgb& c) {
        return std::abs(c.r - 54) <= 30 && std::abs(c.g - 115) <= 30 && std::abs(c.b - 199) <= 30;
    };
    CHECK(CountPixels(picture, 650, 654, 708, 670, glyph) >= 40);
    CHECK(CountPixels(picture, 709, 654, 760, 670, glyph) == 0);
    // Nor of their dark rim: the amber line beside them is as it is below
    // the chat, where no line is written.
    const std::size_t under = (static_cast<std::size_t>(682) * picture.width + 712) * 3;
    for (int y = 652; y < 672; ++y) {
        CAPTURE(y);
        const std::size_t at = (static_cast<std::size_t>(y) * picture.width + 712) * 3;
        for (std::size_t c = 0; c < 3; ++c) {
            CHECK(std::abs(static_cast<int>(picture.rgb[at + c]) - static_cast<int>(picture.rgb[under + c])) <= 4);
        }
    }
}

TEST_CASE("a long line typed in the lobby shows its end inside the command line, short of Drop")
{
    testing::GameOnScreen screen(31);
    ScreenManager::Instance()->SetScreen(kScreenLobby);
    // Typed as the player types, in capitals, wider than the line: it takes
    // its 75 characters.
    std::string typed;
    while (typed.size() < 90) {
        typed += "MEET AT THE HILL BY THE NORTHERN FORD, ";
    }
    for (const char c : typed) {
        testing::Dispatch(kGuiKeyDown, 0, c);
    }
    const guiObject* line =
        guiManager::Instance()->FindObject(LobbyScreen::kWindow, LobbyScreen::kCommandLine, kGuiEditBox);
    REQUIRE(line != nullptr);
    REQUIRE(static_cast<const guiEditBox*>(line)->GetText() == typed.substr(0, LobbyScreen::kCommandLength));
    screen.Frames(2);
    const platform::RgbImage picture = screen.Shot("net_lobby_long_command_line");
    const guiWindow* lobby = guiManager::Instance()->GetWindow(LobbyScreen::kWindow);
    const auto rectOf = [lobby](const guiObject& object) {
        return object.PixelRect(lobby->GetPosition().x, lobby->GetPosition().y, lobby->GetWidth(), lobby->GetHeight());
    };
    const guiRect box = rectOf(*line);
    const guiObject* drop =
        guiManager::Instance()->FindObject(LobbyScreen::kWindow, LobbyScreen::kDropButton, kGuiButton);
    REQUIRE(drop != nullptr);
    const guiRect dropRect = rectOf(*drop);

    // The text's rows: the end typed and the cursor reach close to the
    // line's inner edge (its text offset of 5 in from the right), which
    // stands before "Drop"; nothing of the text lies past it, on the
    // button or beyond.
    const auto glyph = [](const Rgb& c) {
        return std::abs(c.r - 54) <= 30 && std::abs(c.g - 115) <= 30 && std::abs(c.b - 199) <= 30;
    };
    const int inner = static_cast<int>(box.right) - 5;
    const int top = static_cast<int>(box.top);
    const int bottom = top + 24;
    CHECK(box.right < dropRect.left);
    CHECK(CountPixels(picture, inner - 40, top, inner, bottom, glyph) >= 20);
    CHECK(CountPixels(picture, inner + 1, top, 1024, bottom, glyph) == 0);
    // From its first character.
    CHECK(CountPixels(picture, static_cast<int>(box.left) + 5, top, static_cast<int>(box.left) + 40, bottom, glyph) >=
          20);
}

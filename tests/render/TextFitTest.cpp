// Text cut to its room by the font that draws it: with the game's real fonts
// a long name or chat line from the network never measures past its room,
// and keeps as much of itself as fits, not a count of the widest letters.
#include "render/TextManager.h"

#include "RenderTestWindow.h"

#include <doctest/doctest.h>

#include <string>

TEST_CASE("lines from the network are cut to their room by the game's own fonts")
{
    testing::GlTestScreen screen = testing::OpenGlTestScreen(64, 64);
    REQUIRE(screen.device);
    TextManager* text = TextManager::Instance();
    text->Init(screen.device.get());
    const std::string chat = "Wintergreen >> hold the ridge until the Artillerators are in range";
    for (const int room : {120, 200, 480}) {
        CAPTURE(room);
        const std::string cut = text->FitText(chat, "Default", room);
        CHECK(text->MeasureText(cut, "Default") <= room);
        REQUIRE(cut.size() > 3);
        CHECK(cut.substr(cut.size() - 3) == "...");
        CHECK(chat.rfind(cut.substr(0, cut.size() - 3), 0) == 0);
        // Typical letters are far narrower than the widest ("W", 15 pixels):
        // the cut keeps more than a count of widest letters would.
        CHECK(static_cast<int>(cut.size()) > room / 15 + 2);
    }
    CHECK(text->FitText("Ann", "Default", 200) == "Ann");
    CHECK(text->FitText(std::string(60, 'W'), "GameOverFont", 5).empty());
    text->Shutdown();
}

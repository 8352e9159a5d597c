// Text cut to its width without measuring: the widest character of each font
// key is the real font's widest (a font that grew would let cut text run past
// its panel, one that shrank would cut more than needed), and the cut keeps
// what fits.
#include "platform/GlFont.h"
#include "render/TextFit.h"

#include "RenderTestWindow.h"

#include <doctest/doctest.h>

#include <algorithm>

TEST_CASE("text is cut to the characters that always fit, and the widest character is the font's own")
{
    SUBCASE("the cut")
    {
        const int widest = WidestCharacterPixels("Default");
        CHECK(FitTextToWidth("Ann", 3 * widest, "Default") == "Ann");
        CHECK(FitTextToWidth("Annabel", 3 * widest + widest - 1, "Default") == "Ann");
        CHECK(FitTextToWidth("Ann", 0, "Default").empty());
        CHECK(FitTextToWidth("Ann", -40, "Default").empty());
        CHECK(CharactersThatFit(100, "no such font") <= CharactersThatFit(100, "GameOverFont"));
    }
    SUBCASE("against the fonts the game draws with")
    {
        testing::GlTestScreen screen = testing::OpenGlTestScreen(64, 64);
        REQUIRE(screen.device);
        // As TextManager::Init makes them.
        const struct {
            const char* key;
            platform::FontDesc desc;
        } fonts[] = {
            {"Default", {0, 0, true, false, "Arial"}},
            {"ButtonDefault", {15, 8, true, false, "Arial"}},
            {"GameOverFont", {32, 14, true, false, "Arial"}},
        };
        for (const auto& font : fonts) {
            CAPTURE(font.key);
            const std::unique_ptr<platform::Font> made = screen.device->CreateFont(font.desc);
            REQUIRE(made);
            const auto& glyphs = static_cast<const platform::GlFont&>(*made);
            int widest = 0;
            for (int byte = 0; byte < 256; ++byte) {
                const platform::GlFont::Glyph& glyph = glyphs.GetGlyph(static_cast<unsigned char>(byte));
                widest = std::max({widest, glyph.advance, glyph.left + glyph.width});
            }
            CHECK(widest == WidestCharacterPixels(font.key));
        }
    }
}

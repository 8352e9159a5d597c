#include "platform/ImageFile.h"
#include "platform/NullRenderDevice.h"
#include "render/TextManager.h"

#include "RecordingCanvas.h"
#include "RenderTestWindow.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST_CASE("queued text is drawn once in order through known fonts only")
{
    platform::NullRenderDevice device;
    TextManager* text = TextManager::Instance();
    text->Init(&device);
    text->Init(&device); // again after a match: no second set of fonts
    CHECK(device.FontsCreated() == 3);

    text->DrawText("first", 10, 20, "Default", {2.0f, 0.5f, -1.0f, 1.0f});
    text->DrawText("unknown", 10, 20, "NoSuchFont", kDefaultTextColor);
    text->DrawText("second", 10, 20, "GameOverFont", {0.0f, 0.0f, 1.0f, 0.5f});
    text->Render();
    // Clamped, times 255, plus a half, truncated: 0.5 -> 0x80.
    CHECK(device.CallsStartingWith("DrawText") ==
          std::vector<std::string>{"DrawText 16 10 20 FFFF8000 first", "DrawText 32 10 20 800000FF second"});
    CHECK(device.Calls().front() == "BeginSprites");
    CHECK(device.Calls().back() == "EndSprites");
    CHECK(text->GetQueue().empty());
    device.ClearCalls();
    text->Render();
    CHECK(device.CallsStartingWith("DrawText").empty());
    text->Shutdown();
}

TEST_CASE("outlined text goes through the font's outlined form, made once, and text is measured in its font")
{
    platform::NullRenderDevice device;
    TextManager* text = TextManager::Instance();
    text->Init(&device);
    text->DrawOutlinedText("Game On", 235, 700, "Default", kDefaultTextColor);
    REQUIRE(text->GetQueue().size() == 1);
    CHECK(text->GetQueue().front().outlined);
    text->Render();
    CHECK(device.CallsStartingWith("DrawText") == std::vector<std::string>{"DrawText 16 235 700 FF3673C7 Game On"});
    CHECK(device.FontsCreated() == 4);
    // A text box's lines are outlined too, through the same outlined font.
    text->CreateTextBox("ChatConsole", "Default", kDefaultTextColor, 8, 235, 700, true, true, -20)->AddLine("gg");
    text->Render();
    text->DrawOutlinedText("again", 0, 0, "GameOverFont", kDefaultTextColor);
    text->Render();
    CHECK(device.FontsCreated() == 5);

    // The null device's glyphs are half a line wide; lines measure apart.
    CHECK(text->MeasureText("abc", "Default") == 24);
    CHECK(text->MeasureText("abc\nabcdef", "ButtonDefault") == 42);
    CHECK(text->MeasureText("abc", "NoSuchFont") == 0);
    CHECK(text->LineHeight("GameOverFont") == 32);
    text->Shutdown();
}

TEST_CASE("text is cut to a width with dots, by what its font measures")
{
    testing::RecordingCanvas canvas; // 10 pixels a character
    CHECK(canvas.FitText("Wintergreen", "Default", 110) == "Wintergreen");
    CHECK(canvas.FitText("Wintergreen", "Default", 100) == "Winterg...");
    // No space is left before the dots.
    CHECK(canvas.FitText("abc defgh", "Default", 70) == "abc...");
    CHECK(canvas.FitText("abcdefgh", "Default", 40) == "a...");
    CHECK(canvas.FitText("abcdefgh", "Default", 20).empty());
    CHECK(canvas.FitText("", "Default", 0).empty());
}

TEST_CASE("text boxes stack their lines, fade them with age and drop one expired line per update")
{
    testing::ManualClockScope clock;
    platform::NullRenderDevice device;
    TextManager* text = TextManager::Instance();
    text->Init(&device);
    TextBox* chat = text->CreateTextBox("ChatConsole", "Default", kDefaultTextColor, 8, 235, 700, true, true, -20);
    REQUIRE(chat == text->GetTextBox("ChatConsole"));

    SUBCASE("newest at the box's place, older ones upwards, the ninth pushing out the oldest")
    {
        for (int i = 0; i < 9; ++i) {
            chat->AddLine("line " + std::to_string(i));
        }
        CHECK(chat->LineCount() == 8);
        text->Render();
        const std::vector<std::string> lines = device.CallsStartingWith("DrawText");
        REQUIRE(lines.size() == 8);
        CHECK(lines.front() == "DrawText 16 235 700 FF3673C7 line 8");
        CHECK(lines[1] == "DrawText 16 235 680 FF3673C7 line 7");
        CHECK(lines.back() == "DrawText 16 235 560 FF3673C7 line 1");
    }

    SUBCASE("opaque to 35 s, half at 40 s, gone from 45 s, removed at the next update")
    {
        chat->AddLine("old");
        // At 35, 40 and 45 s; the alpha is the colour's top byte.
        for (const auto& [seconds, alpha] : {std::pair{35.0, "FF"}, {5.0, "80"}, {5.0, "00"}}) {
            INFO("alpha " << alpha);
            clock.Advance(seconds);
            device.ClearCalls();
            text->Render();
            CHECK(device.CallsStartingWith("DrawText") ==
                  std::vector<std::string>{"DrawText 16 235 700 " + std::string(alpha) + "3673C7 old"});
        }
        CHECK(chat->LineCount() == 1); // exactly 45 s: not yet past
        clock.Advance(0.01);
        text->Render();
        CHECK(chat->LineCount() == 0);
    }

    SUBCASE("a hidden box keeps ageing and drops its expired lines one per update when shown")
    {
        chat->AddLine("a");
        chat->AddLine("b");
        chat->SetVisible(false);
        clock.Advance(50.0);
        chat->AddLine("c");
        text->Render();
        CHECK(device.CallsStartingWith("DrawText").empty());
        CHECK(chat->LineCount() == 3);
        chat->SetVisible(true);
        text->Render();
        CHECK(chat->LineCount() == 2);
        text->Render();
        CHECK(chat->LineCount() == 1);
    }

    SUBCASE("oldest first appends at the back and drops the front")
    {
        TextBox* log = text->CreateTextBox("Log", "Default", kDefaultTextColor, 2, 0, 0, false, false, 20);
        log->AddLine("1");
        log->AddLine("2");
        log->AddLine("3");
        text->Render();
        const std::vector<std::string> lines = device.CallsStartingWith("DrawText");
        REQUIRE(lines.size() == 2);
        CHECK(lines[0].ends_with(" 0 0 FF3673C7 2"));
        CHECK(lines[1].ends_with(" 0 20 FF3673C7 3"));
    }

    SUBCASE("a second box of a name is kept aside, and deleting goes by name")
    {
        chat->AddLine("kept");
        TextBox* again = text->CreateTextBox("ChatConsole", "Default", kDefaultTextColor, 8, 235, 700, true, true, -20);
        CHECK(again != chat);
        for (int i = 0; i < 8; ++i) {
            again->AddLine("");
        }
        CHECK(text->GetTextBox("ChatConsole") == chat);
        CHECK(chat->LineCount() == 1);
        // However often it is asked for again, one box is kept aside.
        CHECK(text->BoxCount() == 2);
        text->CreateTextBox("ChatConsole", "Default", kDefaultTextColor, 8, 235, 700, true, true, -20);
        CHECK(text->BoxCount() == 2);
        text->DeleteTextBox("Nothing");
        text->DeleteTextBox("ChatConsole");
        CHECK(text->GetTextBox("ChatConsole") == nullptr);
        CHECK(text->BoxCount() == 0);
    }
    text->Shutdown();
}

TEST_CASE("outlined text keeps its glyphs and stands in a dark rim on snow, and measures what it draws")
{
    constexpr int kWidth = 160;
    constexpr int kHeight = 64;
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kWidth, kHeight);
    REQUIRE(screen.device);
    platform::RenderDevice& device = *screen.device;
    TextManager* text = TextManager::Instance();
    text->Init(&device);
    device.BeginScene();
    device.Clear(0xFFE6EAEEu, 1.0f); // snow
    text->DrawText("Game On", 8, 6, "Default", kDefaultTextColor);
    text->DrawOutlinedText("Game On", 8, 36, "Default", kDefaultTextColor);
    text->Render();
    device.EndScene();
    platform::RgbImage picture;
    REQUIRE(device.ReadPicture(picture));
    platform::WriteWholeFile(std::string(KV_TEST_OUTPUT_DIR) + "/text_outline.png", platform::EncodePngRgb(picture));

    // Pixels of the text's colour (54, 115, 199), of a dark rim, and the
    // rightmost column with anything drawn, in a band of rows.
    const auto count = [&picture](int top, bool (*test)(std::uint32_t)) {
        int n = 0;
        for (int y = top - 3; y < top + 19; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                n += test(testing::PixelAt(picture, x, y)) ? 1 : 0;
            }
        }
        return n;
    };
    const auto blue = [](std::uint32_t c) {
        return std::abs(static_cast<int>(c >> 16) - 54) <= 20 &&
               std::abs(static_cast<int>((c >> 8) & 0xFF) - 115) <= 20 &&
               std::abs(static_cast<int>(c & 0xFF) - 199) <= 20;
    };
    const auto dark = [](std::uint32_t c) { return std::max({c >> 16, (c >> 8) & 0xFFu, c & 0xFFu}) < 50u; };
    const int plainBlue = count(6, blue);
    const int outlinedBlue = count(36, blue);
    CHECK(plainBlue >= 60);
    // The rim lies under the glyphs: their solid pixels stay as they were.
    CHECK(outlinedBlue >= plainBlue * 9 / 10);
    CHECK(count(6, dark) == 0);
    CHECK(count(36, dark) >= plainBlue);

    // The plain text's ink ends where its measured width says.
    int rightmost = 0;
    for (int y = 3; y < 25; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (testing::PixelAt(picture, x, y) != 0xE6EAEEu) {
                rightmost = std::max(rightmost, x);
            }
        }
    }
    const int measured = text->MeasureText("Game On", "Default");
    CHECK(rightmost <= 8 + measured);
    CHECK(rightmost >= 8 + measured - 4);
    text->Shutdown();
}

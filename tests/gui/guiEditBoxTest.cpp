// An edit box: typing only while focused, Enter, and how it is drawn (a
// chat line also grows with its text and outlines it).
#include "gui/guiEditBox.h"
#include "gui/guiWindow.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> entered;
guiWindow* boxWindow = nullptr;

std::uint32_t RecordEnter(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiEditBoxEnter) {
        entered.emplace_back(static_cast<const char*>(a->AsPointer()));
    }
    return 0;
}

// What the lobby does: empties the box while it still reads the text.
std::uint32_t EmptyThenRead(std::uint32_t, guiParam* a, guiParam*, bool*)
{
    static_cast<guiEditBox*>(boxWindow->FindObject("Line"))->SetText("");
    entered.emplace_back(static_cast<const char*>(a->AsPointer()));
    return 0;
}

std::uint32_t DeleteBox(std::uint32_t, guiParam*, guiParam*, bool*)
{
    boxWindow->DeleteObject("Line");
    return 0;
}

bool Key(guiObject& widget, int character, std::uint32_t message = kGuiKeyDown)
{
    return testing::Offer(widget, message, 0, character);
}

void Type(guiObject& widget, const std::string& text)
{
    for (const char c : text) {
        Key(widget, c);
    }
}

} // namespace

TEST_CASE("an edit box takes typed characters only while focused")
{
    testing::GuiTestScope gui;
    guiWindow window(nullptr, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    boxWindow = &window;
    auto* box = static_cast<guiEditBox*>(window.CreateObject("Line", kGuiEditBox, RecordEnter, 0.1f, 0.1f, 0.5f, 0.1f));
    entered.clear();

    SUBCASE("typing while focused only: tab, backspace, a full box, the toolkit's bound, and nothing from clicks")
    {
        CHECK_FALSE(Key(*box, 'a'));
        box->SetActive(1);
        // A box without a limit still stops at the toolkit's bound.
        Type(*box, std::string(guiEditBox::kMaxTextLength + 20, 'x'));
        CHECK(box->GetText().size() == guiEditBox::kMaxTextLength);
        box->SetText(std::string(1000, 'y'));
        CHECK(box->GetText().size() == guiEditBox::kMaxTextLength);
        box->SetText("");
        CHECK_FALSE(Key(*box, 0));
        CHECK_FALSE(Key(*box, 'a', kGuiKeyUp));
        CHECK_FALSE(testing::Offer(*box, kGuiLeftDown, 150, 90));
        box->SetMaxLength(4);
        Type(*box, "ab\tc");
        CHECK(Key(*box, 'd'));
        CHECK(box->GetText() == "ab\tc");
        CHECK(Key(*box, 8));
        CHECK(box->GetText() == "ab\t");
        box->SetText("");
        CHECK(Key(*box, 8));
        CHECK(box->GetText().empty());
    }

    SUBCASE("Enter hands over the whole text, even to a callback that empties the box, and goes on to the window")
    {
        box->SetActive(1);
        Type(*box, "hello");
        CHECK_FALSE(Key(*box, 10));
        CHECK(box->GetText().empty());
        box->SetCallback(EmptyThenRead);
        Type(*box, "gg all");
        Key(*box, 10);
        CHECK(entered == std::vector<std::string>{"hello", "gg all"});
        box->SetClearOnEnter(0);
        box->SetCallback(RecordEnter);
        Type(*box, "hi");
        Key(*box, 10);
        CHECK(box->GetText() == "hi");
    }

    SUBCASE("a callback that deletes the box during Enter")
    {
        box->SetCallback(DeleteBox);
        box->SetActive(1);
        Type(*box, "bye");
        testing::Offer(window, kGuiKeyDown, 0, 10);
        CHECK(window.FindObject("Line") == nullptr);
    }

    SUBCASE("the text and its cursor are drawn over the background in the window's alpha")
    {
        box->SetBackgroundTexture("bg");
        box->SetTextColor(1.0f, 1.0f, 1.0f, 1.0f);
        box->SetText("abc");
        box->SetActive(1);
        window.SetAlpha(0.5f);
        window.Render();
        REQUIRE(gui.canvas.calls.size() == 2);
        CHECK(gui.canvas.calls[0].texture == "bg");
        const testing::CanvasCall& text = gui.canvas.calls[1];
        CHECK(text.text == "abc_");
        CHECK(text.textColor.a == doctest::Approx(127.0 / 255.0));
        CHECK_FALSE(text.outlined);
    }

    SUBCASE("a box too narrow for its text shows the text's end inside its margins")
    {
        // 102.3 pixels wide with 5 on each side: nine characters of the
        // recording canvas's ten pixels.
        auto* line =
            static_cast<guiEditBox*>(window.CreateObject("Name", kGuiEditBox, nullptr, 0.2f, 0.1f, 0.1f, 0.03f));
        line->SetTextOffsetX(5);
        const auto drawn = [&]() {
            gui.canvas.calls.clear();
            line->Render(0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
            REQUIRE(gui.canvas.calls.size() == 1);
            return gui.canvas.calls[0];
        };
        line->SetText("abcdefghi");
        CHECK(drawn().text == "abcdefghi");
        line->SetActive(1);
        CHECK(drawn().text == "bcdefghi_");
        line->SetText("abcdefghijklmnop");
        const testing::CanvasCall text = drawn();
        CHECK(text.text == "ijklmnop_");
        CHECK(text.x == 209);
        CHECK(line->GetText() == "abcdefghijklmnop");
    }

    SUBCASE("a growing box widens with its text up to its limit, holds a line, and shows the end of a longer text")
    {
        // A sliver at (204.6, 690.3), 10.2 x 15.3 pixels; the recording
        // canvas counts 10 pixels a character and 16 a line.
        auto* chat =
            static_cast<guiEditBox*>(window.CreateObject("Chat", kGuiEditBox, nullptr, 0.2f, 0.9f, 0.01f, 0.02f));
        chat->SetBackgroundTexture("bg");
        chat->SetTextOffsetX(15);
        chat->SetTextOffsetY(3);
        chat->SetGrowLimit(0.3f);
        chat->SetOutlinedText(true);
        chat->SetActive(1);
        const auto drawn = [&]() {
            gui.canvas.calls.clear();
            chat->Render(0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
            REQUIRE(gui.canvas.calls.size() == 2);
            return std::pair{gui.canvas.calls[0], gui.canvas.calls[1]};
        };

        // Empty, it is the cursor's width and a line deep, margins included.
        auto [background, text] = drawn();
        CHECK(background.topLeft.x == doctest::Approx(204.6f));
        CHECK(background.bottomRight.x == doctest::Approx(204.6f + 30.0f + 10.0f));
        CHECK(background.bottomRight.y == doctest::Approx(690.3f + 6.0f + 16.0f));
        CHECK(text.outlined);

        chat->SetText("abc");
        std::tie(background, text) = drawn();
        CHECK(background.bottomRight.x == doctest::Approx(204.6f + 30.0f + 40.0f));
        CHECK(text.text == "abc_");

        // 42 characters with the cursor; the last 27 fit within 0.3 of the window.
        const std::string longText = "the quick brown fox jumps over a lazy dog";
        chat->SetText(longText);
        std::tie(background, text) = drawn();
        CHECK(text.text == longText.substr(15) + "_");
        CHECK(background.bottomRight.x <= doctest::Approx(204.6f + 306.9f));
        CHECK(background.bottomRight.x == doctest::Approx(204.6f + 30.0f + 270.0f));
        CHECK(chat->GetText() == longText);
    }
}

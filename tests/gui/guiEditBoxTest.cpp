#include "gui/guiEditBox.h"
#include "gui/guiWindow.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <string>
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
    }
}

#include "gui/guiButton.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"

#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using testing::Offer;

namespace {

std::vector<std::string> heard;
guiWindow* current = nullptr;

// Notes who heard which code: "A 100", "window 4".
template <const char* Who> std::uint32_t Heard(std::uint32_t code, guiParam*, guiParam*, bool*)
{
    heard.push_back(std::string(Who) + " " + std::to_string(code));
    return 0;
}

constexpr char kA[] = "A";
constexpr char kB[] = "B";
constexpr char kWindow[] = "window";

std::uint32_t DeleteSliders(std::uint32_t code, guiParam*, guiParam*, bool*)
{
    heard.push_back("A " + std::to_string(code));
    current->DeleteObject("A");
    current->DeleteObject("B");
    return 0;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

} // namespace

TEST_CASE("a window offers input to its widgets in name order and then to its callback")
{
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    guiWindow window(Heard<kWindow>, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    current = &window;
    heard.clear();
    auto* a = static_cast<guiButton*>(window.CreateObject("A", kGuiButton, Heard<kA>, 0.0f, 0.0f, 0.5f, 0.5f));
    auto* b = static_cast<guiButton*>(window.CreateObject("B", kGuiButton, Heard<kB>, 0.25f, 0.25f, 0.5f, 0.5f));
    a->SetUpTexture("a");
    b->SetUpTexture("b");

    SUBCASE("the first name takes an overlapping click and the last name is drawn on top")
    {
        CHECK(Offer(window, kGuiLeftDown, 300, 300));
        CHECK(heard == std::vector<std::string>{"A 100"});
        window.Render();
        CHECK(gui.canvas.DrawnTextures() == std::vector<std::string>{"a", "b"});
    }

    SUBCASE("what no widget handles goes to the callback, Enter after an edit box too")
    {
        CHECK_FALSE(Offer(window, kGuiRightDown, 300, 300));
        auto* line = static_cast<guiEditBox*>(window.CreateObject("C", kGuiEditBox, nullptr, 0, 0, 1, 1));
        line->SetActive(1);
        line->SetText("x");
        Offer(window, kGuiKeyDown, 0, 10);
        CHECK(heard == std::vector<std::string>{"window 3", "window 7"});
        CHECK(line->GetText().empty());
    }

    SUBCASE("an invisible window still takes input, a disabled one neither input nor drawing")
    {
        window.SetVisible(0);
        window.Render();
        CHECK(gui.canvas.calls.empty());
        CHECK(Offer(window, kGuiLeftDown, 300, 300));
        window.SetVisible(1);
        window.SetDisabled(1);
        CHECK_FALSE(Offer(window, kGuiLeftDown, 300, 300));
        CHECK_FALSE(Offer(window, kGuiRightDown, 300, 300));
        window.Render();
        CHECK(gui.canvas.calls.empty());
        CHECK(heard == std::vector<std::string>{"A 100"});
    }

    SUBCASE("an invisible widget is skipped both ways")
    {
        a->SetVisible(0);
        CHECK(Offer(window, kGuiLeftDown, 300, 300));
        CHECK(heard == std::vector<std::string>{"B 100"});
        window.Render();
        CHECK(gui.canvas.DrawnTextures() == std::vector<std::string>{"b"});
    }

    SUBCASE("a widget deleted by a callback mid-walk is neither offered the message nor freed under it")
    {
        // A release reaches every slider unhandled; the first takes itself and the second away.
        window.CreateObject("A", kGuiSlider, DeleteSliders, 0.0f, 0.0f, 0.5f, 0.5f);
        window.CreateObject("B", kGuiSlider, Heard<kB>, 0.0f, 0.0f, 0.5f, 0.5f);
        CHECK_FALSE(Offer(window, kGuiLeftUp, 10, 10));
        CHECK(heard == std::vector<std::string>{"A 105", "window 4"});
        CHECK(window.ObjectCount() == 0);
    }

    SUBCASE("a second widget of one name replaces the first")
    {
        window.CreateObject("A", kGuiButton, Heard<kB>, 0.0f, 0.0f, 0.5f, 0.5f);
        CHECK(window.ObjectCount() == 2);
        CHECK(Count(testing::ReadTextFile("guiWindow.txt"), "identical name") == 1);
        Offer(window, kGuiLeftDown, 10, 10);
        CHECK(heard == std::vector<std::string>{"B 100"});
        CHECK(window.CreateObject("D", 5, nullptr, 0, 0, 1, 1) == nullptr);
        CHECK(window.ObjectCount() == 2);
    }
}

TEST_CASE("a window draws its pictures under its widgets in its opacity")
{
    testing::TempDirectory logs;
    testing::GuiTestScope gui(1025, 769);
    guiWindow window(nullptr, 0.5f, 0.25f, 0.0f, 0.5f, 0.5f);
    window.CreateObject("Button", kGuiButton, nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
    window.GetButton("Button")->SetUpTexture("face");
    gui.canvas.missing.insert("gone.png");
    CHECK(window.AddTexture("back.png", 0.0f, 0.0f, 1.0f, 1.0f));
    CHECK_FALSE(window.AddTexture("gone.png", 0.0f, 0.0f, 1.0f, 1.0f));
    CHECK(window.AddTexture("title.png", 0.5f, 0.5f, 0.5f, 0.25f));
    CHECK(window.TextureCount() == 2);
    CHECK(Count(testing::ReadTextFile("guiWindow.txt"), "invalid texture") == 1);

    SUBCASE("in the order added, at the window's place, with alpha byte 127 at half opacity, held to its ends")
    {
        window.SetAlpha(0.5f);
        window.Render();
        CHECK(gui.canvas.DrawnTextures() == std::vector<std::string>{"back.png", "title.png", "face"});
        for (const testing::CanvasCall& call : gui.canvas.calls) {
            CHECK(call.color == 0x7FFFFFFFu);
        }
        CHECK(gui.canvas.calls[1].topLeft.x == 768.0f);
        // Opacity out of range is held to its ends.
        CHECK(guiWindow::ColorForAlpha(2.0f) == 0xFFFFFFFFu);
        CHECK(guiWindow::ColorForAlpha(-1.0f) == 0x00FFFFFFu);
    }

    SUBCASE("cleared pictures and a deleted widget let their textures go")
    {
        window.ClearTextures();
        window.DeleteObject("Button");
        CHECK(gui.canvas.LiveTextures() == 0);
    }
}

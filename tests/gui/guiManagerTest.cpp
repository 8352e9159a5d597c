// The GUI manager: the windows' stacking, input order and drawing order.
#include "gui/guiManager.h"
#include "gui/guiWindow.h"

#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> heard;

// Notes its number; one that handles the message says so, the others leave
// the flag as they found it.
template <int N, bool Handles = false> std::uint32_t Heard(std::uint32_t, guiParam*, guiParam*, bool* handled)
{
    heard.push_back(N);
    if (Handles) {
        *handled = true;
    }
    return 0;
}

// The "OK" of a screen: closes its own window and opens another in its place.
std::uint32_t CloseAndReopen(std::uint32_t, guiParam*, guiParam*, bool*)
{
    heard.push_back(1);
    guiManager::Instance()->DestroyWindow("Options");
    guiManager::Instance()->CreateWindow("Chat")->SetCallback(Heard<3>);
    return 0;
}

guiWindow* MakeWindow(const std::string& name, guiCallback callback)
{
    guiWindow* window = guiManager::Instance()->CreateWindow(name);
    window->SetCallback(callback);
    window->AddTexture(name, 0.0f, 0.0f, 1.0f, 1.0f);
    return window;
}

std::vector<std::string> Drawn(testing::GuiTestScope& gui)
{
    gui.canvas.calls.clear();
    guiManager::Instance()->RenderAll();
    return gui.canvas.DrawnTextures();
}

using Names = std::vector<std::string>;

} // namespace

TEST_CASE("the manager stacks windows, offers input front first and draws back to front")
{
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    guiManager* manager = guiManager::Instance();
    heard.clear();

    SUBCASE("one name gives one window, silently, and everything destroyed takes no input and draws nothing")
    {
        guiWindow* window = manager->CreateWindow("Title");
        window->SetPositionXYZ(0.25f, 0.0f, 0.0f);
        CHECK(manager->CreateWindow("Title") == window);
        CHECK(window->GetPosition().x == 0.25f);
        CHECK(manager->GetWindow("Nothing") == nullptr);
        CHECK(testing::ReadTextFile("guiWindow.txt").empty());

        // Everything destroyed takes no input and draws nothing, and destroying again is harmless.
        MakeWindow("a", Heard<1>);
        manager->DestroyAllWindows();
        manager->DestroyWindow("a");
        testing::Dispatch(kGuiRightDown, 5, 5);
        CHECK(heard.empty());
        CHECK(Drawn(gui).empty());
    }

    SUBCASE("a new window goes in front, of a higher one too until the next sort, which is stable")
    {
        MakeWindow("high", Heard<1>)->SetPositionXYZ(0.0f, 0.0f, 1.0f);
        MakeWindow("low", Heard<2>);
        MakeWindow("lower", Heard<3>);
        testing::Dispatch(kGuiRightDown, 5, 5);
        CHECK(heard == std::vector<int>{3, 2, 1});
        CHECK(Drawn(gui) == Names{"high", "low", "lower"});
        manager->SortWindows();
        CHECK(Drawn(gui) == Names{"low", "lower", "high"});
        // Moving a window re-sorts at once.
        manager->GetWindow("low")->SetPositionXYZ(0.0f, 0.0f, 5.0f);
        CHECK(Drawn(gui) == Names{"lower", "high", "low"});
    }

    SUBCASE("the handled flag stops the walk, and disabled windows are passed over")
    {
        MakeWindow("back", Heard<1>);
        MakeWindow("middle", Heard<9, true>);
        MakeWindow("front", Heard<3>)->SetDisabled(1);
        testing::Dispatch(kGuiRightDown, 5, 5);
        CHECK(heard == std::vector<int>{9});
    }

    SUBCASE("a destroyed name is free at once while the old window waits, unseen, for its deletion")
    {
        MakeWindow("Screen", Heard<1>);
        manager->DestroyWindow("Screen");
        guiWindow* fresh = MakeWindow("Screen", Heard<2>);
        CHECK(manager->GetWindow("Screen") == fresh);
        CHECK(manager->GetStackingOrder().size() == 2);
        testing::Dispatch(kGuiRightDown, 5, 5);
        CHECK(heard == std::vector<int>{2});
        CHECK(Drawn(gui) == Names{"Screen"});
        CHECK(manager->GetStackingOrder().size() == 1);
        // The old window's picture went with its destruction.
        CHECK(gui.canvas.LiveTextures() == 1);
    }

    SUBCASE("a window closed by its own callback takes no more input in the same poll")
    {
        MakeWindow("Lobby", Heard<2>);
        MakeWindow("Options", CloseAndReopen);
        testing::Dispatch(kGuiLeftDown, 5, 5);
        testing::Dispatch(kGuiLeftDown, 5, 5);
        CHECK(heard == std::vector<int>{1, 2, 3, 2});
        CHECK(Drawn(gui) == Names{"Lobby"});
        CHECK(manager->GetStackingOrder().size() == 2);
    }
}

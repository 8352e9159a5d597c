#include "input/Cursor.h"
#include "input/Mouse.h"
#include "input/guiMessage.h"
#include "platform/InputEvents.h"
#include "render/CameraCommand.h"

#include "RecordingInputHost.h"

#include <doctest/doctest.h>

#include <vector>

using testing::SentMessage;

namespace {

struct MouseFixture {
    MouseFixture()
    {
        platform::MouseRecords().Clear();
        platform::SetInputFocus(true);
        mouse = Mouse::Instance();
        mouse->Init(nullptr, &host);
        // The mouse outlives a subcase: back to the middle, inside every edge,
        // no button held.
        host.inMatch = true;
        mouse->MoveX(512);
        mouse->MoveY(384);
        Button(0, false);
        Button(1, false);
        mouse->Poll();
        mouse->Poll();
        host = {};
    }

    static void Push(const platform::MouseRecord& record) { platform::MouseRecords().Push(record); }
    static void Move(int dx, int dy) { Push({platform::MouseRecordKind::kMotion, dx, dy, 0, false, 0}); }
    static void Button(int button, bool down) { Push({platform::MouseRecordKind::kButton, 0, 0, button, down, 0}); }
    static void Wheel(int notches) { Push({platform::MouseRecordKind::kWheel, 0, 0, 0, false, notches}); }

    testing::RecordingInputHost host;
    Mouse* mouse = nullptr;
};

} // namespace

TEST_CASE("the mouse moves by twice the motion within the screen, clicks, turns its wheel and pans at the edges")
{
    MouseFixture f;

    SUBCASE("the screen's edges are refused, the pixels next to them taken")
    {
        f.Move(-256, 0); // to 0
        f.Move(0, 192);  // to 768
        f.mouse->Poll();
        CHECK(f.host.sent.empty());
        CHECK(f.mouse->GetX() == 512);
        f.mouse->SetX(3);
        f.Move(-1, 0); // to 1
        f.mouse->Poll();
        f.mouse->SetY(765);
        f.Move(0, 1); // to 767
        f.mouse->Poll();
        CHECK(f.host.sent == std::vector<SentMessage>{{kGuiMouseMove, 1, 384}, {kGuiMouseMove, 1, 767}});
    }

    SUBCASE("a wild reading is cut to what sixteen bits hold, not wrapped round")
    {
        f.host.inMatch = true;
        f.Move(40000, 0);
        f.mouse->Poll();
        CHECK(f.mouse->GetX() == 512);
        CHECK(f.host.camera == std::vector<int>{kCameraPanRight});
    }

    SUBCASE("without the focus nothing is taken and a held button is let go")
    {
        f.Button(0, true);
        f.mouse->Poll();
        platform::SetInputFocus(false);
        f.Move(5, 5);
        f.mouse->Poll();
        platform::SetInputFocus(true);
        f.mouse->Poll();
        CHECK(f.host.sent == std::vector<SentMessage>{{kGuiLeftDown, 512, 384}, {kGuiLeftUp, 512, 384}});
        CHECK_FALSE(f.mouse->IsButtonDown(0));
    }
    SUBCASE("a click within one poll: down then up, which still reads the button down")
    {
        f.Button(0, true);
        f.Button(0, false);
        f.Button(1, true);
        f.Button(1, false);
        f.Button(2, true);
        f.mouse->Poll();
        REQUIRE(f.host.sent.size() == 4);
        CHECK(f.host.sent[0] == SentMessage{kGuiLeftDown, 512, 384});
        CHECK(f.host.sent[1].message == kGuiLeftUp);
        CHECK(f.host.sent[1].leftDown);
        CHECK(f.host.sent[2].message == kGuiRightDown);
        CHECK(f.host.sent[3].message == kGuiRightUp);
        CHECK_FALSE(f.mouse->IsButtonDown(0));
        CHECK(f.mouse->WasButtonPressed(0));
        CHECK(f.mouse->WasButtonPressed(1));
        f.mouse->Poll();
        CHECK_FALSE(f.mouse->WasButtonPressed(0));
    }

    SUBCASE("one zoom step per wheel record, by its direction")
    {
        f.Wheel(1);
        f.Wheel(2);
        f.Wheel(-1);
        f.mouse->Poll();
        CHECK(f.host.zoomIns == 2);
        CHECK(f.host.zoomOuts == 1);
        CHECK(f.mouse->GetWheel() == -120.0f);
        f.mouse->Poll();
        CHECK(f.mouse->GetWheel() == 0.0f);
    }
    SUBCASE("in a match each edge starts its pan, pushing on keeps it, coming back stops it, menus have none")
    {
        f.host.inMatch = true;
        f.mouse->MoveX(10);
        f.mouse->MoveX(11);
        f.mouse->MoveX(1014);
        f.mouse->MoveX(5);
        f.mouse->MoveX(1013);
        f.mouse->MoveY(10);
        f.mouse->MoveY(758);
        f.mouse->MoveY(300);
        CHECK(f.host.camera == std::vector<int>{kCameraPanLeft, -kCameraPanLeft, kCameraPanRight, -kCameraPanRight,
                                                kCameraPanLeft, -kCameraPanLeft, kCameraPanForward, -kCameraPanForward,
                                                kCameraPanBack, -kCameraPanBack});
        // Pushing on against an edge keeps one pan going, and menus have none.
        f.host.camera.clear();
        f.mouse->MoveX(1);
        f.mouse->MoveX(0);
        f.mouse->MoveX(-30);
        CHECK(f.mouse->GetX() == 1);
        CHECK(f.host.camera == std::vector<int>{kCameraPanLeft});
        f.mouse->MoveX(500);
        f.host.inMatch = false;
        f.mouse->MoveX(5);
        f.mouse->MoveY(5);
        CHECK(f.host.camera == std::vector<int>{kCameraPanLeft, -kCameraPanLeft});
        CHECK(f.mouse->GetHorizontalEdge() == 1);
    }

    SUBCASE("an edge held as the match ends pans again in the next match")
    {
        f.host.inMatch = true;
        f.mouse->MoveX(5);
        f.mouse->MoveY(5);
        // The match's end clears the camera's commands; the cursor stays.
        f.host.inMatch = false;
        f.host.camera.clear();
        f.mouse->MoveX(4);
        f.mouse->MoveY(4);
        f.host.inMatch = true;
        f.mouse->MoveX(3);
        f.mouse->MoveY(3);
        CHECK(f.host.camera == std::vector<int>{kCameraPanLeft, kCameraPanForward});
    }
}

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
    Mouse* mouse = Mouse::Instance();
};

} // namespace

TEST_CASE_FIXTURE(MouseFixture, "the mouse moves twice its motion, clicks, turns its wheel and pans at the edges")
{

    SUBCASE("the screen's edges are refused, the pixels next to them taken")
    {
        Move(-256, 0); // to 0
        Move(0, 192);  // to 768
        mouse->Poll();
        CHECK(host.sent.empty());
        CHECK(mouse->GetX() == 512);
        mouse->SetX(3);
        Move(-1, 0); // to 1
        mouse->Poll();
        mouse->SetY(765);
        Move(0, 1); // to 767
        mouse->Poll();
        CHECK(host.sent == std::vector<SentMessage>{{kGuiMouseMove, 1, 384}, {kGuiMouseMove, 1, 767}});
    }

    SUBCASE("a wild reading is cut to what sixteen bits hold, not wrapped round")
    {
        host.inMatch = true;
        Move(40000, 0);
        mouse->Poll();
        CHECK(mouse->GetX() == 512);
        CHECK(host.camera == std::vector<int>{kCameraPanRight});
    }

    SUBCASE("without the focus nothing is taken and a held button is let go")
    {
        Button(0, true);
        mouse->Poll();
        platform::SetInputFocus(false);
        Move(5, 5);
        mouse->Poll();
        platform::SetInputFocus(true);
        mouse->Poll();
        CHECK(host.sent == std::vector<SentMessage>{{kGuiLeftDown, 512, 384}, {kGuiLeftUp, 512, 384}});
        CHECK_FALSE(mouse->IsButtonDown(0));
    }
    SUBCASE("losing the focus stops the edge pans, and only a move to an edge starts one again")
    {
        host.inMatch = true;
        mouse->MoveX(5);
        mouse->MoveY(760);
        platform::SetInputFocus(false);
        mouse->Poll();
        mouse->Poll();
        CHECK(host.camera == std::vector<int>{kCameraPanLeft, kCameraPanBack, -kCameraPanLeft, -kCameraPanBack});
        CHECK(mouse->GetHorizontalEdge() == 1);
        CHECK(mouse->GetVerticalEdge() == 1);
        // Back in focus the cursor still stands at the edges, but nothing
        // pans until it is pushed there again.
        platform::SetInputFocus(true);
        host.camera.clear();
        mouse->Poll();
        CHECK(host.camera.empty());
        Move(-1, 0);
        mouse->Poll();
        CHECK(mouse->GetX() == 3);
        CHECK(host.camera == std::vector<int>{kCameraPanLeft});
    }
    SUBCASE("a click in one poll is down then up, still reading the button down, and a wheel record one zoom step")
    {
        Button(0, true);
        Button(0, false);
        Button(1, true);
        Button(1, false);
        Button(2, true);
        mouse->Poll();
        REQUIRE(host.sent.size() == 4);
        CHECK(host.sent[0] == SentMessage{kGuiLeftDown, 512, 384});
        CHECK(host.sent[1].message == kGuiLeftUp);
        CHECK(host.sent[1].leftDown);
        CHECK(host.sent[2].message == kGuiRightDown);
        CHECK(host.sent[3].message == kGuiRightUp);
        CHECK_FALSE(mouse->IsButtonDown(0));
        CHECK(mouse->WasButtonPressed(0));
        CHECK(mouse->WasButtonPressed(1));
        mouse->Poll();
        CHECK_FALSE(mouse->WasButtonPressed(0));

        // One zoom step per wheel record, by its direction.
        Wheel(1);
        Wheel(2);
        Wheel(-1);
        mouse->Poll();
        CHECK(host.zoomIns == 2);
        CHECK(host.zoomOuts == 1);
        CHECK(mouse->GetWheel() == -120.0f);
        mouse->Poll();
        CHECK(mouse->GetWheel() == 0.0f);
    }

    SUBCASE("in a match each edge pans until the cursor comes back, menus have none, and a held edge pans again later")
    {
        host.inMatch = true;
        mouse->MoveX(10);
        mouse->MoveX(11);
        mouse->MoveX(1014);
        mouse->MoveX(5);
        mouse->MoveX(1013);
        mouse->MoveY(10);
        mouse->MoveY(758);
        mouse->MoveY(300);
        CHECK(host.camera == std::vector<int>{kCameraPanLeft, -kCameraPanLeft, kCameraPanRight, -kCameraPanRight,
                                              kCameraPanLeft, -kCameraPanLeft, kCameraPanForward, -kCameraPanForward,
                                              kCameraPanBack, -kCameraPanBack});
        // Pushing on against an edge keeps one pan going, and menus have none.
        host.camera.clear();
        mouse->MoveX(1);
        mouse->MoveX(0);
        mouse->MoveX(-30);
        CHECK(mouse->GetX() == 1);
        CHECK(host.camera == std::vector<int>{kCameraPanLeft});
        mouse->MoveX(500);
        host.inMatch = false;
        mouse->MoveX(5);
        mouse->MoveY(5);
        CHECK(host.camera == std::vector<int>{kCameraPanLeft, -kCameraPanLeft});
        CHECK(mouse->GetHorizontalEdge() == 1);

        // An edge held as the match ends pans again in the next match.
        host.inMatch = true;
        mouse->MoveX(5);
        mouse->MoveY(5);
        // The match's end clears the camera's commands; the cursor stays.
        host.inMatch = false;
        host.camera.clear();
        mouse->MoveX(4);
        mouse->MoveY(4);
        host.inMatch = true;
        mouse->MoveX(3);
        mouse->MoveY(3);
        CHECK(host.camera == std::vector<int>{kCameraPanLeft, kCameraPanForward});
    }
}

#include "input/Cursor.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

TEST_CASE("the cursor's picture sits on its hot spot and scales with the screen")
{
    testing::RecordingCanvas canvas;
    Cursor* cursor = Cursor::Instance();
    cursor->SetMode(kCursorSelect);
    Vec2 topLeft;
    Vec2 bottomRight;

    // At 1024x768, each mode's hot spot on the point.
    cursor->Init(1024, 768, &canvas);
    CHECK(cursor->GetX() == 512);
    CHECK(cursor->GetY() == 384);
    cursor->SetX(100);
    cursor->SetY(100);
    cursor->GetRect(topLeft, bottomRight);
    CHECK(topLeft.x == 99.5f);
    CHECK(bottomRight.y == 131.5f);
    cursor->SetMode(kCursorAttack);
    cursor->GetRect(topLeft, bottomRight);
    CHECK(topLeft.y == 83.5f);
    CHECK(bottomRight.x == 115.5f);
    // A mode out of range is refused.
    cursor->SetMode(static_cast<CursorMode>(7));
    CHECK(cursor->GetMode() == kCursorAttack);

    // At 800x600 the picture is 25 pixels but the hot spot stays in picture pixels.
    cursor->Init(800, 600, &canvas);
    cursor->GetRect(topLeft, bottomRight);
    CHECK(topLeft.x == 383.5f);
    CHECK(bottomRight.x - topLeft.x == 25.0f);
    CHECK(bottomRight.y - topLeft.y == 25.0f);

    // Each mode draws its picture in opaque white, a missing one nothing.
    canvas.missing.insert("Interface/Cursor/MoveCursor.png");
    cursor->Init(1024, 768, &canvas);
    for (const CursorMode mode : {kCursorSelect, kCursorMove, kCursorAttack}) {
        cursor->SetMode(mode);
        cursor->Render(canvas);
    }
    CHECK(canvas.DrawnTextures() ==
          std::vector<std::string>{"Interface/Cursor/SelectCursor.png", "Interface/Cursor/AttackCursor.png"});
    CHECK(canvas.calls[0].color == 0xFFFFFFFFu);
    // Every match's end loads them again; the old ones go.
    cursor->Init(1024, 768, &canvas);
    CHECK(canvas.LiveTextures() == 2);
    cursor->Release();
    CHECK(canvas.LiveTextures() == 0);
}

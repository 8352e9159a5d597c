#include "render/Camera.h"
#include "world/MapData.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>

namespace {

constexpr float kMapSize = 400.0f;

Camera CameraAt(const Vec3& eye, const Vec3& at, float speed)
{
    Camera camera;
    camera.GetView().SetEye(eye);
    camera.GetView().SetAt(at);
    camera.SetSpeed(speed);
    return camera;
}

float Distance(const Camera& camera)
{
    return Vec3Length(camera.GetView().GetAt() - camera.GetView().GetEye());
}

} // namespace

TEST_CASE("camera commands move by distance, speed and frame time and drop a move that breaks a limit")
{
    // Zoom in stops at 40 from the target, strictly, zoom out at 120 or at the bounds.
    // A step that would end on the limit is refused; a shorter one taken.
    const struct {
        int command;
        float from;
        float refused;
        float taken;
        float to;
    } kZooms[] = {{kCameraZoomIn, 50.0f, 0.4f, 0.39f, 40.25f}, {kCameraZoomOut, 100.0f, 0.4f, 0.3f, 115.0f}};
    for (const auto& zoom : kZooms) {
        CAPTURE(zoom.command);
        Camera camera = CameraAt({0, 0, -zoom.from}, {}, 0.5f);
        camera.AddCommand(zoom.command);
        camera.RunCommands(zoom.refused, kMapSize);
        CHECK(Distance(camera) == doctest::Approx(zoom.from));
        camera.RunCommands(zoom.taken, kMapSize);
        CHECK(Distance(camera) == doctest::Approx(zoom.to));
    }
    // Near the edge of a small map the same move is refused.
    Camera smallMap = CameraAt({0, 0, -50}, {}, 0.5f);
    smallMap.AddCommand(kCameraZoomOut);
    smallMap.RunCommands(0.1f, 80.0f); // 0.65 x 80 = 52 < 52.5
    CHECK(Distance(smallMap) == doctest::Approx(50.0f));

    // Pans move eye and target together, flat, and stop at the bounds.
    Camera panning = CameraAt({0, 50, -50}, {}, 0.5f);
    panning.AddCommand(kCameraPanForward);
    panning.RunCommands(1.0f, kMapSize);
    const float step = 0.5f * std::sqrt(5000.0f);
    testing::CheckNear(panning.GetView().GetEye(), {0.0f, 50.0f, -50.0f + step});
    testing::CheckNear(panning.GetView().GetAt(), {0.0f, 0.0f, step});
    panning.ClearCommands();
    panning.AddCommand(kCameraPanRight);
    const Vec3 before = panning.GetView().GetEye();
    panning.RunCommands(1.0f, kMapSize);
    CHECK(panning.GetView().GetEye().x == doctest::Approx(before.x + step));
    // 0.65 x 400 = 260: from x 250 a step of 35 is refused.
    Camera panEdge = CameraAt({250, 50, -50}, {250, 0, 0}, 0.5f);
    panEdge.AddCommand(kCameraPanRight);
    panEdge.RunCommands(1.0f, kMapSize);
    CHECK(panEdge.GetView().GetEye().x == doctest::Approx(250.0f));

    // The menu orbit keeps its radius round the centre and turning is never bounded.
    Camera orbiting = CameraAt({61.25f, 87.5f, 61.25f}, {}, 0.1f);
    orbiting.AddCommand(kCameraOrbitRight);
    for (int frame = 0; frame < 500; ++frame) {
        orbiting.RunCommands(0.05f, kMapSize);
    }
    const Vec3 eye = orbiting.GetView().GetEye();
    CHECK(std::sqrt(eye.x * eye.x + eye.z * eye.z) == doctest::Approx(std::sqrt(2.0f) * 61.25f));
    CHECK(eye.y == doctest::Approx(87.5f));
    CHECK_FALSE(eye.x == doctest::Approx(61.25f));

    Camera outside = CameraAt({300, 50, 0}, {}, 0.5f);
    outside.AddCommand(kCameraOrbitLeft);
    outside.RunCommands(0.1f, kMapSize);
    CHECK(outside.GetView().GetEye().x == doctest::Approx(300.0f));
    outside.ClearCommands();
    outside.AddCommand(kCameraTurnLeft);
    outside.RunCommands(0.1f, kMapSize);
    CHECK_FALSE(outside.GetView().GetAt().z == doctest::Approx(0.0f));

    // A turn or orbit with the eye straight above its target is dropped, not turned into NaN.
    Camera above = CameraAt({0, 80, 0}, {}, 0.5f);
    above.AddCommand(kCameraTurnLeft);
    above.AddCommand(kCameraOrbitRight);
    above.RunCommands(0.1f, kMapSize);
    CHECK(Vec3IsFinite(above.GetView().GetEye()));
    CHECK(Vec3IsFinite(above.GetView().GetAt()));
    CHECK(above.GetView().GetEye() == Vec3{0, 80, 0});

    // The wheel works only in a match, with a step not scaled by distance.
    Camera wheeled = CameraAt({0, 0, -100}, {}, 0.5f);
    wheeled.WheelZoomIn(0.1f, false);
    CHECK(Distance(wheeled) == doctest::Approx(100.0f));
    wheeled.WheelZoomIn(0.1f, true);
    CHECK(Distance(wheeled) == doctest::Approx(80.0f));
    wheeled.WheelZoomOut(0.05f, true, kMapSize);
    CHECK(Distance(wheeled) == doctest::Approx(90.0f));

    // The command list keeps duplicates and removes the first match only.
    Camera listed = CameraAt({0, 0, -100}, {}, 0.5f);
    listed.AddCommand(kCameraZoomIn);
    listed.AddCommand(kCameraPanLeft);
    listed.AddCommand(kCameraZoomIn);
    listed.AddCommand(42);
    listed.RemoveCommand(kCameraPanRight);
    CHECK(listed.GetCommands() == std::vector<int>{kCameraZoomIn, kCameraPanLeft, kCameraZoomIn});
    listed.RemoveCommand(kCameraZoomIn);
    CHECK(listed.GetCommands() == std::vector<int>{kCameraPanLeft, kCameraZoomIn});
    listed.ClearCommands();
    listed.AddCommand(kCameraZoomIn);
    listed.AddCommand(kCameraZoomIn);
    listed.RunCommands(0.1f, kMapSize); // 100 -> 95 -> 90.25
    CHECK(Distance(listed) == doctest::Approx(90.25f));
}

TEST_CASE("the camera view's directions and matrices, and picking the ground through it")
{
    CameraView view;
    view.SetEye({0, 0, 0});
    view.SetAt({0, 0, 5});
    CHECK(view.GetRight() == Vec3{1, 0, 0});
    view.SetEye({0, 10, -10});
    view.SetAt({});
    testing::CheckNear(view.GetScreenUp(), {0.0f, std::sqrt(0.5f), std::sqrt(0.5f)});
    // The view matrix takes the target onto the view's +z axis.
    testing::CheckNear(Vec3TransformCoord({}, view.GetViewMatrix()), {0.0f, 0.0f, std::sqrt(200.0f)});
    view.SetLookDirection({0, -1, 1});
    CHECK(view.GetTarget() == Vec3{0, 9, -9});
    view.SetAspect(1.0f);
    view.SetFov(kPi / 2.0f);
    const Matrix p = view.GetProjectionMatrix();
    CHECK(p.m[0][0] == doctest::Approx(1.0f));
    CHECK(p.m[2][3] == doctest::Approx(1.0f));

    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(400.0f, 17, testing::FlatGround, -5.0f)));
    Camera camera;
    camera.GetView().SetEye({61.25f, 87.5f, 61.25f});
    camera.GetView().SetAt({10, 0, -20});
    camera.GetView().SetAspect(1024.0f / 768.0f);
    Vec3 ground;
    REQUIRE(terrain.ScreenToTerrain(camera.MakePickView(1024, 768), 512, 384, ground));
    CHECK(ground.x == doctest::Approx(10.0f).epsilon(0.01));
    CHECK(ground.z == doctest::Approx(-20.0f).epsilon(0.01));
}

#include "platform/NullRenderDevice.h"
#include "render/MeshDrawer.h"
#include "world/MeshLibrary.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>

namespace {

bool SameMatrix(const Matrix& a, const Matrix& b)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (std::fabs(a.m[r][c] - b.m[r][c]) > 1e-5f) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST_CASE("meshes draw each part at its own pose from buffers made once")
{
    testing::DataDirectoryScope data;
    platform::NullRenderDevice device;
    MeshDrawer drawer(device);
    const std::vector<AnimatedMesh>& smashtor = MeshLibrary::Instance()->GetUnitAnimations(0);
    REQUIRE_FALSE(smashtor.empty());
    const AnimatedMesh& walk = smashtor[1];
    REQUIRE(walk.GetPartCount() > 1);

    const Vec3 position{5, 1, -3};
    const Vec3 axis{0, 1, 0};
    drawer.DrawAnimatedMesh(walk, position, axis, 0.7f, 0.25);
    CHECK(device.CallsStartingWith("DrawIndexedPrimitive").size() == static_cast<std::size_t>(walk.GetPartCount()));
    CHECK(device.CallsStartingWith("CreateVertexBuffer").size() == static_cast<std::size_t>(walk.GetPartCount()));
    // The last part drawn is placed by its own track at this unit's moment.
    const int last = walk.GetPartCount() - 1;
    CHECK(SameMatrix(device.GetState().GetTransform(platform::TransformKind::World),
                     walk.GetPartWorldMatrix(last, 0.25, position, axis, 0.7f)));
    // A second unit at another moment reuses the buffers and gets its own pose.
    device.ClearCalls();
    drawer.DrawAnimatedMesh(walk, position, axis, 0.7f, 0.5);
    CHECK(device.CallsStartingWith("CreateVertexBuffer").empty());
    CHECK(SameMatrix(device.GetState().GetTransform(platform::TransformKind::World),
                     walk.GetPartWorldMatrix(last, 0.5, position, axis, 0.7f)));

    const ObjectMesh& tree = MeshLibrary::Instance()->GetObjectMesh(ObjectMeshType::Tree);
    const Vec3 axes[2] = {{0, 1, 0}, {1, 0, 0}};
    const float angles[2] = {1.0f, 0.5f};
    device.ClearCalls();
    drawer.DrawObjectMesh(tree, position, axes, angles);
    CHECK(device.CallsStartingWith("DrawIndexedPrimitive").size() == 1);
    CHECK(SameMatrix(device.GetState().GetTransform(platform::TransformKind::World),
                     MatrixRotationY(1.0f) * MatrixRotationX(0.5f) * MatrixTranslation(5, 1, -3)));
    CHECK(drawer.GetObjectTexture(tree) != nullptr);
    CHECK(drawer.GetObjectTexture(tree) == drawer.GetObjectTexture(tree));
    // An empty mesh draws nothing.
    device.ClearCalls();
    drawer.DrawAnimatedMesh(AnimatedMesh(), position, axis, 0.0f, 0.0);
    drawer.DrawObjectMesh(ObjectMesh(), position, axes, angles);
    CHECK(device.CallsStartingWith("Draw").empty());
}

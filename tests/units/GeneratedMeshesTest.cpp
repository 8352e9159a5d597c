// The unit models the data generator writes, checked against what the units
// and the renderer assume of them.
#include "world/MeshLibrary.h"

#include "TestMeshes.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>

namespace {

struct Box {
    Vec3 low{1e9f, 1e9f, 1e9f};
    Vec3 high{-1e9f, -1e9f, -1e9f};

    void Add(const Vec3& p)
    {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
};

// Where every part of a unit model lies at a moment of an animation.
Box PoseBox(const AnimatedMesh& mesh, double seconds)
{
    Box box;
    for (int part = 0; part < mesh.GetPartCount(); ++part) {
        const Matrix world = mesh.GetPartWorldMatrix(part, seconds, {}, {0, 1, 0}, 0.0f);
        for (const MeshVertex& v : mesh.GetPartGeometry(part).vertices) {
            box.Add(Vec3TransformCoord(v.position, world));
        }
    }
    return box;
}

void CheckLoops(const AnimatedMesh& mesh)
{
    for (int part = 0; part < mesh.GetPartCount(); ++part) {
        const AnimationSrt first = mesh.GetPartSrt(part, 0.0);
        const AnimationSrt last = mesh.GetPartSrt(part, mesh.GetPeriod() * 0.99999);
        CHECK(Vec3Length(first.translation - last.translation) < 1e-3f);
        CHECK(std::fabs(first.rotation.x * last.rotation.x + first.rotation.y * last.rotation.y +
                        first.rotation.z * last.rotation.z + first.rotation.w * last.rotation.w) > 0.9999f);
    }
}

// A unit stands on its origin, about 1.5 to 2 tall, within the +-1 square of
// its collision radius, pick rectangle and health bar, whatever it is doing.
void CheckStance(const AnimatedMesh& mesh, bool fromRest)
{
    for (int step = 0; step <= 24; ++step) {
        const Box box = PoseBox(mesh, mesh.GetPeriod() * step / 24.0);
        INFO("at " << step << "/24 of the period");
        CHECK(box.low.y > -0.06f);
        CHECK(box.high.y > 1.4f);
        CHECK(box.high.y < 2.1f);
        CHECK(std::max({-box.low.x, box.high.x, -box.low.z, box.high.z}) <= 1.0f);
    }
    if (fromRest) {
        CHECK(PoseBox(mesh, 0.0).low.y < 0.06f); // its feet on the ground
    }
}

} // namespace

TEST_CASE("every generated unit animation loads, its parts matched to their tracks, within its bounds")
{
    testing::DataDirectoryScope data;
    const MeshLibrary& library = *MeshLibrary::Instance();
    for (int set = 0; set < kUnitMeshSetCount; ++set) {
        const std::vector<AnimatedMesh>& animations = library.GetUnitAnimations(set);
        REQUIRE(animations.size() == UnitAnimationFileNames(set).size());
        for (std::size_t id = 0; id < animations.size(); ++id) {
            const AnimatedMesh& mesh = animations[id];
            INFO(std::string(UnitAnimationFileNames(set)[id]));
            REQUIRE_FALSE(mesh.IsEmpty());
            REQUIRE_FALSE(mesh.IsStatic());
            const AnimationSet* tracks = mesh.GetController()->GetAnimationSetByIndex(0);
            const int n = tracks->GetAnimationCount();
            REQUIRE(mesh.GetPartCount() == n);
            CHECK(n == animations[0].GetPartCount()); // one model in every file of a type
            for (int part = 0; part < n; ++part) {
                CHECK(mesh.GetPartFrameName(part) == tracks->GetAnimationFrameName(n - 1 - part));
                CHECK(testing::CountWrongWinding(mesh.GetPartGeometry(part)) == 0);
            }
            CHECK(mesh.GetPeriod() > 0.0);
            if (set != kClickMarkerMeshSet) {
                CheckStance(mesh, id == 0);
            }
            if (set != kClickMarkerMeshSet && id < 2) {
                CheckLoops(mesh); // idle and walk repeat without a jump
                CHECK(mesh.GetPeriod() < 3.0);
            }
        }
        if (set != kClickMarkerMeshSet) {
            CHECK(animations[1].GetPeriod() < animations[0].GetPeriod()); // the walk steps quicker than the idle
        }
    }
    CHECK(library.GetUnitAnimations(kUnitMeshSetCount).empty()); // out of range, not past the end
    CHECK(library.GetUnitAnimations(-1).empty());
    // The marker's arrow comes to rest on the point, 1.0 below where it is drawn.
    const AnimatedMesh& marker = library.GetUnitAnimations(kClickMarkerMeshSet)[0];
    CHECK(PoseBox(marker, marker.GetPeriod()).low.y == doctest::Approx(-1.0f).epsilon(0.05));
}

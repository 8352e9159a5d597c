#include "world/MeshHierarchy.h"

#include "TestMeshes.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

namespace {

std::vector<std::string> Children(const MeshHierarchy& h, int frame)
{
    std::vector<std::string> names;
    for (int child = h.GetFrame(frame).firstChild; child >= 0; child = h.GetFrame(child).nextSibling) {
        names.push_back(h.GetFrame(child).name);
    }
    return names;
}

} // namespace

TEST_CASE("the frame tree links children and siblings in file order under an unnamed root")
{
    XFileData file;
    for (const auto& [name, parent] : std::vector<std::pair<std::string, std::int32_t>>{
             {"A", -1}, {"A1", 0}, {"A1x", 1}, {"A2", 0}, {"B", -1}, {"", -1}}) {
        file.frames.push_back(testing::MeshFrame(name, parent));
    }
    file.frames[3].meshes = {testing::SquareMesh("First"), testing::SquareMesh("Second")};
    REQUIRE(ValidateXFileData(file));
    const MeshHierarchy h(file);
    CHECK(h.GetFrame(0).name.empty());
    CHECK(Children(h, 0) == std::vector<std::string>{"A", "B", ""});
    CHECK(Children(h, 1) == std::vector<std::string>{"A1", "A2"});
    CHECK(Children(h, 2) == std::vector<std::string>{"A1x"});
    CHECK(h.GetContainerCount() == 2);
    CHECK(h.GetFirstContainer(h.FindFrameByName("A2"))->name == "First");
    CHECK(h.GetFrame(h.FindFrameByName("A2")).containerCount == 2);
    CHECK(h.GetFirstContainer(h.FindFrameByName("A")) == nullptr);
    CHECK(h.GetFirstContainer(99) == nullptr);
    CHECK(h.FindFrameByName("Nobody") == -1);
}

TEST_CASE("merging places each mesh by its frame and the frames above it, and joins equal materials")
{
    XFileData file;
    file.frames.push_back(testing::MeshFrame("Base", -1, {testing::SquareMesh("A")}));
    file.frames.push_back(testing::MeshFrame("Arm", 0, {testing::SquareMesh("B"), testing::SquareMesh("C", 0.5f)}));
    file.frames[0].transform = MatrixTranslation(10, 0, 0);
    file.frames[1].transform = MatrixScaling(2, 2, 2) * MatrixRotationY(kPi / 2.0f);
    REQUIRE(ValidateXFileData(file));
    const MeshGeometry merged = MeshHierarchy(file).MergeAll();
    REQUIRE(merged.materials.size() == 2); // A and B share one
    CHECK(merged.subsets[0].indexCount == 12);
    CHECK(merged.subsets[1].indexCount == 6);
    // B's corner (1, 1, 0): scaled, turned a quarter about y, moved by Base.
    const Vec3 corner = merged.vertices[merged.indices[merged.subsets[0].firstIndex + 6 + 2]].position;
    testing::CheckNear(corner, {10.0f, 2.0f, -2.0f});
    CHECK(Vec3Length(merged.vertices[0].normal) == doctest::Approx(1.0f)); // unit length after the scaling
}

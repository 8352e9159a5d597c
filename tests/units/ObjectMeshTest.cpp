#include "world/ObjectMesh.h"

#include "TestMeshes.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <fstream>

TEST_CASE("an object joins the meshes of its file, and a failed load leaves it empty and logged")
{
    testing::TempDirectory directory;
    XFileData file;
    file.frames.push_back(testing::MeshFrame("Trunk", -1, {testing::SquareMesh("Bark")}));
    file.frames.push_back(testing::MeshFrame("Crown", 0, {testing::SquareMesh("Leaves")}));
    file.frames[1].transform = MatrixTranslation(0, 2, 0);
    ObjectMesh tree;
    REQUIRE(tree.LoadFromData(file));
    CHECK(tree.GetGeometry().subsets.size() == 1); // one material: all in subset 0, the one drawn
    CHECK(tree.GetGeometry().indices.size() == 12);

    std::ofstream("tree.X") << WriteXFile(file);
    REQUIRE(tree.Load("tree.X", "Actors/ObjectTextures/tree1.png"));
    CHECK_FALSE(tree.Load("gone.X", "gone.png"));
    CHECK(tree.IsEmpty()); // not the tree that was there before
    CHECK(testing::ReadTextFile("Meshes.txt").find("Mesh gone.X not loaded: ") != std::string::npos);
}

TEST_CASE("an object is turned about each axis in turn, then moved")
{
    const Vec3 axes[] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 0}};
    const float angles[] = {kPi / 2.0f, kPi / 2.0f, 1.0f};
    // (1, 0, 0) a quarter about y is (0, 0, -1), then about x (0, 1, 0).
    testing::CheckNear(Vec3TransformCoord({1, 0, 0}, ObjectMesh::GetWorldMatrix({5, 0, 0}, axes, angles)), {5, 1, 0});
    testing::CheckNear(Vec3TransformCoord({1, 0, 0}, ObjectMesh::GetWorldMatrix({5, 0, 0}, std::span(axes, 1), angles)),
                       {5, 0, -1});
}

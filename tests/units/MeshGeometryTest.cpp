#include "world/MeshGeometry.h"

#include "TestMeshes.h"

#include <doctest/doctest.h>

TEST_CASE("a corner shared by faces of different normals is split, and polygons become fans")
{
    // A roof: two slopes meeting along the ridge (positions 1 and 2), each
    // with its own normal, over a five-cornered floor.
    XMesh mesh = testing::SquareMesh("Roof");
    mesh.positions = {{0, 0, 0}, {0, 1, 1}, {1, 1, 1}, {1, 0, 0}, {1, 0, 2}, {0, 0, 2}, {0.5f, 0, 2.5f}};
    mesh.textureCoords.resize(mesh.positions.size());
    mesh.faces = {{0, 1, 2, 3}, {4, 2, 1, 5}, {0, 3, 4, 6, 5}};
    mesh.normals = {{0, 0.7071068f, -0.7071068f}, {0, 0.7071068f, 0.7071068f}, {0, -3, 0}};
    mesh.normalFaces = {{0, 0, 0, 0}, {1, 1, 1, 1}, {2, 2, 2, 2, 2}};
    mesh.faceMaterials = {0, 0, 0};
    const MeshGeometry g = BuildMeshGeometry(mesh);
    CHECK(g.vertices.size() == 4 + 4 + 5); // the ridge twice, the base's corners again
    CHECK(g.indices.size() == 3 * (2 + 2 + 3));
    CHECK(g.vertices[g.indices.back()].normal == Vec3{0, -1, 0}); // made unit length
    CHECK(g.indices[12] == g.indices[18]);                        // a fan shares its first corner
    CHECK(testing::CountWrongWinding(g) == 0);
}

TEST_CASE("triangles are grouped by material, and a mesh naming none gets the default")
{
    XMesh mesh = testing::SquareMesh("Strip");
    mesh.positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {2, 1, 0}, {2, 0, 0}};
    mesh.textureCoords.resize(6);
    mesh.faces = {{0, 1, 3}, {3, 2, 4}, {1, 2, 3}, {3, 4, 5}};
    mesh.normalFaces.assign(4, {0, 0, 0});
    mesh.materials.resize(3);
    mesh.faceMaterials = {2, 0, 2, 2};
    const MeshGeometry g = BuildMeshGeometry(mesh);
    REQUIRE(g.subsets.size() == 3);
    CHECK(g.subsets[0].firstIndex == 0);
    CHECK(g.subsets[0].indexCount == 3);
    CHECK(g.subsets[1].indexCount == 0);
    CHECK(g.subsets[2].firstIndex == 3);
    CHECK(g.subsets[2].indexCount == 9);
    CHECK(g.vertices[g.indices[0]].position == Vec3{1, 0, 0}); // face 1 leads subset 0

    mesh.materials.clear();
    mesh.faceMaterials.clear();
    const MeshGeometry plain = BuildMeshGeometry(mesh);
    REQUIRE(plain.materials.size() == 1);
    CHECK(plain.materials[0].diffuse.r == 0.5f);
    CHECK(plain.materials[0].diffuse.a == 0.0f);
    CHECK(plain.subsets[0].indexCount == 12);
}

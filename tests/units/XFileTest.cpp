// The mesh file format: what the writer writes the reader reads back, and
// every way a file can break the format is refused with its own reason.
#include "world/XFile.h"

#include "TestMeshes.h"

#include <doctest/doctest.h>

namespace {

// A file with every kind of object the writer makes: nested frames with a
// transform, a texture name, all three key kinds.
XFileData FullFile()
{
    XFileData file = testing::PartsFile(2);
    file.ticksPerSecond = 30;
    file.frames[0].transform = MatrixTranslation(1.5f, -2.0f, 0.25f);
    file.frames.insert(file.frames.begin() + 1,
                       testing::MeshFrame("Child", 0, {testing::SquareMesh("ChildMesh", 0.25f)}));
    file.frames[1].meshes[0].materials[0].textureFile = "tree1.png";
    XAnimation& track = file.animationSets[0].animations[0];
    track.rotationKeys = {{0, {0, 0, 0, 1}}, {15, {0, 0.7071068f, 0, 0.7071068f}}};
    track.scaleKeys = {{0, {1, 1, 1}}, {30, {2, 2, 2}}};
    return file;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    REQUIRE_MESSAGE(at != std::string::npos, "the good file has no " << from);
    return text.replace(at, from.size(), to);
}

} // namespace

TEST_CASE("a mesh file written and read again is the same data, what other tools add is read past, and a broken one is "
          "refused")
{
    const std::string text = WriteXFile(FullFile());
    REQUIRE_FALSE(text.empty());
    XFileData back;
    std::string why;
    REQUIRE_MESSAGE(ParseXFile(testing::Bytes(text), back, &why), why);
    CHECK(WriteXFile(back) == text); // every number read back exactly
    CHECK(back.ticksPerSecond == 30);
    CHECK(back.frames[1].parent == 0);
    CHECK(back.frames[0].transform.m[3][1] == -2.0f);
    CHECK(back.frames[1].meshes[0].materials[0].textureFile == "tree1.png");
    CHECK(back.animationSets[0].animations[0].rotationKeys[1].value.y == 0.7071068f);

    // Templates, a header, comments, a GUID, an unnamed frame, a mesh outside
    // any frame, objects the game does not use, the 64-bit float header and
    // no tick rate: the default of 4800.
    const std::string foreign = R"(xof 0303txt 0064
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
Header { 1; 0; 1; }  # written by some other tool
Frame { Frame Inner {
  // a frame without a transform
  Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;;
    VertexDuplicationIndices { 3; 3; 0, 1, 2; }
    MeshNormals { 1; 0;0;-1;; 1; 3;0,0,0;; }
    MeshTextureCoords { 3; 0;0;, 0;1;, 1;0;; }
  } } }
Mesh Loose { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;-1;; 1; 3;0,0,0;; }
  MeshTextureCoords { 3; 0;0;, 0;1;, 1;0;; } }
AnimationSet { Animation { AnimationOptions { 1; 0; } { Inner } AnimationKey { 2; 1; 0;3;1,2,3;;; } } }
)";
    XFileData other;
    REQUIRE_MESSAGE(ParseXFile(testing::Bytes(foreign), other, &why), why);
    CHECK(other.ticksPerSecond == kXDefaultTicksPerSecond);
    REQUIRE(other.frames.size() == 3);
    CHECK(other.frames[1].name == "Inner");
    CHECK(other.frames[1].parent == 0);
    CHECK(other.frames[2].meshes[0].name == "Loose");
    CHECK(other.animationSets[0].animations[0].positionKeys[0].value == Vec3{1, 2, 3});

    // Every way the file can break the format, or be cut inside an object,
    // is refused with its own reason.
    std::string deep = "xof 0303txt 0032\n";
    for (int i = 0; i < 40; ++i) {
        deep += "Frame {";
    }
    struct Case {
        const char* what;
        std::string text;
        const char* fault;
    };
    const Case cases[] = {
        {"a corner past the last vertex", Replaced(text, "4;0,1,2,3;", "4;0,1,2,4;"), "corner past"},
        {"a polygon of two corners", Replaced(text, "4;0,1,2,3;", "2;0,1;"), "fewer than 3"},
        {"normals that do not match the faces", Replaced(text, "  4;0,0,0,0;", "  3;0,0,0;"), "corner for corner"},
        {"more vertices than the file holds", Replaced(text, "  4;\n  0;0;0;", "  60000;\n  0;0;0;"), "room for"},
        {"key times that go back", Replaced(text, "15;4;", "0;4;"), "do not increase"},
        {"a key with too few values", Replaced(text, "30;3;2,2,2;;", "30;2;2,2;;"), "number of values"},
        {"an animation of an unknown frame", Replaced(text, "{Part1}", "{Nobody}"), "Nobody"},
        {"two frames of one name", Replaced(text, "Frame Child", "Frame Part0"), "two frames"},
        {"frames nested past the limit", deep, "deeper"},
        {"a number out of range", Replaced(text, "30;3;2,2,2;;", "30;3;2e99,2,2;;"), "out-of-range"},
        {"a face material past the list", Replaced(text, "   1;\n   1;\n   0;", "   1;\n   1;\n   3;"), "material"},
    };
    for (const Case& c : cases) {
        INFO(c.what);
        XFileData out;
        out.ticksPerSecond = 7;
        why.clear();
        CHECK_FALSE(ParseXFile(testing::Bytes(c.text), out, &why));
        CHECK_MESSAGE(why.find(c.fault) != std::string::npos, why);
        CHECK(out.ticksPerSecond == 7); // untouched
    }
    std::string huge(kXMaxFileBytes + 1, ' ');
    huge.replace(0, 16, "xof 0303txt 0032");
    XFileData out;
    CHECK_FALSE(ParseXFile(testing::Bytes(huge), out, &why));
    CHECK(why.find("larger") != std::string::npos);

    // Cut short: refused inside an object, read between objects. Random
    // damage is the mesh fuzzer's job (fuzz/fuzz_mesh_file.cpp).
    int depth = 0;
    char last = '}'; // the header alone is a file
    for (std::size_t length = 0; length <= text.size(); ++length) {
        // A file cut between two top-level objects is a shorter valid file.
        INFO("length " << length);
        const bool between = length == 16 || (length > 16 && depth == 0 && last == '}');
        CHECK(ParseXFile(testing::Bytes(text.substr(0, length)), out) == between);
        if (length < text.size()) {
            const char c = text[length];
            depth += c == '{' ? 1 : (c == '}' ? -1 : 0);
            last = length < 16 || c == ' ' || c == '\n' ? last : c;
        }
    }
}

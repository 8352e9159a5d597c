// fuzz_mesh_seeds <directory>: writes a few small valid mesh files for the
// mesh fuzzer to start from: a two-part animated model, an object of nested
// frames with a texture, and a file in another tool's dialect.
#include "world/XFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

XMesh Triangle(const std::string& name)
{
    XMesh mesh;
    mesh.name = name;
    mesh.positions = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}};
    mesh.faces = {{0, 1, 2}, {1, 3, 2}};
    mesh.normals = {{0, 0, -1}, {0, 0.6f, -0.8f}};
    mesh.normalFaces = {{0, 0, 0}, {1, 1, 1}};
    mesh.textureCoords = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
    mesh.materials.resize(2);
    mesh.materials[1].textureFile = "rock.png";
    mesh.faceMaterials = {0, 1};
    return mesh;
}

XFileData Animated()
{
    XFileData file;
    file.frames.push_back({"Body", Matrix::Identity(), -1, {Triangle("BodyMesh")}});
    file.frames.push_back({"Leg", MatrixTranslation(0, 1, 0), -1, {Triangle("LegMesh")}});
    XAnimation leg{"", "Leg", {{0, {0, 0, 0, 1}}, {2400, {0, 0.6f, 0, 0.8f}}}, {{0, {1, 1, 1}}}, {{0, {0, 1, 0}}}};
    XAnimation body{"Spin", "Body", {}, {}, {{0, {0, 0, 0}}, {4800, {0, 0.5f, 0}}}};
    file.animationSets.push_back({"Walk", {leg, body}});
    return file;
}

XFileData Nested()
{
    XFileData file;
    file.ticksPerSecond = 30;
    file.frames.push_back({"", Matrix::Identity(), -1, {}});
    file.frames.push_back({"Trunk", MatrixScaling(1, 2, 1), 0, {Triangle("TrunkMesh")}});
    file.frames.push_back({"Crown", MatrixRotationY(0.5f), 1, {Triangle("CrownMesh"), Triangle("LeafMesh")}});
    return file;
}

const char* const kForeign = R"(xof 0303txt 0032
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
Header { 1; 0; 1; }  # another tool's header
Frame { Frame Inner { // no transform
  Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;;
    MeshNormals { 1; 0;0;-1;; 1; 3;0,0,0;; }
    MeshTextureCoords { 3; 0;0;, 0;1;, 1;0;; }
    MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "a.png"; } } }
  } } }
AnimationSet { Animation { AnimationOptions { 1; 0; } { Inner } AnimationKey { 2; 2; 0;3;1,2,3;;, 10;3;0,0,0;;; } } }
)";

bool Write(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    return !text.empty() && static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_mesh_seeds <directory>\n");
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    if (!Write(directory / "animated.X", WriteXFile(Animated())) ||
        !Write(directory / "nested.X", WriteXFile(Nested())) || !Write(directory / "foreign.X", kForeign)) {
        std::fprintf(stderr, "fuzz_mesh_seeds: a seed is not a valid mesh file\n");
        return 1;
    }
    return 0;
}

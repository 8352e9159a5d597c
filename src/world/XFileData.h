// What one mesh file (".X", text form) holds, as the reader gives it and the
// writer takes it: frames with their meshes, and animation sets whose tracks
// each move one named frame. XFile.h reads, checks and writes it; the game
// turns it into drawable geometry (MeshGeometry), a frame tree
// (MeshHierarchy) and sampled animation (AnimationSet).
#pragma once

#include "platform/math/Color.h"
#include "platform/math/Matrix.h"
#include "platform/math/Quaternion.h"
#include "platform/math/Vector.h"

#include <cstdint>
#include <string>
#include <vector>

// Limits of what a mesh file may hold. They are far above what the game's
// models need and keep a hostile file from asking for unbounded memory or
// recursion.
inline constexpr std::size_t kXMaxFileBytes = 8u << 20;
inline constexpr std::size_t kXMaxNameLength = 127;
inline constexpr std::size_t kXMaxTextLength = 255;
inline constexpr std::size_t kXMaxFrames = 1024;
inline constexpr std::size_t kXMaxFrameDepth = 32;
inline constexpr std::size_t kXMaxMeshes = 1024;
inline constexpr std::size_t kXMaxVertices = 65535;
inline constexpr std::size_t kXMaxFaces = 65535;
inline constexpr std::size_t kXMaxPolygonCorners = 64;
inline constexpr std::size_t kXMaxMaterials = 64;
inline constexpr std::size_t kXMaxAnimationSets = 16;
inline constexpr std::size_t kXMaxAnimations = 256;
inline constexpr std::size_t kXMaxKeys = 65535;

// Key times count ticks; a file that does not say how many ticks make a
// second gets the usual rate of the format.
inline constexpr std::uint32_t kXDefaultTicksPerSecond = 4800;

struct XMaterial {
    ColorValue diffuse{0.5f, 0.5f, 0.5f, 0.0f};
    float power = 0.0f;
    Vec3 specular;
    Vec3 emissive;
    std::string textureFile; // "" for none
};

// One polygon: indices into a list, clockwise as seen from the front.
using XPolygon = std::vector<std::uint32_t>;

struct XMesh {
    std::string name;
    std::vector<Vec3> positions;
    std::vector<XPolygon> faces;
    // Normals have faces of their own, corner for corner with the mesh's, so
    // one position can carry a different normal on each face it belongs to.
    std::vector<Vec3> normals;
    std::vector<XPolygon> normalFaces;
    std::vector<Vec2> textureCoords; // one per position; v runs downward
    // No materials means one default material for every face.
    std::vector<XMaterial> materials;
    std::vector<std::uint32_t> faceMaterials; // one per face when materials are given
};

// Frames are listed in file order (depth first: each frame's subtree follows
// it), so a frame's children are the later frames naming it as parent, in
// order.
struct XFrame {
    std::string name;
    Matrix transform = Matrix::Identity();
    std::int32_t parent = -1; // -1 at the top of the file
    std::vector<XMesh> meshes;
};

struct XVectorKey {
    std::uint32_t time = 0;
    Vec3 value;
};

struct XRotationKey {
    std::uint32_t time = 0;
    Quaternion value;
};

// One track: the keys that move the frame it names. A kind of key the track
// does not have leaves that part of the transform alone.
struct XAnimation {
    std::string name;
    std::string frameName;
    std::vector<XRotationKey> rotationKeys;
    std::vector<XVectorKey> scaleKeys;
    std::vector<XVectorKey> positionKeys;
};

struct XAnimationSet {
    std::string name;
    std::vector<XAnimation> animations;
};

struct XFileData {
    std::uint32_t ticksPerSecond = kXDefaultTicksPerSecond;
    std::vector<XFrame> frames;
    std::vector<XAnimationSet> animationSets;
};

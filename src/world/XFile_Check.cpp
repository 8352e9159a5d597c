// The checks a mesh file's contents must pass, shared by the parser (on what
// it read) and the writer (on what it is given): past them, the geometry
// builder, the frame walk and the animation sampler can index every list
// without further tests.
#include "world/XFile.h"

#include <cmath>
#include <set>
#include <string_view>

namespace {

bool Fail(std::string* why, const std::string& text)
{
    if (why) {
        *why = text;
    }
    return false;
}

// Names are written bare, so they must read back as one name.
bool IsName(std::string_view name)
{
    if (name.size() > kXMaxNameLength) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool more = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!letter && (i == 0 || !more)) {
            return false;
        }
    }
    return true;
}

// Texts are written between quotes, so they hold no quote and no control
// character.
bool IsText(std::string_view text)
{
    if (text.size() > kXMaxTextLength) {
        return false;
    }
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '"') {
            return false;
        }
    }
    return true;
}

bool Vec2IsFinite(const Vec2& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

bool QuaternionIsFinite(const Quaternion& q)
{
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

bool MatrixIsFinite(const Matrix& m)
{
    for (const auto& row : m.m) {
        for (const float value : row) {
            if (!std::isfinite(value)) {
                return false;
            }
        }
    }
    return true;
}

bool PolygonsFit(const std::vector<XPolygon>& polygons, std::size_t listSize)
{
    for (const XPolygon& polygon : polygons) {
        if (polygon.size() < 3 || polygon.size() > kXMaxPolygonCorners) {
            return false;
        }
        for (const std::uint32_t index : polygon) {
            if (index >= listSize) {
                return false;
            }
        }
    }
    return true;
}

bool SameCornerCounts(const std::vector<XPolygon>& a, const std::vector<XPolygon>& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size()) {
            return false;
        }
    }
    return true;
}

bool CheckMaterial(const XMaterial& m, std::string* why)
{
    const ColorValue& d = m.diffuse;
    const bool finite = std::isfinite(d.r) && std::isfinite(d.g) && std::isfinite(d.b) && std::isfinite(d.a) &&
                        std::isfinite(m.power) && Vec3IsFinite(m.specular) && Vec3IsFinite(m.emissive);
    if (!finite) {
        return Fail(why, "a material value is not a finite number");
    }
    if (!IsText(m.textureFile)) {
        return Fail(why, "a texture file name is too long or holds a quote or control character");
    }
    return true;
}

bool CheckMaterials(const XMesh& mesh, std::string* why)
{
    if (mesh.materials.size() > kXMaxMaterials) {
        return Fail(why, "a mesh has more materials than the limit of 64");
    }
    if (mesh.materials.empty()) {
        return mesh.faceMaterials.empty() ? true : Fail(why, "a mesh gives face materials but no materials");
    }
    if (mesh.faceMaterials.size() != mesh.faces.size()) {
        return Fail(why, "a mesh's material list does not give one material per face");
    }
    for (const std::uint32_t material : mesh.faceMaterials) {
        if (material >= mesh.materials.size()) {
            return Fail(why, "a face's material lies past the mesh's materials");
        }
    }
    for (const XMaterial& material : mesh.materials) {
        if (!CheckMaterial(material, why)) {
            return false;
        }
    }
    return true;
}

bool CheckMesh(const XMesh& mesh, std::string* why)
{
    if (!IsName(mesh.name)) {
        return Fail(why, "a mesh name is too long or not a name");
    }
    if (mesh.positions.size() > kXMaxVertices || mesh.normals.size() > kXMaxVertices) {
        return Fail(why, "a mesh has more vertices or normals than the limit of 65535");
    }
    if (mesh.faces.size() > kXMaxFaces) {
        return Fail(why, "a mesh has more faces than the limit of 65535");
    }
    if (!PolygonsFit(mesh.faces, mesh.positions.size())) {
        return Fail(why, "a face has fewer than 3 corners, more than 64, or a corner past the last vertex");
    }
    if (!SameCornerCounts(mesh.faces, mesh.normalFaces) || !PolygonsFit(mesh.normalFaces, mesh.normals.size())) {
        return Fail(why, "a mesh's normals do not match its faces corner for corner");
    }
    if (mesh.textureCoords.size() != mesh.positions.size()) {
        return Fail(why, "a mesh does not give one texture coordinate per vertex");
    }
    for (const Vec3& p : mesh.positions) {
        if (!Vec3IsFinite(p)) {
            return Fail(why, "a vertex position is not a finite number");
        }
    }
    for (const Vec3& n : mesh.normals) {
        if (!Vec3IsFinite(n)) {
            return Fail(why, "a normal is not a finite number");
        }
    }
    for (const Vec2& uv : mesh.textureCoords) {
        if (!Vec2IsFinite(uv)) {
            return Fail(why, "a texture coordinate is not a finite number");
        }
    }
    return CheckMaterials(mesh, why);
}

// File order is depth first: a frame's parent is the frame before it or one
// of that frame's ancestors, so writing the tree gives the same order back.
bool InFileOrder(const std::vector<XFrame>& frames, std::size_t i)
{
    const std::int32_t parent = frames[i].parent;
    if (parent < 0) {
        return true;
    }
    for (std::int32_t f = static_cast<std::int32_t>(i) - 1; f >= 0; f = frames[static_cast<std::size_t>(f)].parent) {
        if (f == parent) {
            return true;
        }
    }
    return false;
}

bool CheckFrames(const std::vector<XFrame>& frames, std::string* why)
{
    if (frames.size() > kXMaxFrames) {
        return Fail(why, "more frames than the limit of 1024");
    }
    std::vector<std::size_t> depth(frames.size(), 1);
    std::set<std::string_view> names;
    std::size_t meshes = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const XFrame& frame = frames[i];
        if (!IsName(frame.name)) {
            return Fail(why, "a frame name is too long or not a name");
        }
        if (!frame.name.empty() && !names.insert(frame.name).second) {
            return Fail(why, "two frames are named " + frame.name);
        }
        if (frame.parent < -1 || frame.parent >= static_cast<std::int64_t>(i) || !InFileOrder(frames, i)) {
            return Fail(why, "the frames are not in file order, each after its parent and its elder siblings' trees");
        }
        if (frame.parent >= 0) {
            depth[i] = depth[static_cast<std::size_t>(frame.parent)] + 1;
        }
        if (depth[i] > kXMaxFrameDepth) {
            return Fail(why, "frames nested deeper than the limit of 32");
        }
        if (!MatrixIsFinite(frame.transform)) {
            return Fail(why, "a frame transform is not finite");
        }
        meshes += frame.meshes.size();
        if (meshes > kXMaxMeshes) {
            return Fail(why, "more meshes than the limit of 1024");
        }
        for (const XMesh& mesh : frame.meshes) {
            if (!CheckMesh(mesh, why)) {
                return false;
            }
        }
    }
    return true;
}

template <typename Key> bool KeysAreSound(const std::vector<Key>& keys)
{
    if (keys.size() > kXMaxKeys) {
        return false;
    }
    for (std::size_t i = 1; i < keys.size(); ++i) {
        if (keys[i].time <= keys[i - 1].time) {
            return false;
        }
    }
    return true;
}

bool CheckAnimation(const XAnimation& animation, const std::set<std::string_view>& frameNames, std::string* why)
{
    if (!IsName(animation.name) || animation.frameName.empty() || !IsName(animation.frameName)) {
        return Fail(why, "an animation's name is not a name, or it names no frame");
    }
    if (frameNames.count(animation.frameName) == 0) {
        return Fail(why, "an animation names a frame the file does not have: " + animation.frameName);
    }
    if (!KeysAreSound(animation.rotationKeys) || !KeysAreSound(animation.scaleKeys) ||
        !KeysAreSound(animation.positionKeys)) {
        return Fail(why, "an animation's key times do not increase, or it has more than 65535 keys");
    }
    for (const XRotationKey& key : animation.rotationKeys) {
        const Quaternion& q = key.value;
        if (!QuaternionIsFinite(q) || q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w <= 0.0f) {
            return Fail(why, "a rotation key is not finite or of length zero");
        }
    }
    for (const std::vector<XVectorKey>* keys : {&animation.scaleKeys, &animation.positionKeys}) {
        for (const XVectorKey& key : *keys) {
            if (!Vec3IsFinite(key.value)) {
                return Fail(why, "a scale or position key is not finite");
            }
        }
    }
    return true;
}

bool CheckAnimationSets(const XFileData& data, std::string* why)
{
    if (data.animationSets.size() > kXMaxAnimationSets) {
        return Fail(why, "more animation sets than the limit of 16");
    }
    std::set<std::string_view> frameNames;
    for (const XFrame& frame : data.frames) {
        frameNames.insert(frame.name);
    }
    for (const XAnimationSet& set : data.animationSets) {
        if (!IsName(set.name)) {
            return Fail(why, "an animation set name is too long or not a name");
        }
        if (set.animations.size() > kXMaxAnimations) {
            return Fail(why, "more animations in one set than the limit of 256");
        }
        for (const XAnimation& animation : set.animations) {
            if (!CheckAnimation(animation, frameNames, why)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool ValidateXFileData(const XFileData& data, std::string* why)
{
    if (data.ticksPerSecond == 0) {
        return Fail(why, "zero animation ticks per second");
    }
    return CheckFrames(data.frames, why) && CheckAnimationSets(data, why);
}

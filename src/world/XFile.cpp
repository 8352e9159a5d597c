// Mesh file reading (the format is described in XFile.h). A recursive-descent
// parser over XTokenReader's words. Nesting is bounded by the frame depth
// limit, and before any list is allocated its count is checked against its
// limit and against the bytes left in the file (every number takes at least
// two bytes, itself and a separator), so a file cannot ask for more memory
// than a small multiple of its own size. What the grammar cannot check
// (indices, matching counts, names) is left to ValidateXFileData, which the
// parser runs on its result before handing it out.
#include "world/XFile.h"

#include "platform/FileSystem.h"
#include "world/XTokenReader.h"

#include <charconv>
#include <utility>

namespace {

class Parser {
public:
    explicit Parser(std::span<const std::uint8_t> bytes) : tokens_(bytes) {}

    bool ParseFile(XFileData& data);
    const std::string& Fault() const { return fault_; }

private:
    const XToken& Current() const { return tokens_.Current(); }
    bool IsKeyword(std::string_view keyword) const;
    bool Fail(const std::string& what);

    bool OpenBody(std::string* name);
    bool ExpectClose();
    bool ReadU32(std::uint32_t& out);
    bool ReadFloat(float& out);
    bool ReadVec3(Vec3& out);
    bool ReadCount(std::uint32_t& count, std::uint64_t numbersEach, std::size_t limit, const char* what);
    bool ReadPolygons(std::vector<XPolygon>& polygons, const char* what);
    bool SkipObject();

    bool ParseTopLevelObject(XFileData& data);
    bool ParseTicksPerSecond(std::uint32_t& ticks);
    bool ParseFrame(XFileData& data, std::int32_t parent, std::size_t depth);
    bool ParseFrameTransform(Matrix& transform);
    bool ParseMesh(XMesh& mesh);
    bool ParseMeshPart(XMesh& mesh, bool& haveNormals, bool& haveCoords, bool& haveMaterials);
    bool ParseNormals(XMesh& mesh);
    bool ParseTextureCoords(XMesh& mesh);
    bool ParseMaterialList(XMesh& mesh);
    bool ParseMaterial(XMaterial& material);
    bool ParseTextureFilename(std::string& file);
    bool ParseAnimationSet(XFileData& data);
    bool ParseAnimation(XAnimation& animation);
    bool ParseFrameReference(std::string& frameName);
    bool ParseAnimationKey(XAnimation& animation);

    XTokenReader tokens_;
    std::string fault_;
    std::size_t meshCount_ = 0;
    bool haveTicks_ = false;
};

bool Parser::IsKeyword(std::string_view keyword) const
{
    return Current().kind == XTokenKind::Name && Current().text == keyword;
}

// The first fault is the one reported; a fault of the word reader wins over
// what the parser expected to find there.
bool Parser::Fail(const std::string& what)
{
    if (fault_.empty()) {
        const std::string& reason = Current().kind == XTokenKind::Fault ? Current().text : what;
        fault_ = reason + " (at byte " + std::to_string(Current().offset) + ")";
    }
    return false;
}

// After an object's keyword: an optional name, then the opening brace.
bool Parser::OpenBody(std::string* name)
{
    if (Current().kind == XTokenKind::Name) {
        if (name) {
            *name = Current().text;
        }
        tokens_.Advance();
    }
    if (Current().kind != XTokenKind::OpenBrace) {
        return Fail("expected '{'");
    }
    tokens_.Advance();
    if (Current().kind == XTokenKind::Guid) {
        tokens_.Advance();
    }
    return true;
}

bool Parser::ExpectClose()
{
    if (Current().kind != XTokenKind::CloseBrace) {
        return Fail("expected '}'");
    }
    tokens_.Advance();
    return true;
}

bool Parser::ReadU32(std::uint32_t& out)
{
    if (Current().kind != XTokenKind::Number) {
        return Fail("expected a whole number");
    }
    const std::string& text = Current().text;
    std::uint32_t value = 0;
    const std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return Fail("a malformed or out-of-range whole number");
    }
    out = value;
    tokens_.Advance();
    return true;
}

bool Parser::ReadFloat(float& out)
{
    if (Current().kind != XTokenKind::Number) {
        return Fail("expected a number");
    }
    const std::string& text = Current().text;
    float value = 0.0f;
    const std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return Fail("a malformed or out-of-range number");
    }
    out = value;
    tokens_.Advance();
    return true;
}

bool Parser::ReadVec3(Vec3& out)
{
    return ReadFloat(out.x) && ReadFloat(out.y) && ReadFloat(out.z);
}

bool Parser::ReadCount(std::uint32_t& count, std::uint64_t numbersEach, std::size_t limit, const char* what)
{
    if (!ReadU32(count)) {
        return false;
    }
    if (count > limit) {
        return Fail(std::string("more ") + what + " than the limit of " + std::to_string(limit));
    }
    if (2 * numbersEach * std::uint64_t{count} > tokens_.Remaining()) {
        return Fail(std::string("more ") + what + " than the rest of the file has room for");
    }
    return true;
}

bool Parser::ReadPolygons(std::vector<XPolygon>& polygons, const char* what)
{
    std::uint32_t count = 0;
    if (!ReadCount(count, 4, kXMaxFaces, what)) {
        return false;
    }
    polygons.resize(count);
    for (XPolygon& polygon : polygons) {
        std::uint32_t corners = 0;
        if (!ReadU32(corners)) {
            return false;
        }
        if (corners < 3 || corners > kXMaxPolygonCorners) {
            return Fail("a polygon with fewer than 3 or more than 64 corners");
        }
        polygon.resize(corners);
        for (std::uint32_t& index : polygon) {
            if (!ReadU32(index)) {
                return false;
            }
        }
    }
    return true;
}

// Skips an object the game has no use for: its keyword, an optional name and
// a balanced body, counted without recursion.
bool Parser::SkipObject()
{
    tokens_.Advance();
    if (!OpenBody(nullptr)) {
        return false;
    }
    std::size_t depth = 1;
    while (depth > 0) {
        switch (Current().kind) {
        case XTokenKind::End:
            return Fail("a '{' left open at the end of the file");
        case XTokenKind::Fault:
            return Fail("");
        case XTokenKind::OpenBrace:
            if (++depth > kXMaxFrameDepth) {
                return Fail("objects nested deeper than the limit of 32");
            }
            break;
        case XTokenKind::CloseBrace:
            --depth;
            break;
        default:
            break;
        }
        tokens_.Advance();
    }
    return true;
}

bool Parser::ParseFile(XFileData& data)
{
    std::string headerFault;
    if (!tokens_.Start(headerFault)) {
        return Fail(headerFault);
    }
    while (Current().kind != XTokenKind::End) {
        if (!ParseTopLevelObject(data)) {
            return false;
        }
    }
    return true;
}

bool Parser::ParseTopLevelObject(XFileData& data)
{
    if (Current().kind != XTokenKind::Name) {
        return Fail("expected the keyword of an object");
    }
    if (IsKeyword("Frame")) {
        return ParseFrame(data, -1, 1);
    }
    if (IsKeyword("Mesh")) {
        // A mesh outside any frame gets an unnamed frame of its own.
        if (data.frames.size() == kXMaxFrames) {
            return Fail("more frames than the limit of 1024");
        }
        data.frames.emplace_back();
        const std::size_t index = data.frames.size() - 1;
        XMesh mesh;
        if (!ParseMesh(mesh)) {
            return false;
        }
        data.frames[index].meshes.push_back(std::move(mesh));
        return true;
    }
    if (IsKeyword("AnimTicksPerSecond")) {
        return ParseTicksPerSecond(data.ticksPerSecond);
    }
    if (IsKeyword("AnimationSet")) {
        return ParseAnimationSet(data);
    }
    return SkipObject(); // templates, a header, materials kept for reference
}

bool Parser::ParseTicksPerSecond(std::uint32_t& ticks)
{
    if (haveTicks_) {
        return Fail("a second AnimTicksPerSecond");
    }
    haveTicks_ = true;
    tokens_.Advance();
    return OpenBody(nullptr) && ReadU32(ticks) && ExpectClose();
}

bool Parser::ParseFrame(XFileData& data, std::int32_t parent, std::size_t depth)
{
    if (depth > kXMaxFrameDepth) {
        return Fail("frames nested deeper than the limit of 32");
    }
    if (data.frames.size() == kXMaxFrames) {
        return Fail("more frames than the limit of 1024");
    }
    tokens_.Advance();
    std::string name;
    if (!OpenBody(&name)) {
        return false;
    }
    const std::size_t index = data.frames.size();
    data.frames.push_back(XFrame{std::move(name), Matrix::Identity(), parent, {}});
    bool haveTransform = false;
    while (Current().kind != XTokenKind::CloseBrace) {
        if (Current().kind != XTokenKind::Name) {
            return Fail("expected an object or '}' inside a frame");
        }
        bool parsed = false;
        if (IsKeyword("FrameTransformMatrix")) {
            if (haveTransform) {
                return Fail("a second FrameTransformMatrix in one frame");
            }
            haveTransform = true;
            parsed = ParseFrameTransform(data.frames[index].transform);
        } else if (IsKeyword("Frame")) {
            parsed = ParseFrame(data, static_cast<std::int32_t>(index), depth + 1);
        } else if (IsKeyword("Mesh")) {
            XMesh mesh;
            parsed = ParseMesh(mesh);
            data.frames[index].meshes.push_back(std::move(mesh));
        } else {
            parsed = SkipObject();
        }
        if (!parsed) {
            return false;
        }
    }
    return ExpectClose();
}

bool Parser::ParseFrameTransform(Matrix& transform)
{
    tokens_.Advance();
    if (!OpenBody(nullptr)) {
        return false;
    }
    for (auto& row : transform.m) {
        for (float& value : row) {
            if (!ReadFloat(value)) {
                return false;
            }
        }
    }
    return ExpectClose();
}

bool Parser::ParseMesh(XMesh& mesh)
{
    if (meshCount_ == kXMaxMeshes) {
        return Fail("more meshes than the limit of 1024");
    }
    ++meshCount_;
    tokens_.Advance();
    std::uint32_t vertexCount = 0;
    if (!OpenBody(&mesh.name) || !ReadCount(vertexCount, 3, kXMaxVertices, "vertices")) {
        return false;
    }
    mesh.positions.resize(vertexCount);
    for (Vec3& p : mesh.positions) {
        if (!ReadVec3(p)) {
            return false;
        }
    }
    if (!ReadPolygons(mesh.faces, "faces")) {
        return false;
    }
    bool haveNormals = false;
    bool haveCoords = false;
    bool haveMaterials = false;
    while (Current().kind != XTokenKind::CloseBrace) {
        if (!ParseMeshPart(mesh, haveNormals, haveCoords, haveMaterials)) {
            return false;
        }
    }
    return ExpectClose();
}

// One object inside a mesh after its faces; each kind at most once.
bool Parser::ParseMeshPart(XMesh& mesh, bool& haveNormals, bool& haveCoords, bool& haveMaterials)
{
    const auto once = [this](bool& seen, const char* what) {
        if (seen) {
            return Fail(std::string("a second ") + what + " in one mesh");
        }
        seen = true;
        return true;
    };
    if (Current().kind != XTokenKind::Name) {
        return Fail("expected an object or '}' inside a mesh");
    }
    if (IsKeyword("MeshNormals")) {
        return once(haveNormals, "MeshNormals") && ParseNormals(mesh);
    }
    if (IsKeyword("MeshTextureCoords")) {
        return once(haveCoords, "MeshTextureCoords") && ParseTextureCoords(mesh);
    }
    if (IsKeyword("MeshMaterialList")) {
        return once(haveMaterials, "MeshMaterialList") && ParseMaterialList(mesh);
    }
    return SkipObject();
}

bool Parser::ParseNormals(XMesh& mesh)
{
    tokens_.Advance();
    std::uint32_t count = 0;
    if (!OpenBody(nullptr) || !ReadCount(count, 3, kXMaxVertices, "normals")) {
        return false;
    }
    mesh.normals.resize(count);
    for (Vec3& n : mesh.normals) {
        if (!ReadVec3(n)) {
            return false;
        }
    }
    return ReadPolygons(mesh.normalFaces, "normal faces") && ExpectClose();
}

bool Parser::ParseTextureCoords(XMesh& mesh)
{
    tokens_.Advance();
    std::uint32_t count = 0;
    if (!OpenBody(nullptr) || !ReadCount(count, 2, kXMaxVertices, "texture coordinates")) {
        return false;
    }
    mesh.textureCoords.resize(count);
    for (Vec2& uv : mesh.textureCoords) {
        if (!ReadFloat(uv.x) || !ReadFloat(uv.y)) {
            return false;
        }
    }
    return ExpectClose();
}

bool Parser::ParseMaterialList(XMesh& mesh)
{
    tokens_.Advance();
    std::uint32_t materialCount = 0;
    std::uint32_t faceCount = 0;
    // A material object holds eleven numbers.
    if (!OpenBody(nullptr) || !ReadCount(materialCount, 11, kXMaxMaterials, "materials") ||
        !ReadCount(faceCount, 1, kXMaxFaces, "face materials")) {
        return false;
    }
    mesh.faceMaterials.resize(faceCount);
    for (std::uint32_t& material : mesh.faceMaterials) {
        if (!ReadU32(material)) {
            return false;
        }
    }
    while (Current().kind != XTokenKind::CloseBrace) {
        if (Current().kind == XTokenKind::OpenBrace) {
            return Fail("a material given by reference");
        }
        if (!IsKeyword("Material")) {
            if (!SkipObject()) {
                return false;
            }
            continue;
        }
        if (mesh.materials.size() == materialCount) {
            return Fail("more Material objects than the material list counts");
        }
        mesh.materials.emplace_back();
        if (!ParseMaterial(mesh.materials.back())) {
            return false;
        }
    }
    if (mesh.materials.size() != materialCount) {
        return Fail("fewer Material objects than the material list counts");
    }
    return ExpectClose();
}

bool Parser::ParseMaterial(XMaterial& material)
{
    tokens_.Advance();
    ColorValue& d = material.diffuse;
    if (!OpenBody(nullptr) || !ReadFloat(d.r) || !ReadFloat(d.g) || !ReadFloat(d.b) || !ReadFloat(d.a) ||
        !ReadFloat(material.power) || !ReadVec3(material.specular) || !ReadVec3(material.emissive)) {
        return false;
    }
    bool haveTexture = false;
    while (Current().kind != XTokenKind::CloseBrace) {
        if (!IsKeyword("TextureFilename")) {
            if (!SkipObject()) {
                return false;
            }
            continue;
        }
        if (haveTexture) {
            return Fail("a second TextureFilename in one material");
        }
        haveTexture = true;
        if (!ParseTextureFilename(material.textureFile)) {
            return false;
        }
    }
    return ExpectClose();
}

bool Parser::ParseTextureFilename(std::string& file)
{
    tokens_.Advance();
    if (!OpenBody(nullptr)) {
        return false;
    }
    if (Current().kind != XTokenKind::Text) {
        return Fail("expected a quoted file name");
    }
    file = Current().text;
    tokens_.Advance();
    return ExpectClose();
}

bool Parser::ParseAnimationSet(XFileData& data)
{
    if (data.animationSets.size() == kXMaxAnimationSets) {
        return Fail("more animation sets than the limit of 16");
    }
    tokens_.Advance();
    XAnimationSet set;
    if (!OpenBody(&set.name)) {
        return false;
    }
    while (Current().kind != XTokenKind::CloseBrace) {
        if (!IsKeyword("Animation")) {
            if (Current().kind != XTokenKind::Name) {
                return Fail("expected an Animation or '}' inside an animation set");
            }
            if (!SkipObject()) {
                return false;
            }
            continue;
        }
        if (set.animations.size() == kXMaxAnimations) {
            return Fail("more animations in one set than the limit of 256");
        }
        set.animations.emplace_back();
        if (!ParseAnimation(set.animations.back())) {
            return false;
        }
    }
    data.animationSets.push_back(std::move(set));
    return ExpectClose();
}

bool Parser::ParseAnimation(XAnimation& animation)
{
    tokens_.Advance();
    if (!OpenBody(&animation.name)) {
        return false;
    }
    while (Current().kind != XTokenKind::CloseBrace) {
        bool parsed = false;
        if (Current().kind == XTokenKind::OpenBrace) {
            parsed = ParseFrameReference(animation.frameName);
        } else if (IsKeyword("AnimationKey")) {
            parsed = ParseAnimationKey(animation);
        } else if (Current().kind == XTokenKind::Name) {
            parsed = SkipObject(); // AnimationOptions: every animation loops
        } else {
            return Fail("expected a key list, a frame reference or '}' inside an animation");
        }
        if (!parsed) {
            return false;
        }
    }
    return ExpectClose();
}

bool Parser::ParseFrameReference(std::string& frameName)
{
    if (!frameName.empty()) {
        return Fail("a second frame reference in one animation");
    }
    tokens_.Advance();
    if (Current().kind != XTokenKind::Name) {
        return Fail("expected a frame name inside '{}'");
    }
    frameName = Current().text;
    tokens_.Advance();
    return ExpectClose();
}

bool Parser::ParseAnimationKey(XAnimation& animation)
{
    tokens_.Advance();
    std::uint32_t kind = 0;
    if (!OpenBody(nullptr) || !ReadU32(kind)) {
        return false;
    }
    if (kind == 4) {
        return Fail("matrix keys, which the game does not read");
    }
    if (kind > 2) {
        return Fail("an unknown kind of animation key");
    }
    const std::uint32_t values = kind == 0 ? 4 : 3;
    const bool haveKeys = kind == 0   ? !animation.rotationKeys.empty()
                          : kind == 1 ? !animation.scaleKeys.empty()
                                      : !animation.positionKeys.empty();
    if (haveKeys) {
        return Fail("a second key list of one kind in one animation");
    }
    std::uint32_t count = 0;
    if (!ReadCount(count, 2 + values, kXMaxKeys, "keys")) {
        return false;
    }
    std::vector<XVectorKey>& vectorKeys = kind == 1 ? animation.scaleKeys : animation.positionKeys;
    if (kind == 0) {
        animation.rotationKeys.resize(count);
    } else {
        vectorKeys.resize(count);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t time = 0;
        std::uint32_t valueCount = 0;
        if (!ReadU32(time) || !ReadU32(valueCount)) {
            return false;
        }
        if (valueCount != values) {
            return Fail("a key with the wrong number of values for its kind");
        }
        bool read = false;
        if (kind == 0) {
            XRotationKey& key = animation.rotationKeys[i];
            key.time = time;
            read = ReadFloat(key.value.w) && ReadFloat(key.value.x) && ReadFloat(key.value.y) && ReadFloat(key.value.z);
        } else {
            vectorKeys[i].time = time;
            read = ReadVec3(vectorKeys[i].value);
        }
        if (!read) {
            return false;
        }
    }
    return ExpectClose();
}

} // namespace

bool ParseXFile(std::span<const std::uint8_t> bytes, XFileData& out, std::string* why)
{
    if (bytes.size() > kXMaxFileBytes) {
        if (why) {
            *why = "the file is larger than the limit of 8 MiB";
        }
        return false;
    }
    Parser parser(bytes);
    XFileData data;
    if (!parser.ParseFile(data)) {
        if (why) {
            *why = parser.Fault();
        }
        return false;
    }
    if (!ValidateXFileData(data, why)) {
        return false;
    }
    out = std::move(data);
    return true;
}

bool LoadXFile(std::string_view path, XFileData& out, std::string* why)
{
    // Our largest model is a few hundred kilobytes of text; anything far
    // bigger is not one of ours and is refused unread.
    constexpr std::size_t kMaxXFileBytes = 16 * 1024 * 1024;
    std::vector<std::uint8_t> bytes;
    if (!platform::ReadDataFile(path, kMaxXFileBytes, bytes)) {
        if (why) {
            *why = "the file cannot be read";
        }
        return false;
    }
    return ParseXFile(bytes, out, why);
}

// Mesh file writing, used by the data generator. The text is the format's
// usual layout (see XFile.h), one value or list element per line. Numbers are
// written in their shortest form that reads back to the same float, whatever
// the locale, so the parser gives back exactly what was written and the same
// data always gives the same bytes.
#include "world/XFile.h"

#include <charconv>
#include <functional>

namespace {

class TextOut {
public:
    std::string Take() { return std::move(text_); }

    void Line(std::string_view line)
    {
        text_.append(indent_, ' ');
        text_.append(line);
        text_.push_back('\n');
    }
    void Open(std::string_view keyword, std::string_view name)
    {
        Line(name.empty() ? std::string(keyword) + " {" : std::string(keyword) + " " + std::string(name) + " {");
        ++indent_;
    }
    void Close()
    {
        --indent_;
        Line("}");
    }
    // count; then the elements, ",\n" between them and ";" after the last.
    void List(std::size_t count, const std::function<std::string(std::size_t)>& element)
    {
        Line(CountText(count) + ";");
        for (std::size_t i = 0; i < count; ++i) {
            Line(element(i) + (i + 1 < count ? "," : ";"));
        }
    }

    static std::string FloatText(float value)
    {
        char buffer[32] = {};
        const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
        return std::string(buffer, result.ptr);
    }
    static std::string CountText(std::size_t value) { return std::to_string(value); }

private:
    std::string text_;
    std::size_t indent_ = 0;
};

// The numbers with separator between them (not after the last).
std::string Join(std::initializer_list<float> values, const char* separator)
{
    std::string text;
    for (const float v : values) {
        if (!text.empty()) {
            text += separator;
        }
        text += TextOut::FloatText(v);
    }
    return text;
}

std::string Vector(const Vec3& v)
{
    return Join({v.x, v.y, v.z}, ";") + ";";
}

std::string Polygon(const XPolygon& polygon)
{
    std::string text = TextOut::CountText(polygon.size()) + ";";
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        text += TextOut::CountText(std::size_t{polygon[i]}) + (i + 1 < polygon.size() ? "," : ";");
    }
    return text;
}

void WriteMaterial(TextOut& out, const XMaterial& m)
{
    out.Open("Material", "");
    out.Line(Join({m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a}, ";") + ";;");
    out.Line(TextOut::FloatText(m.power) + ";");
    out.Line(Vector(m.specular) + ";");
    out.Line(Vector(m.emissive) + ";");
    if (!m.textureFile.empty()) {
        out.Open("TextureFilename", "");
        out.Line("\"" + m.textureFile + "\";");
        out.Close();
    }
    out.Close();
}

void WriteMesh(TextOut& out, const XMesh& mesh)
{
    out.Open("Mesh", mesh.name);
    out.List(mesh.positions.size(), [&](std::size_t i) { return Vector(mesh.positions[i]); });
    out.List(mesh.faces.size(), [&](std::size_t i) { return Polygon(mesh.faces[i]); });
    out.Open("MeshNormals", "");
    out.List(mesh.normals.size(), [&](std::size_t i) { return Vector(mesh.normals[i]); });
    out.List(mesh.normalFaces.size(), [&](std::size_t i) { return Polygon(mesh.normalFaces[i]); });
    out.Close();
    out.Open("MeshTextureCoords", "");
    out.List(mesh.textureCoords.size(), [&](std::size_t i) {
        return Join({mesh.textureCoords[i].x, mesh.textureCoords[i].y}, ";") + ";";
    });
    out.Close();
    if (!mesh.materials.empty()) {
        out.Open("MeshMaterialList", "");
        out.Line(TextOut::CountText(mesh.materials.size()) + ";");
        out.List(mesh.faceMaterials.size(),
                 [&](std::size_t i) { return TextOut::CountText(std::size_t{mesh.faceMaterials[i]}); });
        for (const XMaterial& material : mesh.materials) {
            WriteMaterial(out, material);
        }
        out.Close();
    }
    out.Close();
}

void WriteFrame(TextOut& out, const XFileData& data, std::size_t index,
                const std::vector<std::vector<std::size_t>>& children)
{
    const XFrame& frame = data.frames[index];
    out.Open("Frame", frame.name);
    out.Open("FrameTransformMatrix", "");
    for (int row = 0; row < 4; ++row) {
        const float* m = frame.transform.m[row];
        out.Line(Join({m[0], m[1], m[2], m[3]}, ",") + (row < 3 ? "," : ";;"));
    }
    out.Close();
    for (const XMesh& mesh : frame.meshes) {
        WriteMesh(out, mesh);
    }
    for (const std::size_t child : children[index]) {
        WriteFrame(out, data, child, children);
    }
    out.Close();
}

std::string RotationKey(const XRotationKey& key)
{
    const Quaternion& q = key.value;
    return TextOut::CountText(std::size_t{key.time}) + ";4;" + Join({q.w, q.x, q.y, q.z}, ",") + ";;";
}

std::string VectorKey(const XVectorKey& key)
{
    const Vec3& v = key.value;
    return TextOut::CountText(std::size_t{key.time}) + ";3;" + Join({v.x, v.y, v.z}, ",") + ";;";
}

void WriteAnimation(TextOut& out, const XAnimation& animation)
{
    out.Open("Animation", animation.name);
    out.Line("{" + animation.frameName + "}");
    const auto keys = [&out](int kind, std::size_t count, const std::function<std::string(std::size_t)>& key) {
        if (count == 0) {
            return;
        }
        out.Open("AnimationKey", "");
        out.Line(std::to_string(kind) + ";");
        out.List(count, key);
        out.Close();
    };
    keys(0, animation.rotationKeys.size(), [&](std::size_t i) { return RotationKey(animation.rotationKeys[i]); });
    keys(1, animation.scaleKeys.size(), [&](std::size_t i) { return VectorKey(animation.scaleKeys[i]); });
    keys(2, animation.positionKeys.size(), [&](std::size_t i) { return VectorKey(animation.positionKeys[i]); });
    out.Close();
}

} // namespace

std::string WriteXFile(const XFileData& data)
{
    if (!ValidateXFileData(data)) {
        return {};
    }
    TextOut out;
    out.Line("xof 0303txt 0032");
    out.Open("AnimTicksPerSecond", "");
    out.Line(TextOut::CountText(std::size_t{data.ticksPerSecond}) + ";");
    out.Close();
    std::vector<std::vector<std::size_t>> children(data.frames.size());
    for (std::size_t i = 0; i < data.frames.size(); ++i) {
        if (data.frames[i].parent >= 0) {
            children[static_cast<std::size_t>(data.frames[i].parent)].push_back(i);
        }
    }
    for (std::size_t i = 0; i < data.frames.size(); ++i) {
        if (data.frames[i].parent < 0) {
            WriteFrame(out, data, i, children);
        }
    }
    for (const XAnimationSet& set : data.animationSets) {
        out.Open("AnimationSet", set.name);
        for (const XAnimation& animation : set.animations) {
            WriteAnimation(out, animation);
        }
        out.Close();
    }
    return out.Take();
}

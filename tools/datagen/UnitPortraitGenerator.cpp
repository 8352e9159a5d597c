// "Interface/Textures/<Type>.dds": the unit-selection screen's portrait of
// each unit type, rendered in software from the same models the unit mesh
// generator writes (UnitRig.h), in the first key of their idle animation.
// The unit stands on a low steel plinth, seen from front right and above as
// a player first meets it, against the dark glass of the menu panels, lit by
// a cool key light, a soft fill and an amber rim from behind. The body wears
// the blue of the first army colour, the other parts gunmetal.
//
// The fifth type is "Dedagon.dds", as the screen's table names it.
#include "DataGenerator.h"
#include "MenuArtStyle.h"
#include "SoftRasteriser.h"
#include "UnitRig.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr int kPortraitSize = 256;
constexpr int kSupersample = 3;
constexpr float kFieldOfView = 0.5f; // radians, about 29 degrees
// From the unit's middle towards the camera: in front (+z), to its right
// (+x) and above.
const Vec3 kViewDirection = Vec3Normalize({1.0f, 0.62f, 0.9f});

const Rgb kBodyColour{0.30f, 0.46f, 0.80f};
const Rgb kPartColour{0.50f, 0.52f, 0.58f};
const Rgb kPlinthColour{0.20f, 0.23f, 0.31f};

struct Portrait {
    UnitModel (*model)();
    const char* path;
};

const Portrait kPortraits[] = {
    {SmashtorModel, "Interface/Textures/Smashtor.dds"},
    {TriangoloidModel, "Interface/Textures/Triangoloid.dds"},
    {TrajectagonModel, "Interface/Textures/Trajectagon.dds"},
    {ArtilleratorModel, "Interface/Textures/Artillerator.dds"},
    {DetagonModel, "Interface/Textures/Dedagon.dds"},
};

struct Face {
    std::vector<Vec3> corners;
    Vec3 normal;
    Rgb colour;
};

Matrix PoseMatrix(const PartPose& pose)
{
    return MatrixScaling(pose.scale, pose.scale, pose.scale) * MatrixRotationQuaternion(pose.rotation) *
           MatrixTranslation(pose.position.x, pose.position.y, pose.position.z);
}

void AddMeshFaces(const XMesh& mesh, const Matrix& place, const Rgb& colour, std::vector<Face>& faces)
{
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        Face face;
        for (const std::uint32_t index : mesh.faces[f]) {
            face.corners.push_back(Vec3TransformCoord(mesh.positions[index], place));
        }
        // Every corner of a face carries the face's own normal.
        face.normal = Vec3Normalize(Vec3TransformNormal(mesh.normals[mesh.normalFaces[f].front()], place));
        face.colour = colour;
        faces.push_back(std::move(face));
    }
}

std::vector<Face> PosedFaces(const UnitModel& model)
{
    const std::vector<PartPose> poses = model.animations.front().pose(0.0f);
    std::vector<Face> faces;
    for (std::size_t i = 0; i < model.parts.size() && i < poses.size(); ++i) {
        MeshBuilder builder(model.parts[i].name);
        model.parts[i].build(builder);
        AddMeshFaces(builder.Build(XMaterial{}), PoseMatrix(poses[i]), i == 0 ? kBodyColour : kPartColour, faces);
    }
    return faces;
}

// A low octagonal plinth a little wider than the unit's footprint.
void AddPlinth(std::vector<Face>& faces)
{
    float reach = 0.0f;
    for (const Face& face : faces) {
        for (const Vec3& c : face.corners) {
            reach = std::max(reach, std::hypot(c.x, c.z));
        }
    }
    MeshBuilder builder("Plinth");
    builder.AddFrustum(8, reach * 1.12f, reach * 1.05f, -0.14f, 0.0f, kPi / 8.0f);
    AddMeshFaces(builder.Build(XMaterial{}), Matrix::Identity(), kPlinthColour, faces);
}

void FitCamera(SoftRasteriser& rasteriser, const std::vector<Face>& faces)
{
    Vec3 low{1e9f, 1e9f, 1e9f};
    Vec3 high{-1e9f, -1e9f, -1e9f};
    for (const Face& face : faces) {
        for (const Vec3& c : face.corners) {
            low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
            high = {std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)};
        }
    }
    const Vec3 centre = (low + high) * 0.5f;
    float radius = 0.0f;
    for (const Face& face : faces) {
        for (const Vec3& c : face.corners) {
            radius = std::max(radius, Vec3Length(c - centre));
        }
    }
    // The bounding ball fills the view with a little room to spare.
    const float distance = radius / std::sin(kFieldOfView * 0.5f) * 1.04f;
    rasteriser.SetCamera(centre + kViewDirection * distance, centre, kFieldOfView);
}

Rgb Shade(const Face& face, const Vec3& toEye, const Vec3& right, const Vec3& up)
{
    const Vec3 key = Vec3Normalize(right * -0.5f + up * 0.85f + toEye * 0.6f);
    const Vec3 fill = Vec3Normalize(right * 0.9f + up * 0.1f + toEye * 0.5f);
    const Vec3 rim = Vec3Normalize(right * 0.4f + up * 0.5f - toEye * 0.9f);
    const Vec3& n = face.normal;
    const float diffuse = 0.2f + 0.85f * std::max(0.0f, Vec3Dot(n, key)) + 0.25f * std::max(0.0f, Vec3Dot(n, fill));
    const float specular = 0.3f * std::pow(std::max(0.0f, Vec3Dot(n, Vec3Normalize(key + toEye))), 24.0f);
    const float edge = std::pow(std::max(0.0f, Vec3Dot(n, rim)), 2.0f) * 0.8f;
    return {face.colour.r * diffuse + specular + palette::kAmber.r * edge,
            face.colour.g * diffuse + specular + palette::kAmber.g * edge,
            face.colour.b * diffuse + specular + palette::kAmber.b * edge};
}

void DrawFaces(SoftRasteriser& rasteriser, const std::vector<Face>& faces)
{
    const Vec3 toEyeOverall = kViewDirection;
    const Vec3 right = Vec3Normalize(Vec3Cross({0.0f, 1.0f, 0.0f}, -toEyeOverall));
    const Vec3 up = Vec3Cross(-toEyeOverall, right);
    for (const Face& face : faces) {
        // Faces turned away are hidden by the ones turned towards the eye.
        if (Vec3Dot(face.normal, rasteriser.Eye() - face.corners.front()) <= 0.0f) {
            continue;
        }
        const Rgb colour = Shade(face, toEyeOverall, right, up);
        for (std::size_t i = 1; i + 1 < face.corners.size(); ++i) {
            rasteriser.DrawTriangle(face.corners[0], face.corners[i], face.corners[i + 1], colour);
        }
    }
}

// The menu panels' dark glass, brightest behind the unit.
void PaintPortraitBackdrop(RgbaCanvas& canvas)
{
    canvas.FillWith([](float x, float y) {
        const float dx = x / kPortraitSize - 0.5f;
        const float dy = y / kPortraitSize - 0.42f;
        const float glow = std::exp(-(dx * dx + dy * dy) * 5.0f);
        const Rgb colour = MixRgb(palette::kDeepNavy, ScaleRgb(palette::kSlate, 0.75f), glow);
        return Opaque(colour);
    });
}

void DrawFrame(RgbaCanvas& canvas)
{
    const float side = static_cast<float>(kPortraitSize);
    canvas.BevelRing(0.0f, 0.0f, side, side, 4.0f, 4.0f, ScaleRgb(palette::kSteel, 0.75f), true);
    canvas.StrokeRoundedRect(6.5f, 6.5f, side - 6.5f, side - 6.5f, 2.0f, 1.0f, Opaque(palette::kAmber, 0.45f));
}

bool WritePortrait(const std::filesystem::path& root, const Portrait& portrait)
{
    const UnitModel model = portrait.model();
    std::vector<Face> faces = PosedFaces(model);
    AddPlinth(faces);
    SoftRasteriser rasteriser(kPortraitSize, kPortraitSize, kSupersample);
    FitCamera(rasteriser, faces);
    DrawFaces(rasteriser, faces);
    RgbaCanvas canvas(kPortraitSize, kPortraitSize);
    PaintPortraitBackdrop(canvas);
    rasteriser.Resolve(canvas);
    DrawFrame(canvas);
    return WriteInterfacePicture(root, portrait.path, canvas);
}

} // namespace

bool GenerateUnitPortraits(const std::filesystem::path& root)
{
    for (const Portrait& portrait : kPortraits) {
        if (!WritePortrait(root, portrait)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen

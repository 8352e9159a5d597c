// The static world models, "Actors/Objects/<file>.X", named by the game's own
// table (MeshLibrary.h) and written with its own mesh file writer: one frame,
// one mesh, every face in material 0 (the only subset drawn), textured with
// the object's picture from "Actors/ObjectTextures/".
//
// Scenery stands on its origin, a little sunk so it sits on sloping ground;
// projectiles point along +z about their middle; debris turns about its
// middle. The pictures are atlases in horizontal bands (ObjectTextures.h), so
// each piece maps into its band.
#include "DataGenerator.h"

#include "MeshBuilder.h"
#include "ObjectTextures.h"
#include "world/MeshLibrary.h"
#include "world/XFile.h"

#include <cstdio>

namespace datagen {

namespace {

UvMapping Around(float yLow, float yHigh, const TextureBand& band, float repeats)
{
    UvMapping m;
    m.kind = UvMapping::Kind::Cylinder;
    m.repeats = repeats;
    m.yLow = yLow;
    m.yHigh = yHigh;
    m.vTop = band.top;
    m.vBottom = band.bottom;
    return m;
}

UvMapping Tiled(float repeats)
{
    UvMapping m;
    m.repeats = repeats;
    return m;
}

// A broad tree: a tapering trunk under four leafy clumps, about 5.5 tall.
void Tree(MeshBuilder& m)
{
    m.SetMapping(Around(-0.2f, 2.6f, kBarkBand, 2.0f));
    m.AddFrustum(7, 0.5f, 0.3f, -0.2f, 0.35f);
    m.AddFrustum(7, 0.3f, 0.17f, 0.35f, 2.8f);
    m.SetMapping(Around(1.9f, 5.6f, kLeafBand, 3.0f));
    const struct {
        Vec3 centre;
        Vec3 radii;
    } clumps[] = {{{0.0f, 3.7f, 0.0f}, {1.6f, 1.3f, 1.6f}},
                  {{0.7f, 4.5f, 0.3f}, {1.0f, 0.9f, 1.0f}},
                  {{-0.8f, 3.2f, -0.4f}, {1.1f, 0.9f, 1.1f}},
                  {{0.3f, 2.9f, 0.9f}, {0.9f, 0.75f, 0.9f}}};
    unsigned seed = 11;
    for (const auto& clump : clumps) {
        m.SetTransform(MatrixTranslation(clump.centre.x, clump.centre.y, clump.centre.z));
        m.AddLumpyBall(clump.radii, 9, 6, 0.18f, seed++);
    }
}

// A fir in four tiers; each tier's picture runs from snow at its tip to
// needles at its rim.
void SnowTree(MeshBuilder& m)
{
    m.SetMapping(Around(-0.2f, 1.2f, kBarkBand, 2.0f));
    m.AddFrustum(6, 0.25f, 0.18f, -0.2f, 1.2f);
    const struct {
        float base;
        float tip;
        float radius;
    } tiers[] = {{0.8f, 2.7f, 1.7f}, {1.9f, 3.6f, 1.35f}, {2.9f, 4.5f, 1.0f}, {3.8f, 5.4f, 0.7f}};
    for (const auto& tier : tiers) {
        m.SetMapping(Around(tier.base, tier.tip, kLeafBand, 3.0f));
        m.AddFrustum(9, tier.radius, 0.0f, tier.base, tier.tip, 0.3f * tier.base);
    }
}

void Rock(MeshBuilder& m)
{
    m.SetMapping(Tiled(0.5f));
    m.SetTransform(MatrixTranslation(0.0f, 0.55f, 0.0f));
    m.AddLumpyBall({1.3f, 0.8f, 1.1f}, 10, 6, 0.22f, 5);
    m.SetTransform(MatrixTranslation(0.8f, 0.3f, 0.55f));
    m.AddLumpyBall({0.7f, 0.5f, 0.6f}, 7, 5, 0.25f, 6);
}

// Hexagonal crystals growing out of one root, a tall one in the middle and
// smaller ones leaning out round it: about 5.8 tall.
void IceSpire(MeshBuilder& m)
{
    m.SetMapping(Tiled(0.5f));
    const struct {
        float offset; // out from the middle at the root
        float lean;
        float turn;
        float radius;
        float height;
    } crystals[] = {{0.0f, 0.0f, 0.0f, 0.6f, 4.3f},   {0.3f, 0.45f, 0.3f, 0.4f, 2.8f},
                    {0.3f, 0.55f, 1.6f, 0.32f, 2.0f}, {0.35f, 0.4f, 2.9f, 0.36f, 2.4f},
                    {0.3f, 0.65f, 4.1f, 0.26f, 1.4f}, {0.3f, 0.5f, 5.2f, 0.3f, 1.8f}};
    for (const auto& c : crystals) {
        m.SetTransform(MatrixTranslation(-c.offset, -0.15f, 0.0f) * MatrixRotationZ(c.lean) * MatrixRotationY(c.turn));
        m.AddFrustum(6, c.radius, 0.85f * c.radius, 0.0f, c.height);
        m.AddFrustum(6, 0.85f * c.radius, 0.0f, c.height, c.height + 2.2f * c.radius);
    }
}

// A pole with a ball on top and a cloth in four waving panels.
void Flag(MeshBuilder& m)
{
    m.SetMapping(Around(0.0f, 5.0f, kMetalBand, 1.0f));
    m.AddFrustum(8, 0.09f, 0.07f, -0.2f, 5.0f);
    m.AddBipyramid(6, 0.16f, 4.95f, 5.12f, 5.3f);
    UvMapping cloth;
    cloth.kind = UvMapping::Kind::Flat;
    cloth.xLow = 0.07f;
    cloth.xHigh = 1.87f;
    cloth.yLow = 3.9f;
    cloth.yHigh = 4.9f;
    cloth.vTop = kClothBand.top;
    cloth.vBottom = kClothBand.bottom;
    m.SetMapping(cloth);
    for (int k = 0; k < 4; ++k) {
        const float x = 0.07f + 0.45f * static_cast<float>(k) + 0.225f;
        const float turn = (k % 2 == 0 ? 0.25f : -0.25f);
        m.SetTransform(MatrixRotationY(turn) * MatrixTranslation(x, 0.0f, 0.0f));
        m.AddBox({-0.235f, 3.9f, -0.025f}, {0.235f, 4.9f, 0.025f});
    }
}

// The Trajectagon's shot: a six-sided dart with three fins.
void Bullet(MeshBuilder& m)
{
    m.SetMapping(Tiled(1.0f));
    m.SetTransform(MatrixRotationX(kPi / 2.0f));
    m.AddBipyramid(6, 0.12f, -0.35f, -0.05f, 0.4f);
    for (int k = 0; k < 3; ++k) {
        m.SetTransform(MatrixRotationZ(2.0f * kPi * static_cast<float>(k) / 3.0f));
        m.AddBox({-0.015f, 0.05f, -0.36f}, {0.015f, 0.2f, -0.18f});
    }
}

// The Artillerator's shell: a round body, a pointed nose and four fins.
void Shell(MeshBuilder& m)
{
    m.SetMapping(Tiled(1.0f));
    m.SetTransform(MatrixRotationX(kPi / 2.0f));
    m.AddFrustum(10, 0.18f, 0.18f, -0.35f, 0.2f);
    m.AddFrustum(10, 0.18f, 0.12f, 0.2f, 0.4f);
    m.AddFrustum(10, 0.12f, 0.0f, 0.4f, 0.6f);
    for (int k = 0; k < 4; ++k) {
        m.SetTransform(MatrixRotationZ(kPi / 2.0f * static_cast<float>(k)));
        m.AddBox({-0.02f, 0.16f, -0.4f}, {0.02f, 0.26f, -0.15f});
    }
}

// The prize of Steal the Bacon: a gem floating over a small plinth.
void Bacon(MeshBuilder& m)
{
    m.SetMapping(Tiled(0.8f));
    m.AddFrustum(6, 0.45f, 0.35f, -0.1f, 0.25f);
    m.AddBipyramid(8, 0.45f, 0.35f, 0.85f, 1.55f);
}

void Debris1(MeshBuilder& m)
{
    m.SetMapping(Tiled(1.0f));
    m.AddFrustum(3, 0.35f, 0.0f, -0.15f, 0.3f);
}

void Debris2(MeshBuilder& m)
{
    m.SetMapping(Tiled(1.0f));
    m.SetTransform(MatrixRotationZ(kPi / 2.0f));
    m.AddFrustum(3, 0.22f, 0.22f, -0.3f, 0.3f);
}

void Debris3(MeshBuilder& m)
{
    m.SetMapping(Tiled(1.0f));
    m.SetTransform(MatrixRotationZ(0.35f) * MatrixTranslation(-0.18f, 0.0f, 0.0f));
    m.AddBox({-0.2f, -0.03f, -0.22f}, {0.2f, 0.03f, 0.22f});
    m.SetTransform(MatrixRotationZ(-0.35f) * MatrixTranslation(0.18f, 0.0f, 0.0f));
    m.AddBox({-0.2f, -0.03f, -0.22f}, {0.2f, 0.03f, 0.22f});
}

void Debris4(MeshBuilder& m)
{
    m.SetMapping(Tiled(1.0f));
    m.AddLumpyBall({0.3f, 0.22f, 0.26f}, 6, 4, 0.3f, 9);
}

struct ObjectModel {
    ObjectMeshType type;
    void (*build)(MeshBuilder& mesh);
};

const ObjectModel kObjects[] = {
    {ObjectMeshType::Tree, Tree},         {ObjectMeshType::Flag, Flag},       {ObjectMeshType::Rock, Rock},
    {ObjectMeshType::Bullet, Bullet},     {ObjectMeshType::Bullet2, Shell},   {ObjectMeshType::SnowTree, SnowTree},
    {ObjectMeshType::IceSpire, IceSpire}, {ObjectMeshType::Bacon, Bacon},     {ObjectMeshType::Debris1, Debris1},
    {ObjectMeshType::Debris2, Debris2},   {ObjectMeshType::Debris3, Debris3}, {ObjectMeshType::Debris4, Debris4},
};

XFileData ObjectFile(const ObjectModel& model)
{
    const ObjectMeshFileNames names = ObjectMeshFiles(model.type);
    const std::string stem = std::string(names.mesh).substr(0, std::string(names.mesh).rfind('.'));
    MeshBuilder builder(stem + "Mesh");
    model.build(builder);
    XMaterial material;
    material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.power = 4.0f;
    material.specular = {0.1f, 0.1f, 0.1f};
    material.textureFile = names.texture;
    XFileData file;
    file.frames.push_back(XFrame{stem, Matrix::Identity(), -1, {builder.Build(material)}});
    return file;
}

} // namespace

bool GenerateObjectMeshes(const std::filesystem::path& root)
{
    for (const ObjectModel& model : kObjects) {
        const std::string fileName = ObjectMeshFiles(model.type).mesh;
        const std::string text = WriteXFile(ObjectFile(model));
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        XFileData back;
        std::string why;
        if (text.empty() || !ParseXFile(bytes, back, &why)) {
            std::fprintf(stderr, "kvdatagen: %s is not a valid mesh file: %s\n", fileName.c_str(), why.c_str());
            return false;
        }
        if (!WriteDataFile(root, std::string(kObjectMeshFolder) + fileName, bytes)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen

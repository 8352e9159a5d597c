// The unit animation files, "Actors/Units/<file>.X", one per animation of each
// unit type and one for the click marker, named by the game's own table
// (MeshLibrary.h) and written with its own mesh file writer.
//
// Each file holds the model's parts as top-level frames, one mesh each, in
// part order, and one animation set whose animation k moves part N - 1 - k:
// the game's part walk takes the top-level frames in order and places part i
// with track N - 1 - i. Every track has rotation, scale and position keys at
// the same evenly spaced times, from 0 to the period, giving the part's whole
// model-space transform; a looping animation's last key repeats its first.
// The frame matrices hold the first pose, for other tools' benefit only.
#include "DataGenerator.h"

#include "UnitRig.h"
#include "world/MeshLibrary.h"
#include "world/XFile.h"

#include <cmath>
#include <cstdio>

namespace datagen {

namespace {

XMaterial UnitMaterial()
{
    // The game draws units with the army colour and the health texture; the
    // file's material only has to be plain.
    XMaterial material;
    material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.power = 8.0f;
    material.specular = {0.25f, 0.25f, 0.25f};
    return material;
}

std::vector<XMesh> BuildParts(const UnitModel& model)
{
    UvMapping skin;
    skin.repeats = 1.0f; // the health texture tiles about once per unit
    std::vector<XMesh> meshes;
    for (const UnitPart& part : model.parts) {
        MeshBuilder builder(std::string(model.typeName) + part.name + "Mesh");
        builder.SetMapping(skin);
        part.build(builder);
        meshes.push_back(builder.Build(UnitMaterial()));
    }
    return meshes;
}

Matrix PoseMatrix(const PartPose& pose)
{
    return MatrixScaling(pose.scale, pose.scale, pose.scale) * MatrixRotationQuaternion(pose.rotation) *
           MatrixTranslation(pose.position.x, pose.position.y, pose.position.z);
}

// The keys of every part: poses[j][i] is part i at key j.
std::vector<std::vector<PartPose>> SamplePoses(const UnitAnimation& animation, std::size_t partCount)
{
    std::vector<std::vector<PartPose>> poses;
    for (int j = 0; j <= animation.keys; ++j) {
        const bool repeatFirst = animation.loops && j == animation.keys;
        poses.push_back(repeatFirst ? poses.front()
                                    : animation.pose(static_cast<float>(j) / static_cast<float>(animation.keys)));
        if (poses.back().size() != partCount) {
            return {};
        }
    }
    return poses;
}

XAnimation Track(const std::string& frameName, const std::vector<std::vector<PartPose>>& poses, std::size_t part,
                 const UnitAnimation& animation)
{
    XAnimation track;
    track.frameName = frameName;
    const double ticks = static_cast<double>(animation.period) * kXDefaultTicksPerSecond;
    const auto keyCount = static_cast<double>(animation.keys);
    for (std::size_t j = 0; j < poses.size(); ++j) {
        const auto time = static_cast<std::uint32_t>(std::lround(ticks * static_cast<double>(j) / keyCount));
        const PartPose& pose = poses[j][part];
        Quaternion q = QuaternionNormalize(pose.rotation);
        // Keep each key on the same side as the one before: the game takes
        // the shorter way anyway, but the file reads more plainly.
        if (!track.rotationKeys.empty()) {
            const Quaternion& last = track.rotationKeys.back().value;
            if (q.x * last.x + q.y * last.y + q.z * last.z + q.w * last.w < 0.0f) {
                q = {-q.x, -q.y, -q.z, -q.w};
            }
        }
        track.rotationKeys.push_back({time, q});
        track.scaleKeys.push_back({time, {pose.scale, pose.scale, pose.scale}});
        track.positionKeys.push_back({time, pose.position});
    }
    return track;
}

bool MakeFile(const UnitModel& model, const std::vector<XMesh>& meshes, const UnitAnimation& animation,
              const std::string& setName, XFileData& file)
{
    const std::vector<std::vector<PartPose>> poses = SamplePoses(animation, model.parts.size());
    if (poses.empty()) {
        return false;
    }
    file = XFileData{};
    for (std::size_t i = 0; i < model.parts.size(); ++i) {
        const std::string name = std::string(model.typeName) + model.parts[i].name;
        file.frames.push_back(XFrame{name, PoseMatrix(poses.front()[i]), -1, {meshes[i]}});
    }
    XAnimationSet set;
    set.name = setName;
    const std::size_t n = model.parts.size();
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t part = n - 1 - k;
        set.animations.push_back(Track(file.frames[part].name, poses, part, animation));
    }
    file.animationSets.push_back(std::move(set));
    return true;
}

// The writer refuses what the game would; reading the text back checks the
// rest of the round trip.
bool WriteUnitFile(const std::filesystem::path& root, const std::string& fileName, const XFileData& file)
{
    const std::string text = WriteXFile(file);
    std::string why;
    XFileData back;
    if (text.empty() || !ParseXFile({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, back, &why)) {
        std::fprintf(stderr, "kvdatagen: %s is not a valid mesh file: %s\n", fileName.c_str(), why.c_str());
        return false;
    }
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return WriteDataFile(root, std::string(kUnitMeshFolder) + fileName, bytes);
}

} // namespace

bool GenerateUnitMeshes(const std::filesystem::path& root)
{
    const UnitModel models[kUnitMeshSetCount] = {SmashtorModel(),     TriangoloidModel(), TrajectagonModel(),
                                                 ArtilleratorModel(), DetagonModel(),     ClickMarkerModel()};
    for (int set = 0; set < kUnitMeshSetCount; ++set) {
        const UnitModel& model = models[set];
        const std::span<const char* const> files = UnitAnimationFileNames(set);
        if (files.size() != model.animations.size()) {
            std::fprintf(stderr, "kvdatagen: %s has %zu animations for %zu files\n", model.typeName,
                         model.animations.size(), files.size());
            return false;
        }
        const std::vector<XMesh> meshes = BuildParts(model);
        for (std::size_t id = 0; id < files.size(); ++id) {
            const std::string fileName = files[id];
            XFileData file;
            const std::string setName = fileName.substr(0, fileName.rfind('.'));
            if (!MakeFile(model, meshes, model.animations[id], setName, file) || !WriteUnitFile(root, fileName, file)) {
                std::fprintf(stderr, "kvdatagen: cannot make %s\n", fileName.c_str());
                return false;
            }
        }
    }
    return true;
}

} // namespace datagen

// The game's model tables and their loading, in table order.
#include "world/MeshLibrary.h"

#include <array>
#include <string>

namespace {

constexpr const char* kSmashtor[] = {"SmashtorIdle.X", "SmashtorWalk.X"};
constexpr const char* kTriangoloid[] = {"TriangoloidIdle.X", "TriangoloidMove.X", "TriangoloidAttack.X"};
constexpr const char* kTrajectagon[] = {"TrajectagonIdle.X", "TrajectagonMove.X", "TrajectagonAttack.X"};
constexpr const char* kArtillerator[] = {"ArtilleratorIdle.X", "ArtilleratorMove.X", "ArtilleratorAttack.X",
                                         "ArtilleratorRecoil.X"};
constexpr const char* kDetagon[] = {"DetagonIdle.X", "DetagonMove.X", "DetagonDeath.X"};
constexpr const char* kClickMarker[] = {"clickPoint.X"};

constexpr std::array<std::span<const char* const>, kUnitMeshSetCount> kUnitFiles = {
    kSmashtor, kTriangoloid, kTrajectagon, kArtillerator, kDetagon, kClickMarker};

constexpr std::array<ObjectMeshFileNames, kObjectMeshTypeCount> kObjectFiles = {{
    {"tree1.X", "tree1.png"},
    {"flagScaled.X", "flag.png"},
    {"rock.X", "rock.png"},
    {"bullet.X", "flag.png"},
    {"bullet2.X", "flag.png"},
    {"snowtree.X", "snowtree.png"},
    {"icespire.X", "icespire.png"},
    {"bacon.X", "icespire.png"},
    {"debris1.X", "icespire.png"},
    {"debris2.X", "icespire.png"},
    {"debris3.X", "icespire.png"},
    {"debris4.X", "icespire.png"},
}};

} // namespace

std::span<const char* const> UnitAnimationFileNames(int meshSet)
{
    if (meshSet < 0 || meshSet >= kUnitMeshSetCount) {
        return {};
    }
    return kUnitFiles[static_cast<std::size_t>(meshSet)];
}

ObjectMeshFileNames ObjectMeshFiles(ObjectMeshType type)
{
    const int index = static_cast<int>(type);
    if (index < 0 || index >= kObjectMeshTypeCount) {
        return {};
    }
    return kObjectFiles[static_cast<std::size_t>(index)];
}

MeshLibrary::MeshLibrary()
{
    for (int set = 0; set < kUnitMeshSetCount; ++set) {
        std::vector<AnimatedMesh> animations;
        for (const char* name : UnitAnimationFileNames(set)) {
            AnimatedMesh mesh;
            mesh.Load(kUnitMeshFolder, name);
            animations.push_back(std::move(mesh));
        }
        unitAnimations_.push_back(std::move(animations));
    }
    for (const ObjectMeshFileNames& files : kObjectFiles) {
        ObjectMesh mesh;
        mesh.Load(std::string(kObjectMeshFolder) + files.mesh, std::string(kObjectTextureFolder) + files.texture);
        objectMeshes_.push_back(std::move(mesh));
    }
}

const std::vector<AnimatedMesh>& MeshLibrary::GetUnitAnimations(int meshSet) const
{
    static const std::vector<AnimatedMesh> none;
    if (meshSet < 0 || meshSet >= kUnitMeshSetCount) {
        return none;
    }
    return unitAnimations_[static_cast<std::size_t>(meshSet)];
}

const ObjectMesh& MeshLibrary::GetObjectMesh(ObjectMeshType type) const
{
    static const ObjectMesh none;
    const int index = static_cast<int>(type);
    if (index < 0 || index >= kObjectMeshTypeCount) {
        return none;
    }
    return objectMeshes_[static_cast<std::size_t>(index)];
}

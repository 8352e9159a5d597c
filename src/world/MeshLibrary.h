// Every model of the game, loaded once at the first MeshLibrary::Instance
// call and shared by all that show it: the animation files of each unit type
// and of the click marker, and the static world models.
//
// Unit mesh sets are indexed like the unit types (0 Smashtor, 1 Triangoloid,
// 2 Trajectagon, 3 Artillerator, 4 Detagon), then 5 for the click marker;
// within a set, by animation id (0 idle, 1 walk, 2 special, 3 fire).
#pragma once

#include "core/Singleton.h"
#include "world/AnimatedMesh.h"
#include "world/ObjectMesh.h"

#include <span>
#include <vector>

enum class ObjectMeshType {
    Tree,
    Flag,
    Rock,
    Bullet,  // the Trajectagon's shot
    Bullet2, // the Artillerator's shell
    SnowTree,
    IceSpire,
    Bacon,
    Debris1,
    Debris2,
    Debris3,
    Debris4,
};

inline constexpr int kObjectMeshTypeCount = 12;
inline constexpr int kUnitMeshSetCount = 6;
inline constexpr int kClickMarkerMeshSet = 5;

inline constexpr const char* kUnitMeshFolder = "Actors/Units/";
inline constexpr const char* kObjectMeshFolder = "Actors/Objects/";
inline constexpr const char* kObjectTextureFolder = "Actors/ObjectTextures/";

// The animation file names of a unit mesh set, by animation id; empty out of
// range.
std::span<const char* const> UnitAnimationFileNames(int meshSet);

struct ObjectMeshFileNames {
    const char* mesh = "";
    const char* texture = "";
};
// The mesh and texture file names of an object; empty out of range.
ObjectMeshFileNames ObjectMeshFiles(ObjectMeshType type);

class MeshLibrary : public Singleton<MeshLibrary> {
    friend class Singleton<MeshLibrary>;

public:
    // The animations of a unit mesh set; an empty list out of range.
    const std::vector<AnimatedMesh>& GetUnitAnimations(int meshSet) const;
    // An empty mesh out of range.
    const ObjectMesh& GetObjectMesh(ObjectMeshType type) const;

private:
    MeshLibrary();

    std::vector<std::vector<AnimatedMesh>> unitAnimations_;
    std::vector<ObjectMesh> objectMeshes_;
};

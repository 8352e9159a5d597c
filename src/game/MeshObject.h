// Anything on the map that is neither ground nor unit: a body drawn with one
// object model. Scenery (trees, rocks) is a plain MeshObject; flags and
// projectiles derive from it. It registers itself with the physics when made;
// whoever owns it removes it (its destruction does so too).
#pragma once

#include "physics/Physical.h"
#include "world/MeshLibrary.h"

class MeshObject : public Physical {
public:
    // A still body of the default physical data, gravity on, no collision
    // dispatch, turned to a random heading.
    MeshObject(float x, float y, float z, ObjectMeshType type);
    ~MeshObject() override = default;

    ObjectMeshType GetMeshType() const { return meshType_; }
    // The model it is drawn with, from the mesh library.
    const ObjectMesh& GetMesh() const;

private:
    ObjectMeshType meshType_ = ObjectMeshType::Tree;
};

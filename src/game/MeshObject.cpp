// MeshObject: a scenery body.
#include "game/MeshObject.h"

#include "physics/Physics.h"
#include "platform/Random.h"

MeshObject::MeshObject(float x, float y, float z, ObjectMeshType type) : Physical(x, y, z, nullptr), meshType_(type)
{
    SetMovable(false);
    SetSteering(false);
    SetGravityEnabled(true);
    SetDragEnabled(false);
    SetHeading(static_cast<float>(platform::Rand() % 624) / 100.0f);
    Physics::Instance()->AddObject(this);
    SetCollisionType(kCollisionNone);
}

const ObjectMesh& MeshObject::GetMesh() const
{
    return MeshLibrary::Instance()->GetObjectMesh(meshType_);
}

// The battle's answers to the physics' contacts: units striking units in
// melee, projectiles striking units. The application installs them with
// Physics::SetCollisionHandlers.
#pragma once

#include "physics/Physics.h"

CollisionHandlers GetBattleCollisionHandlers();

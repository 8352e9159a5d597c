// Terrain: placeholder answers until the map loader lands.
#include "render/Terrain.h"

float Terrain::HeightAt(float, float) const { return 0.0f; }
void Terrain::NormalAt(float, float, Vec3&) const {}
float Terrain::GetMapSize() const { return 0.0f; }
float Terrain::GetWaterLevel() const { return 0.0f; }

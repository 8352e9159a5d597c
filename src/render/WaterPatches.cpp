// WaterPatches: which tiles are wet, and their runs as quads.
#include "render/WaterPatches.h"

#include <algorithm>

namespace {

std::uint8_t Channel(std::uint32_t colour, int shift)
{
    return static_cast<std::uint8_t>((colour >> shift) & 0xFFu);
}

// Each ARGB channel mixed on its own, rounded.
std::uint32_t MixColour(std::uint32_t a, std::uint32_t b, float t)
{
    std::uint32_t mixed = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float value =
            static_cast<float>(Channel(a, shift)) * (1.0f - t) + static_cast<float>(Channel(b, shift)) * t;
        mixed |= static_cast<std::uint32_t>(std::clamp(value + 0.5f, 0.0f, 255.0f)) << shift;
    }
    return mixed;
}

TerrainVertex MixVertex(const TerrainVertex& a, const TerrainVertex& b, float t)
{
    TerrainVertex mixed;
    mixed.position = a.position * (1.0f - t) + b.position * t;
    mixed.normal = a.normal * (1.0f - t) + b.normal * t;
    mixed.diffuse = MixColour(a.diffuse, b.diffuse, t);
    mixed.specular = MixColour(a.specular, b.specular, t);
    mixed.u0 = a.u0 * (1.0f - t) + b.u0 * t;
    mixed.v0 = a.v0 * (1.0f - t) + b.v0 * t;
    mixed.u1 = a.u1 * (1.0f - t) + b.u1 * t;
    mixed.v1 = a.v1 * (1.0f - t) + b.v1 * t;
    return mixed;
}

} // namespace

void WaterPatches::Build(const Terrain& terrain)
{
    vertices_.clear();
    columns_ = terrain.GetColumns();
    rows_ = terrain.GetRows();
    if (!terrain.IsLoaded() || columns_ < 2 || rows_ < 2 ||
        terrain.GetGroundVertices().size() < static_cast<std::size_t>(columns_) * rows_) {
        return;
    }
    const std::uint32_t tilesAcross = (columns_ - 2) / kTileCells + 1;
    const std::uint32_t tilesDown = (rows_ - 2) / kTileCells + 1;
    for (std::uint32_t tz = 0; tz < tilesDown; ++tz) {
        std::uint32_t tx = 0;
        while (tx < tilesAcross) {
            if (!IsWet(terrain, tx, tz)) {
                ++tx;
                continue;
            }
            const std::uint32_t first = tx;
            while (tx < tilesAcross && IsWet(terrain, tx, tz)) {
                ++tx;
            }
            AddQuad(terrain, first * kTileCells, std::min(tx * kTileCells, columns_ - 1), tz * kTileCells,
                    std::min((tz + 1) * kTileCells, rows_ - 1));
        }
    }
}

bool WaterPatches::IsWet(const Terrain& terrain, std::uint32_t tileX, std::uint32_t tileZ) const
{
    const std::vector<TerrainVertex>& ground = terrain.GetGroundVertices();
    const float level = terrain.GetWaterLevel() + kLevelMargin;
    const std::uint32_t c1 = std::min((tileX + 1) * kTileCells, columns_ - 1);
    const std::uint32_t r1 = std::min((tileZ + 1) * kTileCells, rows_ - 1);
    for (std::uint32_t r = tileZ * kTileCells; r <= r1; ++r) {
        for (std::uint32_t c = tileX * kTileCells; c <= c1; ++c) {
            if (ground[static_cast<std::size_t>(r) * columns_ + c].position.y < level) {
                return true;
            }
        }
    }
    return false;
}

// The map's water quad at grid vertex (c, r): its corners run (-x, +z),
// (+x, +z), (-x, -z), (+x, -z), as the grid's columns and rows do.
TerrainVertex WaterPatches::WaterAt(const Terrain& terrain, std::uint32_t c, std::uint32_t r) const
{
    const std::array<TerrainVertex, 4>& water = terrain.GetWaterVertices();
    const float across = static_cast<float>(c) / static_cast<float>(columns_ - 1);
    const float down = static_cast<float>(r) / static_cast<float>(rows_ - 1);
    return MixVertex(MixVertex(water[0], water[1], across), MixVertex(water[2], water[3], across), down);
}

// Wound as the map's strip was: (top left, top right, bottom left) and
// (bottom left, top right, bottom right).
void WaterPatches::AddQuad(const Terrain& terrain, std::uint32_t c0, std::uint32_t c1, std::uint32_t r0,
                           std::uint32_t r1)
{
    const TerrainVertex topLeft = WaterAt(terrain, c0, r0);
    const TerrainVertex topRight = WaterAt(terrain, c1, r0);
    const TerrainVertex bottomLeft = WaterAt(terrain, c0, r1);
    const TerrainVertex bottomRight = WaterAt(terrain, c1, r1);
    vertices_.insert(vertices_.end(), {topLeft, topRight, bottomLeft, bottomLeft, topRight, bottomRight});
}

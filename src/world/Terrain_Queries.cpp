// Terrain: the questions the game asks of the ground. Heights come from the
// triangle of the cell that holds the point, cut by the same diagonal rule as
// the drawn triangles (TerrainGrid.h), so units stand on what is drawn.
#include "world/Terrain.h"

#include "world/TerrainGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// Enough halvings to bring any segment the float range allows down to the
// pick's 0.1; far from the origin the midpoint can stop moving before that,
// and the cap ends the search there.
constexpr int kMaxPickSteps = 64;
constexpr float kPickTolerance = 0.1f;

} // namespace

// A coordinate that is not a number fails both tests and counts as outside.
bool Terrain::Inside(float x, float z) const
{
    const float h = mapSize_ / 2.0f;
    return x >= -h && x <= h && z >= -h && z <= h;
}

float Terrain::PlaneEval(float base, float a, float firstWeight, float b, float secondWeight)
{
    return base + a * firstWeight + b * secondWeight;
}

// h00 is the cell's (c, r) corner, h10 its right (+x), h01 its lower (-z)
// neighbour and h11 the diagonal one; fx, fz the point's place in the cell.
float Terrain::CellTriangleHeight(float h00, float h10, float h01, float h11, float fx, float fz)
{
    if (terrain_grid::SplitsAlongAE(h00, h10, h01, h11)) {
        if (fx <= fz) {
            return PlaneEval(h01, fx, h11 - h01, 1.0f - fz, h00 - h01);
        }
        return PlaneEval(h10, 1.0f - fx, h00 - h10, fz, h11 - h10);
    }
    if (fx + fz < 1.0f) {
        return PlaneEval(h00, fx, h10 - h00, fz, h01 - h00);
    }
    return PlaneEval(h11, 1.0f - fx, h01 - h11, 1.0f - fz, h10 - h11);
}

float Terrain::HeightAt(float x, float z) const
{
    if (!loaded_ || !Inside(x, z)) {
        return 0.0f;
    }
    const float h = mapSize_ / 2.0f;
    const float gx = static_cast<float>(columns_ - 1) * (x + h) / mapSize_;
    const float gz = static_cast<float>(rows_ - 1) * (h - z) / mapSize_;
    const std::uint32_t c = terrain_grid::ClampedGridLine(gx, columns_ - 1);
    const std::uint32_t r = terrain_grid::ClampedGridLine(gz, rows_ - 1);
    const std::uint32_t right = c < columns_ - 1 ? c + 1 : c;
    const std::uint32_t lower = r < rows_ - 1 ? r + 1 : r;
    return CellTriangleHeight(GroundY(c, r), GroundY(right, r), GroundY(c, lower), GroundY(right, lower),
                              gx - static_cast<float>(c), gz - static_cast<float>(r));
}

void Terrain::NormalAt(float x, float z, Vec3& out) const
{
    if (!loaded_ || !Inside(x, z)) {
        return;
    }
    // Vertex normals belong to the vertices, so the blend is over the cell
    // shifted half a cell towards -x and +z; near those borders the weights
    // reach past the first vertex by up to half a cell.
    const float h = mapSize_ / 2.0f;
    const float gx = static_cast<float>(columns_ - 1) * (x + h) / mapSize_ - 0.5f;
    const float gz = static_cast<float>(rows_ - 1) * (h - z) / mapSize_ - 0.5f;
    const std::uint32_t c = terrain_grid::ClampedGridLine(gx, columns_ - 1);
    const std::uint32_t r = terrain_grid::ClampedGridLine(gz, rows_ - 1);
    const float fx = gx - static_cast<float>(c);
    const float fz = gz - static_cast<float>(r);
    const std::uint32_t right = c < columns_ - 1 ? c + 1 : c;
    const std::uint32_t lower = r < rows_ - 1 ? r + 1 : r;
    const auto normal = [this](std::uint32_t column, std::uint32_t row) {
        return ground_[row * columns_ + column].normal;
    };
    out = normal(c, r) * ((1.0f - fz) * (1.0f - fx)) + normal(right, r) * ((1.0f - fz) * fx) +
          normal(c, lower) * (fz * (1.0f - fx)) + normal(right, lower) * (fz * fx);
}

bool Terrain::ScreenToTerrain(const PickView& view, float sx, float sy, Vec3& out) const
{
    if (!loaded_ || !(view.screenWidth > 0.0f) || !(view.screenHeight > 0.0f)) {
        return false;
    }
    Matrix inverse;
    if (!MatrixInverse(view.view * view.projection, inverse)) {
        return false;
    }
    const float halfWidth = view.screenWidth / 2.0f;
    const float halfHeight = view.screenHeight / 2.0f;
    const Vec3 device{(sx - halfWidth) / halfWidth, -(sy - halfHeight) / halfHeight, 0.0f};
    Vec3 nearPoint = Vec3TransformCoord(device, inverse);
    Vec3 eye = view.eye;

    // Cut the ray at the bottom of the height range, which lies below all
    // ground; a ray that does not come down that far has no ground point.
    const float cut = -heightScale_ / 2.0f;
    if (!Vec3IsFinite(nearPoint) || !Vec3IsFinite(eye) || !(nearPoint.y < eye.y) || !(eye.y > cut)) {
        return false;
    }
    const float t = (cut - eye.y) / (nearPoint.y - eye.y);
    Vec3 below = eye + (nearPoint - eye) * t;
    if (!Vec3IsFinite(below)) {
        return false;
    }

    // Halve the segment, keeping the ground crossing between its ends: eye
    // above the ground, below under it. With no step the cut point stands.
    Vec3 middle = below;
    for (int step = 0; step < kMaxPickSteps; ++step) {
        if (std::fabs(eye.x - below.x) <= kPickTolerance && std::fabs(eye.y - below.y) <= kPickTolerance) {
            break;
        }
        middle = eye + (below - eye) * 0.5f;
        if (HeightAt(middle.x, middle.z) > middle.y) {
            below = middle;
        } else {
            eye = middle;
        }
    }
    out = {middle.x, HeightAt(middle.x, middle.z), middle.z};
    return true;
}

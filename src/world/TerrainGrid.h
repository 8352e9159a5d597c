// Rules of the ground grid shared by everything that writes ground vertices,
// indices or skirts: the map generator, the loader's checks and the crater.
// They live in one place so that the drawn triangles, Terrain::HeightAt and
// the vertex normals can never disagree.
//
// Grid vertex (c, r) is vertex r x columns + c; row 0 lies on the +z side.
// A cell's corners are a = (c, r), b = (c + 1, r), d = (c, r + 1), e = (c + 1, r + 1).
#pragma once

#include "platform/math/Vector.h"

#include <cmath>
#include <cstdint>
#include <span>

namespace terrain_grid {

// The grid line at or before grid coordinate g, within [0, last]. The clamp
// comes before the cast: a float past an unsigned integer's range, or NaN,
// cast to one is undefined, whatever a min() after the cast would make of it.
inline std::uint32_t ClampedGridLine(float g, std::uint32_t last)
{
    if (!(g > 0.0f)) {
        return 0;
    }
    if (g >= static_cast<float>(last)) {
        return last;
    }
    return static_cast<std::uint32_t>(g);
}

// The cell is cut along the diagonal whose ends differ least in height, ties
// going to a-e. Terrain::HeightAt evaluates the same rule.
inline bool SplitsAlongAE(float ya, float yb, float yd, float ye)
{
    return std::fabs(ye - ya) <= std::fabs(yd - yb);
}

// Writes cell (c, r)'s six indices: (a, e, d), (a, b, e) or (a, b, d), (b, e, d).
template <typename Vertex>
void WriteCellIndices(std::span<std::uint16_t> indices, std::span<const Vertex> vertices, std::uint32_t columns,
                      std::uint32_t c, std::uint32_t r)
{
    const std::uint32_t a = r * columns + c;
    const std::uint32_t b = a + 1;
    const std::uint32_t d = a + columns;
    const std::uint32_t e = d + 1;
    const bool alongAE =
        SplitsAlongAE(vertices[a].position.y, vertices[b].position.y, vertices[d].position.y, vertices[e].position.y);
    const std::uint32_t cell[6] = {a, alongAE ? e : b, d, alongAE ? a : b, alongAE ? b : e, alongAE ? e : d};
    const std::size_t first = 6 * (static_cast<std::size_t>(columns - 1) * r + c);
    for (int i = 0; i < 6; ++i) {
        indices[first + i] = static_cast<std::uint16_t>(cell[i]);
    }
}

// The vertex normal: the normalised sum of the four face normals around the
// vertex, a face that would need a neighbour off the grid counting as zero.
template <typename Vertex>
Vec3 VertexNormal(std::span<const Vertex> vertices, std::uint32_t columns, std::uint32_t rows, std::uint32_t c,
                  std::uint32_t r)
{
    const Vec3 p = vertices[r * columns + c].position;
    const bool up = r > 0;
    const bool down = r + 1 < rows;
    const bool left = c > 0;
    const bool right = c + 1 < columns;
    const Vec3 toUp = up ? vertices[(r - 1) * columns + c].position - p : Vec3{};
    const Vec3 toDown = down ? vertices[(r + 1) * columns + c].position - p : Vec3{};
    const Vec3 toLeft = left ? vertices[r * columns + c - 1].position - p : Vec3{};
    const Vec3 toRight = right ? vertices[r * columns + c + 1].position - p : Vec3{};
    Vec3 sum;
    if (left && up) {
        sum += Vec3Normalize(Vec3Cross(toLeft, toUp));
    }
    if (up && right) {
        sum += Vec3Normalize(Vec3Cross(toUp, toRight));
    }
    if (right && down) {
        sum += Vec3Normalize(Vec3Cross(toRight, toDown));
    }
    if (down && left) {
        sum += Vec3Normalize(Vec3Cross(toDown, toLeft));
    }
    return Vec3Normalize(sum);
}

// Where each border grid vertex's top vertex sits in the edge strips. The
// strips are, in order: row 0 (+z), the last row (-z, from the last column
// back), column 0 (-x, bottom before top) and the last column (+x).
inline std::uint32_t EdgeTopOfFirstRow(std::uint32_t c)
{
    return 2 * c;
}
inline std::uint32_t EdgeTopOfLastRow(std::uint32_t columns, std::uint32_t c)
{
    return 4 * columns - 2 - 2 * c;
}
inline std::uint32_t EdgeTopOfFirstColumn(std::uint32_t columns, std::uint32_t r)
{
    return 4 * columns + 2 * r + 1;
}
inline std::uint32_t EdgeTopOfLastColumn(std::uint32_t columns, std::uint32_t rows, std::uint32_t r)
{
    return 4 * columns + 2 * rows + 2 * r;
}

// Skirt texture rows follow height, so a crater that lowers the border slides
// the texture with it.
inline float EdgeTopV(float heightScale, float y)
{
    return (heightScale / 2.0f + y) / 16.0f;
}

} // namespace terrain_grid

// TerrainRenderer: the baked ground picture, one texel per point of the map,
// holding the two ground layers mixed by the blend factor exactly as the
// ground shader mixes them, without the light (the vertex colours keep it).
//
// The layers repeat across the map; the picture gets as many texels per
// repetition as a layer has (halved until the picture fits kMaxBakedSize),
// so each baked texel sits on one layer texel of the matching mip level and
// the far ground shows what the layers' own mipmaps would. The blend factor
// is interpolated over each cell's two triangles, split as the ground's
// indices split it.
#include "render/TerrainRenderer.h"

#include "core/ErrorLog.h"
#include "platform/ImageFile.h"
#include "world/TerrainGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// The baked picture is seen only beyond the near ground's 50 units, where a
// 2048 picture looks as a 4096 one does (in the render bench's frame under
// 1% of pixels move by more than 8 levels of 255), and sampling it cost
// llvmpipe about 8 ms of processor a frame less on Grassland and Desert.
constexpr int kMaxBakedSize = 2048;

// A layer halved `times` times by averaging 2 x 2 texels, as a mip level is.
platform::RgbaImage Halved(platform::RgbaImage image, int times)
{
    for (int t = 0; t < times && image.width > 1 && image.height > 1; ++t) {
        platform::RgbaImage half;
        half.width = image.width / 2;
        half.height = image.height / 2;
        half.rgba.assign(static_cast<std::size_t>(half.width) * half.height * 4, 0);
        for (int y = 0; y < half.height; ++y) {
            for (int x = 0; x < half.width; ++x) {
                for (int k = 0; k < 4; ++k) {
                    const auto at = [&](int sx, int sy) {
                        return static_cast<int>(image.rgba[(static_cast<std::size_t>(sy) * image.width + sx) * 4 + k]);
                    };
                    const int sum =
                        at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1);
                    half.rgba[(static_cast<std::size_t>(y) * half.width + x) * 4 + k] =
                        static_cast<std::uint8_t>((sum + 2) / 4);
                }
            }
        }
        image = std::move(half);
    }
    return image;
}

// Where a line of baked texels reads one layer along one axis: the two
// layer texels around it and the weight of the second, wrapping, as the
// device's bilinear sampler reads within one mip level.
struct Tap {
    int first = 0;
    int second = 0;
    float weight = 0.0f;
};

Tap TapAt(float coordinate, int size)
{
    const float texel = coordinate * static_cast<float>(size) - 0.5f;
    const float below = std::floor(texel);
    int first = static_cast<int>(std::fmod(below, static_cast<float>(size)));
    first = first < 0 ? first + size : first;
    return {first, (first + 1) % size, texel - below};
}

// The layer's colour at a pair of taps (row taps y, column taps x).
void Fetch(const platform::RgbaImage& image, const Tap& x, const Tap& y, float out[3])
{
    const auto texel = [&image](int tx, int ty) {
        return &image.rgba[(static_cast<std::size_t>(ty) * image.width + tx) * 4];
    };
    const std::uint8_t* a = texel(x.first, y.first);
    if (x.weight == 0.0f && y.weight == 0.0f) {
        // The usual case: each baked texel sits on one layer texel.
        out[0] = a[0];
        out[1] = a[1];
        out[2] = a[2];
        return;
    }
    const std::uint8_t* b = texel(x.second, y.first);
    const std::uint8_t* c = texel(x.first, y.second);
    const std::uint8_t* d = texel(x.second, y.second);
    for (int k = 0; k < 3; ++k) {
        const float top = a[k] + x.weight * static_cast<float>(b[k] - a[k]);
        const float bottom = c[k] + x.weight * static_cast<float>(d[k] - c[k]);
        out[k] = top + y.weight * (bottom - top);
    }
}

// What a point of a cell takes from its corners (a at (0, 0), b at (1, 0),
// d at (0, 1), e at (1, 1)): barycentric weights in the triangle that holds
// it, by the cell's own diagonal.
struct CornerWeights {
    float a = 0.0f;
    float b = 0.0f;
    float d = 0.0f;
    float e = 0.0f;
};

CornerWeights WeightsInCell(bool alongAE, float fx, float fz)
{
    if (alongAE) {
        return fx <= fz ? CornerWeights{1.0f - fz, 0.0f, fz - fx, fx} : CornerWeights{1.0f - fx, fx - fz, 0.0f, fz};
    }
    return fx + fz < 1.0f ? CornerWeights{1.0f - fx - fz, fx, fz, 0.0f}
                          : CornerWeights{0.0f, 1.0f - fz, 1.0f - fx, fx + fz - 1.0f};
}

} // namespace

std::unique_ptr<platform::Texture> TerrainRenderer::BakeGround(platform::RenderDevice& device, const Terrain& terrain)
{
    const std::uint32_t columns = terrain.GetColumns();
    const std::uint32_t rows = terrain.GetRows();
    platform::RgbaImage layers[2];
    for (int i = 0; i < 2; ++i) {
        if (terrain.GetGroundImages()[static_cast<std::size_t>(i)].empty() ||
            !platform::DecodeImage(terrain.GetGroundImages()[static_cast<std::size_t>(i)], layers[i])) {
            return nullptr;
        }
    }
    const std::vector<TerrainVertex>& ground = terrain.GetGroundVertices();
    const TerrainVertex& first = ground.front();
    const TerrainVertex& last = ground.back();
    const float repeats = std::max(std::fabs(last.u0 - first.u0), std::fabs(last.v0 - first.v0));
    const int layerSize = std::max(layers[0].width, layers[0].height);
    if (!(repeats > 0.0f) || !std::isfinite(repeats) || layerSize <= 0) {
        return nullptr;
    }
    int halvings = 0;
    while (repeats * static_cast<float>(layerSize >> halvings) > kMaxBakedSize && (layerSize >> halvings) > 1) {
        ++halvings;
    }
    const int size = std::clamp(static_cast<int>(std::lround(repeats * static_cast<float>(layerSize >> halvings))), 1,
                                kMaxBakedSize);
    for (platform::RgbaImage& layer : layers) {
        layer = Halved(std::move(layer), halvings);
    }

    // The layers' coordinates run along the grid's axes, u with the columns
    // and v with the rows; a map laid out otherwise gets no picture.
    const float uPerColumn = ground[1].u0 - first.u0;
    const float vPerRow = ground[columns].v0 - first.v0;
    if (std::fabs(ground[columns].u0 - first.u0) > 1e-6f || std::fabs(ground[1].v0 - first.v0) > 1e-6f) {
        return nullptr;
    }
    const float lastColumn = static_cast<float>(columns - 1);
    const float lastRow = static_cast<float>(rows - 1);
    // Texel centres in grid units, with the cell and the layers' taps of
    // every column and every row worked out once.
    struct Line {
        std::uint32_t cell = 0;
        float fraction = 0.0f;
        Tap taps[2];
    };
    const auto lines = [&](float last, std::uint32_t cells, float origin, float perLine, bool alongU) {
        std::vector<Line> out(static_cast<std::size_t>(size));
        for (int i = 0; i < size; ++i) {
            const float g = (static_cast<float>(i) + 0.5f) * last / static_cast<float>(size);
            Line& line = out[static_cast<std::size_t>(i)];
            line.cell = terrain_grid::ClampedGridLine(g, cells - 2);
            line.fraction = g - static_cast<float>(line.cell);
            for (int l = 0; l < 2; ++l) {
                line.taps[l] = TapAt(origin + g * perLine, alongU ? layers[l].width : layers[l].height);
            }
        }
        return out;
    };
    const std::vector<Line> xs = lines(lastColumn, columns, first.u0, uPerColumn, true);
    const std::vector<Line> ys = lines(lastRow, rows, first.v0, vPerRow, false);

    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4, 0xFF);
    const auto blend = [](const TerrainVertex& vertex) { return static_cast<float>(vertex.diffuse >> 24); };
    for (int y = 0; y < size; ++y) {
        const Line& row = ys[static_cast<std::size_t>(y)];
        const std::uint32_t r = row.cell;
        for (int x = 0; x < size; ++x) {
            const Line& column = xs[static_cast<std::size_t>(x)];
            const std::uint32_t c = column.cell;
            const TerrainVertex& a = ground[r * columns + c];
            const TerrainVertex& b = ground[r * columns + c + 1];
            const TerrainVertex& d = ground[(r + 1) * columns + c];
            const TerrainVertex& e = ground[(r + 1) * columns + c + 1];
            const bool alongAE = terrain_grid::SplitsAlongAE(a.position.y, b.position.y, d.position.y, e.position.y);
            const CornerWeights w = WeightsInCell(alongAE, column.fraction, row.fraction);
            const float alpha =
                std::clamp((w.a * blend(a) + w.b * blend(b) + w.d * blend(d) + w.e * blend(e)) / 255.0f, 0.0f, 1.0f);
            float layer0[3];
            float layer1[3];
            Fetch(layers[0], column.taps[0], row.taps[0], layer0);
            Fetch(layers[1], column.taps[1], row.taps[1], layer1);
            std::uint8_t* out = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            for (int k = 0; k < 3; ++k) {
                out[k] = static_cast<std::uint8_t>(layer0[k] + alpha * (layer1[k] - layer0[k]) + 0.5f);
            }
        }
    }
    // Read from one mip level: the far ground shows about a texel a pixel,
    // where the step between levels does not show (in the render bench's
    // picture about 1% of pixels move by 9 to 32 levels of 255, and no line
    // can be seen), and it halves the texels llvmpipe reads for most of the
    // picture (about 4 ms of processor a frame less with two threads).
    std::unique_ptr<platform::Texture> texture = device.CreateTextureFromPixelsNearestMip(size, size, rgba);
    if (!texture) {
        ErrorLog("Renderer.txt", true).Warning("No baked ground picture; the far ground is drawn from its layers.");
    }
    return texture;
}

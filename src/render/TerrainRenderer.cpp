// TerrainRenderer: buffers and textures from the map, and the draw calls.
//
// The edge strips follow the map's layout (world/TerrainGrid.h): row 0's
// skirt from vertex 0, the last row's from 2 x columns, column 0's from
// 4 x columns, the last column's from 4 x columns + 2 x rows; each is a
// triangle strip of two vertices per border grid vertex.
#include "render/TerrainRenderer.h"

#include "core/ErrorLog.h"
#include "core/Stopwatch.h"
#include "render/GroundShaderSource.h"

#include <cstring>

namespace {

constexpr float kWaterFrameSeconds = 0.08f;
// The full grid, as the ground is drawn: a minimap texel covers about one
// cell (255 cells to 256 texels on the shipped maps), so every grid line's
// light shows in it. Drawn whole (after a map upload) that is some 130,000
// triangles; a crater redraws only the few blocks under it.
constexpr int kMinimapLevel = 0;
// A whole minimap is drawn in strips of this many grid rows, each handed on
// to the device before the next is queued: llvmpipe keeps every triangle of
// a pass binned until the pass is carried out. The whole grid in one pass
// left the process some 35 MB larger for good; in 16 strips about 5 MB, for
// about 5 ms more on the whole picture (some 26 ms in the render bench's
// frame instead of 21), which is drawn only after a map upload or a new
// light.
constexpr std::uint32_t kMinimapStripRows = 2 * GroundBlocks::kBlockCells;
// More windows than this waiting for the minimap (behind the menus) and it
// is drawn whole.
constexpr std::size_t kMinimapMaxEdits = 16;
constexpr const char* kLogName = "Renderer.txt";

platform::Material EdgeMaterial()
{
    platform::Material m;
    m.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    m.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    m.power = 30.0f;
    return m;
}

} // namespace

bool TerrainRenderer::LoadGroundShader(platform::RenderDevice& device)
{
    std::string why;
    farShader_ = device.CreatePixelShaderFromFile(kFarGroundShaderPath, &why);
    if (!farShader_) {
        ErrorLog(kLogName, true).Warning("No far ground shader (" + why + "); the far ground is drawn as the near.");
    }
    groundShader_ = device.CreatePixelShaderFromFile(kGroundShaderPath, &why);
    if (!groundShader_) {
        ErrorLog(kLogName, true).Warning("No ground shader (" + why + "); the ground shows one layer.");
        return false;
    }
    return true;
}

std::unique_ptr<platform::VertexBuffer> TerrainRenderer::MakeVertexBuffer(platform::RenderDevice& device,
                                                                          std::span<const TerrainVertex> vertices) const
{
    std::unique_ptr<platform::VertexBuffer> buffer = device.CreateVertexBuffer(vertices.size_bytes());
    std::memcpy(buffer->Lock().data(), vertices.data(), vertices.size_bytes());
    buffer->Unlock();
    return buffer;
}

void TerrainRenderer::Upload(platform::RenderDevice& device, const Terrain& terrain)
{
    Release();
    if (!terrain.IsLoaded()) {
        return;
    }
    if (farShader_ && groundShader_) {
        baked_ = BakeGround(device, terrain);
    }
    blocks_.SetBakedBeyond(baked_ ? GroundBlocks::kDetailTextureDistance : 1e30f);
    UploadGeometry(device, terrain);

    // A missing picture leaves its slot empty, which draws white: the map
    // still shows.
    const auto texture = [&device](const std::vector<std::uint8_t>& bytes, const char* what) {
        std::unique_ptr<platform::Texture> made;
        std::string why = "the map holds none";
        if (!bytes.empty()) {
            made = device.CreateTextureFromMemory(bytes, &why);
        }
        if (!made) {
            ErrorLog(kLogName, true).Warning(std::string("Map picture ") + what + " not made: " + why);
        }
        return made;
    };
    for (std::size_t i = 0; i < groundTextures_.size(); ++i) {
        groundTextures_[i] = texture(terrain.GetGroundImages()[i], "of the ground");
    }
    for (std::size_t i = 0; i < waterTextures_.size(); ++i) {
        waterTextures_[i] = texture(terrain.GetWaterImages()[i], "of the water");
    }
    TimerStart(waterTimer_);
    loaded_ = true;
}

void TerrainRenderer::UploadGeometry(platform::RenderDevice& device, const Terrain& terrain)
{
    columns_ = terrain.GetColumns();
    rows_ = terrain.GetRows();
    mapSize_ = terrain.GetMapSize();
    syncedEdits_ = terrain.GetEditCount();
    vertexCount_ = static_cast<std::uint32_t>(terrain.GetGroundVertices().size());
    drawnGround_.clear();
    for (const TerrainVertex& vertex : terrain.GetGroundVertices()) {
        drawnGround_.push_back(DrawnGroundVertex(vertex, mapSize_));
    }
    groundBuffer_ = MakeVertexBuffer(device, drawnGround_);
    edgeBuffer_ = MakeVertexBuffer(device, terrain.GetEdgeVertices());
    RebuildWater(device, terrain);
    blocks_.Build(terrain);
    const std::vector<std::uint16_t>& indices = blocks_.GetIndices();
    indexCount_ = static_cast<std::uint32_t>(indices.size());
    indexBuffer_ = device.CreateIndexBuffer(indexCount_, false);
    std::memcpy(indexBuffer_->Lock().data(), indices.data(), indexCount_ * sizeof(std::uint16_t));
    indexBuffer_->Unlock();
    skirtBuffer_.reset();
    skirtIndexBuffer_.reset();
    skirtVertexCount_ = static_cast<std::uint32_t>(blocks_.GetSkirtVertices().size());
    const std::vector<std::uint32_t>& skirtIndices = blocks_.GetSkirtIndices();
    if (!skirtIndices.empty()) {
        skirtBuffer_ = MakeVertexBuffer(device, blocks_.GetSkirtVertices());
        // The skirts never change their triangles, only their vertices.
        skirtIndexBuffer_ = device.CreateIndexBuffer(static_cast<std::uint32_t>(skirtIndices.size()), true);
        std::memcpy(skirtIndexBuffer_->Lock().data(), skirtIndices.data(), skirtIndices.size() * sizeof(std::uint32_t));
        skirtIndexBuffer_->Unlock();
    }
}

void TerrainRenderer::Release()
{
    loaded_ = false;
    groundBuffer_.reset();
    indexBuffer_.reset();
    edgeBuffer_.reset();
    waterBuffer_.reset();
    skirtBuffer_.reset();
    skirtIndexBuffer_.reset();
    baked_.reset();
    blocks_ = GroundBlocks();
    water_ = WaterPatches();
    drawnGround_.clear();
    for (auto& texture : groundTextures_) {
        texture.reset();
    }
    for (auto& texture : waterTextures_) {
        texture.reset();
    }
    columns_ = rows_ = vertexCount_ = indexCount_ = skirtVertexCount_ = 0;
    mapSize_ = 0.0f;
    waterFrame_ = 0;
    minimapWhole_ = true;
    minimapEdits_.clear();
}

void TerrainRenderer::Sync(platform::RenderDevice& device, const Terrain& terrain)
{
    if (loaded_ && terrain.GetEditCount() != syncedEdits_) {
        ApplyEdits(device, terrain);
    }
    if (minimapShown_) {
        UpdateMinimap(device, terrain);
    }
}

// The buffers keep their sizes; a terrain of another grid (a load the
// upload missed) is not this renderer's to patch.
void TerrainRenderer::ApplyEdits(platform::RenderDevice& device, const Terrain& terrain)
{
    const std::uint32_t since = syncedEdits_;
    syncedEdits_ = terrain.GetEditCount();
    if (terrain.GetColumns() != columns_ || terrain.GetRows() != rows_ || !terrain.IsLoaded()) {
        minimapWhole_ = true;
        return;
    }
    std::vector<GridWindow> windows;
    if (!terrain.GetEditsSince(since, windows)) {
        windows = {{0, columns_ - 1, 0, rows_ - 1}};
        minimapWhole_ = true;
    }
    for (const GridWindow& window : windows) {
        blocks_.Update(terrain, window);
        NoteMinimapEdit(window);
    }
    RefillBuffers(terrain, windows);
    // A crater can dig a dry tile below the water.
    RebuildWater(device, terrain);
}

// The water's buffer holds just its patches, so it is made again whenever
// they are (a map load, a crater): never in an ordinary frame.
void TerrainRenderer::RebuildWater(platform::RenderDevice& device, const Terrain& terrain)
{
    water_.Build(terrain);
    waterBuffer_.reset();
    if (!water_.GetVertices().empty()) {
        waterBuffer_ = MakeVertexBuffer(device, water_.GetVertices());
    }
}

// Of the ground vertices only those from the first a window holds to the
// last go to the device (a crater's rows, not the map's 3 MB); the indices,
// skirts and edges go whole, as their changes lie scattered. All are written
// in place, between frames.
void TerrainRenderer::RefillBuffers(const Terrain& terrain, const std::vector<GridWindow>& windows)
{
    const std::vector<TerrainVertex>& ground = terrain.GetGroundVertices();
    std::size_t first = ground.size();
    std::size_t last = 0;
    for (const GridWindow& window : windows) {
        first = std::min<std::size_t>(first, static_cast<std::size_t>(window.r0) * columns_ + window.c0);
        last = std::max<std::size_t>(last, static_cast<std::size_t>(window.r1) * columns_ + window.c1 + 1);
    }
    last = std::min(last, ground.size());
    if (first < last) {
        for (std::size_t i = first; i < last; ++i) {
            drawnGround_[i] = DrawnGroundVertex(ground[i], mapSize_);
        }
        const std::size_t offset = first * sizeof(TerrainVertex);
        const std::size_t bytes = (last - first) * sizeof(TerrainVertex);
        std::memcpy(groundBuffer_->Lock().data() + offset, &drawnGround_[first], bytes);
        groundBuffer_->UnlockRange(offset, bytes);
    }
    const auto refill = [](auto& buffer, const void* data, std::size_t bytes) {
        std::memcpy(buffer.Lock().data(), data, bytes);
        buffer.UnlockRange(0, bytes);
    };
    const std::vector<TerrainVertex>& edges = terrain.GetEdgeVertices();
    refill(*edgeBuffer_, edges.data(), edges.size() * sizeof(TerrainVertex));
    refill(*indexBuffer_, blocks_.GetIndices().data(), indexCount_ * sizeof(std::uint16_t));
    if (skirtBuffer_) {
        const std::vector<TerrainVertex>& skirts = blocks_.GetSkirtVertices();
        refill(*skirtBuffer_, skirts.data(), skirts.size() * sizeof(TerrainVertex));
    }
}

void TerrainRenderer::SetEdgeMaterial(platform::RenderDevice& device) const
{
    device.SetMaterial(EdgeMaterial());
}

void TerrainRenderer::Draw(platform::RenderDevice& device)
{
    using platform::RenderState;
    if (!loaded_) {
        return;
    }
    device.SetTransform(platform::TransformKind::World, Matrix::Identity());
    device.SetStreamSource(groundBuffer_.get(), kStride);
    device.SetIndices(indexBuffer_.get());
    device.SetVertexFormat(kVertexFormat);
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetRenderState(RenderState::SpecularEnable, 0);
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    // Only the blocks in view, each as coarse as cannot be seen (GroundBlocks.h).
    const platform::DeviceState& state = device.GetState();
    blocks_.Select(state.GetTransform(platform::TransformKind::View),
                   state.GetTransform(platform::TransformKind::Projection));
    DrawGround(device, true);

    SetEdgeMaterial(device);
    device.SetRenderState(RenderState::Lighting, 1);
    device.SetTexture(0, groundTextures_[2].get());
    device.SetStreamSource(edgeBuffer_.get(), kStride);
    const std::uint32_t c = columns_;
    const std::uint32_t r = rows_;
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 0, 2 * c - 2);
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 2 * c, 2 * c - 2);
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 4 * c, 2 * r - 2);
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 4 * c + 2 * r, 2 * r - 2);
    device.SetTexture(0, nullptr);
}

// The selected runs: the near ones mixed from the layers by the shader, the
// far ones from the baked picture, each modulated by the vertex light.
// Leaves no pixel shader set and the ground's stream and indices bound.
void TerrainRenderer::DrawGround(platform::RenderDevice& device, bool withSkirts)
{
    const auto draw = [&](const std::vector<GroundBlocks::Run>& groundRuns,
                          const std::vector<GroundBlocks::Run>& skirtRuns) {
        for (const GroundBlocks::Run& run : groundRuns) {
            device.DrawIndexedPrimitive(platform::Primitive::TriangleList, 0, 0, vertexCount_, run.first,
                                        run.triangles);
        }
        if (withSkirts && skirtBuffer_ && !skirtRuns.empty()) {
            device.SetStreamSource(skirtBuffer_.get(), kStride);
            device.SetIndices(skirtIndexBuffer_.get());
            for (const GroundBlocks::Run& run : skirtRuns) {
                device.DrawIndexedPrimitive(platform::Primitive::TriangleList, 0, 0, skirtVertexCount_, run.first,
                                            run.triangles);
            }
            device.SetStreamSource(groundBuffer_.get(), kStride);
            device.SetIndices(indexBuffer_.get());
        }
    };
    device.SetTexture(0, groundTextures_[0].get());
    device.SetTexture(1, groundTextures_[1].get());
    device.SetPixelShader(groundShader_.get());
    draw(blocks_.GetGroundRuns(), blocks_.GetSkirtRuns());
    device.SetPixelShader(nullptr);
    if (!blocks_.GetBakedGroundRuns().empty() || !blocks_.GetBakedSkirtRuns().empty()) {
        device.SetTexture(0, baked_.get());
        device.SetPixelShader(farShader_.get());
        draw(blocks_.GetBakedGroundRuns(), blocks_.GetBakedSkirtRuns());
        device.SetPixelShader(nullptr);
    }
}

void TerrainRenderer::NoteMinimapEdit(const GridWindow& window)
{
    if (minimapWhole_) {
        return;
    }
    if (minimapEdits_.size() >= kMinimapMaxEdits) {
        minimapWhole_ = true;
        minimapEdits_.clear();
        return;
    }
    minimapEdits_.push_back(window);
}

namespace {

bool Overlap(const platform::ScissorRect& a, const platform::ScissorRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Rectangles that overlap (a crater's ground and the light it changed) are
// drawn as one: the rectangle round both.
std::vector<platform::ScissorRect> Merged(std::vector<platform::ScissorRect> rects)
{
    bool merged = true;
    while (merged) {
        merged = false;
        for (std::size_t i = 0; i < rects.size() && !merged; ++i) {
            for (std::size_t j = i + 1; j < rects.size() && !merged; ++j) {
                if (!Overlap(rects[i], rects[j])) {
                    continue;
                }
                platform::ScissorRect& a = rects[i];
                const platform::ScissorRect& b = rects[j];
                a = {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
                rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
                // The grown rectangle may meet one passed before: look again.
                merged = true;
            }
        }
    }
    return rects;
}

} // namespace

void TerrainRenderer::UpdateMinimap(platform::RenderDevice& device, const Terrain& terrain)
{
    if (!minimapWhole_ && minimapEdits_.empty()) {
        return;
    }
    const bool drawable = loaded_ && terrain.IsLoaded() && terrain.GetColumns() == columns_;
    std::vector<platform::ScissorRect> areas;
    if (minimapWhole_ || !drawable || !minimap_.GetTexture()) {
        areas.push_back(Minimap::kWholePicture);
    } else {
        for (const GridWindow& window : minimapEdits_) {
            areas.push_back(Minimap::TexelsAround(window, columns_, rows_));
        }
        areas = Merged(std::move(areas));
    }
    minimapWhole_ = false;
    minimapEdits_.clear();
    minimap_.Render(device, drawable ? mapSize_ : 0.0f, areas,
                    [this, &device](const platform::ScissorRect& area) { DrawMinimapArea(device, area); });
}

// The blocks under the area, strip by strip, each strip handed on before
// the next is queued.
void TerrainRenderer::DrawMinimapArea(platform::RenderDevice& device, const platform::ScissorRect& area)
{
    device.SetStreamSource(groundBuffer_.get(), kStride);
    device.SetIndices(indexBuffer_.get());
    device.SetVertexFormat(kVertexFormat);
    const GridWindow cells = Minimap::CellsUnder(area, columns_, rows_);
    // Strips end on block borders, so no block is drawn in two of them.
    for (std::uint32_t first = cells.r0; first < cells.r1;) {
        const std::uint32_t end = std::min((first / kMinimapStripRows + 1) * kMinimapStripRows, cells.r1);
        if (first != cells.r0) {
            device.Flush();
        }
        blocks_.SelectWindowAt(kMinimapLevel, {cells.c0, cells.c1, first, end});
        DrawGround(device, false);
        first = end;
    }
    device.SetTexture(0, nullptr);
}

void TerrainRenderer::StepWater()
{
    if (TimerElapsed(waterTimer_) <= kWaterFrameSeconds) {
        return;
    }
    TimerStart(waterTimer_);
    if (waterFrame_ == 0) {
        waterDirection_ = 1;
    }
    if (waterFrame_ == kWaterFrames - 1) {
        waterDirection_ = -1;
    }
    waterFrame_ += waterDirection_;
}

void TerrainRenderer::DrawWater(platform::RenderDevice& device)
{
    using platform::RenderState;
    if (!loaded_) {
        return;
    }
    // The animation runs on while the view holds no water.
    StepWater();
    if (!waterBuffer_) {
        return;
    }
    device.SetTransform(platform::TransformKind::World, Matrix::Identity());
    device.SetRenderState(RenderState::Lighting, 1);
    device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    device.SetRenderState(RenderState::SpecularEnable, 1);
    device.SetRenderState(RenderState::SpecularMaterialSource, platform::kSourceMaterial);
    SetEdgeMaterial(device);
    device.SetVertexFormat(kVertexFormat);
    device.SetTexture(0, waterTextures_[static_cast<std::size_t>(waterFrame_)].get());
    device.SetStreamSource(waterBuffer_.get(), kStride);
    device.DrawPrimitive(platform::Primitive::TriangleList, 0, water_.GetTriangleCount());
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    device.SetTexture(0, nullptr);
}

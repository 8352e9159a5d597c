// Renderer: device set-up, presets and the frame.
#include "render/Renderer.h"

#include "game/Battle.h"
#include "game/Flag.h"
#include "game/GameRules.h"
#include "game/Projectile.h"
#include "render/ParticleManager.h"
#include "render/TextManager.h"

namespace {

platform::Material DefaultMaterial()
{
    platform::Material m;
    m.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    m.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    m.power = 30.0f;
    return m;
}

platform::Material BlendedObjectMaterial()
{
    platform::Material m;
    m.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    return m;
}

} // namespace

void Renderer::CreateDevice(std::unique_ptr<platform::RenderDevice> device)
{
    using platform::RenderState;
    ReleaseDevice();
    device_ = std::move(device);
    if (!device_) {
        return;
    }
    platform::RenderDevice& d = *device_;
    d.SetRenderState(RenderState::Ambient, kAmbient);
    d.SetRenderState(RenderState::ZEnable, 1);
    d.SetRenderState(RenderState::Lighting, 1);
    d.SetRenderState(RenderState::AlphaBlendEnable, 0);
    d.SetRenderState(RenderState::SrcBlend, platform::kBlendSrcAlpha);
    d.SetRenderState(RenderState::DestBlend, platform::kBlendInvSrcAlpha);
    d.SetRenderState(RenderState::PointSpriteEnable, 1);
    d.SetRenderState(RenderState::LocalViewer, 0);
    d.SetRenderState(RenderState::FillMode, platform::kFillSolid);
    d.EnableLight(true);
    d.SetViewport(
        {0.0f, 0.0f, static_cast<float>(d.PictureWidth()), static_cast<float>(d.PictureHeight()), 0.0f, 1.0f});
    meshes_ = std::make_unique<MeshDrawer>(d);
    units_ = std::make_unique<UnitDrawer>(d, *meshes_);
    objects_ = std::make_unique<WorldObjectDrawer>(d, *meshes_);
    rulesHud_ = std::make_unique<RulesHud>(d);
    terrain_.LoadGroundShader(d);
}

void Renderer::ReleaseDevice()
{
    TextManager::Instance()->Shutdown();
    ParticleManager::Instance()->ReleaseAll();
    sky_.Release();
    terrain_ = TerrainRenderer();
    shadows_.Release();
    units_.reset();
    objects_.reset();
    meshes_.reset();
    rulesHud_.reset();
    rectBuffer_.reset();
    lineBuffer_.reset();
    quadBuffer_.reset();
    device_.reset();
}

void Renderer::ApplyCamera(const CameraView& view)
{
    device_->SetTransform(platform::TransformKind::View, view.GetViewMatrix());
    device_->SetTransform(platform::TransformKind::Projection, view.GetProjectionMatrix());
}

void Renderer::Set3DStates()
{
    device_->SetRenderState(platform::RenderState::Lighting, 1);
    device_->SetRenderState(platform::RenderState::SpecularEnable, 1);
    device_->SetRenderState(platform::RenderState::AlphaBlendEnable, 0);
}

void Renderer::SetDefaultMaterial()
{
    device_->SetMaterial(DefaultMaterial());
}

void Renderer::RestoreAmbient()
{
    device_->SetRenderState(platform::RenderState::Ambient, kAmbient);
}

void Renderer::SetLineStates()
{
    device_->SetVertexFormat(platform::kScreenVertexFormat);
    device_->SetRenderState(platform::RenderState::Lighting, 0);
    device_->SetTexture(0, nullptr);
}

void Renderer::Set2DStates()
{
    device_->SetVertexFormat(platform::kScreenTexVertexFormat);
    device_->SetRenderState(platform::RenderState::Lighting, 0);
    device_->SetRenderState(platform::RenderState::AlphaBlendEnable, 1);
}

void Renderer::SetBlendedObjectStates()
{
    device_->SetRenderState(platform::RenderState::AlphaBlendEnable, 1);
    device_->SetRenderState(platform::RenderState::SpecularEnable, 0);
    device_->SetMaterial(BlendedObjectMaterial());
}

void Renderer::CreateSky()
{
    if (device_) {
        sky_.Create(*device_);
    }
}

void Renderer::UploadMap(const Terrain& terrain)
{
    if (device_) {
        terrain_.Upload(*device_, terrain);
    }
}

void Renderer::FindVisibleCells(const RenderScene& scene)
{
    if (!scene.camera || !scene.terrain) {
        grid_.MakeAllVisible();
        return;
    }
    const auto width = static_cast<float>(device_->PictureWidth());
    const auto height = static_cast<float>(device_->PictureHeight());
    grid_.FindVisibleCells(*scene.terrain, scene.camera->MakePickView(width, height), width, height);
}

void Renderer::DrawProjectiles()
{
    for (const std::unique_ptr<Projectile>& projectile : Battle::Instance()->GetProjectiles()) {
        objects_->DrawProjectile(*projectile);
    }
}

void Renderer::DrawRulesFlags()
{
    device_->SetRenderState(platform::RenderState::Ambient, 0xFFFFFFFFu);
    for (const std::unique_ptr<Flag>& flag : GameRules::Instance()->GetFlags()) {
        objects_->DrawFlag(*flag);
    }
    RestoreAmbient();
    // Nothing drawn later reads an object's texture by accident, even when
    // there is no water to unbind it.
    device_->SetTexture(0, nullptr);
}

void Renderer::SetOverlays(std::function<void()> drawWindows, std::function<void()> drawCursor)
{
    drawWindows_ = std::move(drawWindows);
    drawCursor_ = std::move(drawCursor);
}

void Renderer::RunLayer(const std::function<void()>& layer)
{
    if (layer) {
        layer();
    }
}

bool Renderer::RenderGame(const RenderScene& scene)
{
    if (!device_) {
        return false;
    }
    platform::RenderDevice& d = *device_;
    // The close-up is rendered into its own target before this frame's
    // picture is cleared, so it can be shown in the HUD below.
    RunLayer(layers_.beforeClear);
    // So is the minimap, where craters or a relight changed the ground (when
    // it is shown); the ground's buffers catch up with them at the same time.
    if (scene.terrain) {
        terrain_.Sync(d, *scene.terrain);
    }
    d.Clear(kClearColor, 1.0f);
    // The camera moves before its view is set, so a command shows this frame.
    if (scene.camera) {
        const float mapSize = scene.terrain ? scene.terrain->GetMapSize() : 0.0f;
        scene.camera->RunCommands(scene.frameTime, mapSize);
        ApplyCamera(scene.camera->GetView());
    }
    if (scene.light) {
        d.SetLight(*scene.light);
    }
    // The device's scenes never fail; a frame is always drawn whole.
    d.BeginScene();
    terrain_.Draw(d);
    // The ground covers the picture and is most of the frame's pixel work:
    // llvmpipe's threads start on it now, while the draws after it are still
    // being queued, instead of at the present (with two threads about 15% more
    // frames a second in the render bench).
    d.Flush();
    grid_.Rebuild(*Battle::Instance());
    FindVisibleCells(scene);
    if (scene.terrain) {
        shadows_.Draw(d, *scene.terrain, grid_);
    }
    Set3DStates();
    grid_.DrawUnits(*units_);
    SetDefaultMaterial();
    d.SetRenderState(platform::RenderState::Lighting, 0);
    RunLayer(layers_.afterUnits);
    // The sky fills what the opaque world left empty (Sky.h), before the
    // blended objects, which mix with whatever lies behind them.
    sky_.Draw(d, scene.frameTime);
    d.SetRenderState(platform::RenderState::Lighting, 1);
    SetBlendedObjectStates();
    grid_.DrawObjects(*objects_);
    DrawProjectiles();
    DrawRulesFlags();
    terrain_.DrawWater(d);
    SetLineStates();
    RunLayer(layers_.afterWater);
    ParticleManager::Instance()->RenderAll(d);
    Set2DStates();
    RunLayer(layers_.overlay);
    // The windows and the rules queue their text before the queue is drawn;
    // the cursor lies over everything, text included.
    RunLayer(drawWindows_);
    // The windows leave whatever states their last widget needed.
    Set2DStates();
    rulesHud_->Draw(*this, *TextManager::Instance(), *GameRules::Instance());
    SetLineStates();
    TextManager::Instance()->Render();
    if (drawCursor_) {
        Set2DStates();
        RunLayer(drawCursor_);
    }
    d.EndScene();
    d.Present();
    return true;
}

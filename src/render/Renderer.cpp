// Renderer: device set-up, presets and the frame.
//
// Steps of the frame whose subsystems do not exist yet are not here; they
// join in their place as they arrive: the HUD's close-up pass before the
// clear; the sky before the terrain; the unit grid, blob shadows, units and
// the move marker after it; projectiles and the rules' flags after the world
// objects; selection marks and particles after the water; the HUD panel and
// the GUI windows before the rules' HUD; the cursor after the text.
#include "render/Renderer.h"

#include "game/GameRules.h"
#include "render/TextManager.h"
#include "world/MeshLibrary.h"

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
    rulesHud_ = std::make_unique<RulesHud>(d);
    terrain_.LoadGroundShader(d);
}

void Renderer::ReleaseDevice()
{
    TextManager::Instance()->Shutdown();
    terrain_ = TerrainRenderer();
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

void Renderer::UploadMap(const Terrain& terrain)
{
    scenery_.clear();
    if (!device_) {
        return;
    }
    terrain_.Upload(*device_, terrain);
    // Trees and rocks stand where the map puts them, on the ground, each
    // turned its own way (a fixed turn per index, so a map always looks the
    // same and the game's random sequence is not drawn from).
    const auto place = [&](ObjectMeshType type, Vec3 at, std::uint32_t index) {
        at.y = terrain.HeightAt(at.x, at.z);
        const float heading = static_cast<float>((index * 2654435761u) % 624u) / 100.0f;
        scenery_.push_back({type, at, heading});
    };
    for (std::uint32_t i = 0; i < terrain.GetTreeCount(); ++i) {
        place(ObjectMeshType::Tree, terrain.GetTreePosition(i), i);
    }
    for (std::uint32_t i = 0; i < terrain.GetRockCount(); ++i) {
        place(ObjectMeshType::Rock, terrain.GetRockPosition(i), i + terrain.GetTreeCount());
    }
}

void Renderer::DrawScenery()
{
    const Vec3 up{0.0f, 1.0f, 0.0f};
    for (const SceneryObject& object : scenery_) {
        const ObjectMesh& mesh = MeshLibrary::Instance()->GetObjectMesh(object.type);
        device_->SetTexture(0, meshes_->GetObjectTexture(mesh));
        const Vec3 axes[1] = {up};
        const float angles[1] = {object.heading};
        meshes_->DrawObjectMesh(mesh, object.position, axes, angles);
    }
    device_->SetTexture(0, nullptr);
}

bool Renderer::RenderGame(const RenderScene& scene)
{
    if (!device_) {
        return false;
    }
    platform::RenderDevice& d = *device_;
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
    SetBlendedObjectStates();
    DrawScenery();
    terrain_.DrawWater(d);
    // The rules queue their text before the queue is drawn.
    Set2DStates();
    rulesHud_->Draw(*this, *TextManager::Instance(), *GameRules::Instance());
    SetLineStates();
    TextManager::Instance()->Render();
    d.EndScene();
    d.Present();
    return true;
}

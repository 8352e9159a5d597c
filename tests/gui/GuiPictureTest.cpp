// The GUI and the cursor drawn for real into an offscreen picture, with the
// generated faces and cursor pictures, and a few pixels read back.
#include "gui/guiButton.h"
#include "gui/guiCheckBox.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiSlider.h"
#include "gui/guiWindow.h"
#include "input/Cursor.h"
#include "platform/GlRenderDevice.h"
#include "platform/ImageFile.h"
#include "platform/SdlWindow.h"
#include "render/Renderer.h"
#include "render/RendererCanvas.h"
#include "render/TextManager.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr const char* kUp = "Interface/Button/bup.dds";
constexpr const char* kDown = "Interface/button/bdown.dds";
constexpr const char* kHover = "Interface/button/bhover.dds";

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

Rgb PixelAt(const platform::RgbImage& image, int x, int y)
{
    const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
    return {image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]};
}

int Brightness(const Rgb& c)
{
    return c.r + c.g + c.b;
}

// The 2-D end of a frame: the windows, the text, the cursor last.
platform::RgbImage DrawFrame(platform::RenderDevice& device, RendererCanvas& canvas)
{
    Renderer* renderer = Renderer::Instance();
    device.Clear(0xFF000000u, 1.0f);
    device.BeginScene();
    renderer->Set2DStates();
    guiManager::Instance()->RenderAll();
    renderer->SetLineStates();
    TextManager::Instance()->Render();
    renderer->Set2DStates();
    Cursor::Instance()->Render(canvas);
    device.EndScene();
    device.Present();
    platform::RgbImage picture;
    REQUIRE(device.ReadPicture(picture));
    return picture;
}

} // namespace

TEST_CASE("a window of every widget and the cursor drawn into a picture")
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    platform::WindowConfig config;
    config.width = kWidth;
    config.height = kHeight;
    config.windowed = true;
    std::unique_ptr<platform::SdlWindow> window = platform::SdlWindow::Open(config);
    REQUIRE(window);
    std::unique_ptr<platform::GlRenderDevice> owned = platform::GlRenderDevice::Create(*window, nullptr);
    REQUIRE(owned);
    platform::RenderDevice& device = *owned;
    testing::DataDirectoryScope data;
    Renderer::Instance()->CreateDevice(std::move(owned));
    TextManager::Instance()->Init(&device);
    RendererCanvas canvas;
    guiManager* gui = guiManager::Instance();
    gui->SetScreenSize(kWidth, kHeight);
    gui->SetCanvas(&canvas);
    gui->SetTextureLoader(&canvas);
    gui->SetClickSound(nullptr);

    guiWindow* menu = gui->CreateWindow("Menu");
    // Button over pixels (102, 76)-(306, 153).
    auto* play = static_cast<guiButton*>(menu->CreateObject("Play", kGuiButton, nullptr, 0.1f, 0.1f, 0.2f, 0.1f));
    play->SetUpTexture(kUp);
    play->SetDownTexture(kDown);
    play->SetHoverTexture(kHover);
    play->SetLabel("Play", "ButtonDefault", 20.0f, 25.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    auto* name = static_cast<guiEditBox*>(menu->CreateObject("Name", kGuiEditBox, nullptr, 0.1f, 0.3f, 0.4f, 0.06f));
    name->SetBackgroundTexture("Interface/EditBox/genericbg.dds");
    name->SetText("Kostrivane");
    name->SetActive(1);
    auto* volume = static_cast<guiSlider*>(menu->CreateObject("Volume", kGuiSlider, nullptr, 0.1f, 0.5f, 0.4f, 0.05f));
    volume->SetTrackTexture(kDown);
    volume->SetThumbTexture(kHover, 0.04f, 0.05f);
    volume->SetValue(0.5f);
    auto* sound =
        static_cast<guiCheckBox*>(menu->CreateObject("Sound", kGuiCheckBox, nullptr, 0.1f, 0.7f, 0.05f, 0.05f));
    sound->SetUncheckedTexture(kDown);
    sound->SetCheckedTexture(kUp);
    sound->SetChecked(1);
    Cursor::Instance()->Init(kWidth, kHeight, &canvas);
    Cursor::Instance()->SetMode(kCursorAttack);
    Cursor::Instance()->SetX(700);
    Cursor::Instance()->SetY(500);

    const platform::RgbImage first = DrawFrame(device, canvas);
    platform::WriteWholeFile(std::string(KV_TEST_OUTPUT_DIR) + "/gui_picture.png", platform::EncodePngRgb(first));
    const Rgb upFace = PixelAt(first, 204, 115);
    CHECK(upFace.b > upFace.r + 30); // the slate-blue face, not a white box
    CHECK(Brightness(upFace) > 150);
    CHECK(Brightness(PixelAt(first, 50, 50)) == 0); // nothing drawn there
    const Rgb checkedFace = PixelAt(first, 128, 556);
    CHECK(Brightness(checkedFace) == doctest::Approx(Brightness(upFace)).epsilon(0.15));
    // The thumb (hover face) in the middle of the darker track.
    CHECK(Brightness(PixelAt(first, 307, 403)) > Brightness(PixelAt(first, 150, 403)) + 60);
    // The attack cursor's red dot on its hot spot.
    const Rgb hotSpot = PixelAt(first, 700, 500);
    CHECK(hotSpot.r > 200);
    CHECK(hotSpot.g < 60);
    CHECK(hotSpot.b < 60);

    // The cursor moved onto the button: the button shows its hover face.
    bool handled = false;
    gui->DispatchInput(kGuiMouseMove, guiParam::FromInt(204), guiParam::FromInt(115), &handled);
    CHECK(Brightness(PixelAt(DrawFrame(device, canvas), 204, 115)) > Brightness(upFace) + 40);

    gui->Shutdown();
    Cursor::Instance()->Release();
    TextManager::Instance()->Shutdown();
    Renderer::Instance()->ReleaseDevice();
}

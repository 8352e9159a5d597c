// UnitSelectionScreen: the layout, the sliders with their push-back, the
// per-frame texts and the single-player match start.
#include "screens/UnitSelectionScreen.h"

#include "gui/guiButton.h"
#include "gui/guiManager.h"
#include "gui/guiSlider.h"
#include "gui/guiWindow.h"
#include "render/Canvas2D.h"
#include "screens/MenuHost.h"
#include "screens/NetSession.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"

#include <algorithm>
#include <numeric>

namespace {

const ColorValue kTextColor{0.21f, 0.45f, 0.78f, 1.0f};
const ColorValue kShortColor{1.0f, 0.0f, 0.0f, 1.0f};

struct TypeLayout {
    std::uint32_t maskBit;
    float x;
    float y;
    float sliderX;
    // Where the count is drawn, in fractions of the screen's height.
    float textY;
    const char* namePicture;
    const char* icon;
    const char* slider;
    guiCallback callback;
    // Of the initial count: M x share.
    double share;
};

const std::array<TypeLayout, UnitSelectionScreen::kUnitTypes> kLayout = {{
    {kAllowSmashtor, 0.14f, 0.6f, 0.15f, 0.56f, "Interface/Textures/1Smashtor1.png", "Interface/Textures/Smashtor.dds",
     "SmashtorSlider", UnitSelectionScreen::SmashtorSliderMoved, 0.25},
    {kAllowTrajectagon, 0.27f, 0.28f, 0.28f, 0.24f, "Interface/Textures/1Trajectagon1.png",
     "Interface/Textures/Trajectagon.dds", "TrajectagonSlider", UnitSelectionScreen::TrajectagonSliderMoved, 0.25},
    {kAllowTriangoloid, 0.39f, 0.6f, 0.4f, 0.56f, "Interface/Textures/1Triangoloid1.png",
     "Interface/Textures/Triangoloid.dds", "TriangoloidSlider", UnitSelectionScreen::TriangoloidSliderMoved, 0.25},
    {kAllowDetagon, 0.64f, 0.6f, 0.65f, 0.56f, "Interface/Textures/Dedagon.png", "Interface/Textures/Dedagon.dds",
     "DedagonSlider", UnitSelectionScreen::DedagonSliderMoved, 0.125},
    {kAllowArtillerator, 0.52f, 0.28f, 0.53f, 0.24f, "Interface/Textures/1Artillerator1.png",
     "Interface/Textures/Artillerator.dds", "ArtilleratorSlider", UnitSelectionScreen::ArtilleratorSliderMoved, 0.125},
}};

// The counts are drawn in this order.
constexpr std::array<UnitSelectionScreen::Type, UnitSelectionScreen::kUnitTypes> kDrawOrder = {
    UnitSelectionScreen::kSmashtor, UnitSelectionScreen::kTriangoloid, UnitSelectionScreen::kDetagon,
    UnitSelectionScreen::kTrajectagon, UnitSelectionScreen::kArtillerator};

guiButton* AddButton(guiWindow& window, const char* name, guiCallback callback, float x, const char* label,
                     float labelX)
{
    auto* button = static_cast<guiButton*>(window.CreateObject(name, kGuiButton, callback, x, 0.919f, 0.1f, 0.05f));
    button->SetLabel(label, "ButtonDefault", labelX, 12.0f, 1.0f, 1.0f, 1.0f, 1.0f);
    button->SetUpTexture(ScreenManager::kButtonUp);
    button->SetDownTexture(ScreenManager::kButtonDown);
    button->SetHoverTexture(ScreenManager::kButtonHover);
    return button;
}

} // namespace

int UnitSelectionScreen::CountFromSlider(float value, int maximum)
{
    return static_cast<int>((1.0f - value) * static_cast<float>(maximum));
}

std::string UnitSelectionScreen::TotalText(int total, int required)
{
    const std::string text = "Total Units: " + std::to_string(total);
    if (total == required) {
        return text + " Units is just right!";
    }
    return text + " NOT ENOUGH UNITS! You need: " + std::to_string(required);
}

int UnitSelectionScreen::GetTotal() const
{
    return std::accumulate(counts_.begin(), counts_.end(), 0);
}

ArmyUnitCounts UnitSelectionScreen::GetArmyCounts() const
{
    ArmyUnitCounts counts;
    counts.smashtors = GetCount(kSmashtor);
    counts.triangoloids = GetCount(kTriangoloid);
    counts.trajectagons = GetCount(kTrajectagon);
    counts.detagons = GetCount(kDetagon);
    counts.artillerators = GetCount(kArtillerator);
    return counts;
}

void UnitSelectionScreen::Build()
{
    const MenuHost* host = ScreenManager::Instance()->GetHost();
    options_ = host ? OptionsScreen::Checked(host->GetOptions()) : GameOptions{};
    startAllowed_ = true;
    // Nobody is ready and nobody chose yet: a second match must not find the
    // armies of the first.
    slots_.fill(PlayerSetup{});
    required_ = static_cast<int>(options_.maxUnits);
    perTypeMaximum_ = required_;
    for (int type = 0; type < kUnitTypes; ++type) {
        counts_[static_cast<std::size_t>(type)] =
            static_cast<int>(required_ * kLayout[static_cast<std::size_t>(type)].share);
    }
    guiManager* gui = guiManager::Instance();
    guiWindow* window = gui->CreateWindow(ScreenManager::kUnitSelectionWindow);
    window->SetCallback(UnitSelectionWindowCallback);
    window->AddTexture("Interface/Textures/UnitSelectBack.png", 0.125f, 0.125f, 0.75f, 0.75f);
    window->AddTexture("Interface/Textures/SelectUnits.png", 0.25f, 0.01f, 0.5f, 0.083f);
    window->SetPositionXYZ(0.0f, 0.0f, 0.0f);
    gui->CreateWindow(kCrossWindow);
    for (int type = 0; type < kUnitTypes; ++type) {
        AddUnitType(static_cast<Type>(type));
    }
    AddButtons();
}

void UnitSelectionScreen::AddUnitType(Type type)
{
    const TypeLayout& layout = kLayout[static_cast<std::size_t>(type)];
    guiManager* gui = guiManager::Instance();
    guiWindow* window = gui->GetWindow(ScreenManager::kUnitSelectionWindow);
    window->AddTexture(layout.namePicture, layout.x - 0.035f, layout.y - 0.075f, 0.25f, 0.0833333f);
    window->AddTexture(layout.icon, layout.x, layout.y, 0.18f, 0.25f);
    if ((options_.unitMask & layout.maskBit) == 0) {
        gui->GetWindow(kCrossWindow)->AddTexture("Interface/Textures/TheX.png", layout.x, layout.y, 0.18f, 0.25f);
        counts_[static_cast<std::size_t>(type)] = 0;
        return;
    }
    auto* slider = static_cast<guiSlider*>(window->CreateObject(layout.slider, kGuiSlider, layout.callback,
                                                                layout.sliderX + 0.18f, layout.y, 0.03f, 0.25f));
    slider->SetTrackTexture(ScreenManager::kTrackPicture);
    slider->SetThumbTexture(ScreenManager::kButtonUp, 0.03f, 0.05f);
    slider->SetHorizontal(0);
    slider->SetValue(1.0f -
                     static_cast<float>(counts_[static_cast<std::size_t>(type)]) / static_cast<float>(perTypeMaximum_));
}

void UnitSelectionScreen::AddButtons()
{
    const MenuHost* host = ScreenManager::Instance()->GetHost();
    const bool singlePlayer = !host || host->GetSessionKind() == kSinglePlayer;
    const bool authority = !host || host->HasAuthority();
    guiWindow* window = guiManager::Instance()->GetWindow(ScreenManager::kUnitSelectionWindow);
    if (singlePlayer && authority) {
        AddButton(*window, kBackButton, UnitSelectionBackPressed, 0.72f, "Back", 35.0f);
    }
    guiButton* start =
        AddButton(*window, ScreenManager::kStartButton, StartGameFromUnitSelection, 0.84f, "Start", 28.0f);
    // A network host starts only once every player is ready.
    if (!singlePlayer && authority) {
        start->SetVisible(0);
        // Alone in the lobby, the host waits for nobody.
        const NetSession* session = ScreenManager::Instance()->GetNetSession();
        startAllowed_ = session && session->Players().empty();
    }
}

void UnitSelectionScreen::Close()
{
    guiManager::Instance()->DestroyAllWindows();
}

void UnitSelectionScreen::Draw(Canvas2D& canvas) const
{
    const int total = GetTotal();
    const bool right = total == required_;
    // Looked up every frame: silently.
    if (auto* start = static_cast<guiButton*>(guiManager::Instance()->FindObject(
            ScreenManager::kUnitSelectionWindow, ScreenManager::kStartButton, kGuiButton))) {
        start->SetVisible(right && startAllowed_ ? 1 : 0);
    }
    canvas.DrawText(TotalText(total, required_), 150, 120, "Default", right ? kTextColor : kShortColor);
    const MenuHost* host = ScreenManager::Instance()->GetHost();
    const float width = host ? static_cast<float>(host->ScreenWidth()) : 1024.0f;
    const float height = host ? static_cast<float>(host->ScreenHeight()) : 768.0f;
    for (const Type type : kDrawOrder) {
        const TypeLayout& layout = kLayout[static_cast<std::size_t>(type)];
        canvas.DrawText(std::to_string(GetCount(type)), static_cast<int>((layout.sliderX + 0.18f) * width),
                        static_cast<int>(layout.textY * height), "Default", kTextColor);
    }
}

void UnitSelectionScreen::SliderMoved(Type type, float value)
{
    int& count = counts_[static_cast<std::size_t>(type)];
    count = CountFromSlider(value, perTypeMaximum_);
    const int excess = GetTotal() - required_;
    if (excess < 1) {
        return;
    }
    count -= excess;
    const TypeLayout& layout = kLayout[static_cast<std::size_t>(type)];
    if (auto* slider = static_cast<guiSlider*>(
            guiManager::Instance()->FindObject(ScreenManager::kUnitSelectionWindow, layout.slider, kGuiSlider))) {
        slider->SetValue(slider->GetValue() + static_cast<float>(excess) / static_cast<float>(perTypeMaximum_));
    }
}

std::uint32_t UnitSelectionScreen::SmashtorSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiSliderMoved) {
        Instance()->SliderMoved(kSmashtor, a->AsFloat());
    }
    return 0;
}

std::uint32_t UnitSelectionScreen::TrajectagonSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiSliderMoved) {
        Instance()->SliderMoved(kTrajectagon, a->AsFloat());
    }
    return 0;
}

std::uint32_t UnitSelectionScreen::TriangoloidSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiSliderMoved) {
        Instance()->SliderMoved(kTriangoloid, a->AsFloat());
    }
    return 0;
}

std::uint32_t UnitSelectionScreen::DedagonSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiSliderMoved) {
        Instance()->SliderMoved(kDetagon, a->AsFloat());
    }
    return 0;
}

std::uint32_t UnitSelectionScreen::ArtilleratorSliderMoved(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiSliderMoved) {
        Instance()->SliderMoved(kArtillerator, a->AsFloat());
    }
    return 0;
}

std::uint32_t UnitSelectionScreen::StartGameFromUnitSelection(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    MenuHost* host = ScreenManager::Instance()->GetHost();
    if (!host) {
        return 0;
    }
    if (host->GetSessionKind() == kSinglePlayer) {
        if (Instance()->GetTotal() == Instance()->required_) {
            Instance()->StartSinglePlayer();
            *handled = true;
        }
    } else if (Instance()->GetTotal() == Instance()->required_ && Instance()->startAllowed_) {
        if (host->HasAuthority()) {
            Instance()->StartNetworkHost();
            *handled = true;
        } else {
            Instance()->SendClientSlot();
        }
    }
    host->RestartFrameClock();
    return 0;
}

void UnitSelectionScreen::StartSinglePlayer()
{
    MenuHost* host = ScreenManager::Instance()->GetHost();
    Close();
    host->StopMenuCamera();
    host->EndMatch();
    host->SetAuthority(true);
    host->StartMatch();
    host->CreateArmy(true, GetArmyCounts(), Vec3(), false, "Player");
    host->EnterMatchState();
    host->CreateComputerArmies();
}

PlayerSetup UnitSelectionScreen::OwnSetup() const
{
    PlayerSetup own;
    own.counts = GetArmyCounts();
    own.ready = true;
    if (const NetSession* session = ScreenManager::Instance()->GetNetSession()) {
        own.name = session->OwnName();
    }
    return own;
}

void UnitSelectionScreen::StartNetworkHost()
{
    MenuHost* host = ScreenManager::Instance()->GetHost();
    NetSession* session = ScreenManager::Instance()->GetNetSession();
    Close();
    host->StopMenuCamera();
    host->EndMatch();
    slots_[0] = OwnSetup();
    slots_[0].mode = options_.mode;
    host->StartMatch();
    for (int i = 0; i < kSlots; ++i) {
        PlayerSetup& slot = slots_[static_cast<std::size_t>(i)];
        // A player the map has no start for is left out on every machine.
        if (slot.ready && !host->ClaimStartSlot(slot.start, slot.colour)) {
            slot.ready = false;
        }
        if (slot.ready) {
            CreateNetworkArmy(i, i == 0);
        }
    }
    // The match's own timers replace the lobby's announcements.
    ScreenManager::Instance()->TakeHostAnnouncementTimer();
    if (session) {
        session->StopAnnouncing();
        session->StartUnitStateSync();
        session->SendSlotsAsHost(slots_);
    }
    host->EnterMatchState();
}

void UnitSelectionScreen::SendClientSlot()
{
    slots_[0] = OwnSetup();
    if (NetSession* session = ScreenManager::Instance()->GetNetSession()) {
        session->SendSlotAsClient(slots_[0]);
    }
    startAllowed_ = false;
    if (guiObject* start = guiManager::Instance()->FindObject(ScreenManager::kUnitSelectionWindow,
                                                              ScreenManager::kStartButton, kGuiButton)) {
        start->SetVisible(0);
    }
}

void UnitSelectionScreen::CreateNetworkArmy(int index, bool selected)
{
    const PlayerSetup& slot = slots_[static_cast<std::size_t>(index)];
    ScreenManager::Instance()->GetHost()->CreateNetworkArmy(selected, slot.counts, slot.start, slot.name, slot.colour);
}

void UnitSelectionScreen::PlayersChanged(const std::vector<std::int32_t>& ids)
{
    bool allReady = true;
    for (int id = 1; id < kSlots; ++id) {
        const bool joined = std::find(ids.begin(), ids.end(), id) != ids.end();
        PlayerSetup& slot = slots_[static_cast<std::size_t>(id)];
        if (!joined) {
            slot = PlayerSetup{};
        } else if (!slot.ready) {
            allReady = false;
        }
    }
    startAllowed_ = allReady;
}

void UnitSelectionScreen::StartNetworkMatch(const std::array<PlayerSetup, 8>& slots, std::int32_t ownId)
{
    MenuHost* host = ScreenManager::Instance()->GetHost();
    if (!host) {
        return;
    }
    Close();
    host->StopMenuCamera();
    host->EndMatch();
    slots_ = slots;
    // The new map first, so the armies stand on its ground, in the host's
    // order, so every machine numbers them alike.
    host->StartMatch();
    for (int i = 0; i < kSlots; ++i) {
        if (slots_[static_cast<std::size_t>(i)].ready) {
            CreateNetworkArmy(i, i == ownId);
        }
    }
    host->EnterMatchState();
    host->RestartFrameClock();
}

std::uint32_t UnitSelectionScreen::UnitSelectionBackPressed(std::uint32_t code, guiParam*, guiParam*, bool*)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    ScreenManager::Instance()->SetScreen(kScreenOptions);
    if (const MenuHost* host = ScreenManager::Instance()->GetHost()) {
        OptionsScreen::Instance()->SetValues(host->GetOptions());
    }
    return 0;
}

std::uint32_t UnitSelectionScreen::UnitSelectionWindowCallback(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    ScreenManager::QuitOrResetFade(code, a);
    return 0;
}

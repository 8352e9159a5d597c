// ConnectionScreen: the layout, the host buttons, the connection list's text
// and the three buttons' actions.
#include "screens/ConnectionScreen.h"

#include "gui/guiButton.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "render/Canvas2D.h"
#include "screens/MenuHost.h"
#include "screens/NetSession.h"
#include "screens/ScreenManager.h"

#include <algorithm>

namespace {

const ColorValue kWhite{1.0f, 1.0f, 1.0f, 1.0f};
// The right edge of the panel the host lines are drawn on, where the status
// line starts and the "Back" button's left edge, fractions of the screen.
// The panel's picture frames its glass with a rim and a thin amber line
// inside it, ten pixels in all: a host's line ends short of them.
constexpr float kPanelRight = 0.875f;
constexpr int kPanelFrame = 10;
constexpr float kStatusX = 0.18f;
constexpr float kBackButtonX = 0.72f;
const ColorValue kStatusColor{1.0f, 0.35f, 0.25f, 1.0f};
// A host's line starts this far below its row's top: its baseline is then
// the baseline of the "Connect" label beside it, which stands a pixel lower
// in a font a pixel smaller.
constexpr int kLineDrop = 4;

guiButton* AddButton(guiWindow& window, const std::string& name, guiCallback callback, float x, float y, float width,
                     float height, const char* label, float labelX, float labelY)
{
    auto* button = static_cast<guiButton*>(window.CreateObject(name, kGuiButton, callback, x, y, width, height));
    button->SetLabel(label, "ButtonDefault", labelX, labelY, 1.0f, 1.0f, 1.0f, 1.0f);
    button->SetUpTexture(ScreenManager::kButtonUp);
    button->SetDownTexture(ScreenManager::kButtonDown);
    button->SetHoverTexture(ScreenManager::kButtonHover);
    return button;
}

NetSession* Session()
{
    return ScreenManager::Instance()->GetNetSession();
}

} // namespace

void ConnectionScreen::Build()
{
    hostButtons_.clear();
    status_.clear();
    connectingTo_.clear();
    guiWindow* window = guiManager::Instance()->CreateWindow(kWindow);
    window->SetCallback(ConnectionWindowCallback);
    window->SetPositionXYZ(0.0f, 0.0f, 1.0f);
    window->AddTexture("Interface/Textures/GameConnect.png", 0.25f, 0.01f, 0.5f, 0.083f);
    window->AddTexture("Interface/Textures/UnitSelectBack.png", 0.125f, 0.125f, 0.75f, 0.75f);
    auto* name = static_cast<guiEditBox*>(
        window->CreateObject(kNameBox, kGuiEditBox, NameBoxCallback, 0.3f, 0.15f, 0.5f, 0.03f));
    name->SetText(kDefaultName);
    name->SetBackgroundTexture(ScreenManager::kTrackPicture);
    name->SetMaxLength(100);
    name->SetTextOffsetX(15);
    name->SetTextOffsetY(3);
    name->SetActive(1);
    name->SetClearOnEnter(0);
    AddButton(*window, ScreenManager::kHostGameButton, HostGamePressed, 0.18f, 0.15f, 0.1f, 0.03f, "Host Game", 11.0f,
              6.0f);
    AddButton(*window, kBackButton, ConnectionBackPressed, 0.72f, 0.919f, 0.1f, 0.05f, "Back", 35.0f, 12.0f);
    // Hosts heard on an earlier visit keep their places in the list.
    RefreshHosts();
}

void ConnectionScreen::Close()
{
    hostButtons_.clear();
    guiManager::Instance()->DestroyWindow(kWindow);
}

void ConnectionScreen::RefreshHosts()
{
    const NetSession* session = Session();
    if (!session || !guiManager::Instance()->GetWindow(kWindow)) {
        return;
    }
    const std::size_t hosts = session->Hosts().size();
    while (hostButtons_.size() < hosts && hostButtons_.size() < kMaxHostButtons) {
        AddHostButton();
    }
    // Hosts that stopped announcing leave the list: the last buttons go, and
    // button i still stands for host i.
    while (hostButtons_.size() > hosts) {
        hostButtons_.pop_back();
        guiManager::Instance()->GetWindow(kWindow)->DeleteObject(kHostButtonPrefix +
                                                                 std::to_string(hostButtons_.size()));
    }
}

void ConnectionScreen::AddHostButton()
{
    guiWindow* window = guiManager::Instance()->GetWindow(kWindow);
    const std::string name = kHostButtonPrefix + std::to_string(hostButtons_.size());
    const bool hosting = Session() && Session()->IsHosting();
    const float y = kFirstHostButtonY + kHostRowStep * static_cast<float>(hostButtons_.size());
    const float labelOffset = hosting ? 0.0f : kConnectLabelOffset;
    guiButton* button = AddButton(*window, name, ConnectPressed, kHostButtonX, y, kHostButtonWidth, kHostButtonHeight,
                                  hosting ? "Kick" : "Connect", labelOffset, labelOffset);
    // Hidden like the others while an attempt runs.
    if (Session() && Session()->IsConnecting()) {
        button->SetVisible(0);
    }
    hostButtons_.push_back(button);
}

int ConnectionScreen::RowTop(std::size_t row)
{
    // Through the buttons' own conversion, so a line never drifts from its
    // button whatever the screen's height.
    const float y = kFirstHostButtonY + kHostRowStep * static_cast<float>(row);
    return static_cast<int>(guiManager::Instance()->ToPixels({0.0f, y, 0.0f, y}).top);
}

int ConnectionScreen::FindHostButton(const void* button) const
{
    for (std::size_t i = 0; i < hostButtons_.size(); ++i) {
        if (hostButtons_[i] == button) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string ConnectionScreen::TypedName() const
{
    const guiEditBox* box =
        static_cast<guiEditBox*>(guiManager::Instance()->FindObject(kWindow, kNameBox, kGuiEditBox));
    return box ? box->GetText() : std::string(kDefaultName);
}

void ConnectionScreen::ShowChoices(bool shown)
{
    for (guiButton* button : hostButtons_) {
        button->SetVisible(shown ? 1 : 0);
    }
    if (guiObject* host = guiManager::Instance()->FindObject(kWindow, ScreenManager::kHostGameButton, kGuiButton)) {
        host->SetVisible(shown ? 1 : 0);
    }
}

void ConnectionScreen::Connect(int index)
{
    NetSession* session = Session();
    if (!session || index < 0 || session->IsConnecting()) {
        return;
    }
    const std::vector<NetPeerName> hosts = session->Hosts();
    if (static_cast<std::size_t>(index) >= hosts.size()) {
        return;
    }
    if (!session->Connect(static_cast<std::size_t>(index), TypedName())) {
        status_ = "Could not connect to " + hosts[static_cast<std::size_t>(index)].name;
        return;
    }
    connectingTo_ = hosts[static_cast<std::size_t>(index)].name;
    status_ = "Connecting to " + connectingTo_ + "...";
    ShowChoices(false);
}

void ConnectionScreen::ConnectFailed()
{
    status_ = "Could not connect to " + connectingTo_;
    if (guiManager::Instance()->GetWindow(kWindow)) {
        ShowChoices(true);
    }
}

void ConnectionScreen::HostSentBack(bool welcomed)
{
    status_ = welcomed ? kSentBackNote : kNotLetInNote;
}

void ConnectionScreen::Draw(Canvas2D& canvas) const
{
    const MenuHost* host = ScreenManager::Instance()->GetHost();
    const int width = host ? host->ScreenWidth() : 1024;
    const int height = host ? host->ScreenHeight() : 768;
    const int x = static_cast<int>(0.4f * static_cast<float>(width));
    const std::vector<NetPeerName> hosts = Session() ? Session()->Hosts() : std::vector<NetPeerName>{};
    // The text lies on the window's panel, so it dims with the window when
    // the idle fade dims it.
    const guiWindow* window = guiManager::Instance()->GetWindow(kWindow);
    const float alpha = window ? std::clamp(window->GetAlpha(), 0.0f, 1.0f) : 1.0f;
    const ColorValue white{kWhite.r, kWhite.g, kWhite.b, kWhite.a * alpha};
    canvas.DrawText("Current Connections: ", x, static_cast<int>(0.2f * static_cast<float>(height)), "Default", white);
    // A line for each host with a button, beside it; the total counts them all.
    const std::size_t listed = std::min(hosts.size(), kMaxHostButtons);
    // The panel's edge as the window places its picture.
    const int room = static_cast<int>(kPanelRight * static_cast<float>(width - 1)) - kPanelFrame - x;
    for (std::size_t i = 0; i < listed; ++i) {
        canvas.DrawText(canvas.FitText(std::to_string(i) + " : Name: " + hosts[i].name, "Default", room), x,
                        RowTop(i) + kLineDrop, "Default", white);
    }
    canvas.DrawText(std::to_string(hosts.size()) + " Entries Total", x, RowTop(listed) + kLineDrop, "Default", white);
    if (!status_.empty()) {
        // It may name a host: it stops before the "Back" button.
        const int room = static_cast<int>((kBackButtonX - kStatusX) * static_cast<float>(width));
        const ColorValue statusColor{kStatusColor.r, kStatusColor.g, kStatusColor.b, kStatusColor.a * alpha};
        canvas.DrawText(canvas.FitText(status_, "Default", room),
                        static_cast<int>(kStatusX * static_cast<float>(width)),
                        static_cast<int>(0.93f * static_cast<float>(height)), "Default", statusColor);
    }
}

std::uint32_t ConnectionScreen::HostGamePressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    NetSession* session = Session();
    if (code != kGuiButtonReleased || !session || session->IsConnecting()) {
        return 0;
    }
    *handled = true;
    if (!session->Host(Instance()->TypedName())) {
        Instance()->status_ = "Could not host: the game's port is taken";
        return 0;
    }
    ScreenManager::Instance()->SetScreen(kScreenLobby);
    return 0;
}

std::uint32_t ConnectionScreen::ConnectPressed(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code == kGuiButtonReleased && a) {
        Instance()->Connect(Instance()->FindHostButton(a->AsPointer()));
    }
    return 0;
}

std::uint32_t ConnectionScreen::ConnectionBackPressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    // Nothing of the network stays behind the main menu: the receive port
    // closes and any attempt is given up.
    if (NetSession* session = Session()) {
        session->Leave();
    }
    *handled = true;
    ScreenManager::Instance()->SetScreen(kScreenMainMenu);
    return 0;
}

std::uint32_t ConnectionScreen::ConnectionWindowCallback(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    ScreenManager::QuitOrResetFade(code, a);
    return 0;
}

std::uint32_t ConnectionScreen::NameBoxCallback(std::uint32_t, guiParam*, guiParam*, bool*)
{
    return 0;
}

// LobbyScreen: the layout, the name and settings lines, and the buttons.
#include "screens/LobbyScreen.h"

#include "core/NameCut.h"
#include "gui/guiButton.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "render/Canvas2D.h"
#include "render/TextManager.h"
#include "screens/MenuHost.h"
#include "screens/NetSession.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"

#include <algorithm>

namespace {

const ColorValue kTextColor{0.21f, 0.45f, 0.78f, 1.0f};
constexpr int kChatLines = 10;
// Where the names and the chat lines start, and the fractions of the screen
// where they must stop: the kick buttons, and the inside of the chat
// panel's frame in the background picture (its glass ends at 712 of 1024
// pixels; the lines' dark rim reaches two pixels past their glyphs).
constexpr int kNamesX = 70;
constexpr int kChatX = 70;
constexpr float kKickButtonX = 0.3155f;
constexpr float kChatPanelInside = 708.0f / 1024.0f;
// The command line shares its strip with "Drop": it ends a hundredth of the
// screen short of the button, so the end of a long line, which the box
// shows, is never drawn over the button's face.
constexpr float kCommandLineX = 0.06543f;
constexpr float kDropButtonX = 0.72f;
constexpr float kCommandLineWidth = kDropButtonX - 0.01f - kCommandLineX;

// Pixels from x to the fraction of the screen's width (as the windows place it).
int WidthTo(float fraction, int x)
{
    const MenuHost* host = ScreenManager::Instance()->GetHost();
    const int width = host ? host->ScreenWidth() : 1024;
    return static_cast<int>(fraction * static_cast<float>(width - 1)) - x;
}

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

// " n: name", built piece by piece (GCC 12 warns falsely on the one-line sum).
std::string NameLine(std::size_t number, const std::string& name)
{
    std::string line = " ";
    line += std::to_string(number);
    line += ": ";
    line += name;
    return line;
}

NetSession* Session()
{
    return ScreenManager::Instance()->GetNetSession();
}

bool Hosting()
{
    return Session() && Session()->IsHosting();
}

guiEditBox* CommandLine()
{
    return static_cast<guiEditBox*>(
        guiManager::Instance()->FindObject(LobbyScreen::kWindow, LobbyScreen::kCommandLine, kGuiEditBox));
}

} // namespace

const std::array<const char*, 5> LobbyScreen::kUnitNames = {"Smashtor", "Triangoloid", "Dedagon", "Trajectagon",
                                                            "Artillerator"};

void LobbyScreen::Build()
{
    ForgetWidgets();
    shown_ = true;
    underOptions_ = false;
    options_.computerArmies = 0;
    guiManager* gui = guiManager::Instance();
    window_ = gui->CreateWindow(kWindow);
    window_->AddTexture("Interface/Textures/GameLobbyTexWithBack.png", 0.0f, 0.0f, 1.0f, 1.0f);
    window_->AddTexture("Interface/Textures/GameLobbyTitle.dds", 0.25f, 0.01f, 0.5f, 0.083f);
    window_->AddTexture("Interface/Textures/Players.png", 0.102f, 0.10998f, 0.25f, 0.083f);
    window_->AddTexture("Interface/Textures/GameSettings.png", 0.7051f, 0.10998f, 0.25f, 0.083f);
    window_->AddTexture("Interface/Textures/Chat.png", 0.0f, 0.563f, 0.25f, 0.083f);
    window_->SetPositionXYZ(0.0f, 0.0f, 0.0f);
    mapWindow_ = gui->CreateWindow(kMapWindow);
    ShowMapPreview(static_cast<int>(options_.mapIndex));

    auto* line = static_cast<guiEditBox*>(window_->CreateObject(kCommandLine, kGuiEditBox, LobbyChatEntered,
                                                                kCommandLineX, 0.9297f, kCommandLineWidth, 0.06f));
    line->SetMaxLength(kCommandLength);
    line->SetTextOffsetX(5);
    line->SetTextOffsetY(3);
    line->SetActive(1);
    line->SetClearOnEnter(0);
    line->SetTextColor(kTextColor.r, kTextColor.g, kTextColor.b, kTextColor.a);
    AddButton(*window_, kDropButton, LobbyDropPressed, kDropButtonX, 0.919f, 0.1f, 0.05f, "Drop", 35.0f, 12.0f);
    if (Hosting()) {
        AddHostButtons(*window_);
    }
    TextBox* chat =
        TextManager::Instance()->CreateTextBox(kChatBox, "Default", kTextColor, kChatLines, 70, 654, true, true, -20);
    for (int i = 0; i < kChatLines; ++i) {
        chat->AddLine("");
    }
    names_.fill("");
    PlayersChanged();
}

void LobbyScreen::AddHostButtons(guiWindow& window)
{
    AddButton(window, kReadyButton, LobbyReadyPressed, 0.84f, 0.919f, 0.1f, 0.05f, "Ready", 28.0f, 12.0f);
    AddButton(window, kChangeButton, LobbyOptionsPressed, 0.73f, 0.5f, 0.1f, 0.05f, "Change", 23.0f, 12.0f);
    for (int i = 0; i < kKickButtons; ++i) {
        // Client i's name stands on line i + 1, under the host's.
        guiButton* kick = AddButton(window, kKickPrefix + std::to_string(i), LobbyKickPressed, 0.3155f,
                                    0.182f + 0.039f * static_cast<float>(i + 1), 0.06f, 0.025f, "Kick", 16.0f, 2.0f);
        kick->SetVisible(0);
        kickButtons_[static_cast<std::size_t>(i)] = kick;
    }
}

void LobbyScreen::Close()
{
    TextManager::Instance()->DeleteTextBox(kChatBox);
    guiManager* gui = guiManager::Instance();
    gui->DestroyWindow(kWindow);
    gui->DestroyWindow(kMapWindow);
    if (underOptions_) {
        OptionsScreen::Instance()->Close();
    }
    LeaveOptions();
    ForgetWidgets();
    shown_ = false;
    underOptions_ = false;
}

void LobbyScreen::ForgetWidgets()
{
    window_ = nullptr;
    mapWindow_ = nullptr;
    kickButtons_.fill(nullptr);
}

void LobbyScreen::ShowMapPreview(int index)
{
    if (!mapWindow_) {
        return;
    }
    const int map = index >= 0 && index < OptionsScreen::kMaps ? index : 0;
    const std::string base = OptionsScreen::kMapBases[static_cast<std::size_t>(map)];
    mapWindow_->ClearTextures();
    mapWindow_->AddTexture(base + ".bmp", 0.423f, 0.158f, 0.2715f, 0.395f);
    mapWindow_->AddTexture("Interface/Textures/Map.png", 0.423f + 0.01065f, 0.10998f, 0.25f, 0.083f);
    mapWindow_->AddTexture(base + ".png", 0.423f + 0.01065f, 0.158f + 0.395f - 0.073f, 0.25f, 0.083f);
}

void LobbyScreen::SetGameOptions(const GameOptions& options)
{
    options_ = OptionsScreen::Checked(options);
    ShowMapPreview(static_cast<int>(options_.mapIndex));
}

void LobbyScreen::SetPlayerName(int index, const std::string& name)
{
    if (index >= 0 && index < kNames) {
        names_[static_cast<std::size_t>(index)] = CutName(name, kNameLength);
    }
}

void LobbyScreen::AddChatLine(const std::string& line)
{
    if (!shown_) {
        return;
    }
    if (TextBox* chat = TextManager::Instance()->GetTextBox(kChatBox)) {
        chat->AddLine(TextManager::Instance()->FitText(line, "Default", WidthTo(kChatPanelInside, kChatX)));
    }
}

void LobbyScreen::PlayersChanged()
{
    const std::size_t players = Session() ? Session()->Players().size() : 0;
    for (std::size_t i = 0; i < kickButtons_.size(); ++i) {
        if (kickButtons_[i]) {
            kickButtons_[i]->SetVisible(i < players ? 1 : 0);
        }
    }
}

int LobbyScreen::KickButtonsShown() const
{
    return static_cast<int>(std::count_if(kickButtons_.begin(), kickButtons_.end(),
                                          [](const guiButton* kick) { return kick && kick->IsVisible(); }));
}

std::vector<std::string> LobbyScreen::NameLines() const
{
    std::vector<std::string> lines;
    // The host lists itself, then its joined clients by id.
    if (Hosting()) {
        lines.push_back(NameLine(1, Session()->OwnName()));
    }
    const std::vector<NetPeerName> players = Session() ? Session()->Players() : std::vector<NetPeerName>{};
    for (const NetPeerName& player : players) {
        lines.push_back(NameLine(lines.size() + 1, player.name));
    }
    // A client lists its host, then the players the host named, by id too.
    if (!Hosting()) {
        for (std::size_t i = 0; i < names_.size() && !names_[i].empty(); ++i) {
            lines.push_back(NameLine(i + 2, names_[i]));
        }
    }
    return lines;
}

std::vector<LobbyLine> LobbyScreen::SettingsLines() const
{
    std::vector<LobbyLine> lines;
    lines.push_back({OptionsScreen::TimeText(options_.minutes)});
    lines.push_back({"Game Type:"});
    // Mode 4 is played by the rules but not offered: no name.
    lines.push_back(
        {options_.mode < OptionsScreen::kModeNames.size() ? OptionsScreen::kModeNames[options_.mode] : "", true});
    lines.push_back({"Maximum Units: " + std::to_string(options_.maxUnits)});
    lines.push_back({"Units Allowed:"});
    for (std::size_t bit = 0; bit < kUnitNames.size(); ++bit) {
        if ((options_.unitMask & (1u << bit)) != 0) {
            lines.push_back({kUnitNames[bit], true});
        }
    }
    return lines;
}

void LobbyScreen::Draw(Canvas2D& canvas) const
{
    const std::vector<std::string> names = NameLines();
    const int namesWidth = WidthTo(kKickButtonX, kNamesX);
    for (std::size_t i = 0; i < names.size(); ++i) {
        canvas.DrawText(canvas.FitText(names[i], "Default", namesWidth), kNamesX, 141 + 30 * static_cast<int>(i),
                        "Default", kTextColor);
    }
    const std::vector<LobbyLine> settings = SettingsLines();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        canvas.DrawText(settings[i].text, settings[i].indented ? 765 : 750, 135 + 20 * static_cast<int>(i), "Default",
                        kTextColor);
    }
}

void LobbyScreen::SetTakingInput(bool taking)
{
    for (guiWindow* window : {window_, mapWindow_}) {
        if (window) {
            window->SetVisible(taking ? 1 : 0);
            window->SetDisabled(taking ? 0 : 1);
        }
    }
    if (TextBox* chat = TextManager::Instance()->GetTextBox(kChatBox)) {
        chat->SetVisible(taking);
    }
    if (guiEditBox* line = CommandLine()) {
        line->SetActive(taking ? 1 : 0);
    }
}

void LobbyScreen::OpenOptions()
{
    SetTakingInput(false);
    underOptions_ = true;
    ScreenManager::Instance()->SetScreenIdDirectly(kScreenOptions);
    OptionsScreen* options = OptionsScreen::Instance();
    options->Build();
    options->SetOverLobby(true);
    options->SetOtherPlayers(Session() ? static_cast<int>(Session()->Players().size()) : 0);
    options->SetValues(options_);
}

void LobbyScreen::LeaveOptions()
{
    // A single-player game later has no other players and no lobby to return to.
    OptionsScreen::Instance()->SetOverLobby(false);
    OptionsScreen::Instance()->SetOtherPlayers(0);
    underOptions_ = false;
}

void LobbyScreen::ReturnFromOptions()
{
    OptionsScreen::Instance()->Close();
    LeaveOptions();
    SetTakingInput(true);
    ScreenManager::Instance()->SetScreenIdDirectly(kScreenLobby);
}

std::uint32_t LobbyScreen::LobbyChatEntered(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    if (code != kGuiEditBoxEnter || !a || !a->AsPointer()) {
        return 0;
    }
    const std::string text(static_cast<const char*>(a->AsPointer()));
    if (text.empty()) {
        return 0;
    }
    if (NetSession* session = Session()) {
        session->SendLobbyChat(text);
    }
    if (guiEditBox* line = CommandLine()) {
        line->SetText("");
    }
    return 0;
}

std::uint32_t LobbyScreen::LobbyKickPressed(std::uint32_t code, guiParam* a, guiParam*, bool* handled)
{
    NetSession* session = Session();
    if (code != kGuiButtonReleased || !a || !session) {
        return 0;
    }
    const auto& kicks = Instance()->kickButtons_;
    const auto it = std::find(kicks.begin(), kicks.end(), a->AsPointer());
    if (it == kicks.end()) {
        return 0;
    }
    // The list is taken now: a client that left meanwhile is not there, and
    // button i past the list kicks nobody.
    const auto index = static_cast<std::size_t>(it - kicks.begin());
    const std::vector<NetPeerName> players = session->Players();
    if (index < players.size()) {
        session->Kick(players[index].id);
    }
    *handled = true;
    return 0;
}

std::uint32_t LobbyScreen::LobbyDropPressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    if (NetSession* session = Session()) {
        session->Leave();
    }
    *handled = true;
    ScreenManager::Instance()->SetScreen(kScreenConnection);
    return 0;
}

std::uint32_t LobbyScreen::LobbyReadyPressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    NetSession* session = Session();
    MenuHost* host = ScreenManager::Instance()->GetHost();
    if (code != kGuiButtonReleased || !session || !host || !session->IsHosting()) {
        return 0;
    }
    *handled = true;
    session->SendStartGame();
    host->SetOptions(Instance()->options_);
    ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
    return 0;
}

std::uint32_t LobbyScreen::LobbyOptionsPressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased || !Hosting()) {
        return 0;
    }
    *handled = true;
    Instance()->OpenOptions();
    return 0;
}

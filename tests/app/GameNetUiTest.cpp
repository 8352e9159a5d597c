// The network's calls on the real screens, through the game's own network
// manager and message handlers: a client its host turns away, or sends back
// from the lobby, is on the connection screen again and is told why there,
// in words true whichever way it happened. The pictures are written to the
// build folder to be looked at.
#include "net/NetworkManager.h"
#include "render/TextManager.h"
#include "screens/ConnectionScreen.h"
#include "screens/ScreenManager.h"

#include "GameOnScreen.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The host's leave, as the receive thread hands it on: a kick, a refusal
// and a host leaving all send this one record.
void HostLeaves(NetworkManager& net, const std::shared_ptr<Connection>& host)
{
    ReceivedMessage leave;
    leave.record = LeaveMessage{};
    leave.asServer = false;
    leave.channel = kChannelTcp;
    leave.senderId = 0;
    leave.from = host;
    REQUIRE(net.GetQueue().Push(std::move(leave)));
}

// Pixels of the status line's place in the status colour (a strong red).
int RedPixels(const platform::RgbImage& image, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
            count += image.rgb[at] > 180 && image.rgb[at + 1] < 120 && image.rgb[at + 2] < 110 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

TEST_CASE("a client its host turns away or sends back is told why on the connection screen")
{
    testing::GameOnScreen screen(31);
    NetworkManager* const net = NetworkManager::Instance();
    const auto host = std::make_shared<Connection>();
    host->name = "Hal";
    ScreenManager::Instance()->SetScreen(kScreenConnection);
    // The join under way, as "Connect" leaves it once the stream is up.
    net->AttachHost(host, "Me");
    std::string expected;
    std::string picture;

    SUBCASE("a join the host never welcomed")
    {
        expected = ConnectionScreen::kNotLetInNote;
        picture = "net_connection_not_let_in";
    }
    SUBCASE("a welcomed client in the lobby")
    {
        net->AcceptWelcome(1);
        ScreenManager::Instance()->SetScreen(kScreenLobby);
        screen.Frames(1);
        expected = ConnectionScreen::kSentBackNote;
        picture = "net_connection_sent_back";
    }
    HostLeaves(*net, host);
    screen.Frames(2);
    CHECK(ScreenManager::Instance()->GetScreenId() == kScreenConnection);
    CHECK(ConnectionScreen::Instance()->GetStatus() == expected);
    CHECK(net->GetOwnId() == -1);
    const platform::RgbImage shot = screen.Shot(picture);
    // Written whole, in one line left of "Back".
    const int statusX = static_cast<int>(0.18f * testing::GameOnScreen::kWidth);
    const int statusY = static_cast<int>(0.93f * testing::GameOnScreen::kHeight);
    const int room = static_cast<int>((0.72f - 0.18f) * testing::GameOnScreen::kWidth);
    const int width = TextManager::Instance()->MeasureText(expected, "Default");
    CHECK(width <= room);
    CHECK(RedPixels(shot, statusX, statusY, statusX + width, statusY + 16) >= 150);

    // Leaving the screen forgets it.
    ScreenManager::Instance()->SetScreen(kScreenMainMenu);
    ScreenManager::Instance()->SetScreen(kScreenConnection);
    CHECK(ConnectionScreen::Instance()->GetStatus().empty());
}

// The start with no map the game can load: missing files, or maps asking for
// millions of trees. Each map's refusal is said, by file and reason, and then
// the one thing that went wrong: no battle is built on no ground (whose
// armies would each log a warning of their own), and the game ends.
#include "app/Game.h"
#include "game/Battle.h"
#include "platform/NullRenderDevice.h"
#include "platform/QuitRequest.h"
#include "render/Renderer.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

std::size_t Occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// A copy of the generated map whose header claims count trees.
void WriteMapClaimingTrees(const std::string& name, std::uint32_t count)
{
    std::vector<std::uint8_t> bytes;
    const std::string text = testing::ReadTextFile(testing::DataDirectory() / "Maps" / name);
    bytes.assign(text.begin(), text.end());
    REQUIRE(bytes.size() > 56);
    for (int i = 0; i < 4; ++i) {
        bytes[20 + i] = static_cast<std::uint8_t>(count >> (8 * i));
    }
    testing::WriteBinaryFile(std::filesystem::path("Maps") / name, bytes);
}

} // namespace

TEST_CASE("with no map loadable the game says why for each, logs the one fault, builds no battle and ends")
{
    Renderer::Instance()->CreateDevice(std::make_unique<platform::NullRenderDevice>());
    Game* game = Game::Instance();
    game->Init();
    const testing::TempDirectory dir;
    testing::MessageCatcher said;
    std::string fault;

    SUBCASE("the maps are missing")
    {
        fault = "Could not read map file Maps/";
    }
    SUBCASE("every map asks for two million trees")
    {
        for (const char* name : {"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"}) {
            WriteMapClaimingTrees(name, 2'000'000);
        }
        fault = "The tree count 2000000 is above the 1024 a map may hold.";
    }

    game->LoadAfterSplash();
    REQUIRE(said.messages.size() == 5);
    for (std::size_t i = 0; i < 4; ++i) {
        CAPTURE(said.messages[i].first);
        CHECK(said.messages[i].first.find(fault) != std::string::npos);
    }
    CHECK(said.messages.back().first == "Could not load map.");
    CHECK(platform::TakePendingQuit() == std::optional<int>(EXIT_FAILURE));

    const std::string log = testing::ReadTextFile("Game.txt");
    CHECK(Occurrences(log, "\n") == 1);
    CHECK(log.find("Error: No map could be loaded, so the game ends.") != std::string::npos);
    CHECK(Battle::Instance()->GetArmies().empty());
    CHECK(Battle::Instance()->GetWorldObjects().empty());
    Renderer::Instance()->ReleaseDevice();
}

// Received bytes under libFuzzer, into the real battle: a packet as the UDP
// thread hands it in, or a stream cut into chunks as the TCP thread reads it,
// into a host or a joined client whose world is the game's own (GameNetWorld
// over the battle, the physics and a generated map with hills, scattered
// scenery, a hedge of trees along z and flags), with the handlers run and a
// few frames of the simulation after each packet. Nothing
// may crash or trip a sanitizer, every unit stays a finite number, and the
// screens see only records that passed their checks.
//
// Input: byte 0 picks the role (bit 0: host) and the way in (bits 1-2:
// datagram, whole packet, stream); byte 1 the screen (2-5), in a stream the
// chunk size, and with its top bit a second hedge across the first; byte 2
// the game state (3 in a match); the rest the bytes. The peer's word is the
// seeds' (kRawJoinWord), so their datagrams on channel 1 prove themselves.
//
// Each input starts from the same battle: the armies are made anew on the
// manual clock with a fixed seed, so a finding replays exactly. The data tree
// (unit data and meshes) is linked into a working folder of the fuzzer's own,
// where the game's logs go.
#include "../tests/net/NetFakes.h"
#include "../tests/net/NetSamples.h"
#include "app/GameNetWorld.h"
#include "game/AnimationCallbacks.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/BattleCollisions.h"
#include "game/GroupMover.h"
#include "game/MeshObject.h"
#include "game/OrderQueue.h"
#include "game/Unit.h"
#include "game/WorldPopulation.h"
#include "net/NetworkManager.h"
#include "net/RecordChecks.h"
#include "physics/Physics.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "world/MapData.h"
#include "world/MeshLibrary.h"
#include "world/Terrain.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <bit>
#include <cstdlib>
#include <iterator>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr int kFramesAfterPacket = 3;
constexpr float kMapSide = 400.0f;
// Three armies of one unit of every type, near enough to fight.
constexpr std::size_t kArmies = 3;
constexpr std::uint32_t kTypes[] = {kSmashtor, kTriangoloid, kTrajectagon, kDetagon, kArtillerator};
constexpr int kUnitsPerType = 1;
// Enough bodies sharing one x for the pair search to give up its sweep
// along x; a second hedge across it (sharing one z) makes it give up the
// sweep along z too and file the rows.
constexpr int kHedgeTrees = 100;
const Vec3 kStarts[kArmies] = {{-30.0f, 0.0f, -20.0f}, {30.0f, 0.0f, -20.0f}, {0.0f, 0.0f, 35.0f}};

platform::ManualClock gClock;
Terrain gGround;

void Require(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

float Hills(float x, float z)
{
    return 6.0f * std::sin(x * 0.05f) * std::cos(z * 0.04f);
}

// The map: hills, trees and rocks scattered, and a hedge of a hundred trees
// along z, a line of bodies sharing one x that makes the pair search sweep
// along z (as a crowd in a real battle does); eight starts on a ring, flags
// between them.
MapData FuzzMap()
{
    MapData map = MakeHeightFieldMap(kMapSide, 101, Hills, -20.0f);
    const auto ground = [](float x, float z) { return Vec3(x, Hills(x, z), z); };
    for (int i = 0; i < 40; ++i) {
        const float x = static_cast<float>((i * 73) % 360) - 180.0f;
        const float z = static_cast<float>((i * 151) % 360) - 180.0f;
        (i % 4 == 0 ? map.rocks : map.trees).push_back(ground(x, z));
    }
    for (int i = 0; i < kHedgeTrees; ++i) {
        map.trees.push_back(ground(60.0f, -120.0f + 2.4f * static_cast<float>(i)));
    }
    for (int i = 0; i < 8; ++i) {
        const float angle = 0.785398f * static_cast<float>(i);
        map.starts.push_back(ground(130.0f * std::cos(angle), 130.0f * std::sin(angle)));
        map.flags.push_back(ground(90.0f * std::cos(angle + 0.39f), 90.0f * std::sin(angle + 0.39f)));
    }
    return map;
}

// The game's own network world, with the game state the input picks and no
// Game around it.
class FuzzWorld : public GameNetWorld {
public:
    std::uint32_t state = kNetStateMatch;
    std::uint32_t GameState() const override { return state; }
    bool SetOptions(const GameSettingsMessage& options) override { return AreValidSettings(options); }
};

void LinkDataTree()
{
    namespace fs = std::filesystem;
    static const fs::path here = fs::temp_directory_path() / ("kv_fuzz_net_" + std::to_string(::getpid()));
    fs::create_directories(here);
    for (const fs::directory_entry& entry : fs::directory_iterator(KV_FUZZ_DATA_DIR)) {
        if (entry.is_directory() && !fs::exists(here / entry.path().filename())) {
            fs::create_directory_symlink(entry.path(), here / entry.path().filename());
        }
    }
    fs::current_path(here);
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(here, ignored);
    });
}

// A hedge along x, across the map's own, for the inputs that ask for it.
void PlantCrossingHedge()
{
    std::vector<std::unique_ptr<MeshObject>>& scenery = Battle::Instance()->GetWorldObjects();
    for (int i = 0; i < kHedgeTrees; ++i) {
        const float x = -120.0f + 2.4f * static_cast<float>(i);
        scenery.push_back(std::make_unique<MeshObject>(x, Hills(x, -60.0f), -60.0f, ObjectMeshType::Tree));
    }
}

// The same battle for every input: the map's scenery and flags, the
// crossing hedge when asked, three armies placed, on a still clock.
void NewBattle(bool crossingHedge)
{
    Army::ResetIdCounter();
    Battle* const battle = Battle::Instance();
    battle->Clear();
    GroupMover::Instance()->ResetFormation();
    GroupMover::Instance()->SetMoveKind(kMoveReplace);
    platform::SeedRand(1);
    battle->SetMode(kModeLastManOnTheHill);
    battle->SetMatchState(kMatchGameOn);
    PopulateWorldObjects(*battle, gGround, kModeLastManOnTheHill);
    if (crossingHedge) {
        PlantCrossingHedge();
    }
    for (const Vec3& start : kStarts) {
        auto army = std::make_unique<Army>();
        army->SetPoints(4000);
        for (const std::uint32_t type : kTypes) {
            for (int i = 0; i < kUnitsPerType; ++i) {
                Require(army->AddUnit(type));
            }
        }
        const Vec3 at(start.x, gGround.HeightAt(start.x, start.z), start.z);
        army->Place(at.x, at.y, at.z);
        battle->AddArmy(std::move(army));
    }
}

// The frame's simulation, as the game runs it after the network's records.
void Frames()
{
    for (int i = 0; i < kFramesAfterPacket; ++i) {
        gClock.Advance(kFrame);
        AnimationCallbacks::Instance()->Update();
        OrderQueue::Instance()->Update();
        UpdateArmies(*Battle::Instance());
        Battle::Instance()->UpdateProjectiles();
        Physics::Instance()->Step(kFrame);
        Battle::Instance()->FreeRetired();
    }
}

void CheckBattle()
{
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            Require(IsFinite(unit->GetPosition()));
            Require(IsFinite(unit->GetVelocity()));
        }
    }
}

void CheckScreens(const FakeNetUi& ui)
{
    Require(ui.optionsReceived == 0 || AreValidSettings(ui.options));
    for (const auto& [id, slot] : ui.slots) {
        Require(id >= 1 && id <= 7);
        const int total = slot.counts[0] + slot.counts[1] + slot.counts[2] + slot.counts[3] + slot.counts[4];
        Require(total >= 0 && total <= static_cast<int>(ui.options.maxUnits));
    }
    for (const PlayerSlot& slot : ui.startedWith.slots) {
        Require(IsOnMap(slot.start, ReachOfMap(0.0f)));
    }
    for (const std::string& line : ui.lobbyChat) {
        Require(CleanReceivedText(line) == line);
    }
    for (const std::string& line : ui.gameChat) {
        Require(CleanReceivedText(line) == line);
    }
}

} // namespace

// Besides libFuzzer's own mutations, one in four writes a float the game
// must survive (far off the map, the largest finite, not a number, the
// map's edge) over a word of the records: every record is a whole number of
// words, so the words after the header hold the records' floats. Two far
// values of opposite sign, as a hostile host sends them, are then a couple
// of mutations away rather than out of reach.
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    constexpr std::size_t kFirstWord = 3 + kHeaderSize;
    constexpr float kFloats[] = {3.0e38f,  -3.0e38f,  3.4028235e38f, -1.0e30f, 1.0e9f, NAN,
                                 INFINITY, -INFINITY, 216.0f,        -200.0f,  0.0f,   1.0e-40f};
    if (seed % 4 != 0 || size < kFirstWord + 4) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    const std::size_t words = (size - kFirstWord) / 4;
    const std::size_t at = kFirstWord + 4 * ((seed / 4) % words);
    const auto bits =
        std::bit_cast<std::uint32_t>(kFloats[(seed / 4 / static_cast<unsigned>(words)) % std::size(kFloats)]);
    for (std::size_t b = 0; b < 4; ++b) { // little-endian, as on the wire
        data[at + b] = static_cast<std::uint8_t>(bits >> (8 * b));
    }
    return size;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The corpus folders and files named on the command line are found from
    // where the fuzzer was started, before it moves into its own folder.
    static std::vector<std::string> absolute;
    absolute.reserve(static_cast<std::size_t>(*argc));
    for (int i = 1; i < *argc; ++i) {
        if ((*argv)[i][0] != '-') {
            absolute.push_back(std::filesystem::absolute((*argv)[i]).string());
            (*argv)[i] = absolute.back().data();
        }
    }
    LinkDataTree();
    platform::SetClock(&gClock);
    Require(gGround.LoadFromData(FuzzMap()));
    MeshLibrary::Instance();
    Physics* const physics = Physics::Instance();
    physics->SetTerrain(&gGround);
    physics->SetCollisionHandlers(GetBattleCollisionHandlers());
    // Not diggable: a crater would carry over to the next input.
    Battle::Instance()->SetTerrain(&gGround);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) {
        return 0;
    }
    NewBattle((data[1] & 0x80) != 0);
    FakeNetUi ui;
    FuzzWorld world;
    ui.screen = 2 + data[1] % 4;
    world.state = data[2] % 4;
    NetworkManager net{NetConfig()};
    net.SetUi(&ui);
    net.SetWorld(&world);
    auto peer = std::make_shared<Connection>();
    peer->address = {platform::kLoopbackIp, 3339};
    const bool host = (data[0] & 1) != 0;
    net.SetAuthority(host);
    if (host) {
        peer->id = 1;
        peer->joined = true;
        peer->armyId = 1;
    } else {
        net.AttachHost(peer, "me");
        net.AcceptWelcome(2);
    }
    // The seeds' datagrams prove themselves with this word (fuzz_net_seeds).
    peer->word = kRawJoinWord;

    const auto afterPacket = [&] {
        net.ProcessIncoming();
        Frames();
        CheckBattle();
    };
    const std::span<const std::uint8_t> bytes(data + 3, size - 3);
    switch ((data[0] >> 1) & 3) {
    case 0:
        net.ReceiveDatagram(bytes, peer->address);
        afterPacket();
        break;
    case 1:
        net.ReceivePacket(bytes, peer->address, peer, false);
        afterPacket();
        break;
    default: {
        const std::size_t chunk = 1 + data[1] / 4;
        for (std::size_t at = 0; at < bytes.size(); at += chunk) {
            if (!net.ReceiveStreamBytes(peer, bytes.subspan(at, std::min(chunk, bytes.size() - at)))) {
                break;
            }
            Require(peer->framer.Held() <= kMaxPacketSize);
            // A chunk that completed no packet queued nothing to act on.
            if (net.GetQueue().Size() > 0) {
                afterPacket();
            }
        }
        break;
    }
    }
    CheckScreens(ui);
    Require(net.Players().size() <= NetworkManager::kMaxClients);
    return 0;
}

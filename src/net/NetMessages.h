// The nineteen records of the LAN game, as the code sees them. On the wire
// (MessageCodec) every record is a fixed size that follows from its type
// word, little-endian, padding zero; here they are plain structs with text
// as std::string, cut to its field on the way out and bounded on the way in.
//
//  type  record           bytes  carries
//   1    JoinRequest         64  name[52], client UDP port, the client's word for
//                                 this connection (never 0; see Proof)
//   2    HostAnnounce        56  host name[52]
//   3    Welcome              8  connection id given to the client
//   4    MoveOrder           20  unit head, target point
//   5    HostId               8  host id
//   6    Chat               208  text[200] ("name >> text"), 0 game / 1 lobby
//   7    AttackOrder         28  unit head, target position, 4 target bytes, assigned flag
//   8    Leave                4  -
//   9    PlayerSlots        748  8 slots of 92 bytes, a zero word, sender id
//  10    UnitState           80  unit head, position, destination, velocity, spin axis,
//                                 turn rate, heading, order, hit points, 4 target bytes, arrived
//  11    NoOp                 8  an unread word
//  12    UnitDestroyed        8  unit head
//  13    StartAttack          8  unit head
//  14    Explosion           40  centre, f64 radius, f64 strength, crater size
//  15    GameSettings        28  the six option words
//  16    StartGame            4  -
//  17    PlayerNames        532  7 names of 75 bytes
//  18    MatchResult        172  the host's match state, the number of armies (0-8), then
//                                 8 entries of 20 bytes in the host's ranked order: army id
//                                 (u8), three zero bytes, damage dealt (i32), damage taken
//                                 (i32), flag count (i32), flag time (f32)
//  19    Proof                8  the word of the connection the datagram travels on
//
// Proof is the first record of every datagram on channel 1, both ways: the
// word a client drew for its connection and sent in its join, on its own
// stream, so that only the client and its host know it. The receiver checks
// it and strips it before anything else; it is never queued or handled.
//
// A unit head is the type word, the unit's index in its army (u8), the army
// id (u8; -1 stands for none in target bytes) and two zero bytes.
#pragma once

#include "platform/math/Vector.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

enum MessageType : std::uint32_t {
    kMsgJoinRequest = 1,
    kMsgHostAnnounce = 2,
    kMsgWelcome = 3,
    kMsgMoveOrder = 4,
    kMsgHostId = 5,
    kMsgChat = 6,
    kMsgAttackOrder = 7,
    kMsgLeave = 8,
    kMsgPlayerSlots = 9,
    kMsgUnitState = 10,
    kMsgNoOp = 11,
    kMsgUnitDestroyed = 12,
    kMsgStartAttack = 13,
    kMsgExplosion = 14,
    kMsgGameSettings = 15,
    kMsgStartGame = 16,
    kMsgPlayerNames = 17,
    kMsgMatchResult = 18,
    kMsgProof = 19,
};
inline constexpr std::uint32_t kMessageTypeCount = 20; // types run 1 to 19

// Widths of the text fields, terminator included.
inline constexpr std::size_t kNameField = 52;
inline constexpr std::size_t kChatField = 200;
inline constexpr std::size_t kSlotNameField = 51;
inline constexpr std::size_t kLobbyNameField = 75;
inline constexpr std::size_t kLobbyNameCount = 7;
inline constexpr std::size_t kSlotCount = 8;
// Armies a match result lists: one per start slot.
inline constexpr std::size_t kResultArmies = 8;

// "None" in a target byte.
inline constexpr std::uint8_t kNoUnitByte = 0xFF;

struct UnitHead {
    std::uint8_t unit = 0;
    std::uint8_t army = 0;
    bool operator==(const UnitHead&) const = default;
};

// Target unit, last-attacker unit, target army, last-attacker army.
struct TargetBytes {
    std::uint8_t targetUnit = kNoUnitByte;
    std::uint8_t lastUnit = kNoUnitByte;
    std::uint8_t targetArmy = kNoUnitByte;
    std::uint8_t lastArmy = kNoUnitByte;
    bool operator==(const TargetBytes&) const = default;
};

struct JoinRequestMessage {
    std::string name;
    std::uint32_t udpPort = 0;
    std::uint32_t word = 0;
    bool operator==(const JoinRequestMessage&) const = default;
};
struct HostAnnounceMessage {
    std::string name;
    bool operator==(const HostAnnounceMessage&) const = default;
};
struct WelcomeMessage {
    std::uint32_t id = 0;
    bool operator==(const WelcomeMessage&) const = default;
};
struct MoveOrderMessage {
    UnitHead head;
    Vec3 point;
    bool operator==(const MoveOrderMessage&) const = default;
};
struct HostIdMessage {
    std::uint32_t id = 0;
    bool operator==(const HostIdMessage&) const = default;
};
enum ChatKind : std::uint32_t { kGameChat = 0, kLobbyChat = 1 };
struct ChatMessage {
    std::string text;
    std::uint32_t kind = kGameChat;
    bool operator==(const ChatMessage&) const = default;
};
struct AttackOrderMessage {
    UnitHead head;
    Vec3 point;
    TargetBytes targets;
    std::uint8_t targetAssigned = 0;
    bool operator==(const AttackOrderMessage&) const = default;
};
struct LeaveMessage {
    bool operator==(const LeaveMessage&) const = default;
};
// One player's set-up from unit selection, carried whole.
struct PlayerSlot {
    std::array<std::int32_t, 5> counts{}; // Trajectagon, Smashtor, Triangoloid, Detagon, Artillerator
    Vec3 start;
    std::uint8_t ready = 0;
    std::string name;
    std::uint32_t colour = 0;
    std::uint32_t mode = 0;
    bool operator==(const PlayerSlot&) const = default;
};
struct PlayerSlotsMessage {
    std::array<PlayerSlot, kSlotCount> slots{};
    std::uint32_t senderId = 0;
    bool operator==(const PlayerSlotsMessage&) const = default;
};
struct UnitStateMessage {
    UnitHead head;
    Vec3 position;
    Vec3 destination;
    Vec3 velocity;
    Vec3 spinAxis;
    float turnRate = 0.0f;
    float heading = 0.0f;
    std::uint32_t order = 0;
    std::int32_t hitPoints = 0;
    TargetBytes targets;
    std::uint8_t arrived = 0;
    bool operator==(const UnitStateMessage&) const = default;
};
struct NoOpMessage {
    std::uint32_t unused = 0;
    bool operator==(const NoOpMessage&) const = default;
};
struct UnitDestroyedMessage {
    UnitHead head;
    bool operator==(const UnitDestroyedMessage&) const = default;
};
struct StartAttackMessage {
    UnitHead head;
    bool operator==(const StartAttackMessage&) const = default;
};
struct ExplosionMessage {
    Vec3 centre;
    double radius = 0.0;
    double strength = 0.0;
    float crater = 0.0f;
    bool operator==(const ExplosionMessage&) const = default;
};
// The six GameOptions words as they travel.
struct GameSettingsMessage {
    std::uint32_t mode = 0;
    float minutes = 1.0f;
    std::uint32_t unitMask = 31;
    std::uint32_t mapIndex = 0;
    std::uint32_t maxUnits = 40;
    std::uint32_t computerArmies = 0;
    bool operator==(const GameSettingsMessage&) const = default;
};
struct StartGameMessage {
    bool operator==(const StartGameMessage&) const = default;
};
struct PlayerNamesMessage {
    std::array<std::string, kLobbyNameCount> names{};
    bool operator==(const PlayerNamesMessage&) const = default;
};
// One army's figures as the host scored them.
struct ArmyResult {
    std::uint8_t army = 0;
    std::int32_t damageDealt = 0;
    std::int32_t damageTaken = 0;
    std::int32_t flagCount = 0;
    float flagTime = 0.0f;
    bool operator==(const ArmyResult&) const = default;
};
// The host's score of the match: its match state and the first count
// entries, best first. Clients show these figures, not their own.
struct MatchResultMessage {
    std::uint32_t state = 0;
    std::uint32_t count = 0;
    std::array<ArmyResult, kResultArmies> armies{};
    bool operator==(const MatchResultMessage&) const = default;
};

struct ProofMessage {
    std::uint32_t word = 0;
    bool operator==(const ProofMessage&) const = default;
};

// In type order: the alternative's index + 1 is its type word.
using NetRecord =
    std::variant<JoinRequestMessage, HostAnnounceMessage, WelcomeMessage, MoveOrderMessage, HostIdMessage, ChatMessage,
                 AttackOrderMessage, LeaveMessage, PlayerSlotsMessage, UnitStateMessage, NoOpMessage,
                 UnitDestroyedMessage, StartAttackMessage, ExplosionMessage, GameSettingsMessage, StartGameMessage,
                 PlayerNamesMessage, MatchResultMessage, ProofMessage>;

inline std::uint32_t TypeOf(const NetRecord& record)
{
    return static_cast<std::uint32_t>(record.index()) + 1;
}

// MessageCodec: one encoder and one decoder per record type, chosen by the
// type word through a switch, so a new field is written and read side by
// side.
#include "net/MessageCodec.h"

#include <array>
#include <cstring>

namespace {

constexpr std::array<std::size_t, kMessageTypeCount> kRecordSizes = {
    0, 64, 56, 8, 20, 8, 208, 28, 4, 748, 80, 8, 8, 8, 40, 28, 4, 532, 172, 8,
};

// ---- writing -------------------------------------------------------------

void WriteText(ByteWriter& out, const std::string& text, std::size_t width)
{
    const std::size_t length = ::strnlen(text.c_str(), width - 1);
    out.WriteBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), length));
    out.WriteZeros(width - length);
}

void WriteVec3(ByteWriter& out, const Vec3& v)
{
    out.WriteF32(v.x);
    out.WriteF32(v.y);
    out.WriteF32(v.z);
}

void WriteHead(ByteWriter& out, std::uint32_t type, const UnitHead& head)
{
    out.WriteU32(type);
    out.WriteU8(head.unit);
    out.WriteU8(head.army);
    out.WriteZeros(2);
}

void WriteTargets(ByteWriter& out, const TargetBytes& targets)
{
    out.WriteU8(targets.targetUnit);
    out.WriteU8(targets.lastUnit);
    out.WriteU8(targets.targetArmy);
    out.WriteU8(targets.lastArmy);
}

void WriteSlot(ByteWriter& out, const PlayerSlot& slot)
{
    for (const std::int32_t count : slot.counts) {
        out.WriteU32(static_cast<std::uint32_t>(count));
    }
    WriteVec3(out, slot.start);
    out.WriteU8(slot.ready);
    WriteText(out, slot.name, kSlotNameField);
    out.WriteU32(slot.colour);
    out.WriteU32(slot.mode);
}

void WriteArmyResult(ByteWriter& out, const ArmyResult& army)
{
    out.WriteU8(army.army);
    out.WriteZeros(3);
    out.WriteU32(static_cast<std::uint32_t>(army.damageDealt));
    out.WriteU32(static_cast<std::uint32_t>(army.damageTaken));
    out.WriteU32(static_cast<std::uint32_t>(army.flagCount));
    out.WriteF32(army.flagTime);
}

void EncodeBody(const NetRecord& record, ByteWriter& out)
{
    const std::uint32_t type = TypeOf(record);
    switch (type) {
    case kMsgJoinRequest: {
        const auto& r = std::get<JoinRequestMessage>(record);
        out.WriteU32(type);
        WriteText(out, r.name, kNameField);
        out.WriteU32(r.udpPort);
        out.WriteU32(r.word);
        break;
    }
    case kMsgHostAnnounce:
        out.WriteU32(type);
        WriteText(out, std::get<HostAnnounceMessage>(record).name, kNameField);
        break;
    case kMsgWelcome:
        out.WriteU32(type);
        out.WriteU32(std::get<WelcomeMessage>(record).id);
        break;
    case kMsgMoveOrder: {
        const auto& r = std::get<MoveOrderMessage>(record);
        WriteHead(out, type, r.head);
        WriteVec3(out, r.point);
        break;
    }
    case kMsgHostId:
        out.WriteU32(type);
        out.WriteU32(std::get<HostIdMessage>(record).id);
        break;
    case kMsgChat: {
        const auto& r = std::get<ChatMessage>(record);
        out.WriteU32(type);
        WriteText(out, r.text, kChatField);
        out.WriteU32(r.kind);
        break;
    }
    case kMsgAttackOrder: {
        const auto& r = std::get<AttackOrderMessage>(record);
        WriteHead(out, type, r.head);
        WriteVec3(out, r.point);
        WriteTargets(out, r.targets);
        out.WriteU8(r.targetAssigned);
        out.WriteZeros(3);
        break;
    }
    case kMsgLeave:
    case kMsgStartGame:
        out.WriteU32(type);
        break;
    case kMsgPlayerSlots: {
        const auto& r = std::get<PlayerSlotsMessage>(record);
        out.WriteU32(type);
        for (const PlayerSlot& slot : r.slots) {
            WriteSlot(out, slot);
        }
        out.WriteU32(0);
        out.WriteU32(r.senderId);
        break;
    }
    case kMsgUnitState: {
        const auto& r = std::get<UnitStateMessage>(record);
        WriteHead(out, type, r.head);
        WriteVec3(out, r.position);
        WriteVec3(out, r.destination);
        WriteVec3(out, r.velocity);
        WriteVec3(out, r.spinAxis);
        out.WriteF32(r.turnRate);
        out.WriteF32(r.heading);
        out.WriteU32(r.order);
        out.WriteU32(static_cast<std::uint32_t>(r.hitPoints));
        WriteTargets(out, r.targets);
        out.WriteU8(r.arrived);
        out.WriteZeros(3);
        break;
    }
    case kMsgNoOp:
        out.WriteU32(type);
        out.WriteU32(std::get<NoOpMessage>(record).unused);
        break;
    case kMsgProof:
        out.WriteU32(type);
        out.WriteU32(std::get<ProofMessage>(record).word);
        break;
    case kMsgUnitDestroyed:
        WriteHead(out, type, std::get<UnitDestroyedMessage>(record).head);
        break;
    case kMsgStartAttack:
        WriteHead(out, type, std::get<StartAttackMessage>(record).head);
        break;
    case kMsgExplosion: {
        const auto& r = std::get<ExplosionMessage>(record);
        out.WriteU32(type);
        WriteVec3(out, r.centre);
        out.WriteF64(r.radius);
        out.WriteF64(r.strength);
        out.WriteF32(r.crater);
        out.WriteZeros(4);
        break;
    }
    case kMsgGameSettings: {
        const auto& r = std::get<GameSettingsMessage>(record);
        out.WriteU32(type);
        out.WriteU32(r.mode);
        out.WriteF32(r.minutes);
        out.WriteU32(r.unitMask);
        out.WriteU32(r.mapIndex);
        out.WriteU32(r.maxUnits);
        out.WriteU32(r.computerArmies);
        break;
    }
    case kMsgPlayerNames: {
        out.WriteU32(type);
        for (const std::string& name : std::get<PlayerNamesMessage>(record).names) {
            WriteText(out, name, kLobbyNameField);
        }
        out.WriteZeros(3);
        break;
    }
    case kMsgMatchResult: {
        const auto& r = std::get<MatchResultMessage>(record);
        out.WriteU32(type);
        out.WriteU32(r.state);
        out.WriteU32(r.count);
        for (const ArmyResult& army : r.armies) {
            WriteArmyResult(out, army);
        }
        break;
    }
    default:
        break;
    }
}

// ---- reading -------------------------------------------------------------
// The reader below holds exactly one record's bytes, so the reads cannot
// fail; each still goes through the bounded reader.

std::string ReadText(ByteReader& in, std::size_t width)
{
    std::array<std::uint8_t, kChatField> field{};
    (void)in.ReadBytes(std::span(field.data(), width));
    const std::size_t length = ::strnlen(reinterpret_cast<const char*>(field.data()), width - 1);
    return std::string(reinterpret_cast<const char*>(field.data()), length);
}

std::uint32_t ReadU32(ByteReader& in)
{
    std::uint32_t value = 0;
    (void)in.ReadU32(value);
    return value;
}

std::uint8_t ReadU8(ByteReader& in)
{
    std::uint8_t value = 0;
    (void)in.ReadU8(value);
    return value;
}

float ReadF32(ByteReader& in)
{
    float value = 0.0f;
    (void)in.ReadF32(value);
    return value;
}

double ReadF64(ByteReader& in)
{
    double value = 0.0;
    (void)in.ReadF64(value);
    return value;
}

Vec3 ReadVec3(ByteReader& in)
{
    const float x = ReadF32(in);
    const float y = ReadF32(in);
    const float z = ReadF32(in);
    return {x, y, z};
}

UnitHead ReadHead(ByteReader& in)
{
    UnitHead head;
    head.unit = ReadU8(in);
    head.army = ReadU8(in);
    (void)in.Skip(2);
    return head;
}

TargetBytes ReadTargets(ByteReader& in)
{
    TargetBytes targets;
    targets.targetUnit = ReadU8(in);
    targets.lastUnit = ReadU8(in);
    targets.targetArmy = ReadU8(in);
    targets.lastArmy = ReadU8(in);
    return targets;
}

PlayerSlot ReadSlot(ByteReader& in)
{
    PlayerSlot slot;
    for (std::int32_t& count : slot.counts) {
        count = static_cast<std::int32_t>(ReadU32(in));
    }
    slot.start = ReadVec3(in);
    slot.ready = ReadU8(in);
    slot.name = ReadText(in, kSlotNameField);
    slot.colour = ReadU32(in);
    slot.mode = ReadU32(in);
    return slot;
}

ArmyResult ReadArmyResult(ByteReader& in)
{
    ArmyResult army;
    army.army = ReadU8(in);
    (void)in.Skip(3);
    army.damageDealt = static_cast<std::int32_t>(ReadU32(in));
    army.damageTaken = static_cast<std::int32_t>(ReadU32(in));
    army.flagCount = static_cast<std::int32_t>(ReadU32(in));
    army.flagTime = ReadF32(in);
    return army;
}

NetRecord DecodeBody(std::uint32_t type, ByteReader& in)
{
    switch (type) {
    case kMsgJoinRequest: {
        JoinRequestMessage r;
        r.name = ReadText(in, kNameField);
        r.udpPort = ReadU32(in);
        r.word = ReadU32(in);
        return r;
    }
    case kMsgHostAnnounce:
        return HostAnnounceMessage{ReadText(in, kNameField)};
    case kMsgWelcome:
        return WelcomeMessage{ReadU32(in)};
    case kMsgMoveOrder: {
        MoveOrderMessage r;
        r.head = ReadHead(in);
        r.point = ReadVec3(in);
        return r;
    }
    case kMsgHostId:
        return HostIdMessage{ReadU32(in)};
    case kMsgChat: {
        ChatMessage r;
        r.text = ReadText(in, kChatField);
        r.kind = ReadU32(in);
        return r;
    }
    case kMsgAttackOrder: {
        AttackOrderMessage r;
        r.head = ReadHead(in);
        r.point = ReadVec3(in);
        r.targets = ReadTargets(in);
        r.targetAssigned = ReadU8(in);
        return r;
    }
    case kMsgLeave:
        return LeaveMessage{};
    case kMsgPlayerSlots: {
        PlayerSlotsMessage r;
        for (PlayerSlot& slot : r.slots) {
            slot = ReadSlot(in);
        }
        (void)ReadU32(in);
        r.senderId = ReadU32(in);
        return r;
    }
    case kMsgUnitState: {
        UnitStateMessage r;
        r.head = ReadHead(in);
        r.position = ReadVec3(in);
        r.destination = ReadVec3(in);
        r.velocity = ReadVec3(in);
        r.spinAxis = ReadVec3(in);
        r.turnRate = ReadF32(in);
        r.heading = ReadF32(in);
        r.order = ReadU32(in);
        r.hitPoints = static_cast<std::int32_t>(ReadU32(in));
        r.targets = ReadTargets(in);
        r.arrived = ReadU8(in);
        return r;
    }
    case kMsgNoOp:
        return NoOpMessage{ReadU32(in)};
    case kMsgProof:
        return ProofMessage{ReadU32(in)};
    case kMsgUnitDestroyed:
        return UnitDestroyedMessage{ReadHead(in)};
    case kMsgStartAttack:
        return StartAttackMessage{ReadHead(in)};
    case kMsgExplosion: {
        ExplosionMessage r;
        r.centre = ReadVec3(in);
        r.radius = ReadF64(in);
        r.strength = ReadF64(in);
        r.crater = ReadF32(in);
        return r;
    }
    case kMsgGameSettings: {
        GameSettingsMessage r;
        r.mode = ReadU32(in);
        r.minutes = ReadF32(in);
        r.unitMask = ReadU32(in);
        r.mapIndex = ReadU32(in);
        r.maxUnits = ReadU32(in);
        r.computerArmies = ReadU32(in);
        return r;
    }
    case kMsgStartGame:
        return StartGameMessage{};
    case kMsgMatchResult: {
        MatchResultMessage r;
        r.state = ReadU32(in);
        r.count = ReadU32(in);
        for (ArmyResult& army : r.armies) {
            army = ReadArmyResult(in);
        }
        return r;
    }
    default: {
        PlayerNamesMessage r;
        for (std::string& name : r.names) {
            name = ReadText(in, kLobbyNameField);
        }
        return r;
    }
    }
}

} // namespace

std::size_t RecordSize(std::uint32_t type)
{
    return type < kRecordSizes.size() ? kRecordSizes[type] : 0;
}

void EncodeHeader(const PacketHeader& header, ByteWriter& out)
{
    out.WriteU32(header.length);
    out.WriteU32(header.sequence);
    out.WriteU32(static_cast<std::uint32_t>(header.sender));
    out.WriteU32(header.channel);
}

bool DecodeHeader(ByteReader& in, PacketHeader& out)
{
    if (in.Remaining() < kHeaderSize) {
        return false;
    }
    std::uint32_t sender = 0;
    (void)in.ReadU32(out.length);
    (void)in.ReadU32(out.sequence);
    (void)in.ReadU32(sender);
    (void)in.ReadU32(out.channel);
    out.sender = static_cast<std::int32_t>(sender);
    return true;
}

void EncodeRecord(const NetRecord& record, ByteWriter& out)
{
    EncodeBody(record, out);
}

std::vector<std::uint8_t> EncodeRecordBytes(const NetRecord& record)
{
    ByteWriter out;
    out.Reserve(RecordSize(TypeOf(record)));
    EncodeBody(record, out);
    return out.Take();
}

std::vector<std::uint8_t> EncodeLonePacket(const NetRecord& record, std::int32_t sender, std::uint32_t channel)
{
    ByteWriter packet;
    const std::vector<std::uint8_t> body = EncodeRecordBytes(record);
    EncodeHeader({static_cast<std::uint32_t>(kHeaderSize + body.size()), 1, sender, channel}, packet);
    packet.WriteBytes(body);
    return packet.Take();
}

bool ReadProofWord(std::span<const std::uint8_t> packet, std::uint32_t& word)
{
    if (packet.size() < kHeaderSize) {
        return false;
    }
    ByteReader reader(packet.subspan(kHeaderSize));
    std::uint32_t type = 0;
    return reader.ReadU32(type) && type == kMsgProof && reader.ReadU32(word);
}

bool DecodeRecord(ByteReader& in, NetRecord& out)
{
    ByteReader peek = in;
    std::uint32_t type = 0;
    if (!peek.ReadU32(type)) {
        return false;
    }
    const std::size_t size = RecordSize(type);
    if (size == 0 || in.Remaining() < size) {
        return false;
    }
    std::array<std::uint8_t, 748> bytes{};
    const std::span<std::uint8_t> record(bytes.data(), size);
    (void)in.ReadBytes(record);
    ByteReader body(std::span<const std::uint8_t>(record).subspan(4));
    out = DecodeBody(type, body);
    return true;
}

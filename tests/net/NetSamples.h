// One record of every type with every field set to something other than its
// default, for the round trips and as the seed corpus of the mutation test.
#pragma once

#include "net/MessageCodec.h"

#include <vector>

inline std::vector<NetRecord> SampleRecords()
{
    PlayerSlotsMessage slots;
    for (std::size_t i = 0; i < slots.slots.size(); ++i) {
        slots.slots[i] = {{1, 2, 3, 4, static_cast<std::int32_t>(i)},
                          {1.5f, -2.0f, 3.25f},
                          1,
                          "player " + std::to_string(i),
                          0xFF00FF00u,
                          2};
    }
    slots.senderId = 3;
    PlayerNamesMessage names;
    names.names = {"Ann", "Bo", "", "Cy", "Di", "Ed", "Flo"};
    const UnitStateMessage state{{17, 5},
                                 {1.0f, 2.0f, 3.0f},
                                 {4.0f, 5.0f, 6.0f},
                                 {-1.0f, 0.5f, 0.25f},
                                 {0.0f, 1.0f, 0.0f},
                                 0.75f,
                                 3.0f,
                                 2,
                                 -5,
                                 {3, 4, 1, 2},
                                 1};
    MatchResultMessage result;
    result.state = 5;
    result.count = 3;
    result.armies[0] = {2, 19, 9, 1, 81.5f};
    result.armies[1] = {0, 9, 19, 0, 12.25f};
    result.armies[2] = {1, 0, 4, 2, 0.5f};
    return {
        JoinRequestMessage{"Joiner", 3340, 0x1234ABCDu},
        HostAnnounceMessage{"Hosting Hal"},
        WelcomeMessage{2},
        MoveOrderMessage{{7, 1}, {10.0f, 0.0f, -12.5f}},
        HostIdMessage{4},
        ChatMessage{"Hal >> hello", kLobbyChat},
        AttackOrderMessage{{9, 2}, {1.0f, 2.0f, 3.0f}, {4, 5, 6, 7}, 1},
        LeaveMessage{},
        slots,
        state,
        NoOpMessage{77},
        UnitDestroyedMessage{{11, 3}},
        StartAttackMessage{{12, 4}},
        ExplosionMessage{{1.0f, 2.0f, 3.0f}, 12.0, 24.0, 10.0f},
        GameSettingsMessage{2, 5.0f, 21, 3, 60, 4},
        StartGameMessage{},
        names,
        result,
        ProofMessage{0xC0FFEE01u},
    };
}

// The word the tests' own players, who join with raw streams, draw for their joins.
inline constexpr std::uint32_t kRawJoinWord = 0x5EC12E7Au;

// A packet of the given records behind a header.
inline std::vector<std::uint8_t> PacketOf(const std::vector<NetRecord>& records, std::int32_t sender,
                                          std::uint32_t channel, std::uint32_t sequence = 1)
{
    ByteWriter body;
    for (const NetRecord& record : records) {
        EncodeRecord(record, body);
    }
    ByteWriter packet;
    EncodeHeader({static_cast<std::uint32_t>(kHeaderSize + body.Bytes().size()), sequence, sender, channel}, packet);
    packet.WriteBytes(body.Bytes());
    return packet.Take();
}

// A datagram on channel 1 as a peer sends it: the proof of its connection's word first.
inline std::vector<std::uint8_t> ProvedPacketOf(const std::vector<NetRecord>& records, std::int32_t sender,
                                                std::uint32_t word, std::uint32_t sequence = 1)
{
    std::vector<NetRecord> proved = {ProofMessage{word}};
    proved.insert(proved.end(), records.begin(), records.end());
    return PacketOf(proved, sender, kChannelUdp, sequence);
}

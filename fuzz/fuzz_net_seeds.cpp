// fuzz_net_seeds <directory>: writes the packet fuzzer's starting inputs:
// a packet of every record type, for host and client, each way in, so that
// mutations begin from records the handlers act on.
#include "../tests/net/NetSamples.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_net_seeds <directory>\n");
        return 1;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    int written = 0;
    for (const NetRecord& record : SampleRecords()) {
        for (std::uint8_t mode = 0; mode < 6; ++mode) {
            const bool host = (mode & 1) != 0;
            const std::uint32_t channel = (mode >> 1) == 0 ? kChannelUdp : kChannelTcp;
            std::vector<std::uint8_t> input = {mode, static_cast<std::uint8_t>(host ? 2 : 4), 3};
            const std::vector<std::uint8_t> packet = PacketOf({record, LeaveMessage{}}, host ? 1 : 0, channel);
            input.insert(input.end(), packet.begin(), packet.end());
            std::ofstream out(directory / ("seed" + std::to_string(written++)), std::ios::binary);
            out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
        }
    }
    return 0;
}

// Small maps made in memory for the map tests, and a catcher for the message
// boxes a failed load shows.
#pragma once

#include "render/MapFile.h"

#include <functional>
#include <string>
#include <vector>

namespace testing {

// A columns x rows map of the given size whose ground height at (x, z) is
// height(x, z), with one tree, two starts, one flag and short images.
MapData SmallMap(std::uint32_t columns, std::uint32_t rows, float mapSize,
                 const std::function<float(float x, float z)>& height);

// SmallMap on flat ground at height y.
MapData FlatMap(std::uint32_t columns, std::uint32_t rows, float mapSize, float y);

// Catches every message box shown while it lives.
class MessageCatcher {
public:
    MessageCatcher();
    ~MessageCatcher();
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

    struct Message {
        std::string text;
        std::string title;
    };
    const std::vector<Message>& Messages() const { return messages_; }

private:
    std::vector<Message> messages_;
};

// Writes bytes to path (relative to the working directory), making folders.
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace testing

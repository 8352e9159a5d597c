// The input layer's record buffers. The event pump turns the window system's
// key and mouse events into records here every pass of the main loop; the
// keyboard and mouse read them once per frame, a bounded number at a time, the
// way a buffered input device hands out its data. Records a poll does not take
// wait for the next frames.
//
// Both buffers are bounded, but far deeper than one poll's take, so a burst of
// typing or a fast flick of the mouse waits rather than being lost. When one
// is full all the same (a long stall, a map load) the oldest record goes: the
// last word on every key and button is the one that must survive, or a key
// whose release was dropped would stay held.
//
// The pump also notes whether the window has the input focus; while it has
// not, the keyboard and mouse take nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// One key going down or up. No records are made for auto-repeat.
struct KeyRecord {
    // Physical key in the classic PC numbering (see platform/ScanCodes.h).
    std::uint8_t scanCode = 0;
    bool down = false;
    // The printable character the key carries in the player's layout without
    // modifiers, 0 when it has none.
    char character = 0;
};

enum class MouseRecordKind : std::uint8_t {
    kMotion,
    kButton,
    kWheel,
};

struct MouseRecord {
    MouseRecordKind kind = MouseRecordKind::kMotion;
    // Relative motion in window pixels (kMotion); y grows downwards.
    int dx = 0;
    int dy = 0;
    // 0 left, 1 right, 2 middle, 3 and 4 the side buttons (kButton).
    int button = 0;
    bool down = false;
    // Wheel notches, positive away from the player (kWheel).
    int wheel = 0;
};

// Records the keyboard and the mouse take in one poll.
inline constexpr std::size_t kKeyboardBufferSize = 8;
inline constexpr std::size_t kMouseBufferSize = 128;
// Records the buffers hold before the oldest goes.
inline constexpr std::size_t kKeyboardQueueSize = 256;
inline constexpr std::size_t kMouseQueueSize = 2048;

template <typename Record, std::size_t Capacity> class InputRecordBuffer {
public:
    void Push(const Record& record)
    {
        if (count_ == Capacity) {
            head_ = (head_ + 1) % Capacity;
            --count_;
            ++dropped_;
        }
        records_[(head_ + count_) % Capacity] = record;
        ++count_;
    }

    // Moves up to out.size() of the oldest records into out; returns how many.
    std::size_t Take(std::span<Record> out)
    {
        std::size_t taken = 0;
        while (taken < out.size() && count_ > 0) {
            out[taken] = records_[head_];
            head_ = (head_ + 1) % Capacity;
            --count_;
            ++taken;
        }
        return taken;
    }

    void Clear()
    {
        head_ = 0;
        count_ = 0;
    }

    std::size_t Size() const { return count_; }
    static constexpr std::size_t CapacityOf() { return Capacity; }
    // Records lost to a full buffer since the last call; resets the count.
    std::size_t TakeDroppedCount()
    {
        const std::size_t dropped = dropped_;
        dropped_ = 0;
        return dropped;
    }

private:
    std::array<Record, Capacity> records_{};
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    std::size_t dropped_ = 0;
};

using KeyRecordBuffer = InputRecordBuffer<KeyRecord, kKeyboardQueueSize>;
using MouseRecordBuffer = InputRecordBuffer<MouseRecord, kMouseQueueSize>;

// The process's two buffers; main thread only.
KeyRecordBuffer& KeyboardRecords();
MouseRecordBuffer& MouseRecords();

// Whether the game's window has the input focus; true until told otherwise
// (a headless run has no other window to lose it to).
bool HasInputFocus();
void SetInputFocus(bool focused);

} // namespace platform

// A client's filter on the numbers of its host's datagrams during a match,
// so that an older unit state arriving late never undoes a newer one. Only
// datagrams that proved to come from the host reach it (NetworkManager.h).
//
// The rule, with d = number - last number taken (modulo 2^32, read signed):
//  - nothing taken since the filter was cleared: the number is taken and
//    anchors the filter;
//  - 0 <= d <= kForwardWindow: taken (0 is a second packet of one frame, a
//    step ahead means datagrams were lost on the way);
//  - -kLateWindow <= d < 0: a late datagram: dropped;
//  - anything else is far off: dropped, but remembered; the next datagram
//    that follows the remembered number in order (1 to kForwardWindow after
//    it) re-anchors the filter there and is taken.
// So one stray or forged number moves nothing (the next genuine datagram
// forgets it), while a host that restarted its numbering, or comes back
// after a long loss, is followed again from its second datagram. A restart
// that lands within kLateWindow below the last number taken is held back
// until it passes that number. The client clears the filter when a match
// begins, so a new match's numbers are taken from its first datagram.
#pragma once

#include <cstdint>

class SequenceFilter {
public:
    // A minute or more of the host's datagrams (it sends one or two a frame).
    static constexpr std::uint32_t kForwardWindow = 4096;
    // Far more than a LAN ever reorders.
    static constexpr std::uint32_t kLateWindow = 64;

    // True when the datagram numbered so is taken.
    bool Take(std::uint32_t sequence);
    void Clear() { *this = SequenceFilter(); }

private:
    bool anchored_ = false;
    std::uint32_t last_ = 0;
    bool remembering_ = false;
    std::uint32_t remembered_ = 0;
};

// Uncompressed 16-bit PCM WAV sounds: the bounded parser that checks a sound
// file, and the encoder the data generator writes the game's effects with.
//
// Format (RIFF, all numbers little-endian):
//   "RIFF", u32 size of what follows, "WAVE", then chunks until the end:
//     4-byte id, u32 body size, body, one pad byte when the size is odd.
//   "fmt " (at least 16 bytes, before "data"): u16 format (1 = PCM),
//     u16 channels (1 to 8), u32 sample rate (8000 to 192000 Hz),
//     u32 bytes per second, u16 bytes per frame (channels * 2),
//     u16 bits per sample (16).
//   "data": frames of interleaved signed 16-bit samples; its size may not
//     claim more than the file holds (a file cut short is refused whole).
//   Other chunks ("LIST", "fact", ...) are skipped.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct WavFile {
    // Larger files are not sound effects (ours last a second or two; this is
    // 47 s of CD-rate mono); they are refused unread.
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples; // interleaved frames

    std::size_t FrameCount() const;
    double Seconds() const;

    // The whole file in the format above: a "fmt " and a "data" chunk.
    std::vector<std::uint8_t> Encode() const;

    // False with a reason in error when bytes are not a whole 16-bit PCM WAV
    // file in the format above with a whole number of frames.
    static bool Parse(std::span<const std::uint8_t> bytes, WavFile& out, std::string& error);
};

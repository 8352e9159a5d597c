// Uncompressed 16-bit PCM WAV sounds: the bounded parser that checks a sound
// file, and the encoder the data generator writes the game's effects with.
//
// Format (RIFF, all numbers little-endian):
//   "RIFF", u32 size of what follows, "WAVE", then chunks until the end:
//     4-byte id, u32 body size, body, one pad byte when the size is odd.
//   "fmt " (at least 16 bytes, before "data"): u16 format (1 = PCM),
//     u16 channels, u32 sample rate, u32 bytes per second,
//     u16 bytes per frame (channels * 2), u16 bits per sample (16).
//   "data": frames of interleaved signed 16-bit samples.
//   Other chunks ("LIST", "fact", ...) are skipped.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct WavFile {
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples; // interleaved frames

    std::size_t FrameCount() const;
    double Seconds() const;

    // The whole file in the format above: a "fmt " and a "data" chunk.
    std::vector<std::uint8_t> Encode() const;

    // False with a reason in error when bytes are not a 16-bit PCM WAV file
    // with at least one channel, a sample rate and a whole number of frames.
    static bool Parse(std::span<const std::uint8_t> bytes, WavFile& out, std::string& error);
};

// The real sound output: SDL2_mixer on SDL's audio device, 16-bit stereo, with
// a fixed set of mixing channels. Each sample is converted once, at load time,
// into the device's format in a buffer of ours that the mixer plays from.
#pragma once

#include "platform/AudioBackend.h"

#include <cstdint>
#include <vector>

struct Mix_Chunk;

namespace platform {

class AudioSdlMixerBackend final : public AudioBackend {
public:
    AudioSdlMixerBackend() = default;
    ~AudioSdlMixerBackend() override;
    AudioSdlMixerBackend(const AudioSdlMixerBackend&) = delete;
    AudioSdlMixerBackend& operator=(const AudioSdlMixerBackend&) = delete;

    bool Init(int rate, int channels) override;
    AudioSampleId LoadSample(const AudioPcm& pcm) override;
    AudioPlayResult Play(AudioSampleId sample, int volume) override;
    bool SetVolume(AudioChannel channel, int volume) override;
    bool StopAll() override;
    void FreeSample(AudioSampleId sample) override;

private:
    // A mixer chunk over samples we own: the mixer neither copies nor frees
    // them, so they must outlive the chunk. Moving the vector keeps its buffer
    // where it is.
    struct LoadedChunk {
        Mix_Chunk* chunk = nullptr;
        std::vector<std::uint8_t> bytes;
    };

    Mix_Chunk* FindChunk(AudioSampleId sample) const;
    int FindFreeChannel() const;
    std::vector<std::uint8_t> ConvertToOutput(const AudioPcm& pcm) const;

    bool open_ = false;
    int channels_ = 0;
    std::vector<LoadedChunk> chunks_; // sample id - 1 indexes this; freed ones stay, empty
};

} // namespace platform

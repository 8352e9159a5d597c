// The real sound output: SDL2_mixer on SDL's audio device, 16-bit stereo, with
// a fixed set of mixing channels. Samples are decoded whole at load time.
#pragma once

#include "platform/AudioBackend.h"

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
    AudioSampleId LoadSample(const std::string& path) override;
    AudioPlayResult Play(AudioSampleId sample, int volume) override;
    bool SetVolume(AudioChannel channel, int volume) override;
    bool StopAll() override;
    void FreeSample(AudioSampleId sample) override;

private:
    Mix_Chunk* FindChunk(AudioSampleId sample) const;
    int FindFreeChannel() const;

    bool open_ = false;
    int channels_ = 0;
    std::vector<Mix_Chunk*> chunks_; // sample id - 1 indexes this; freed ones stay as nullptr
};

} // namespace platform

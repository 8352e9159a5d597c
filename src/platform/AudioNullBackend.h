// The silent backend: there is never a device, nothing loads and nothing
// plays. Used when no output opens, so the rest of the game runs unchanged.
#pragma once

#include "platform/AudioBackend.h"

namespace platform {

class AudioNullBackend final : public AudioBackend {
public:
    bool Init(int rate, int channels) override;
    AudioSampleId LoadSample(const AudioPcm& pcm) override;
    AudioPlayResult Play(AudioSampleId sample, int volume) override;
    bool SetVolume(AudioChannel channel, int volume) override;
    bool StopAll() override;
    void FreeSample(AudioSampleId sample) override;
};

} // namespace platform

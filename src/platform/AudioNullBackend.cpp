// The silent backend.
#include "platform/AudioNullBackend.h"

namespace platform {

bool AudioNullBackend::Init(int, int)
{
    return false;
}

AudioSampleId AudioNullBackend::LoadSample(const AudioPcm&)
{
    return kNoSample;
}

AudioPlayResult AudioNullBackend::Play(AudioSampleId, int)
{
    return {kNoChannel, AudioPlayStatus::NoSample};
}

bool AudioNullBackend::SetVolume(AudioChannel, int)
{
    return false;
}

bool AudioNullBackend::StopAll()
{
    return true;
}

void AudioNullBackend::FreeSample(AudioSampleId) {}

} // namespace platform

// Choice of the audio backend the sound manager opens.
#include "platform/AudioBackend.h"

#include "platform/AudioSdlMixerBackend.h"

namespace platform {

namespace {
AudioBackendFactory g_factory;
}

std::unique_ptr<AudioBackend> CreateAudioBackend()
{
    if (g_factory) {
        return g_factory();
    }
    return std::make_unique<AudioSdlMixerBackend>();
}

void SetAudioBackendFactory(AudioBackendFactory factory)
{
    g_factory = std::move(factory);
}

} // namespace platform

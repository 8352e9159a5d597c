// SDL2_mixer backend. Channel handles are the mixer's channel index + 1.
//
// Play picks the free channel itself instead of letting the mixer choose: the
// mixer keeps a channel's volume between plays, and setting it only after the
// sound has started would let the audio thread mix the first buffer at the old
// volume. Choosing the channel first lets the volume be set before the start.
#include "platform/AudioSdlMixerBackend.h"

#include "platform/FileSystem.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

// The output format: CD rate and 16-bit stereo (mono samples are spread to
// both sides), with buffers short enough that a shot is heard with its flash.
constexpr int kOutputChannels = 2;
constexpr int kChunkBytes = 1024;

int MixerVolume(int volume)
{
    return std::clamp(volume, 0, kAudioFullVolume) * MIX_MAX_VOLUME / kAudioFullVolume;
}

} // namespace

AudioSdlMixerBackend::~AudioSdlMixerBackend()
{
    if (!open_) {
        return;
    }
    Mix_HaltChannel(-1);
    for (Mix_Chunk* chunk : chunks_) {
        if (chunk) {
            Mix_FreeChunk(chunk);
        }
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioSdlMixerBackend::Init(int rate, int channels)
{
    if (open_ || channels <= 0) {
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    if (Mix_OpenAudio(rate, AUDIO_S16SYS, kOutputChannels, kChunkBytes) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    channels_ = Mix_AllocateChannels(channels);
    open_ = true;
    return true;
}

AudioSampleId AudioSdlMixerBackend::LoadSample(const std::string& path)
{
    if (!open_) {
        return kNoSample;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadDataFile(path, bytes) || bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        return kNoSample;
    }
    SDL_RWops* const stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!stream) {
        return kNoSample;
    }
    // The mixer decodes into a buffer of its own, so the file bytes can go.
    Mix_Chunk* const chunk = Mix_LoadWAV_RW(stream, 1);
    if (!chunk) {
        return kNoSample;
    }
    chunks_.push_back(chunk);
    return static_cast<AudioSampleId>(chunks_.size());
}

Mix_Chunk* AudioSdlMixerBackend::FindChunk(AudioSampleId sample) const
{
    if (sample == kNoSample || sample > chunks_.size()) {
        return nullptr;
    }
    return chunks_[sample - 1];
}

int AudioSdlMixerBackend::FindFreeChannel() const
{
    for (int channel = 0; channel < channels_; ++channel) {
        if (Mix_Playing(channel) == 0) {
            return channel;
        }
    }
    return -1;
}

AudioPlayResult AudioSdlMixerBackend::Play(AudioSampleId sample, int volume)
{
    if (!open_) {
        return {kNoChannel, AudioPlayStatus::Failed};
    }
    Mix_Chunk* const chunk = FindChunk(sample);
    if (!chunk) {
        return {kNoChannel, AudioPlayStatus::NoSample};
    }
    const int channel = FindFreeChannel();
    if (channel < 0) {
        return {kNoChannel, AudioPlayStatus::NoFreeChannel};
    }
    Mix_Volume(channel, MixerVolume(volume));
    if (Mix_PlayChannel(channel, chunk, 0) < 0) {
        return {kNoChannel, AudioPlayStatus::Failed};
    }
    return {channel + 1, AudioPlayStatus::Playing};
}

bool AudioSdlMixerBackend::SetVolume(AudioChannel channel, int volume)
{
    if (!open_ || channel < 1 || channel > channels_) {
        return false;
    }
    Mix_Volume(channel - 1, MixerVolume(volume));
    return true;
}

bool AudioSdlMixerBackend::StopAll()
{
    if (!open_) {
        return false;
    }
    Mix_HaltChannel(-1);
    return true;
}

void AudioSdlMixerBackend::FreeSample(AudioSampleId sample)
{
    Mix_Chunk* const chunk = FindChunk(sample);
    if (!chunk) {
        return;
    }
    // Freeing halts any channel still playing it.
    Mix_FreeChunk(chunk);
    chunks_[sample - 1] = nullptr;
}

} // namespace platform

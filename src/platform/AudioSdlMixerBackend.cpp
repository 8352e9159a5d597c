// SDL2_mixer backend. Channel handles are the mixer's channel index + 1.
//
// Samples reach the mixer through Mix_QuickLoad_RAW, already in the device's
// format: the mixer's own loaders would trust a file header's sizes, and the
// sound module has checked and decoded the file before it comes here.
//
// Play picks the free channel itself instead of letting the mixer choose: the
// mixer keeps a channel's volume between plays, and setting it only after the
// sound has started would let the audio thread mix the first buffer at the old
// volume. Choosing the channel first lets the volume be set before the start.
#include "platform/AudioSdlMixerBackend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

namespace platform {

namespace {

// The output format: CD rate and 16-bit stereo (mono samples are spread to
// both sides), with buffers short enough that a shot is heard with its flash.
constexpr int kSpeakerChannels = 2;
constexpr int kChunkBytes = 1024;
// The most channels SDL converts from.
constexpr int kMaxSampleChannels = 8;
// A converted sample larger than this is refused before converting: six
// minutes of CD stereo, where the game's effects last a second or two.
constexpr std::uint64_t kMaxConvertedBytes = 64ull * 1024 * 1024;

bool IsWholeSound(const AudioPcm& pcm)
{
    return pcm.sampleRate > 0 && pcm.channels > 0 && pcm.channels <= kMaxSampleChannels && !pcm.samples.empty() &&
           pcm.samples.size() % static_cast<std::size_t>(pcm.channels) == 0 && pcm.samples.size_bytes() <= INT_MAX;
}

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
    for (const LoadedChunk& loaded : chunks_) {
        if (loaded.chunk) {
            Mix_FreeChunk(loaded.chunk);
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
    if (Mix_OpenAudio(rate, AUDIO_S16SYS, kSpeakerChannels, kChunkBytes) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    channels_ = Mix_AllocateChannels(channels);
    open_ = true;
    return true;
}

std::vector<std::uint8_t> AudioSdlMixerBackend::ConvertToOutput(const AudioPcm& pcm) const
{
    int rate = 0;
    Uint16 format = 0;
    int speakers = 0;
    if (Mix_QuerySpec(&rate, &format, &speakers) == 0 || rate <= 0 || speakers <= 0) {
        return {};
    }
    const std::uint64_t frames = pcm.samples.size() / static_cast<std::size_t>(pcm.channels);
    const std::uint64_t outputFrames =
        frames * static_cast<std::uint64_t>(rate) / static_cast<std::uint64_t>(pcm.sampleRate) + 1;
    const std::uint64_t outputBytes =
        outputFrames * static_cast<std::uint64_t>(speakers) * SDL_AUDIO_BITSIZE(format) / 8;
    if (outputBytes > kMaxConvertedBytes) {
        return {};
    }
    const std::unique_ptr<SDL_AudioStream, void (*)(SDL_AudioStream*)> stream(
        SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(pcm.channels), pcm.sampleRate, format,
                           static_cast<Uint8>(speakers), rate),
        SDL_FreeAudioStream);
    if (!stream ||
        SDL_AudioStreamPut(stream.get(), pcm.samples.data(), static_cast<int>(pcm.samples.size_bytes())) != 0 ||
        SDL_AudioStreamFlush(stream.get()) != 0) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max(SDL_AudioStreamAvailable(stream.get()), 0)));
    const int got = SDL_AudioStreamGet(stream.get(), bytes.data(), static_cast<int>(bytes.size()));
    if (got <= 0) {
        return {};
    }
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}

AudioSampleId AudioSdlMixerBackend::LoadSample(const AudioPcm& pcm)
{
    if (!open_ || !IsWholeSound(pcm)) {
        return kNoSample;
    }
    LoadedChunk loaded{nullptr, ConvertToOutput(pcm)};
    if (loaded.bytes.empty()) {
        return kNoSample;
    }
    loaded.chunk = Mix_QuickLoad_RAW(loaded.bytes.data(), static_cast<Uint32>(loaded.bytes.size()));
    if (!loaded.chunk) {
        return kNoSample;
    }
    chunks_.push_back(std::move(loaded));
    return static_cast<AudioSampleId>(chunks_.size());
}

Mix_Chunk* AudioSdlMixerBackend::FindChunk(AudioSampleId sample) const
{
    if (sample == kNoSample || sample > chunks_.size()) {
        return nullptr;
    }
    return chunks_[sample - 1].chunk;
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
    // Freeing halts any channel still playing it, so the bytes can go after.
    Mix_FreeChunk(chunk);
    chunks_[sample - 1] = LoadedChunk{};
}

} // namespace platform

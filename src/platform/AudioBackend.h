// The sound output the game plays its effects through: open the device, take
// a decoded sample, start it once on a free channel, change a playing
// channel's volume, stop everything. Samples arrive as checked 16-bit PCM: the
// sound module reads and parses the files, so no file bytes reach the mixer
// and no header can make it allocate more than the file held. The real
// backend mixes with SDL2_mixer; the null backend stands in when no device
// opens (the game is then silent and otherwise unchanged) and in tests, which
// may also install their own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace platform {

// A loaded sample; 0 is "no sample" (the load failed).
using AudioSampleId = std::uint32_t;
inline constexpr AudioSampleId kNoSample = 0;

// A channel a sample plays on; 0 is "not playing". Handles start at 1 so that
// the first channel's play is never mistaken for a failure.
using AudioChannel = int;
inline constexpr AudioChannel kNoChannel = 0;

// Volumes are linear, 0 silent to 255 full.
inline constexpr int kAudioFullVolume = 255;

enum class AudioPlayStatus {
    Playing,
    NoSample,      // the sample id names nothing loaded
    NoFreeChannel, // every channel is busy; nothing is cut off to make room
    Failed,        // the device refused for another reason
};

// A decoded sound: interleaved frames of signed 16-bit samples in the
// machine's byte order, borrowed for the length of the call.
struct AudioPcm {
    int sampleRate = 0;
    int channels = 0;
    std::span<const std::int16_t> samples;
};

struct AudioPlayResult {
    AudioChannel channel = kNoChannel;
    AudioPlayStatus status = AudioPlayStatus::Failed;
};

class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Opens the output at rate Hz with the given number of mixing channels;
    // false when there is no device to play on.
    virtual bool Init(int rate, int channels) = 0;
    // Copies a sound into the output's own format; kNoSample when there is no
    // output, the sound is empty or not whole frames, or it cannot be
    // converted.
    virtual AudioSampleId LoadSample(const AudioPcm& pcm) = 0;
    // Starts the sample once on a free channel at the given volume. The volume
    // is set before the sound starts, so a quiet sound never begins loud.
    virtual AudioPlayResult Play(AudioSampleId sample, int volume) = 0;
    // Changes the volume of a playing channel; false for an unknown channel.
    virtual bool SetVolume(AudioChannel channel, int volume) = 0;
    // Stops every channel.
    virtual bool StopAll() = 0;
    // Releases a sample; its id names nothing afterwards.
    virtual void FreeSample(AudioSampleId sample) = 0;
};

using AudioBackendFactory = std::function<std::unique_ptr<AudioBackend>()>;

// A new, not yet initialised backend: SDL2_mixer unless a factory has been
// installed.
std::unique_ptr<AudioBackend> CreateAudioBackend();
// Installs the factory CreateAudioBackend uses (tests install one so that no
// device is touched); an empty factory restores SDL2_mixer.
void SetAudioBackendFactory(AudioBackendFactory factory);

} // namespace platform

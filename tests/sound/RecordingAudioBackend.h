// An audio backend for tests: it plays nothing, records what it is asked,
// and can be told to refuse the device or run out of channels. Samples are
// told apart by their first sample value, which the tests' sound files set to
// their effect's number. The record is shared so a test can read it after
// handing the backend to the sound manager.
#pragma once

#include "platform/AudioBackend.h"

#include <memory>
#include <vector>

struct AudioRecord {
    bool initSucceeds = true;
    std::size_t freeChannels = 32; // plays beyond this find no channel

    int calls = 0;            // every call of any kind
    std::vector<int> loads;   // first sample values, in order
    std::vector<int> played;  // first sample values of successful plays, in order
    std::vector<int> volumes; // their volumes
    int playAttempts = 0;
};

class RecordingAudioBackend final : public platform::AudioBackend {
public:
    explicit RecordingAudioBackend(std::shared_ptr<AudioRecord> record) : record_(std::move(record)) {}

    bool Init(int rate, int channels) override
    {
        ++record_->calls;
        return record_->initSucceeds && rate == 44100 && channels == 32;
    }

    platform::AudioSampleId LoadSample(const platform::AudioPcm& pcm) override
    {
        ++record_->calls;
        const int tag = pcm.samples.empty() ? -1 : pcm.samples.front();
        record_->loads.push_back(tag);
        sampleTags_.push_back(tag);
        return static_cast<platform::AudioSampleId>(sampleTags_.size());
    }

    platform::AudioPlayResult Play(platform::AudioSampleId sample, int volume) override
    {
        ++record_->calls;
        ++record_->playAttempts;
        if (sample == platform::kNoSample || sample > sampleTags_.size()) {
            return {platform::kNoChannel, platform::AudioPlayStatus::NoSample};
        }
        if (record_->played.size() >= record_->freeChannels) {
            return {platform::kNoChannel, platform::AudioPlayStatus::NoFreeChannel};
        }
        record_->played.push_back(sampleTags_[sample - 1]);
        record_->volumes.push_back(volume);
        // Like the mixer: the first channel is index 0, its handle 1.
        return {static_cast<int>(record_->played.size()), platform::AudioPlayStatus::Playing};
    }

    bool SetVolume(platform::AudioChannel, int) override { return ++record_->calls > 0; }
    bool StopAll() override { return ++record_->calls > 0; }
    void FreeSample(platform::AudioSampleId) override { ++record_->calls; }

private:
    std::shared_ptr<AudioRecord> record_;
    std::vector<int> sampleTags_;
};

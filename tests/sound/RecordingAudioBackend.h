// An audio backend for tests: it plays nothing, records every call in order,
// and can be told to refuse the device, fail chosen loads or run out of
// channels. The record is shared so a test can read it after handing the
// backend to the sound manager.
#pragma once

#include "platform/AudioBackend.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

struct AudioRecord {
    // Set up by the test.
    bool initSucceeds = true;
    std::set<std::string> failingLoads; // resolved paths whose load fails
    int freeChannels = 32;              // plays beyond this find no channel

    // Filled in by the backend.
    struct Play {
        std::string path;
        int volume = 0;
        platform::AudioChannel channel = platform::kNoChannel;
    };
    std::vector<std::string> calls; // "init", "load", "play", "volume", "stop", "free"
    std::vector<std::string> loads; // resolved paths, in order
    std::vector<Play> plays;        // successful plays, in order
    int playAttempts = 0;
};

class RecordingAudioBackend final : public platform::AudioBackend {
public:
    explicit RecordingAudioBackend(std::shared_ptr<AudioRecord> record) : record_(std::move(record)) {}

    bool Init(int rate, int channels) override
    {
        record_->calls.push_back("init");
        return record_->initSucceeds && rate == 44100 && channels == 32;
    }

    platform::AudioSampleId LoadSample(const std::string& path) override
    {
        record_->calls.push_back("load");
        record_->loads.push_back(path);
        if (record_->failingLoads.contains(path)) {
            return platform::kNoSample;
        }
        samplePaths_.push_back(path);
        return static_cast<platform::AudioSampleId>(samplePaths_.size());
    }

    platform::AudioPlayResult Play(platform::AudioSampleId sample, int volume) override
    {
        record_->calls.push_back("play");
        ++record_->playAttempts;
        if (sample == platform::kNoSample || sample > samplePaths_.size()) {
            return {platform::kNoChannel, platform::AudioPlayStatus::NoSample};
        }
        if (static_cast<int>(record_->plays.size()) >= record_->freeChannels) {
            return {platform::kNoChannel, platform::AudioPlayStatus::NoFreeChannel};
        }
        // Like the mixer: the first channel is index 0, its handle 1.
        const platform::AudioChannel channel = static_cast<int>(record_->plays.size()) + 1;
        record_->plays.push_back({samplePaths_[sample - 1], volume, channel});
        return {channel, platform::AudioPlayStatus::Playing};
    }

    bool SetVolume(platform::AudioChannel, int) override
    {
        record_->calls.push_back("volume");
        return true;
    }

    bool StopAll() override
    {
        record_->calls.push_back("stop");
        return true;
    }

    void FreeSample(platform::AudioSampleId) override { record_->calls.push_back("free"); }

private:
    std::shared_ptr<AudioRecord> record_;
    std::vector<std::string> samplePaths_;
};

// Per-log error and warning counters, kept by log name. Records exist only
// when somebody adds them; counting under an unknown name changes nothing.
#pragma once

#include "core/Singleton.h"

#include <memory>
#include <string>
#include <vector>

struct ReportRecord {
    std::string name;
    int errors = 0;
    int warnings = 0;
    bool flag = false;
};

class ReportRegistry : public Singleton<ReportRegistry> {
    friend class Singleton<ReportRegistry>;

public:
    static ReportRegistry* Get() { return Instance(); }

    void CountError(const std::string& name);
    void CountWarning(const std::string& name);
    void Add(const std::string& name);
    void Clear();
    // Called once after the main loop; there is nothing to report yet.
    bool Finish();

    const ReportRecord* Find(const std::string& name) const;

private:
    ReportRegistry() = default;
    ReportRecord* FindRecord(const std::string& name);

    std::vector<std::unique_ptr<ReportRecord>> records_;
};

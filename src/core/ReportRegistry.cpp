// ReportRegistry: counts go to the first record with the log's name.
#include "core/ReportRegistry.h"

void ReportRegistry::CountError(const std::string& name)
{
    if (ReportRecord* record = FindRecord(name)) {
        ++record->errors;
    }
}

void ReportRegistry::CountWarning(const std::string& name)
{
    if (ReportRecord* record = FindRecord(name)) {
        ++record->warnings;
    }
}

void ReportRegistry::Add(const std::string& name)
{
    auto record = std::make_unique<ReportRecord>();
    record->name = name;
    records_.push_back(std::move(record));
}

void ReportRegistry::Clear()
{
    records_.clear();
}

bool ReportRegistry::Finish()
{
    return false;
}

const ReportRecord* ReportRegistry::Find(const std::string& name) const
{
    for (const auto& record : records_) {
        if (record->name == name) {
            return record.get();
        }
    }
    return nullptr;
}

ReportRecord* ReportRegistry::FindRecord(const std::string& name)
{
    return const_cast<ReportRecord*>(static_cast<const ReportRegistry*>(this)->Find(name));
}

// ErrorLog. Files are opened for appending: every entry comes from a fresh
// ErrorLog, so opening for writing would keep only the latest line.
#include "core/ErrorLog.h"

#include "core/ReportRegistry.h"
#include "platform/SystemTime.h"

#include <cstdio>

ErrorLog::ErrorLog(const std::string& logName, bool timeStamps)
    : stream_(logName, std::ios::out | std::ios::app), name_(logName), timeStamps_(timeStamps)
{
}

ErrorLog::~ErrorLog()
{
    if (stream_.is_open()) {
        stream_.close();
    }
}

void ErrorLog::Error(const std::string& text)
{
    ReportRegistry::Get()->CountError(name_);
    Write("Error: ", text);
}

void ErrorLog::Warning(const std::string& text)
{
    ReportRegistry::Get()->CountWarning(name_);
    Write("Warning: ", text);
}

void ErrorLog::Note(const std::string& text)
{
    Write("Note: ", text);
}

std::string ErrorLog::FormatTimeStamp()
{
    const platform::LocalTime now = platform::GetLocalTime();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d/%d/%d %d:%02d:%02d", now.month, now.day, now.year, now.hour, now.minute,
                  now.second);
    return buffer;
}

void ErrorLog::Write(const char* prefix, const std::string& text)
{
    if (stream_.fail() || stream_.bad()) {
        return;
    }
    std::string entry = "\n";
    if (timeStamps_) {
        entry += FormatTimeStamp() + " ";
    }
    entry += prefix;
    entry += text;
    stream_ << entry;
    stream_.flush();
}

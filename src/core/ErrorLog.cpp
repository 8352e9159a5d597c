// ErrorLog. Entries are appended: every entry comes from a fresh ErrorLog,
// so writing the file anew would keep only the latest line.
#include "core/ErrorLog.h"

#include "core/ReportRegistry.h"
#include "platform/FileSystem.h"
#include "platform/SystemTime.h"

#include <cstdio>

ErrorLog::ErrorLog(const std::string& logName, bool timeStamps) : name_(logName), timeStamps_(timeStamps) {}

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
    std::string entry;
    if (timeStamps_) {
        entry += FormatTimeStamp() + " ";
    }
    entry += prefix;
    entry += text;
    if (!platform::AppendToFile(name_, "\n" + entry)) {
        platform::WriteToStandardError(name_ + ": " + entry + "\n");
    }
}

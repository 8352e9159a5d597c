// Log entries for recoverable problems, one text file per component in the
// working directory ("Physics.txt", "Sound.txt", ...). A caller makes a
// short-lived ErrorLog for its log name, writes one entry and lets it go.
//
// Entry format: a line break, then (with time stamps) "M/D/YYYY H:MM:SS ",
// then "Error: ", "Warning: " or "Note: ", then the text. A log file therefore
// starts with an empty line and has no line break after its last entry.
//
// No entry is lost silently: when the log file cannot be written (a read-only
// data directory, say), the entry goes to standard error as one line,
// "<log name>: <entry>".
#pragma once

#include <string>

class ErrorLog {
public:
    ErrorLog(const std::string& logName, bool timeStamps);

    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    void Error(const std::string& text);
    void Warning(const std::string& text);
    void Note(const std::string& text);

    // The time stamp as written in front of an entry, e.g. "4/21/2005 9:05:07".
    static std::string FormatTimeStamp();

private:
    void Write(const char* prefix, const std::string& text);

    std::string name_;
    bool timeStamps_ = false;
};

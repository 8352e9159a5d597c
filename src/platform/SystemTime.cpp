// Local time through localtime_r, sleeping through the standard library.
#include "platform/SystemTime.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace platform {

namespace {
std::optional<LocalTime> g_fixedTime;
}

LocalTime GetLocalTime()
{
    if (g_fixedTime) {
        return *g_fixedTime;
    }
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    LocalTime result;
    result.year = parts.tm_year + 1900;
    result.month = parts.tm_mon + 1;
    result.day = parts.tm_mday;
    result.hour = parts.tm_hour;
    result.minute = parts.tm_min;
    result.second = parts.tm_sec;
    return result;
}

void SetLocalTimeOverride(std::optional<LocalTime> fixed)
{
    g_fixedTime = fixed;
}

std::int64_t GetUnixTime()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

void SleepMilliseconds(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace platform

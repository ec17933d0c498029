#include "device/common/DbgOutput.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct LogState {
    std::mutex mutex;
    std::vector<std::pair<DbgOutputCallback, void*>> callbacks;
    int tagEnable = 0;
    int timeType = 1;
    int pidTid = 0;
    int level = 2;
};

LogState& State() {
    static LogState state;
    return state;
}

std::string TimeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm tm{};
    localtime_r(&secs, &tm);
    char buf[96];
    std::snprintf(buf, sizeof buf, "[%04d-%02d-%02d %02d:%02d:%02d.%03d] ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(ms.count()));
    return buf;
}

} // namespace

void DbgOutputA(int level, const char* format, ...) {
    if (format == nullptr)
        return;
    // A callback that logs would wait for the lock it already holds; its line is dropped instead.
    thread_local bool insideOutput = false;
    if (insideOutput)
        return;
    LogState& s = State();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (level > s.level || s.callbacks.empty())
        return;
    insideOutput = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{insideOutput};
    std::string line;
    if (s.timeType != 0)
        line = TimeStamp();
    if (s.pidTid != 0) {
        char ids[64];
        std::snprintf(ids, sizeof ids, "[%ld:%ld] ", static_cast<long>(getpid()),
                      static_cast<long>(syscall(SYS_gettid)));
        line += ids;
    }
    if (s.tagEnable != 0)
        line += "[VORA] ";
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n > 0) {
        const std::size_t start = line.size();
        line.resize(start + static_cast<std::size_t>(n) + 1);
        std::vsnprintf(line.data() + start, static_cast<std::size_t>(n) + 1, format, args);
        line.resize(start + static_cast<std::size_t>(n));
    }
    va_end(args);
    for (const auto& [cb, user] : s.callbacks)
        cb(user, 0, line.c_str(), static_cast<std::uint32_t>(line.size()));
}

bool DbgOutputAddCallback(DbgOutputCallback callback, void* user) {
    if (callback == nullptr)
        return false;
    LogState& s = State();
    std::lock_guard<std::mutex> guard(s.mutex);
    const auto entry = std::make_pair(callback, user);
    if (std::find(s.callbacks.begin(), s.callbacks.end(), entry) == s.callbacks.end())
        s.callbacks.push_back(entry);
    return true;
}

bool DbgOutputDelCallback(DbgOutputCallback callback, void* user) {
    LogState& s = State();
    std::lock_guard<std::mutex> guard(s.mutex);
    const auto it =
        std::find(s.callbacks.begin(), s.callbacks.end(), std::make_pair(callback, user));
    if (it == s.callbacks.end())
        return false;
    s.callbacks.erase(it);
    return true;
}

void DbgOutputSetTag(int enable, int /*kind*/) {
    std::lock_guard<std::mutex> guard(State().mutex);
    State().tagEnable = enable;
}

void DbgOutputSetTimeType(int type) {
    std::lock_guard<std::mutex> guard(State().mutex);
    State().timeType = type;
}

void DbgOutputSetIncludePIDTID(int include) {
    std::lock_guard<std::mutex> guard(State().mutex);
    State().pidTid = include;
}

void DbgOutputSetLevel(int level) {
    std::lock_guard<std::mutex> guard(State().mutex);
    State().level = level;
}

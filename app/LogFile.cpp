#include "app/LogFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#include "app/AppPaths.h"
#include "device/common/DbgOutput.h"
#include "device/common/FileUtil.h"

namespace {

// The user value is the file's descriptor, or null when the file did not open.
void WriteLogLine(void* user, std::uint32_t /*reserved*/, const char* text, std::uint32_t length) {
    if (user == nullptr || text == nullptr)
        return;
    const int fd = *static_cast<const int*>(user);
    std::uint32_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, text + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::uint32_t>(n);
    }
}

} // namespace

bool CLogFile::OpenLogFile() {
    CloseLogFile();
    const std::string dir = GetAppFolderPath(AppFolder::Log);
    RecursiveCreateDirectoryW(dir);
    const std::string name = GetFileNameByDateW(".log", "Vestrel_TOOL_", "", 0, 1, 0);
    const std::string base = CombinePathNameW(dir, name);
    // Two runs in the same second must not truncate each other's log.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        std::string path = base;
        if (attempt > 0)
            path.insert(path.size() - 4, "_" + std::to_string(attempt));
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd_ >= 0)
            path_ = path;
        else if (errno != EEXIST)
            break;
    }
    registered_ = DbgOutputAddCallback(WriteLogLine, fd_ >= 0 ? &fd_ : nullptr);
    DbgOutputSetTag(0, 0);
    DbgOutputSetTimeType(1);
    DbgOutputSetIncludePIDTID(0);
    return fd_ >= 0;
}

void CLogFile::CloseLogFile() {
    if (registered_) {
        DbgOutputDelCallback(WriteLogLine, fd_ >= 0 ? &fd_ : nullptr);
        registered_ = false;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

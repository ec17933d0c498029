#include "device/common/FileUtil.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string GetProgramPathW(int pid) {
    const std::string link = pid == 0 ? "/proc/self/exe" : "/proc/" + std::to_string(pid) + "/exe";
    std::error_code ec;
    const fs::path exe = fs::read_symlink(link, ec);
    if (ec)
        return {};
    return exe.parent_path().string();
}

std::string CombinePathNameW(const std::string& dir, const std::string& name) {
    std::string tail = name;
    std::replace(tail.begin(), tail.end(), '\\', '/');
    while (!tail.empty() && tail.front() == '/')
        tail.erase(tail.begin());
    if (dir.empty())
        return tail;
    std::string head = dir;
    while (head.size() > 1 && head.back() == '/')
        head.pop_back();
    if (head == "/")
        return head + tail;
    return tail.empty() ? head : head + "/" + tail;
}

bool RecursiveCreateDirectoryW(const std::string& dir) {
    if (dir.empty())
        return false;
    std::error_code ec;
    fs::create_directories(dir, ec);
    return fs::is_directory(dir, ec);
}

std::string GetFileNameByDateW(const std::string& extension, const std::string& prefix,
                               const std::string& suffix, int prefixAfterDate, int dateTime,
                               int /*extensionFlag*/) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[96];
    if (dateTime != 0)
        std::snprintf(stamp, sizeof stamp, "%04d%02d%02d_%02d%02d%02d", tm.tm_year + 1900,
                      tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    else
        std::snprintf(stamp, sizeof stamp, "%04d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                      tm.tm_mday);
    std::string name = prefixAfterDate != 0 ? std::string(stamp) + prefix : prefix + stamp;
    return name + suffix + extension;
}

std::size_t ReadFileDataW(const std::string& path, std::vector<std::uint8_t>& data) {
    data.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return 0;
    std::uint8_t chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        data.clear();
    return data.size();
}

void ReleaseFileData(std::vector<std::uint8_t>& data) {
    data.clear();
    data.shrink_to_fit();
}

bool IsFileExistW(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string GetFileVersionW(const std::string&) {
    return VESTREL_VERSION;
}

std::string GetFileExtNameW(const std::string& path) {
    const std::string name = GetFileShortNameW(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string GetFileShortNameW(const std::string& path) {
    const auto sep = path.find_last_of("/\\");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

namespace {
bool ExtensionMatches(const std::string& name, const std::string& extension) {
    if (extension.empty())
        return true;
    // ".bin" and "bin" name the same extension.
    const std::string wanted = extension.front() == '.' ? extension : "." + extension;
    const std::string ext = GetFileExtNameW(name);
    return ext.size() == wanted.size() &&
           std::equal(ext.begin(), ext.end(), wanted.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}
} // namespace

int GetLocalFolderFileListA(const std::string& folder, int recursive,
                            std::vector<std::string>& list, const std::string& extension,
                            int includeDirs, int fullPath) {
    list.clear();
    std::error_code ec;
    const fs::path root(folder);
    auto take = [&](const fs::directory_entry& e) {
        const bool isDir = e.is_directory(ec);
        if (isDir ? includeDirs == 0
                  : (!e.is_regular_file(ec) ||
                     !ExtensionMatches(e.path().filename().string(), extension)))
            return;
        list.push_back(fullPath != 0 ? e.path().string()
                                     : fs::relative(e.path(), root, ec).string());
    };
    if (recursive != 0) {
        for (fs::recursive_directory_iterator
                 it(root, fs::directory_options::skip_permission_denied, ec),
             end;
             !ec && it != end; it.increment(ec))
            take(*it);
    } else {
        for (fs::directory_iterator it(root, fs::directory_options::skip_permission_denied, ec),
             end;
             !ec && it != end; it.increment(ec))
            take(*it);
    }
    std::sort(list.begin(), list.end());
    return static_cast<int>(list.size());
}

std::vector<std::string> DevideStringByCharListA(const std::string& text,
                                                 const std::string& separators) {
    std::vector<std::string> out;
    std::string piece;
    for (char c : text) {
        if (separators.find(c) != std::string::npos) {
            if (!piece.empty())
                out.push_back(std::move(piece));
            piece.clear();
        } else {
            piece.push_back(c);
        }
    }
    if (!piece.empty())
        out.push_back(std::move(piece));
    return out;
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size) {
    const fs::path target(path);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string hidden = ".";
    hidden.append(target.filename().string()).append(".XXXXXX");
    std::string tmpl = (dir / hidden).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::size_t left = size;
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    // Keep the old file's permissions; a new file gets the usual 0644 less the umask.
    struct stat st {};
    if (ok && ::stat(path.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    else if (ok) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmpl.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(tmpl.c_str());
    return false;
}

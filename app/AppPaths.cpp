#include "app/AppPaths.h"

#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

#include "device/common/FileUtil.h"

namespace {

constexpr const char* kAppDirName = "vestrel-tool";

struct PathState {
    std::mutex mutex;
    std::string baseOverride;
};

PathState& State() {
    static PathState state;
    return state;
}

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return home;
    const passwd* pw = ::getpwuid(::getuid());
    return pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "/tmp";
}

// The executable's directory when it may be written, else empty.
std::string WritableProgramDirectory() {
    static const std::string dir = [] {
        const std::string exeDir = GetProgramPathW();
        return !exeDir.empty() && ::access(exeDir.c_str(), W_OK | X_OK) == 0 ? exeDir
                                                                             : std::string();
    }();
    return dir;
}

std::string BesideBase() {
    {
        std::lock_guard<std::mutex> guard(State().mutex);
        if (!State().baseOverride.empty())
            return State().baseOverride;
    }
    return WritableProgramDirectory();
}

} // namespace

std::string XdgBaseDirectory(const char* envName, const char* fallbackUnderHome) {
    const char* value = envName != nullptr ? std::getenv(envName) : nullptr;
    // Relative paths in these variables are invalid and must be ignored.
    if (value != nullptr && value[0] == '/')
        return value;
    return CombinePathNameW(HomeDirectory(), fallbackUnderHome);
}

bool IsAppBesideExecutable() {
    return !BesideBase().empty();
}

std::string GetAppFolderPath(AppFolder folder) {
    const std::string base = BesideBase();
    if (!base.empty()) {
        switch (folder) {
        case AppFolder::Config:
            return base;
        case AppFolder::Log:
            return CombinePathNameW(base, "Log");
        case AppFolder::SaveData:
            return CombinePathNameW(base, "SaveData");
        case AppFolder::FWImage:
            return CombinePathNameW(base, "FW_Image");
        }
    }
    switch (folder) {
    case AppFolder::Config:
        return CombinePathNameW(XdgBaseDirectory("XDG_CONFIG_HOME", ".config"), kAppDirName);
    case AppFolder::Log:
        return CombinePathNameW(
            CombinePathNameW(XdgBaseDirectory("XDG_STATE_HOME", ".local/state"), kAppDirName),
            "Log");
    case AppFolder::SaveData:
        return CombinePathNameW(
            CombinePathNameW(XdgBaseDirectory("XDG_DATA_HOME", ".local/share"), kAppDirName),
            "SaveData");
    case AppFolder::FWImage:
        return CombinePathNameW(
            CombinePathNameW(XdgBaseDirectory("XDG_DATA_HOME", ".local/share"), kAppDirName),
            "FW_Image");
    }
    return {};
}

std::string GetAppConfigPath() {
    return CombinePathNameW(GetAppFolderPath(AppFolder::Config), "appConfig.xml");
}

void SetAppBaseDirectory(const std::string& dir) {
    std::lock_guard<std::mutex> guard(State().mutex);
    State().baseOverride = dir;
}

#include "device/common/SerialPortEnum.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <libserialport.h>
#include <map>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "device/common/BaseString.h"
#include "device/common/FileUtil.h"

namespace {

constexpr const char* kVirtualPrefix = "ttyVSIM";
constexpr const char* kInfoSuffix = ".port";
constexpr int kMaxVirtualPorts = 100;

struct Registry {
    std::mutex mutex;
    std::string directoryOverride;
    std::map<std::string, int> numberByKey; // port identity -> number
    int nextNumber = 1;
    std::map<int, SerialPortEntry> lastSeen; // number -> entry of the last enumeration
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::string DefaultDirectory() {
    if (const char* env = std::getenv("VESTREL_SIM_DIR"); env != nullptr && *env != '\0')
        return env;
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg != '\0')
        return std::string(xdg) + "/vestrel-sim";
    return "/tmp/vestrel-sim-" + std::to_string(getuid());
}

struct VirtualInfo {
    std::string device;
    std::string description;
    long pid = 0;
};

bool ReadInfo(const std::string& path, VirtualInfo& info) {
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "device")
            info.device = value;
        else if (key == "description")
            info.description = value;
        else if (key == "pid")
            info.pid = std::strtol(value.c_str(), nullptr, 10);
    }
    return !info.device.empty() && info.pid > 0;
}

bool ProcessAlive(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool Usable(const VirtualInfo& info) {
    struct stat st {};
    return ProcessAlive(info.pid) && stat(info.device.c_str(), &st) == 0;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ListVirtual(const std::string& dir, std::vector<SerialPortEntry>& out) {
    std::vector<std::string> files;
    GetLocalFolderFileListA(dir, 0, files, kInfoSuffix, 0, 0);
    for (const std::string& file : files) {
        const std::string name = file.substr(0, file.size() - std::string(kInfoSuffix).size());
        if (name.rfind(kVirtualPrefix, 0) != 0)
            continue;
        VirtualInfo info;
        if (!ReadInfo(dir + "/" + file, info) || !Usable(info))
            continue;
        SerialPortEntry entry;
        entry.name = Utf8ToWide(name);
        entry.description =
            Utf8ToWide(info.description.empty() ? "Simulated module" : info.description);
        entry.devicePath = info.device;
        entry.isVirtual = true;
        out.push_back(std::move(entry));
    }
}

void ListReal(std::vector<SerialPortEntry>& out) {
    struct sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK || ports == nullptr)
        return;
    for (int i = 0; ports[i] != nullptr; ++i) {
        const char* path = sp_get_port_name(ports[i]);
        if (path == nullptr)
            continue;
        SerialPortEntry entry;
        entry.devicePath = path;
        entry.name = Utf8ToWide(BaseName(path));
        std::string description;
        if (sp_get_port_transport(ports[i]) == SP_TRANSPORT_USB) {
            const char* product = sp_get_port_usb_product(ports[i]);
            const char* maker = sp_get_port_usb_manufacturer(ports[i]);
            const char* serial = sp_get_port_usb_serial(ports[i]);
            if (product != nullptr)
                description = product;
            else if (maker != nullptr)
                description = maker;
            if (serial != nullptr && *serial != '\0')
                description += std::string(description.empty() ? "" : " ") + "(" + serial + ")";
        }
        if (description.empty()) {
            const char* text = sp_get_port_description(ports[i]);
            description = text != nullptr ? text : "";
        }
        entry.description = Utf8ToWide(description);
        out.push_back(std::move(entry));
    }
    sp_free_port_list(ports);
    std::sort(out.begin(), out.end(),
              [](const SerialPortEntry& a, const SerialPortEntry& b) { return a.name < b.name; });
}

std::string KeyOf(const SerialPortEntry& entry, const std::string& dir) {
    return entry.isVirtual ? "virtual:" + dir + "/" + WideToUtf8(entry.name) : entry.devicePath;
}

} // namespace

std::string GetVirtualPortDirectory() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.directoryOverride.empty() ? DefaultDirectory() : registry.directoryOverride;
}

void SetVirtualPortDirectory(const std::string& directory) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.directoryOverride = directory;
}

int EnumSerialPortNameW(SerialPortList& ports) {
    ports.clear();
    const std::string dir = GetVirtualPortDirectory();
    ListVirtual(dir, ports);
    std::vector<SerialPortEntry> real;
    ListReal(real);
    for (auto& entry : real)
        ports.push_back(std::move(entry));

    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.lastSeen.clear();
    for (SerialPortEntry& entry : ports) {
        auto [it, added] = registry.numberByKey.try_emplace(KeyOf(entry, dir), registry.nextNumber);
        if (added)
            ++registry.nextNumber;
        entry.portNum = it->second;
        registry.lastSeen[entry.portNum] = entry;
    }
    return static_cast<int>(ports.size());
}

void FreeSerialPortNameA(SerialPortList& ports) {
    ports.clear();
    ports.shrink_to_fit();
}

std::string ResolveSerialPortNum(int portNum, std::wstring* name) {
    if (portNum < 1)
        return {};
    // Always enumerate afresh: a simulator may have restarted on another
    // pseudo-terminal under the same name, or the device may be gone.
    SerialPortList ports;
    EnumSerialPortNameW(ports);
    for (const SerialPortEntry& entry : ports) {
        if (entry.portNum == portNum) {
            if (name != nullptr)
                *name = entry.name;
            return entry.devicePath;
        }
    }
    return {};
}

std::string PublishVirtualPort(const std::string& devicePath, const std::string& description) {
    const std::string dir = GetVirtualPortDirectory();
    if (!RecursiveCreateDirectoryW(dir))
        return {};
    (void)chmod(dir.c_str(), 0700);
    for (int n = 0; n < kMaxVirtualPorts; ++n) {
        const std::string name = kVirtualPrefix + std::to_string(n);
        const std::string infoPath = dir + "/" + name + kInfoSuffix;
        int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) {
            VirtualInfo info;
            if (ReadInfo(infoPath, info) && ProcessAlive(info.pid))
                continue;
            // A simulator that died without cleaning up: reclaim its name.
            ::unlink(infoPath.c_str());
            fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        }
        if (fd < 0)
            continue;
        std::ostringstream text;
        text << "device=" << devicePath << "\npid=" << getpid() << "\ndescription=" << description
             << "\n";
        const std::string content = text.str();
        const bool written =
            ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
        ::close(fd);
        if (!written) {
            ::unlink(infoPath.c_str());
            return {};
        }
        const std::string link = dir + "/" + name;
        ::unlink(link.c_str());
        (void)::symlink(devicePath.c_str(), link.c_str());
        return name;
    }
    return {};
}

void UnpublishVirtualPort(const std::string& name) {
    if (name.empty())
        return;
    const std::string dir = GetVirtualPortDirectory();
    ::unlink((dir + "/" + name + kInfoSuffix).c_str());
    ::unlink((dir + "/" + name).c_str());
}

// Linked into every test program: before any test runs, the port enumeration
// of the process looks into a private, empty directory, so a `vestrel-sim` the
// user runs at the same time (published in the shared runtime directory) is
// never seen, connected to or disturbed by a test. Harnesses and tests that
// publish ports choose their own directories on top of this.

#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "device/common/SerialPortEnum.h"

namespace {

std::string g_directory;

void RemoveDirectory() {
    if (!g_directory.empty())
        ::rmdir(g_directory.c_str());
}

[[maybe_unused]] const bool g_private = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vestrel-test-ports-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) != nullptr) {
        g_directory = buffer.data();
        std::atexit(RemoveDirectory);
    } else {
        g_directory.clear();
    }
    // Without a directory of its own the test still must not see the user's:
    // a path that cannot exist lists nothing.
    SetVirtualPortDirectory(g_directory.empty() ? "/nonexistent/vestrel-test-ports" : g_directory);
    return true;
}();

} // namespace

#pragma once
// Serial-port enumeration: the real serial devices (with their USB product and
// serial number where known) plus the virtual ports that simulated modules
// publish in a per-user runtime directory. Every entry carries a port number
// >= 1 that stays with that port for the life of the process;
// VORA_Interface_RadarDevice_Serial_OpenByPortNum resolves the number through
// the same table (ResolveSerialPortNum).
//
// Virtual ports are listed first, then the real ones sorted by name.

#include <string>
#include <vector>

struct SerialPortEntry {
    std::wstring name;        // what a port list shows: "ttyUSB0", "ttyVSIM0"
    int portNum = 0;          // >= 1; the number Serial_OpenByPortNum takes
    std::wstring description; // "CP2102 USB to UART Bridge (0001)", "Simulated module"
    std::string devicePath;   // "/dev/ttyUSB0", "/dev/pts/3"
    bool isVirtual = false;
};
using SerialPortList = std::vector<SerialPortEntry>;

// Fills `ports` (replacing its contents); returns the number of entries.
int EnumSerialPortNameW(SerialPortList& ports);
// Empties the list (kept for the callers' enumerate/free pairing).
void FreeSerialPortNameA(SerialPortList& ports);

// Device path of port `portNum`, enumerating again when the number is not
// known yet or its device is gone. Empty when no such port exists now.
[[nodiscard]] std::string ResolveSerialPortNum(int portNum, std::wstring* name = nullptr);

// --- Virtual ports -------------------------------------------------------
// Directory in which simulators publish their ports: the override when set,
// else $VESTREL_SIM_DIR, else $XDG_RUNTIME_DIR/vestrel-sim, else
// /tmp/vestrel-sim-<uid>.
[[nodiscard]] std::string GetVirtualPortDirectory();
// Process-wide override (tests use a private directory so that a simulator
// the user runs at the same time stays invisible to them). Empty restores
// the default.
void SetVirtualPortDirectory(const std::string& directory);

// Publishes `devicePath` under the first free name "ttyVSIM<n>" in the
// directory (an info file "<name>.port" plus a convenience symlink "<name>"
// to the device). Returns the name, empty on failure. Entries of processes
// that are gone are reclaimed.
[[nodiscard]] std::string PublishVirtualPort(const std::string& devicePath,
                                             const std::string& description);
void UnpublishVirtualPort(const std::string& name);

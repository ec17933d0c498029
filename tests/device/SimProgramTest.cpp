// The vestrel-sim program: publishes its port, serves the protocol, and
// withdraws the port when stopped.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "device/common/FileUtil.h"
#include "device/common/SerialPortEnum.h"
#include "tests/device/DeviceTestSupport.h"

using namespace devtest;

TEST(SimProgramTest, ServesUntilTerminatedAndCleansUp) {
    char pattern[] = "/tmp/vestrel-simprog-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    SetVirtualPortDirectory(dir);

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::execl(VESTREL_SIM_BINARY, "vestrel-sim", "--dir", dir.c_str(), "--serial", "SN-TEST-1",
                "--rate", "20", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    FILE* stream = ::fdopen(out[0], "r");
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, stream), nullptr);
    EXPECT_NE(std::string(line).find("ttyVSIM0"), std::string::npos) << line;

    SerialPortList ports;
    EnumSerialPortNameW(ports);
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports.front().name, L"ttyVSIM0");
    {
        Handle h;
        ASSERT_TRUE(VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, ports.front().portNum,
                                                                    256000, 2, 1, 1, 1, 150));
        CBaseStringA serial;
        EXPECT_TRUE(VORA_Interface_RadarDevice_GetSerialNumber(h, serial));
        EXPECT_EQ(serial.str(), "SN-TEST-1");
        EXPECT_TRUE(VORA_Interface_RadarDevice_StopCmdMode(h));
    }

    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::fclose(stream);
    EnumSerialPortNameW(ports);
    for (const auto& p : ports)
        EXPECT_FALSE(p.isVirtual);
    EXPECT_FALSE(IsFileExistW(dir + "/ttyVSIM0.port"));
    ::rmdir(dir.c_str());
}

// Every test program enumerates ports in a directory of its own, so a
// simulator the user runs meanwhile (in the shared directory) stays invisible.
TEST(SimProgramTest, TestProgramsListPortsFromAPrivateDirectory) {
    const std::string inForce = GetVirtualPortDirectory();
    SetVirtualPortDirectory({});
    const std::string shared = GetVirtualPortDirectory();
    SetVirtualPortDirectory(inForce);
    EXPECT_NE(inForce, shared);
}

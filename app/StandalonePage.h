#pragma once
// Hosts one page on its own, for trying it against a module:
//
//   <program> [--sim] [--port N] [--baud B] [--lang ENG|CHS]
//
// --sim serves a simulated module in-process and connects to it; --port
// connects to the port of that number in the port list. Connecting reads the
// configuration as the main window does.

#include <QWidget>

#include <functional>
#include <memory>

#include "device/radar/VORA_DataProcess.h"
#include "params/RadarOperatorConfig.h"

struct StandalonePageHooks {
    // Builds the page before the module is read, so settings it loads at
    // construction never overwrite the module's values.
    std::function<std::unique_ptr<QWidget>(RadarDeviceHandle, RadarOperatorConfig*)> makePage;
    // Called after a successful connect, before the page is shown.
    std::function<void(QWidget*)> onConnected;
};

// Runs the program; the page is destroyed (saving its settings, stopping its
// workers) before the port closes.
int RunStandalonePage(int argc, char** argv, const QString& programName,
                      const StandalonePageHooks& hooks);

// The real-time page on its own: vestrel-realtime-page [--sim] [--port N] [--baud B] [--lang
// ENG|CHS] Connecting reads the configuration first, so the thresholds drawn are the module's.

#include "app/StandalonePage.h"
#include "realtime/ObjectInfoDlg.h"

int main(int argc, char** argv) {
    StandalonePageHooks hooks;
    hooks.makePage = [](RadarDeviceHandle handle, RadarOperatorConfig* record) {
        return std::make_unique<CObjectInfoDlg>(handle, record);
    };
    return RunStandalonePage(argc, argv, QStringLiteral("vestrel-realtime-page"), hooks);
}

// The parameter page on its own: vestrel-param-page [--sim] [--port N] [--baud B] [--lang ENG|CHS]

#include "app/StandalonePage.h"
#include "params/ParamSettingDlg.h"

int main(int argc, char** argv) {
    StandalonePageHooks hooks;
    hooks.makePage = [](RadarDeviceHandle handle, RadarOperatorConfig* record) {
        return std::make_unique<CParamSettingDlg>(handle, record);
    };
    hooks.onConnected = [](QWidget* page) { static_cast<CParamSettingDlg*>(page)->ShowRecord(); };
    return RunStandalonePage(argc, argv, QStringLiteral("vestrel-param-page"), hooks);
}

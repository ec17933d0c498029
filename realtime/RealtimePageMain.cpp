// The real-time page on its own, for trying it against a module:
//
//   vestrel-realtime-page [--sim] [--port N] [--baud B] [--lang ENG|CHS]
//
// --sim serves a simulated module in-process and connects to it; --port
// connects to the port of that number in the port list. Connecting reads the
// configuration as the main window does, so the thresholds are the module's.

#include <QApplication>
#include <QCommandLineParser>

#include <memory>

#include "app/AppConfig.h"
#include "app/Texts.h"
#include "device/common/Conversion.h"
#include "device/radar/VORA_DataProcess.h"
#include "params/OperatorConfigTransfer.h"
#include "realtime/ObjectInfoDlg.h"
#include "sim/SimulatedModulePort.h"

namespace {
struct DeviceHandle {
    RadarDeviceHandle handle = VORA_Interface_RadarDevice_Serial_Create();
    DeviceHandle() = default;
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;
    ~DeviceHandle() {
        VORA_Interface_RadarDevice_Serial_Close(handle);
        VORA_Interface_RadarDevice_Serial_Destroy(handle);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UseClassicNumericLocale(); // QApplication set LC_NUMERIC from the user's locale
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption simOption(QStringLiteral("sim"),
                                       QStringLiteral("Serve a simulated module."));
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Port number to connect."), QStringLiteral("N"));
    const QCommandLineOption baudOption(QStringLiteral("baud"), QStringLiteral("Baud rate."),
                                        QStringLiteral("B"), QStringLiteral("115200"));
    const QCommandLineOption langOption(QStringLiteral("lang"), QStringLiteral("ENG or CHS."),
                                        QStringLiteral("L"));
    parser.addOptions({simOption, portOption, baudOption, langOption});
    parser.process(app);

    LoadAppConfig();
    QString language = parser.value(langOption);
    if (language.isEmpty())
        language = QString::fromStdString(GetAppConfig().GetText("Language").value_or(""));
    ApplyLanguage(language);

    std::unique_ptr<vestrel::sim::CSimulatedModulePort> sim;
    int port = parser.value(portOption).toInt();
    if (parser.isSet(simOption)) {
        sim = std::make_unique<vestrel::sim::CSimulatedModulePort>();
        port = sim->PortNumber();
    }

    DeviceHandle device;
    RadarOperatorConfig record;
    if (port > 0 &&
        VORA_Interface_RadarDevice_Serial_OpenByPortNum(
            device.handle, port, parser.value(baudOption).toInt(), 2, 1, 1, 1, 150) != 0) {
        (void)ReadSetting_RadarOperatorConfig(device.handle, &record);
        (void)VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(device.handle);
        (void)VORA_Interface_RadarDevice_StopCmdMode(device.handle);
    }

    auto page = std::make_unique<CObjectInfoDlg>(device.handle, &record);
    page->setWindowTitle(QStringLiteral("vestrel-realtime-page"));
    page->show(); // starts the stream when connected
    const int rc = QApplication::exec();
    page.reset(); // stops the stream and saves ObjectInfo before the port closes
    return rc;
}

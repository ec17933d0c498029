#include "app/StandalonePage.h"

#include <QApplication>
#include <QCommandLineParser>

#include "app/AppConfig.h"
#include "app/Texts.h"
#include "device/common/Conversion.h"
#include "params/OperatorConfigTransfer.h"
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

int RunStandalonePage(int argc, char** argv, const QString& programName,
                      const StandalonePageHooks& hooks) {
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
    std::unique_ptr<QWidget> page = hooks.makePage(device.handle, &record);
    page->setWindowTitle(programName);

    if (port > 0 &&
        VORA_Interface_RadarDevice_Serial_OpenByPortNum(
            device.handle, port, parser.value(baudOption).toInt(), 2, 1, 1, 1, 150) != 0) {
        (void)ReadSetting_RadarOperatorConfig(device.handle, &record);
        if (hooks.onConnected)
            hooks.onConnected(page.get());
        (void)VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(device.handle);
        (void)VORA_Interface_RadarDevice_StopCmdMode(device.handle);
    }

    page->show(); // a streaming page starts its stream when it becomes visible
    const int rc = QApplication::exec();
    page.reset();
    return rc;
}

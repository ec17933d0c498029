#include "app/VORA_Vestrel_ToolApp.h"

#include <QFont>

#include "app/AppConfig.h"
#include "app/Texts.h"
#include "app/VORA_Vestrel_ToolDlg.h"
#include "controls/GdiplusHelpers.h"
#include "device/common/FileUtil.h"

CVORA_Vestrel_ToolApp::CVORA_Vestrel_ToolApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vestrel-tool"));
    setApplicationVersion(QString::fromStdString(GetFileVersionW()));
    setDesktopFileName(QStringLiteral("vestrel-tool"));
}

bool CVORA_Vestrel_ToolApp::InitInstance() {
    // Settings first: the language comes from them.
    LoadAppConfig();
    ApplyLanguage(
        QString::fromStdString(GetAppConfig().GetText("Language").value_or(std::string())));

    // The dialogs are laid out for a 9-point "黑体"; an installed CJK sans family
    // stands in for it so that both languages render.
    QFont font(ResolveFontFamily(QStringLiteral("黑体")));
    font.setPointSize(9);
    setFont(font);

    {
        CVORA_Vestrel_ToolDlg window;
        window.exec();
    }
    return false;
}

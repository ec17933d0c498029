#include "app/VORA_Vestrel_ToolApp.h"

#include <QFont>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "app/AppConfig.h"
#include "app/Texts.h"
#include "app/VORA_Vestrel_ToolDlg.h"
#include "controls/GdiplusHelpers.h"
#include "device/common/Conversion.h"
#include "device/common/FileUtil.h"

namespace {

// Written by the signal handler, read by the window thread.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

} // namespace

CVORA_Vestrel_ToolApp::CVORA_Vestrel_ToolApp(int& argc, char** argv) : QApplication(argc, argv) {
    // QApplication set LC_NUMERIC from the user's locale; numbers in files and
    // fields are always written and read with '.'.
    UseClassicNumericLocale();
    setApplicationName(QStringLiteral("vestrel-tool"));
    setApplicationVersion(QString::fromStdString(GetFileVersionW()));
    setDesktopFileName(QStringLiteral("vestrel-tool"));
    WatchStopSignals();
}

CVORA_Vestrel_ToolApp::~CVORA_Vestrel_ToolApp() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        std::signal(sig, SIG_DFL);
    for (int& fd : g_signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void CVORA_Vestrel_ToolApp::WatchStopSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    signalNotifier_ = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(signalNotifier_, &QSocketNotifier::activated, this,
            &CVORA_Vestrel_ToolApp::OnStopSignal);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}

void CVORA_Vestrel_ToolApp::OnStopSignal() {
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], &byte, 1);
    // Message boxes and other dialogs first, so that the main window's loop can end.
    for (QWidget* w : topLevelWidgets())
        if (w != mainWindow_ && w->isVisible())
            w->close();
    if (mainWindow_ != nullptr)
        mainWindow_->close();
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
        mainWindow_ = &window;
        window.exec();
    }
    return false;
}

#pragma once
// The application object: reads the settings, applies the display language,
// runs the main window modally and shuts down. No event loop follows it.

#include <QApplication>
#include <QPointer>

class QDialog;
class QSocketNotifier;

class CVORA_Vestrel_ToolApp : public QApplication {
    Q_OBJECT
public:
    CVORA_Vestrel_ToolApp(int& argc, char** argv);
    ~CVORA_Vestrel_ToolApp() override;

    // Runs the whole program; returns false, as nothing is left to run afterwards.
    bool InitInstance();

private:
    // SIGINT, SIGTERM and SIGHUP close the window as its close command does, so
    // that the pages and the main window still save their settings.
    void WatchStopSignals();
    void OnStopSignal();

    QSocketNotifier* signalNotifier_ = nullptr;
    QPointer<QDialog> mainWindow_;
};

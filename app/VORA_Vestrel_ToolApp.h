#pragma once
// The application object: reads the settings, applies the display language,
// runs the main window modally and shuts down. No event loop follows it.

#include <QApplication>

class CVORA_Vestrel_ToolApp : public QApplication {
    Q_OBJECT
public:
    CVORA_Vestrel_ToolApp(int& argc, char** argv);

    // Runs the whole program; returns false, as nothing is left to run afterwards.
    bool InitInstance();
};

#include <QApplication>
#include <QDialog>

#include "device/common/FileUtil.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog window;
    window.setWindowTitle(QString::asprintf("%s(v%s)", "VORA_Vestrel_Tool", GetFileVersionW().c_str()));
    window.resize(800, 600);
    window.exec();
    return 0;
}

#pragma once
// One QApplication for a GoogleTest executable of widget tests, made on first use.

#include <QApplication>

#include <memory>

inline QApplication& QtTestApp() {
    static int argc = 1;
    static char name[] = "vestrel-test";
    static char* argv[] = {name, nullptr};
    static const auto app = std::make_unique<QApplication>(argc, argv);
    return *app;
}

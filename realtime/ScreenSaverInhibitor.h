#pragma once
// Keeps the display awake while a page streams: org.freedesktop.ScreenSaver
// Inhibit/UnInhibit on the session bus. Without a session bus, or without a
// screen saver service on it, it silently does nothing. Calls never block the
// window thread: the cookie arrives asynchronously.

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class QDBusPendingCallWatcher;

class CScreenSaverInhibitor : public QObject {
public:
    // `bus` defaults to the session bus; tests pass a private one.
    explicit CScreenSaverInhibitor(const QString& reason, QObject* parent = nullptr);
    CScreenSaverInhibitor(const QString& reason, const QDBusConnection& bus,
                          QObject* parent = nullptr);
    ~CScreenSaverInhibitor() override;
    CScreenSaverInhibitor(const CScreenSaverInhibitor&) = delete;
    CScreenSaverInhibitor& operator=(const CScreenSaverInhibitor&) = delete;

    // Asks for the display to stay on; repeated calls ask once.
    void Inhibit();
    // Allows the screen saver again; also when the inhibit answer is still on its way.
    void UnInhibit();
    // True between Inhibit and UnInhibit (whether or not a service granted it).
    [[nodiscard]] bool IsRequested() const { return requested_; }
    // The service's cookie while an inhibit is in force.
    [[nodiscard]] std::optional<uint> Cookie() const { return cookie_; }

private:
    void OnInhibitAnswered(QDBusPendingCallWatcher* watcher);
    void SendUnInhibit(uint cookie);

    QString reason_;
    QDBusConnection bus_;
    bool requested_ = false;
    QDBusPendingCallWatcher* pending_ = nullptr; // child of this object
    std::optional<uint> cookie_;
};

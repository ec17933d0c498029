#include "realtime/ScreenSaverInhibitor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/org/freedesktop/ScreenSaver";
constexpr const char* kInterface = "org.freedesktop.ScreenSaver";
// An answer later than this is not worth waiting for at shutdown.
constexpr int kCallTimeoutMs = 1000;

QString ApplicationName() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("vestrel-tool") : name;
}

} // namespace

CScreenSaverInhibitor::CScreenSaverInhibitor(const QString& reason, QObject* parent)
    : CScreenSaverInhibitor(reason, QDBusConnection::sessionBus(), parent) {}

CScreenSaverInhibitor::CScreenSaverInhibitor(const QString& reason, const QDBusConnection& bus,
                                             QObject* parent)
    : QObject(parent), reason_(reason), bus_(bus) {}

CScreenSaverInhibitor::~CScreenSaverInhibitor() {
    if (QDBusPendingCallWatcher* pending = pending_; pending != nullptr) {
        // Wait (bounded by the call's time-out) so a granted inhibit is not left behind.
        pending->disconnect(this);
        pending->waitForFinished();
        QDBusPendingReply<uint> reply = *pending;
        if (reply.isValid())
            SendUnInhibit(reply.value());
    } else if (cookie_) {
        SendUnInhibit(*cookie_);
    }
}

void CScreenSaverInhibitor::Inhibit() {
    if (requested_)
        return;
    requested_ = true;
    if (cookie_ || pending_ != nullptr || !bus_.isConnected())
        return; // already in force, or an answer still on its way
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Inhibit");
    call << ApplicationName() << reason_;
    pending_ = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
    connect(pending_, &QDBusPendingCallWatcher::finished, this,
            &CScreenSaverInhibitor::OnInhibitAnswered);
}

void CScreenSaverInhibitor::UnInhibit() {
    if (!requested_)
        return;
    requested_ = false;
    if (cookie_) {
        SendUnInhibit(*cookie_);
        cookie_.reset();
    }
    // A pending answer is released when it arrives (OnInhibitAnswered).
}

void CScreenSaverInhibitor::OnInhibitAnswered(QDBusPendingCallWatcher* watcher) {
    QDBusPendingReply<uint> reply = *watcher;
    watcher->deleteLater();
    pending_ = nullptr;
    if (!reply.isValid())
        return; // no screen saver service: nothing to keep awake
    if (requested_)
        cookie_ = reply.value();
    else
        SendUnInhibit(reply.value());
}

void CScreenSaverInhibitor::SendUnInhibit(uint cookie) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "UnInhibit");
    call << cookie;
    bus_.send(call);
}

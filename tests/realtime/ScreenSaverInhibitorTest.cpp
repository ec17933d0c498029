#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <functional>
#include <mutex>
#include <vector>

#include "realtime/ScreenSaverInhibitor.h"
#include "support/WaitFor.h"

namespace {

// Stands in for the desktop's screen saver on a private bus.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    int Inhibits() const {
        std::lock_guard guard(lock_);
        return inhibits_;
    }
    std::size_t Active() const {
        std::lock_guard guard(lock_);
        return active_.size();
    }
    QString LastReason() const {
        std::lock_guard guard(lock_);
        return lastReason_;
    }

public Q_SLOTS:
    uint Inhibit(const QString& /*application*/, const QString& reason) {
        std::lock_guard guard(lock_);
        lastReason_ = reason;
        active_.push_back(++inhibits_ + 100u);
        return active_.back();
    }
    void UnInhibit(uint cookie) {
        std::lock_guard guard(lock_);
        std::erase(active_, cookie);
    }

private:
    mutable std::mutex lock_;
    std::vector<uint> active_;
    int inhibits_ = 0;
    QString lastReason_;
};

class ScreenSaverInhibitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        ASSERT_TRUE(daemon_.waitForStarted());
        ASSERT_TRUE(WaitFor([&] { return daemon_.canReadLine(); }, 3000));
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        service_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address_, "fake-screensaver"));
        ASSERT_TRUE(service_->isConnected());
        // The service answers from its own thread, as a desktop's would from its process,
        // so the inhibitor may wait for an answer on this one.
        serviceThread_.start();
        fake_.moveToThread(&serviceThread_);
        ASSERT_TRUE(service_->registerService("org.freedesktop.ScreenSaver"));
        ASSERT_TRUE(service_->registerObject("/org/freedesktop/ScreenSaver", &fake_,
                                             QDBusConnection::ExportAllSlots));
    }
    void TearDown() override {
        if (service_) {
            QDBusConnection::disconnectFromBus("fake-screensaver");
            QDBusConnection::disconnectFromBus("client");
        }
        serviceThread_.quit();
        serviceThread_.wait();
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QDBusConnection Client() { return QDBusConnection::connectToBus(address_, "client"); }

    QProcess daemon_;
    QString address_;
    std::unique_ptr<QDBusConnection> service_;
    QThread serviceThread_;
    FakeScreenSaver fake_;
};

} // namespace

TEST_F(ScreenSaverInhibitorTest, InhibitsOnceAndReleases) {
    CScreenSaverInhibitor inhibitor("Streaming radar reports", Client());
    inhibitor.Inhibit();
    inhibitor.Inhibit();
    ASSERT_TRUE(WaitFor([&] { return inhibitor.Cookie().has_value(); }, 3000));
    EXPECT_EQ(fake_.Inhibits(), 1);
    EXPECT_EQ(fake_.LastReason(), "Streaming radar reports");
    ASSERT_EQ(fake_.Active(), 1u);

    inhibitor.UnInhibit();
    EXPECT_FALSE(inhibitor.IsRequested());
    EXPECT_TRUE(WaitFor([&] { return fake_.Active() == 0; }, 3000));
}

TEST_F(ScreenSaverInhibitorTest, ReleaseBeforeTheAnswerStillReleases) {
    CScreenSaverInhibitor inhibitor("x", Client());
    inhibitor.Inhibit();
    inhibitor.UnInhibit(); // the cookie is still on its way
    ASSERT_TRUE(WaitFor([&] { return fake_.Inhibits() == 1; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return fake_.Active() == 0; }, 3000));
    EXPECT_FALSE(inhibitor.Cookie().has_value());
}

TEST_F(ScreenSaverInhibitorTest, DestructionReleases) {
    {
        CScreenSaverInhibitor inhibitor("x", Client());
        inhibitor.Inhibit();
        ASSERT_TRUE(WaitFor([&] { return inhibitor.Cookie().has_value(); }, 3000));
    }
    EXPECT_TRUE(WaitFor([&] { return fake_.Active() == 0; }, 3000));
    {
        CScreenSaverInhibitor inhibitor("x", Client());
        inhibitor.Inhibit(); // destroyed with the answer pending
    }
    EXPECT_TRUE(WaitFor([&] { return fake_.Inhibits() == 2 && fake_.Active() == 0; }, 3000));
}

TEST(ScreenSaverInhibitorNoBus, DoesNothing) {
    QDBusConnection none = QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "none");
    ASSERT_FALSE(none.isConnected());
    CScreenSaverInhibitor inhibitor("x", none);
    inhibitor.Inhibit();
    EXPECT_TRUE(inhibitor.IsRequested());
    QCoreApplication::processEvents();
    EXPECT_FALSE(inhibitor.Cookie().has_value());
    inhibitor.UnInhibit();
    QDBusConnection::disconnectFromBus("none");
}

TEST_F(ScreenSaverInhibitorTest, BusWithoutScreenSaverDoesNothing) {
    QDBusConnection::disconnectFromBus("fake-screensaver");
    service_.reset();
    CScreenSaverInhibitor inhibitor("x", QDBusConnection::connectToBus(address_, "client2"));
    inhibitor.Inhibit();
    // The call fails with "service unknown"; no cookie, no crash.
    QDeadlineTimer settle(300);
    while (!settle.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(inhibitor.Cookie().has_value());
    inhibitor.UnInhibit();
    QDBusConnection::disconnectFromBus("client2");
}

#include "ScreenSaverInhibitorTest.moc"

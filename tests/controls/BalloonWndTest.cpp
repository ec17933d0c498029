#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include <map>
#include <memory>

#include "controls/BalloonWnd.h"

namespace {

// A clock stepped by hand in 100 ms steps.
class ManualClock final : public IBalloonClock {
public:
    void Start(int id, int intervalMs) override { timers_[id] = {intervalMs, 0}; }
    void Stop(int id) override { timers_.erase(id); }
    [[nodiscard]] bool Running(int id) const { return timers_.count(id) != 0; }

    void Advance(CBalloonWnd& balloon, int ms) {
        for (int t = 0; t < ms; t += 100) {
            std::map<int, bool> due;
            for (auto& [id, timer] : timers_) {
                timer.elapsed += 100;
                if (timer.elapsed >= timer.interval) {
                    timer.elapsed = 0;
                    due[id] = true;
                }
            }
            for (const auto& [id, yes] : due)
                if (Running(id))
                    balloon.OnTimer(id);
        }
    }

private:
    struct Timer {
        int interval;
        int elapsed;
    };
    std::map<int, Timer> timers_;
};

struct Fixture {
    QWidget owner;
    std::unique_ptr<CBalloonWnd> balloon;
    ManualClock* clock = nullptr;

    Fixture() {
        owner.resize(200, 100);
        owner.show();
        balloon = std::make_unique<CBalloonWnd>(&owner);
        auto c = std::make_unique<ManualClock>();
        clock = c.get();
        balloon->SetClock(std::move(c));
    }
    void Show(const char* text) {
        balloon->ShowMessage(QPoint(10, 10), QStringLiteral("Input Error"), QString::fromUtf8(text),
                             CBalloonWnd::IconError);
    }
    void Advance(int ms) { clock->Advance(*balloon, ms); }
    void MouseMove(QPoint p) {
        QMouseEvent ev(QEvent::MouseMove, QPointF(p), QPointF(balloon->mapToGlobal(p)),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(balloon.get(), &ev);
    }
    void Leave() {
        QEvent ev(QEvent::Leave);
        QCoreApplication::sendEvent(balloon.get(), &ev);
    }
    void Click(QPoint p) {
        for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent ev(type, QPointF(p), QPointF(balloon->mapToGlobal(p)), Qt::LeftButton,
                           type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                           Qt::NoModifier);
            QCoreApplication::sendEvent(balloon.get(), &ev);
        }
    }
};

} // namespace

TEST(BalloonWnd, ShowsFiveSecondsThenFadesOverOneAndAHalf) {
    Fixture f;
    f.Show("Invalid character 'x'");
    ASSERT_TRUE(f.balloon->isVisible());
    EXPECT_EQ(f.balloon->pos(), QPoint(10, 10));
    EXPECT_EQ(f.balloon->width() % 4, 0);

    f.Advance(4500);
    EXPECT_TRUE(f.balloon->isVisible());
    EXPECT_EQ(f.balloon->Alpha(), 255);
    EXPECT_EQ(f.balloon->Messages().front().remainingMs, 500u);

    f.Advance(500); // expired: the fade begins
    EXPECT_FALSE(f.clock->Running(CBalloonWnd::kCountdownTimer));
    EXPECT_TRUE(f.clock->Running(CBalloonWnd::kFadeTimer));
    f.Advance(1400);
    EXPECT_TRUE(f.balloon->isVisible());
    EXPECT_EQ(f.balloon->Alpha(), 255 - 14 * 17);
    f.Advance(100);
    EXPECT_FALSE(f.balloon->isVisible());
    EXPECT_TRUE(f.balloon->Messages().empty());
    EXPECT_FALSE(f.clock->Running(CBalloonWnd::kFadeTimer));
}

TEST(BalloonWnd, EqualMessageIsRefreshedNotDuplicated) {
    Fixture f;
    f.Show("A");
    f.Advance(3000);
    f.Show("B");
    f.Show("A");
    auto messages = f.balloon->Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, QStringLiteral("B"));
    EXPECT_EQ(messages[1].text, QStringLiteral("A"));
    EXPECT_EQ(messages[1].remainingMs, 5000u);
    // Same text under another title is another message.
    f.balloon->ShowMessage(QPoint(10, 10), QStringLiteral("Data Invalid"), QStringLiteral("A"), 3);
    EXPECT_EQ(f.balloon->Messages().size(), 3u);
}

TEST(BalloonWnd, ExpiredMessageLeavesAndBalloonShrinks) {
    Fixture f;
    f.Show("first");
    f.Advance(3000);
    f.Show("second line one\nsecond line two");
    const int tall = f.balloon->height();
    f.Advance(2000); // "first" runs out, "second" has 3 s left
    const auto messages = f.balloon->Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].remainingMs, 0u);
    EXPECT_EQ(messages[0].remainingMs, 3000u);
    EXPECT_LT(f.balloon->height(), tall);
    EXPECT_TRUE(f.balloon->isVisible());
}

TEST(BalloonWnd, HoverPausesAndLeaveGrantsAtLeastTwoSeconds) {
    Fixture f;
    f.Show("A");
    f.Advance(4000); // 1 s left
    f.MouseMove(QPoint(60, 40));
    EXPECT_TRUE(f.balloon->IsHovered());
    f.Advance(20000);
    EXPECT_TRUE(f.balloon->isVisible());
    EXPECT_EQ(f.balloon->Alpha(), 255);
    EXPECT_EQ(f.balloon->Messages().front().remainingMs, 1000u);

    f.Leave();
    EXPECT_FALSE(f.balloon->IsHovered());
    EXPECT_EQ(f.balloon->Messages().front().remainingMs, 2000u);
    f.Advance(1500);
    EXPECT_TRUE(f.balloon->isVisible());
    f.Advance(500 + 700); // expiry, then part of the fade
    EXPECT_LT(f.balloon->Alpha(), 255);

    // Hovering while it fades makes it opaque again; leaving brings the
    // expired message back for two more seconds.
    f.MouseMove(QPoint(60, 40));
    EXPECT_EQ(f.balloon->Alpha(), 255);
    f.Leave();
    EXPECT_EQ(f.balloon->Messages().front().remainingMs, 2000u);
    f.Advance(2000 + 1500);
    EXPECT_FALSE(f.balloon->isVisible());
}

TEST(BalloonWnd, CloseButtonHidesAtOnce) {
    Fixture f;
    f.Show("A");
    f.Show("B");
    const QRect close = f.balloon->CloseButtonRect();
    ASSERT_FALSE(close.isEmpty());
    EXPECT_EQ(close.right() + 1, f.balloon->width() - 10);
    f.Click(close.center());
    EXPECT_FALSE(f.balloon->isVisible());
    EXPECT_TRUE(f.balloon->Messages().empty());
    EXPECT_FALSE(f.clock->Running(CBalloonWnd::kCountdownTimer));
}

TEST(BalloonWnd, NothingShowsWhileTheOwnerIsHidden) {
    Fixture f;
    f.Show("A");
    ASSERT_TRUE(f.balloon->isVisible());
    f.owner.hide();
    EXPECT_FALSE(f.balloon->isVisible());
    EXPECT_TRUE(f.balloon->Messages().empty());
    f.Show("B");
    EXPECT_FALSE(f.balloon->isVisible());
    EXPECT_TRUE(f.balloon->Messages().empty());
}

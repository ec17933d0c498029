#pragma once
// Balloon tip of the numeric edit: a frameless, non-activating popup that
// points at a field, lists its messages newest first, counts each down, pauses
// while the mouse rests on it and fades away by itself.

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

#include "device/common/BaseLock.h"

// Drives the balloon's two timers. The default one runs on QTimer; tests put
// in one they step by hand.
class IBalloonClock {
public:
    virtual ~IBalloonClock() = default;
    virtual void Start(int timerId, int intervalMs) = 0;
    virtual void Stop(int timerId) = 0;
};

class CBalloonWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCountdownTimer = 1;
    static constexpr int kFadeTimer = 2;
    static constexpr int kCountdownMs = 500;
    static constexpr int kFadeMs = 100;
    static constexpr unsigned kDisplayMs = 5000;
    static constexpr unsigned kAfterLeaveMs = 2000;
    static constexpr int kFadeStep = 17;

    enum IconKind { IconNone = 0, IconInfo = 1, IconWarning = 2, IconError = 3 };

    // `owner` is the top-level window of the field; while it is not visible the
    // balloon shows nothing.
    explicit CBalloonWnd(QWidget* owner);
    ~CBalloonWnd() override;

    // Adds the message (or refreshes an equal one) and shows the balloon with
    // its top-left corner at `screenPoint`.
    void ShowMessage(const QPoint& screenPoint, const QString& title, const QString& text,
                     int icon);

    // One tick of timer 1 (countdown) or 2 (fade).
    void OnTimer(int timerId);
    void SetClock(std::unique_ptr<IBalloonClock> clock);

    struct Message {
        QString title;
        QString text;
        int icon = 0;
        unsigned remainingMs = 0;
    };
    [[nodiscard]] std::vector<Message> Messages() const;
    [[nodiscard]] int Alpha() const { return alpha_; }
    [[nodiscard]] bool IsHovered() const { return hovered_; }
    [[nodiscard]] QRect CloseButtonRect() const { return closeRect_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QString title;
        QString text;
        int icon = 0;
        unsigned remainingMs = 0;
        QSize titleSize;
        QSize textSize;
        QRect iconRect;
        QRect titleRect;
        QRect textRect;
    };

    void StopTimers();
    void ApplyAlpha();
    void Layout();
    void DismissAll();
    [[nodiscard]] bool OwnerVisible() const;
    void DrawIcon(QPainter& p, const QRect& r, int icon) const;

    QPointer<QWidget> owner_;
    std::unique_ptr<IBalloonClock> clock_;
    mutable CBaseLock lock_;
    std::vector<Entry> entries_; // newest first
    int alpha_ = 255;
    bool hovered_ = false;
    bool closeHot_ = false;
    QRect closeRect_;
    QFont warnFont_;
    QFont infoFont_;
    QFont titleFont_;
    QFont textFont_;
    QImage picture_;
};

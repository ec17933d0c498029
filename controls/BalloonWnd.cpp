#include "controls/BalloonWnd.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "controls/GdiplusHelpers.h"

namespace {

class QtBalloonClock final : public IBalloonClock {
public:
    explicit QtBalloonClock(CBalloonWnd* balloon) {
        countdown_.setParent(balloon);
        fade_.setParent(balloon);
        QObject::connect(&countdown_, &QTimer::timeout, balloon,
                         [balloon] { balloon->OnTimer(CBalloonWnd::kCountdownTimer); });
        QObject::connect(&fade_, &QTimer::timeout, balloon,
                         [balloon] { balloon->OnTimer(CBalloonWnd::kFadeTimer); });
    }
    ~QtBalloonClock() override {
        countdown_.setParent(nullptr);
        fade_.setParent(nullptr);
    }
    void Start(int timerId, int intervalMs) override {
        if (QTimer* t = Find(timerId))
            t->start(intervalMs);
    }
    void Stop(int timerId) override {
        if (QTimer* t = Find(timerId))
            t->stop();
    }

private:
    QTimer* Find(int id) {
        return id == CBalloonWnd::kCountdownTimer ? &countdown_
               : id == CBalloonWnd::kFadeTimer    ? &fade_
                                                  : nullptr;
    }
    QTimer countdown_;
    QTimer fade_;
};

// Key colour of the shape picture: pure red, with a little slack in green and blue.
bool IsKey(QRgb c) {
    return qRed(c) == 255 && qGreen(c) <= 16 && qBlue(c) <= 16;
}

// The window shape: every pixel of `shape` that is not key colour, gathered row
// by row from runs and merged in batches so huge shapes stay cheap.
QRegion RegionFromShape(const QImage& shape) {
    QRegion region;
    QRegion batch;
    int inBatch = 0;
    for (int y = 0; y < shape.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shape.constScanLine(y));
        int x = 0;
        while (x < shape.width()) {
            while (x < shape.width() && IsKey(row[x]))
                ++x;
            const int start = x;
            while (x < shape.width() && !IsKey(row[x]))
                ++x;
            if (x > start) {
                batch += QRect(start, y, x - start, 1);
                if (++inBatch == 2000) {
                    region += batch;
                    batch = QRegion();
                    inBatch = 0;
                }
            }
        }
    }
    return region + batch;
}

QString Lines(const QString& s) {
    QString out = s;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

} // namespace

CBalloonWnd::CBalloonWnd(QWidget* owner)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::NoDropShadowWindowHint),
      owner_(owner) {
    setObjectName(QStringLiteral("BALLOONWND"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    setAutoFillBackground(false);
    clock_ = std::make_unique<QtBalloonClock>(this);

    // Sizes follow the screen's vertical DPI: pixel height = points x DPI / 72.
    const double dpi = (owner != nullptr && owner->screen() != nullptr)
                           ? owner->screen()->logicalDotsPerInchY()
                           : (QGuiApplication::primaryScreen() != nullptr
                                  ? QGuiApplication::primaryScreen()->logicalDotsPerInchY()
                                  : 96.0);
    const QString family = ResolveFontFamily(QStringLiteral("黑体"));
    auto make = [&](int points) {
        QFont f(family);
        f.setWeight(QFont::Normal);
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpi / 72.0))));
        return f;
    };
    warnFont_ = make(10);
    infoFont_ = make(14);
    titleFont_ = make(14);
    textFont_ = make(9);

    if (owner_ != nullptr)
        owner_->installEventFilter(this);
}

CBalloonWnd::~CBalloonWnd() {
    if (owner_ != nullptr)
        owner_->removeEventFilter(this);
    clock_.reset();
}

void CBalloonWnd::SetClock(std::unique_ptr<IBalloonClock> clock) {
    if (clock_ != nullptr) {
        clock_->Stop(kCountdownTimer);
        clock_->Stop(kFadeTimer);
    }
    clock_ = std::move(clock);
}

std::vector<CBalloonWnd::Message> CBalloonWnd::Messages() const {
    CAutoBaseLock guard(lock_);
    std::vector<Message> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_)
        out.push_back({e.title, e.text, e.icon, e.remainingMs});
    return out;
}

bool CBalloonWnd::OwnerVisible() const {
    return owner_ != nullptr && owner_->isVisible();
}

void CBalloonWnd::StopTimers() {
    if (clock_ != nullptr) {
        clock_->Stop(kCountdownTimer);
        clock_->Stop(kFadeTimer);
    }
}

void CBalloonWnd::ApplyAlpha() {
    setWindowOpacity(std::clamp(alpha_, 0, 255) / 255.0);
}

void CBalloonWnd::DismissAll() {
    StopTimers();
    hide();
    CAutoBaseLock guard(lock_);
    entries_.clear();
}

void CBalloonWnd::ShowMessage(const QPoint& screenPoint, const QString& title, const QString& text,
                              int icon) {
    StopTimers();
    {
        CAutoBaseLock guard(lock_);
        auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& e) { return e.title == title && e.text == text; });
        if (it != entries_.end()) {
            it->icon = icon;
            it->remainingMs = kDisplayMs;
        } else {
            Entry e;
            e.title = title;
            e.text = text;
            e.icon = icon;
            e.remainingMs = kDisplayMs;
            entries_.insert(entries_.begin(), std::move(e));
        }
    }
    // A balloon whose window is not on screen would point at nothing.
    if (!OwnerVisible()) {
        DismissAll();
        return;
    }
    move(screenPoint);
    Layout();

    QPointer<QWidget> focused = QApplication::focusWidget();
    show();
    raise();
    if (focused != nullptr && QApplication::focusWidget() != focused)
        focused->setFocus(Qt::OtherFocusReason);

    hovered_ = false;
    alpha_ = 255;
    ApplyAlpha();
    if (clock_ != nullptr)
        clock_->Start(kCountdownTimer, kCountdownMs);
}

void CBalloonWnd::Layout() {
    int y = 32;
    int r = 0;
    {
        CAutoBaseLock guard(lock_);
        const QFontMetrics titleFm(titleFont_);
        const QFontMetrics textFm(textFont_);
        for (Entry& e : entries_) {
            if (e.remainingMs == 0)
                continue;
            e.titleSize = titleFm.size(0, Lines(e.title));
            e.textSize = textFm.size(0, Lines(e.text));
            // Rectangles as (left, top, right, bottom) with exclusive right and bottom.
            e.iconRect = QRect(QPoint(14, y), QPoint(44 - 1, y + 30 - 1));
            e.titleRect = QRect(QPoint(54, y), QPoint(e.titleSize.width() + 56 - 1,
                                                      y + e.titleSize.height() + 2 - 1));
            const int titleBottom = y + e.titleSize.height() + 2;
            e.textRect = QRect(
                QPoint(54, titleBottom + 2),
                QPoint(e.textSize.width() + 56 - 1, titleBottom + 4 + e.textSize.height() - 1));
            r = std::max({r, e.titleSize.width() + 56, e.textSize.width() + 56});
            y = std::max(y + 30, titleBottom + 4 + e.textSize.height()) + 8;
        }
    }
    const int w = (r + 40 + 3) / 4 * 4;
    const int h = y + 6;
    closeRect_ = QRect(QPoint(w - 30, 32), QPoint(w - 10 - 1, 52 - 1));

    // Shape: pointer triangle and rounded body on a key-coloured ground.
    QImage shape(w, h, QImage::Format_RGB32);
    shape.fill(QColor(255, 0, 0));
    {
        QPainter p(&shape);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRect(0, 20, w - 1, h - 20 - 1), 7, 7);
        const QPoint tri[3] = {QPoint(20, 0), QPoint(20, 20), QPoint(40, 20)};
        p.drawPolygon(tri, 3);
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(QPoint(20, 20), QPoint(39, 20));
    }

    // Picture: the shape's outline and fill, then each live entry.
    picture_ = shape.convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&picture_);
        p.setRenderHint(QPainter::Antialiasing, false);
        CAutoBaseLock guard(lock_);
        for (const Entry& e : entries_) {
            if (e.remainingMs == 0)
                continue;
            DrawIcon(p, e.iconRect, e.icon);
            p.setFont(titleFont_);
            p.setPen(QColor(0x00, 0x33, 0x99));
            p.setBackground(Qt::white);
            p.setBackgroundMode(Qt::OpaqueMode);
            p.drawText(e.titleRect, Qt::AlignLeft | Qt::AlignTop, Lines(e.title));
            p.setBackgroundMode(Qt::TransparentMode);
            p.setFont(textFont_);
            p.setPen(Qt::black);
            p.drawText(e.textRect, Qt::AlignLeft | Qt::AlignTop, Lines(e.text));
        }
    }

    if (!OwnerVisible()) {
        DismissAll();
        return;
    }
    setMask(RegionFromShape(shape));
    resize(w, h);
    update();
}

void CBalloonWnd::DrawIcon(QPainter& p, const QRect& r, int icon) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    switch (icon) {
    case 1:
    case 4:
        p.setPen(QPen(QColor(0x00, 0x4E, 0x8C), 1));
        p.setBrush(QColor(0x00, 0x78, 0xD7));
        p.drawEllipse(r);
        p.setFont(infoFont_);
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("i"));
        break;
    case 2:
    case 5: {
        p.setPen(QPen(QColor(0xFF, 0xB9, 0x00), 1));
        p.setBrush(QColor(0xFC, 0xE1, 0x00));
        const QPoint tri[3] = {QPoint(r.center().x(), r.top()), r.bottomLeft(), r.bottomRight()};
        p.drawPolygon(tri, 3);
        p.setFont(warnFont_);
        p.setPen(Qt::black);
        p.drawText(r.adjusted(0, 0, 0, -1), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                   QStringLiteral("!"));
        break;
    }
    case 3:
    case 6:
        p.setPen(QPen(QColor(0xA5, 0x26, 0x13), 1));
        p.setBrush(QColor(0xF0, 0x3A, 0x17));
        p.drawEllipse(r);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPoint(r.left() + 8, r.top() + 8),
                   QPoint(r.right() + 1 - 8, r.bottom() + 1 - 8));
        p.drawLine(QPoint(r.left() + 8, r.bottom() + 1 - 8),
                   QPoint(r.right() + 1 - 8, r.top() + 8));
        break;
    default:
        break;
    }
    p.restore();
}

void CBalloonWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!picture_.isNull())
        p.drawImage(0, 0, picture_);
    if (closeRect_.isEmpty())
        return;
    const QPalette& pal = palette();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(closeHot_ ? pal.color(QPalette::Active, QPalette::Highlight).darker(130)
                            : pal.color(QPalette::Inactive, QPalette::Mid),
                  1));
    p.setBrush(closeHot_ ? pal.color(QPalette::Active, QPalette::Highlight)
                         : pal.color(QPalette::Button));
    p.drawEllipse(closeRect_);
    p.setPen(QPen(closeHot_ ? Qt::white : Qt::black, 3));
    const QRect& c = closeRect_;
    p.drawLine(QPoint(c.left() + 6, c.top() + 6), QPoint(c.right() + 1 - 6, c.bottom() + 1 - 6));
    p.drawLine(QPoint(c.left() + 6, c.bottom() + 1 - 6), QPoint(c.right() + 1 - 6, c.top() + 6));
}

void CBalloonWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!hovered_ && alpha_ > 0) {
        StopTimers();
        alpha_ = 255;
        ApplyAlpha();
        hovered_ = true;
    }
    const bool hot = closeRect_.contains(event->position().toPoint());
    if (hot != closeHot_) {
        closeHot_ = hot;
        update();
    }
}

void CBalloonWnd::leaveEvent(QEvent*) {
    if (closeHot_) {
        closeHot_ = false;
        update();
    }
    if (!hovered_)
        return;
    hovered_ = false;
    {
        CAutoBaseLock guard(lock_);
        for (Entry& e : entries_)
            e.remainingMs = std::max(e.remainingMs, kAfterLeaveMs);
    }
    if (clock_ != nullptr)
        clock_->Start(kCountdownTimer, kCountdownMs);
}

void CBalloonWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        raise();
}

void CBalloonWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && closeRect_.contains(event->position().toPoint()))
        DismissAll();
}

bool CBalloonWnd::eventFilter(QObject* watched, QEvent* event) {
    // The owner went away from the screen: nothing to point at any more.
    if (watched == owner_ && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
        bool any = isVisible();
        {
            CAutoBaseLock guard(lock_);
            any = any || !entries_.empty();
        }
        if (any)
            DismissAll();
    }
    return QWidget::eventFilter(watched, event);
}

void CBalloonWnd::OnTimer(int timerId) {
    if (timerId == kCountdownTimer) {
        bool anyLeft = false;
        bool expired = false;
        {
            CAutoBaseLock guard(lock_);
            for (Entry& e : entries_) {
                if (e.remainingMs > static_cast<unsigned>(kCountdownMs)) {
                    e.remainingMs -= kCountdownMs;
                } else if (e.remainingMs > 0) {
                    e.remainingMs = 0;
                    expired = true;
                }
                if (e.remainingMs > 0)
                    anyLeft = true;
            }
        }
        if (!anyLeft) {
            if (clock_ != nullptr)
                clock_->Stop(kCountdownTimer);
            alpha_ = 255;
            if (clock_ != nullptr)
                clock_->Start(kFadeTimer, kFadeMs);
        } else if (expired) {
            Layout();
        }
    } else if (timerId == kFadeTimer) {
        alpha_ -= kFadeStep;
        ApplyAlpha();
        if (alpha_ <= 0) {
            alpha_ = 0;
            DismissAll();
        }
    }
}

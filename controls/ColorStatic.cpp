#include "controls/ColorStatic.h"

#include <QFontMetricsF>
#include <QPainter>

#include "controls/ASkinButton.h"
#include "controls/WidgetReplace.h"

CColorStatic::CColorStatic(QWidget* parent) : QLabel(parent) {
    background_ = palette().color(QPalette::Button);
    background_.setAlpha(255);
    textColour_ = palette().color(QPalette::ButtonText);
}

CColorStatic::~CColorStatic() = default;

CColorStatic* CColorStatic::Attach(QLabel* label) {
    if (label == nullptr)
        return nullptr;
    auto* colour = new CColorStatic(label->parentWidget()); // owned by the parent
    colour->setText(label->text());
    ReplaceFormWidget(label, colour);
    return colour;
}

void CColorStatic::SetLabelStyle(const CGdiplusBitmap* image, int fontPoints) {
    QFont font(ResolveFontFamily(QStringLiteral("黑体")));
    font.setPixelSize(std::max(1, FontPointsToPixels(fontPoints, logicalDpiY())));
    setFont(font);
    hAlign_ = Near;
    vAlign_ = Centre;
    formatFlags_ = Qt::TextWordWrap;
    lineSpacing_ = 0;
    textColour_ = QColor(255, 255, 255);
    image_ = Gdiplus_CopyBitmap(image);
    background_ = QColor::fromRgba(0xFF2A323C);
    update();
}

void CColorStatic::SetTextAlign(Align horizontal, Align vertical) {
    hAlign_ = horizontal;
    vAlign_ = vertical;
    update();
}

void CColorStatic::SetFormatFlags(int flags) {
    formatFlags_ = flags;
    update();
}

void CColorStatic::SetLineSpacing(int pixels) {
    lineSpacing_ = pixels;
    update();
}

void CColorStatic::SetBkColor(const QColor& colour) {
    background_ = colour;
    update();
}

void CColorStatic::SetTextColor(const QColor& colour) {
    textColour_ = colour;
    update();
}

int CColorStatic::TextFlags() const {
    static constexpr Qt::AlignmentFlag kH[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr Qt::AlignmentFlag kV[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return kH[hAlign_] | kV[vAlign_] | formatFlags_;
}

std::vector<QRectF> CColorStatic::LayoutLines(const QRectF& rect, const std::vector<float>& heights,
                                              int lineSpacing, Align vertical) {
    const auto n = static_cast<float>(heights.size());
    float total = 0.0f;
    for (const float h : heights)
        total += h;
    const auto top = static_cast<float>(rect.top());
    const auto r = static_cast<float>(rect.height());
    const float gap = lineSpacing > 0 ? static_cast<float>(lineSpacing) : (r - total) / (n + 1.0f);
    float y = top + gap; // near
    if (vertical == Centre)
        y = top + gap + (r - total - (n + 1.0f) * gap) / 2.0f;
    else if (vertical == Far)
        y = top + r - total - n * gap; // from the bottom edge
    std::vector<QRectF> boxes;
    boxes.reserve(heights.size());
    for (const float h : heights) {
        boxes.emplace_back(rect.left(), y, rect.width(), h);
        y += h + gap;
    }
    return boxes;
}

void CColorStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRectF r(rect());
    if (image_)
        (void)Gdiplus_DrawBitmap(&painter, r, image_.get(), {}, 4);
    else
        painter.fillRect(r, background_);
    const QString content = text();
    if (content.isEmpty())
        return;
    const int flags = TextFlags();
    const auto argb = static_cast<std::uint32_t>(textColour_.rgba());
    if (lineSpacing_ < 0) {
        (void)Gdiplus_DrawText(&painter, content, r, argb, font(), flags);
        return;
    }
    QStringList lines = content.split(QLatin1Char('\n'));
    std::vector<float> heights;
    heights.reserve(static_cast<std::size_t>(lines.size()));
    const QFontMetricsF fm(font(), this);
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QRectF box =
            fm.boundingRect(QRectF(0, 0, r.width(), 1e6), flags & ~Qt::AlignVertical_Mask, line);
        heights.push_back(static_cast<float>(line.isEmpty() ? fm.height() : box.height()));
    }
    const std::vector<QRectF> boxes = LayoutLines(r, heights, lineSpacing_, vAlign_);
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            (void)Gdiplus_DrawText(&painter, lines[i], boxes[static_cast<std::size_t>(i)], argb,
                                   font(), flags);
}

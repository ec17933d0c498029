#include "controls/GdiplusHelpers.h"

#include <QFontDatabase>
#include <QFontMetrics>

// Provisional: a complete bitmap helper library replaces this file.
int Gdiplus_CalcFontSize(QPainter* target, const QString& text, int maxWidth, int maxHeight,
                         const QString& family, int startSize, int fontStyle, int textFlags) {
    for (int size = startSize; size >= 1; --size) {
        QFont font(ResolveFontFamily(family));
        font.setPointSize(size);
        font.setBold((fontStyle & 1) != 0);
        font.setItalic((fontStyle & 2) != 0);
        const QFontMetrics fm(font, target != nullptr ? target->device() : nullptr);
        const QRect r = fm.boundingRect(QRect(0, 0, maxWidth, maxHeight), textFlags, text);
        if (r.width() <= maxWidth && r.height() <= maxHeight)
            return size;
    }
    return 0;
}

QString ResolveFontFamily(const QString& family) {
    const QStringList families = QFontDatabase::families();
    if (!family.isEmpty() && family != QStringLiteral("黑体") && families.contains(family))
        return family;
    for (const QString& f :
         {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans CJK"),
          QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Droid Sans Fallback")})
        if (families.contains(f))
            return f;
    return QStringLiteral("Sans Serif");
}

#pragma once
// Bitmap helpers on QImage (the imaging layer of the tool's own controls).

#include <QPainter>
#include <QString>

// The largest size in points, not above startSize, at which `text` fits in
// maxWidth x maxHeight pixels when drawn on `target` with the family (falling
// back as ResolveFontFamily does), style (bit 0 bold, bit 1 italic) and Qt text
// flags; 0 when even size 1 does not fit.
int Gdiplus_CalcFontSize(QPainter* target, const QString& text, int maxWidth, int maxHeight,
                         const QString& family, int startSize, int fontStyle, int textFlags);

// "黑体" and any family the system lacks resolve to an installed CJK sans family
// (Noto Sans CJK), so both languages render.
QString ResolveFontFamily(const QString& family);

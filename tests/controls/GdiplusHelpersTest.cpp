#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <vector>

#include "controls/GdiplusHelpers.h"

namespace {

GdiplusBitmapPtr Filled(int w, int h, QRgb argb) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(argb));
    return std::make_unique<CGdiplusBitmap>(image);
}

QByteArray Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

TEST(GdiplusGray, WeightsColoursAndKeepsAlphaPerFormat) {
    struct Case {
        QRgb in;
        QRgb out;
    };
    const Case argb[] = {
        {qRgba(255, 0, 0, 200), qRgba(76, 76, 76, 200)}, // (77 * 255) >> 8
        {qRgba(255, 255, 255, 255), qRgba(255, 255, 255, 255)},
        {qRgba(0, 255, 0, 10), qRgba(149, 149, 149, 10)},
        {qRgba(0, 0, 255, 0), qRgba(28, 28, 28, 0)},
    };
    for (const Case& c : argb) {
        const auto src = Filled(3, 2, c.in);
        const auto grey = Gdiplus_Gray(src.get());
        ASSERT_TRUE(grey);
        EXPECT_EQ(grey->GetPixelFormat(), kPixelFormat32bppARGB);
        EXPECT_EQ(grey->Image().pixel(2, 1), c.out) << std::hex << c.in;
        EXPECT_EQ(src->Image().pixel(2, 1), c.in); // the source is untouched
    }

    QImage rgb24(2, 2, QImage::Format_BGR888);
    rgb24.fill(QColor(30, 20, 10)); // (77*30 + 150*20 + 29*10) >> 8 = 21
    const CGdiplusBitmap src24(rgb24);
    const auto grey24 = Gdiplus_Gray(&src24);
    ASSERT_TRUE(grey24);
    EXPECT_EQ(grey24->GetPixelFormat(), kPixelFormat24bppRGB);
    EXPECT_EQ(grey24->Image().pixel(1, 1), qRgb(21, 21, 21));

    QImage indexed(4, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int x = 0; x < 4; ++x)
        indexed.setPixel(x, 0, static_cast<uint>(x % 2));
    const CGdiplusBitmap src8(indexed);
    const auto grey8 = Gdiplus_Gray(&src8);
    ASSERT_TRUE(grey8);
    EXPECT_EQ(grey8->Image(), indexed); // rows copied unchanged

    EXPECT_FALSE(Gdiplus_Gray(nullptr));
}

TEST(GdiplusCopyBitmap, SameSizeFormatAndContentOrNone) {
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgba(x * 40, y * 80, 7, 100 + x));
    const CGdiplusBitmap src(image);
    const auto copy = Gdiplus_CopyBitmap(&src);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Image(), image);
    EXPECT_EQ(copy->GetPixelFormat(), kPixelFormat32bppARGB);
    copy->Image().setPixel(0, 0, 0);
    EXPECT_EQ(src.Image().pixel(0, 0), image.pixel(0, 0)); // a deep copy
    EXPECT_FALSE(Gdiplus_CopyBitmap(nullptr));
}

TEST(GdiplusResizeBitmap, ResultSizesPerMode) {
    const auto src = Filled(200, 100, qRgba(255, 0, 0, 255));
    struct Case {
        int mode;
        QSize size;
    };
    const Case cases[] = {
        {0, {100, 100}}, {1, {100, 50}}, {2, {200, 100}}, {3, {100, 50}}, {4, {200, 100}}};
    for (const Case& c : cases) {
        const auto out = Gdiplus_ResizeBitmap(src.get(), 100, 100, c.mode, 0);
        ASSERT_TRUE(out) << "mode " << c.mode;
        EXPECT_EQ(out->Image().size(), c.size) << "mode " << c.mode;
        EXPECT_EQ(out->GetPixelFormat(), kPixelFormat32bppARGB);
    }
    EXPECT_FALSE(Gdiplus_ResizeBitmap(src.get(), 100, 100, 5, 0));
    EXPECT_FALSE(Gdiplus_ResizeBitmap(src.get(), 100, 100, -1, 0));
    EXPECT_FALSE(Gdiplus_ResizeBitmap(src.get(), 0, 100, 0, 0));
    EXPECT_FALSE(Gdiplus_ResizeBitmap(nullptr, 100, 100, 0, 0));
}

TEST(GdiplusResizeBitmap, TruncatedSizeLeavesNoBackgroundStrip) {
    // 10 x 105 to width 1: s = 0.1, 1 x 10 result and a source offset of 2 rows;
    // the whole result must be picture, none of the transparent background.
    const auto src = Filled(10, 105, qRgba(0, 0, 255, 255));
    const auto out = Gdiplus_ResizeBitmap(src.get(), 1, 50, 3, 0x00000000);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->Image().size(), QSize(1, 10));
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(out->Image().pixel(0, y), qRgba(0, 0, 255, 255)) << "row " << y;

    // Fit inside keeps the left and right halves where they belong.
    QImage halves(200, 100, QImage::Format_ARGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 100; ++y)
        for (int x = 100; x < 200; ++x)
            halves.setPixel(x, y, qRgb(0, 255, 0));
    const CGdiplusBitmap hb(halves);
    const auto fit = Gdiplus_ResizeBitmap(&hb, 100, 100, 1, 0xFF000000);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->Image().pixel(10, 25), qRgb(255, 0, 0));
    EXPECT_EQ(fit->Image().pixel(90, 25), qRgb(0, 255, 0));
}

TEST(GdiplusCreateColorBmp, FillsWithTheArgbColour) {
    const auto bmp = Gdiplus_CreateColorBmp(3, 4, 0x80FF2000);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->Image().size(), QSize(3, 4));
    EXPECT_EQ(bmp->Image().pixel(2, 3), qRgba(0xFF, 0x20, 0x00, 0x80));
    EXPECT_FALSE(Gdiplus_CreateColorBmp(0, 4, 0));
}

TEST(GdiplusGetBitmapBuffer, CopiesOnlyThePartInsideTheImage) {
    QImage image(4, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, qRgba(x, y, 0, 255));
    const CGdiplusBitmap bmp(image);

    // 5 x 5 destination, pitch 20; the rectangle (2, 2, 4, 4) reaches 2 past each edge.
    std::vector<QRgb> dest(25, 0xDEADBEEF);
    ASSERT_TRUE(
        Gdiplus_GetBitmapBuffer(&bmp, QRect(2, 2, 4, 4), kPixelFormat32bppARGB, dest.data(), 20));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const QRgb expected = (x < 2 && y < 2) ? qRgba(2 + x, 2 + y, 0, 255) : 0xDEADBEEF;
            EXPECT_EQ(dest[static_cast<std::size_t>(y * 5 + x)], expected) << x << "," << y;
        }

    // 24-bit rows: 3 pixels take 12 bytes (rounded to whole 32-bit words).
    std::array<std::uint8_t, 32> rgb{};
    rgb.fill(0xAA);
    ASSERT_TRUE(
        Gdiplus_GetBitmapBuffer(&bmp, QRect(1, 3, 3, 1), kPixelFormat24bppRGB, rgb.data(), 16));
    EXPECT_EQ(rgb[0], 0); // blue
    EXPECT_EQ(rgb[1], 3); // green = y
    EXPECT_EQ(rgb[2], 1); // red = x
    EXPECT_EQ(rgb[8], 3);
    EXPECT_EQ(rgb[12], 0xAA);

    EXPECT_FALSE(
        Gdiplus_GetBitmapBuffer(&bmp, QRect(10, 10, 2, 2), kPixelFormat32bppARGB, dest.data(), 20));
    EXPECT_FALSE(Gdiplus_GetBitmapBuffer(nullptr, QRect(0, 0, 2, 2), kPixelFormat32bppARGB,
                                         dest.data(), 20));
}

TEST(GdiplusBitmapOK, StatusIsReadAndReset) {
    const auto bmp = Filled(2, 2, 0xFFFFFFFF);
    EXPECT_TRUE(Gdiplus_BitmapOK(bmp.get()));
    std::array<QRgb, 4> dest{};
    EXPECT_FALSE(Gdiplus_GetBitmapBuffer(bmp.get(), QRect(0, 0, 2, 2), 0x1234, dest.data(), 8));
    EXPECT_FALSE(Gdiplus_BitmapOK(bmp.get()));
    EXPECT_TRUE(Gdiplus_BitmapOK(bmp.get()));

    EXPECT_FALSE(Gdiplus_GetBitmapBuffer(bmp.get(), QRect(0, 0, 2, 2), 0x1234, dest.data(), 8));
    EXPECT_EQ(Gdiplus_BitmapLastError(bmp.get()), GdiplusInvalidParameter);
    EXPECT_EQ(Gdiplus_BitmapLastError(bmp.get()), GdiplusOk);
    EXPECT_EQ(Gdiplus_BitmapLastError(nullptr), GdiplusGenericError);
    EXPECT_FALSE(Gdiplus_BitmapOK(nullptr));
}

TEST(GdiplusCalcFontSize, LargestFittingSizeOrZero) {
    QImage canvas(400, 200, QImage::Format_ARGB32);
    QPainter painter(&canvas);
    const QString text = QStringLiteral("Target Range: 2.35 m");
    const int flags = Qt::AlignCenter;
    EXPECT_EQ(Gdiplus_CalcFontSize(&painter, text, 4, 4, QStringLiteral("黑体"), 1, 0, flags), 0);
    EXPECT_EQ(
        Gdiplus_CalcFontSize(&painter, text, 4000, 2000, QStringLiteral("黑体"), 12, 0, flags), 12);

    const int size =
        Gdiplus_CalcFontSize(&painter, text, 150, 40, QStringLiteral("黑体"), 72, 1, flags);
    ASSERT_GT(size, 1);
    ASSERT_LT(size, 72);
    QFont font(ResolveFontFamily(QStringLiteral("黑体")));
    font.setBold(true);
    font.setPointSize(size);
    EXPECT_LE(QFontMetricsF(font, &canvas).size(flags, text).width(), 150);
    font.setPointSize(size + 1);
    const QSizeF bigger = QFontMetricsF(font, &canvas).size(flags, text);
    EXPECT_TRUE(bigger.width() > 150 || bigger.height() > 40);
}

TEST(GdiplusLoadBitmapFromData, DecodesAndRejectsBadInput) {
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 40));
    const QByteArray png = Encode(image, "PNG");
    const auto bmp =
        Gdiplus_LoadBitmapFromData(png.constData(), static_cast<std::size_t>(png.size()));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->Image().size(), QSize(7, 5));
    EXPECT_EQ(bmp->Image().pixel(6, 4), qRgba(10, 20, 30, 40));

    const QByteArray garbage(100, 'x');
    EXPECT_FALSE(Gdiplus_LoadBitmapFromData(garbage.constData(), 100));
    EXPECT_FALSE(Gdiplus_LoadBitmapFromData(png.constData(), 0));
    EXPECT_FALSE(Gdiplus_LoadBitmapFromData(nullptr, 10));
    EXPECT_FALSE(Gdiplus_LoadBitmapFromData(png.constData(), 20)); // truncated file
}

TEST(GdiplusPictureTypes, ExtensionsMimeTypesAndEncoders) {
    struct Case {
        const char* name;
        int type;
        const char* mime;
    };
    const Case cases[] = {{"a.BMP", 0, "image/bmp"},   {"b.jpg", 1, "image/jpeg"},
                          {"c.Jpeg", 1, "image/jpeg"}, {"d.gif", 2, "image/gif"},
                          {"e.tiff", 3, "image/tiff"}, {"f.png", 4, "image/png"},
                          {"g.tif", 4, "image/png"},   {"noext", 4, "image/png"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Gdiplus_GetPictureTypeByFileNameA(c.name), c.type) << c.name;
        EXPECT_EQ(Gdiplus_GetMimeTypeByPictureType(c.type), QString::fromLatin1(c.mime)) << c.name;
    }
    EXPECT_EQ(Gdiplus_GetMimeTypeByPictureType(99), QStringLiteral("image/bmp"));

    QByteArray encoder;
    ASSERT_TRUE(Gdiplus_GetEncoderClsidByFormatTypeA("IMAGE/PNG", encoder));
    EXPECT_EQ(encoder, "png");
    EXPECT_TRUE(Gdiplus_GetEncoderClsidByPictureType(GdiplusPictureJpeg, encoder));
    EXPECT_TRUE(Gdiplus_GetEncoderClsidByPictureType(GdiplusPictureBmp, encoder));
    EXPECT_FALSE(Gdiplus_GetEncoderClsidByFormatTypeW(QStringLiteral("image/nothing"), encoder));
    EXPECT_TRUE(Gdiplus_GetStringFormat(0x0401)); // Arabic
    EXPECT_TRUE(Gdiplus_GetStringFormat(0x1040D));
    EXPECT_FALSE(Gdiplus_GetStringFormat(0x0804));
}

TEST(GdiplusFiles, SaveLoadAndConvert) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto bmp = Filled(6, 4, qRgba(200, 100, 50, 255));
    const QString png = dir.filePath(QStringLiteral("pic.png"));
    ASSERT_TRUE(Gdiplus_SaveBitmapToFileW(bmp.get(), png));
    const auto loaded = Gdiplus_LoadBitmapFromFileW(png);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Image().pixel(5, 3), qRgba(200, 100, 50, 255));
    EXPECT_FALSE(Gdiplus_LoadBitmapFromFileW(dir.filePath(QStringLiteral("missing.png"))));
    EXPECT_FALSE(Gdiplus_LoadBitmapFromFileW(dir.path())); // a directory

    QString converted;
    ASSERT_TRUE(Gdiplus_ConvertImageFormatW(png, converted, GdiplusPictureBmp));
    EXPECT_TRUE(QFileInfo(converted).fileName().startsWith(QStringLiteral("Temp_")));
    EXPECT_TRUE(converted.endsWith(QStringLiteral(".bmp")));
    const auto fromBmp = Gdiplus_LoadBitmapFromFileW(converted);
    ASSERT_TRUE(fromBmp);
    EXPECT_EQ(fromBmp->Image().pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_FALSE(
        Gdiplus_ConvertImageFormatW(dir.filePath(QStringLiteral("missing.png")), converted, 4));
}

TEST(GdiplusAlpha, SetAlphaInRangeAndRegionFromAlpha) {
    QImage image(70, 70, QImage::Format_ARGB32);
    image.fill(qRgba(1, 2, 3, 0));
    // A checkerboard of 1-pixel opaque runs: 2450 runs, more than one batch of 2000.
    QRegion expected;
    for (int y = 0; y < 70; ++y)
        for (int x = (y % 2); x < 70; x += 2) {
            image.setPixel(x, y, qRgba(1, 2, 3, 255));
            expected += QRect(x, y, 1, 1);
        }
    CGdiplusBitmap bmp(image);
    const auto sameArea = [](const QRegion& a, const QRegion& b) { return a.xored(b).isEmpty(); };
    EXPECT_TRUE(sameArea(Gdiplus_CreateRgnFromBitmap(&bmp, 128), expected));
    EXPECT_TRUE(sameArea(Gdiplus_CreateRgnFromBitmap(&bmp, 0), QRegion(0, 0, 70, 70)));
    EXPECT_FALSE(sameArea(Gdiplus_CreateRgnFromBitmap(&bmp, 128), QRegion(0, 0, 70, 70)));
    EXPECT_TRUE(Gdiplus_CreateRgnFromBitmap(nullptr, 1).isEmpty());

    // Only pixels with alpha 0..10 inside the rectangle change; colours stay.
    ASSERT_TRUE(Gdiplus_SetBitmapAlpha(&bmp, QRect(0, 0, 10, 10), 77, 0, 10));
    EXPECT_EQ(bmp.Image().pixel(1, 0), qRgba(1, 2, 3, 77));
    EXPECT_EQ(bmp.Image().pixel(0, 0), qRgba(1, 2, 3, 255));
    EXPECT_EQ(bmp.Image().pixel(11, 0), qRgba(1, 2, 3, 0));
    ASSERT_TRUE(Gdiplus_SetBitmapAlpha(&bmp, QRect(-5, -5, 500, 500), 9, 255, 255)); // clipped
    EXPECT_EQ(bmp.Image().pixel(69, 69), qRgba(1, 2, 3, 9));
}

TEST(GdiplusDisposeBitmapByMode, CropTileCentreAndStretch) {
    // 4 x 2: left half red, right half blue.
    QImage image(4, 2, QImage::Format_ARGB32);
    image.fill(Qt::red);
    for (int y = 0; y < 2; ++y)
        for (int x = 2; x < 4; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    const CGdiplusBitmap bmp(image);

    const auto tiled = Gdiplus_DisposeBitmapByMode(&bmp, 6, 3, 2, 0xFF00FF00);
    ASSERT_TRUE(tiled);
    EXPECT_EQ(tiled->Image().pixel(4, 2), qRgb(255, 0, 0)); // second tile, cut
    EXPECT_EQ(tiled->Image().pixel(3, 0), qRgb(0, 0, 255));

    const auto centred = Gdiplus_DisposeBitmapByMode(&bmp, 8, 4, 3, 0xFF00FF00);
    ASSERT_TRUE(centred);
    EXPECT_EQ(centred->Image().pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(centred->Image().pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_EQ(centred->Image().pixel(5, 2), qRgb(0, 0, 255));

    const auto cropped =
        Gdiplus_DisposeBitmapByMode(&bmp, 2, 2, 0, 0); // centre 2 x 2 of the source
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->Image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(cropped->Image().pixel(1, 1), qRgb(0, 0, 255));

    EXPECT_EQ(Gdiplus_DisposeBitmapByMode(&bmp, 9, 9, 4, 0)->Image().size(), QSize(9, 9));
    EXPECT_EQ(Gdiplus_DisposeBitmapByMode(&bmp, 9, 9, 1, 0)->Image().size(), QSize(9, 4));
    EXPECT_FALSE(Gdiplus_DisposeBitmapByMode(&bmp, 9, 9, 5, 0));
}

TEST(GdiplusDrawing, RectOutlineStaysInsideAndTextNeedsAPainter) {
    QImage canvas(20, 20, QImage::Format_ARGB32);
    canvas.fill(0);
    {
        QPainter painter(&canvas);
        EXPECT_EQ(Gdiplus_DrawRect(&painter, QRectF(5, 5, 10, 10), 0xFFFF0000, 2.0f), GdiplusOk);
    }
    EXPECT_EQ(canvas.pixel(5, 5), qRgba(255, 0, 0, 255));
    EXPECT_EQ(canvas.pixel(14, 14), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(canvas.pixel(15, 15)), 0);
    EXPECT_EQ(qAlpha(canvas.pixel(4, 4)), 0);
    EXPECT_EQ(qAlpha(canvas.pixel(10, 10)), 0);

    EXPECT_EQ(Gdiplus_DrawText(nullptr, QStringLiteral("x"), QRectF(), 0, QFont(), 0),
              GdiplusInvalidParameter);
    const auto bmp = Filled(2, 2, 0xFF0000FF);
    QImage target(8, 8, QImage::Format_ARGB32);
    target.fill(0);
    {
        QPainter painter(&target);
        EXPECT_EQ(Gdiplus_DrawAlphaBitmap(&painter, QRectF(0, 0, 8, 8), bmp.get(), {}, true, 128),
                  GdiplusOk);
    }
    EXPECT_NEAR(qAlpha(target.pixel(4, 4)), 128, 2);
}

#include "controls/GdiplusHelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImageReader>
#include <QImageWriter>
#include <QMimeDatabase>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "device/common/FileUtil.h"

namespace {

QColor ArgbColor(std::uint32_t argb) {
    return QColor::fromRgba(static_cast<QRgb>(argb)); // QRgb is 0xAARRGGBB as well
}

GdiplusBitmapPtr MakeBitmap(QImage image) {
    if (image.isNull())
        return nullptr;
    return std::make_unique<CGdiplusBitmap>(std::move(image));
}

bool HasImage(const CGdiplusBitmap* bitmap) {
    return bitmap != nullptr && !bitmap->Image().isNull();
}

// Draws `source` of `image` into `destination` of `canvas` with smooth scaling.
void DrawScaled(QImage& canvas, const QRectF& destination, const QImage& image,
                const QRectF& source) {
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(destination, image, source);
}

QImage ArgbCanvas(int width, int height, std::uint32_t argb) {
    if (width < 1 || height < 1)
        return {};
    QImage canvas(width, height, QImage::Format_ARGB32);
    if (!canvas.isNull())
        canvas.fill(ArgbColor(argb));
    return canvas;
}

QString ExtensionOfType(int pictureType) {
    switch (pictureType) {
    case GdiplusPictureJpeg:
        return QStringLiteral(".jpg");
    case GdiplusPictureGif:
        return QStringLiteral(".gif");
    case GdiplusPictureTiff:
        return QStringLiteral(".tif");
    case GdiplusPicturePng:
        return QStringLiteral(".png");
    default:
        return QStringLiteral(".bmp");
    }
}

// Fit (cover = false) or cover (cover = true) `size` into `box`, centred.
QRectF Proportional(const QSizeF& size, const QRectF& box, bool cover) {
    if (size.isEmpty())
        return box;
    const double sx = box.width() / size.width();
    const double sy = box.height() / size.height();
    const double s = cover ? std::max(sx, sy) : std::min(sx, sy);
    const QSizeF scaled(size.width() * s, size.height() * s);
    return QRectF(box.center().x() - scaled.width() / 2, box.center().y() - scaled.height() / 2,
                  scaled.width(), scaled.height());
}

} // namespace

QImage::Format GdiplusQImageFormat(int pixelFormat) {
    switch (pixelFormat) {
    case kPixelFormat8bppIndexed:
        return QImage::Format_Indexed8;
    case kPixelFormat24bppRGB:
        return QImage::Format_BGR888;
    case kPixelFormat32bppRGB:
        return QImage::Format_RGB32;
    case kPixelFormat32bppARGB:
        return QImage::Format_ARGB32;
    case kPixelFormat32bppPARGB:
        return QImage::Format_ARGB32_Premultiplied;
    default:
        return QImage::Format_Invalid;
    }
}

int GdiplusPixelFormat(QImage::Format format) {
    switch (format) {
    case QImage::Format_Indexed8:
        return kPixelFormat8bppIndexed;
    case QImage::Format_BGR888:
        return kPixelFormat24bppRGB;
    case QImage::Format_RGB32:
        return kPixelFormat32bppRGB;
    case QImage::Format_ARGB32:
        return kPixelFormat32bppARGB;
    case QImage::Format_ARGB32_Premultiplied:
        return kPixelFormat32bppPARGB;
    default:
        return 0;
    }
}

// ---- Library start and end ------------------------------------------------

std::unique_ptr<GdiplusToken> Gdiplus_Init() {
    auto token = std::make_unique<GdiplusToken>();
    token->started = true;
    return token;
}

void Gdiplus_DeInit(std::unique_ptr<GdiplusToken> token) {
    if (token)
        token->started = false;
}

// ---- Encoders and picture types ---------------------------------------------

bool Gdiplus_GetEncoderClsidByFormatTypeW(const QString& mimeType, QByteArray& encoder) {
    // Writers are listed by MIME type; the format names serving one MIME type
    // come from the same plugin.
    for (const QByteArray& mime : QImageWriter::supportedMimeTypes()) {
        if (QString::fromLatin1(mime).compare(mimeType, Qt::CaseInsensitive) != 0)
            continue;
        const QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(mime);
        if (formats.isEmpty())
            return false;
        encoder = formats.front();
        return true;
    }
    return false;
}

bool Gdiplus_GetEncoderClsidByFormatTypeA(const char* mimeType, QByteArray& encoder) {
    if (mimeType == nullptr)
        return false;
    return Gdiplus_GetEncoderClsidByFormatTypeW(QString::fromLocal8Bit(mimeType), encoder);
}

QString Gdiplus_GetMimeTypeByPictureType(int pictureType) {
    switch (pictureType) {
    case GdiplusPictureJpeg:
        return QStringLiteral("image/jpeg");
    case GdiplusPictureGif:
        return QStringLiteral("image/gif");
    case GdiplusPictureTiff:
        return QStringLiteral("image/tiff");
    case GdiplusPicturePng:
        return QStringLiteral("image/png");
    default:
        return QStringLiteral("image/bmp");
    }
}

bool Gdiplus_GetEncoderClsidByPictureType(int pictureType, QByteArray& encoder) {
    return Gdiplus_GetEncoderClsidByFormatTypeW(Gdiplus_GetMimeTypeByPictureType(pictureType),
                                                encoder);
}

int Gdiplus_GetPictureTypeByFileNameW(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().left(260).toLower();
    if (ext == QLatin1String("bmp"))
        return GdiplusPictureBmp;
    if (ext == QLatin1String("jpeg") || ext == QLatin1String("jpg"))
        return GdiplusPictureJpeg;
    if (ext == QLatin1String("gif"))
        return GdiplusPictureGif;
    if (ext == QLatin1String("tiff"))
        return GdiplusPictureTiff;
    return GdiplusPicturePng;
}

int Gdiplus_GetPictureTypeByFileNameA(const char* fileName) {
    return Gdiplus_GetPictureTypeByFileNameW(fileName != nullptr ? QString::fromLocal8Bit(fileName)
                                                                 : QString());
}

bool Gdiplus_ConvertImageFormatW(const QString& source, QString& outputName, int pictureType) {
    GdiplusBitmapPtr bitmap = Gdiplus_LoadBitmapFromFileW(source);
    if (!bitmap)
        return false;
    QByteArray encoder;
    if (!Gdiplus_GetEncoderClsidByPictureType(pictureType, encoder))
        return false;
    const std::string name =
        GetFileNameByDateW(ExtensionOfType(pictureType).toStdString(), "Temp_", "", 0, 1, 0);
    const QString path = QFileInfo(source).absoluteDir().filePath(QString::fromStdString(name));
    QImageWriter writer(path, encoder);
    if (!writer.write(bitmap->Image()))
        return false;
    outputName = path;
    return true;
}

bool Gdiplus_ConvertImageFormatA(const char* source, QString& outputName, int pictureType) {
    if (source == nullptr || std::strlen(source) > 260)
        return false;
    return Gdiplus_ConvertImageFormatW(QString::fromLocal8Bit(source), outputName, pictureType);
}

// ---- Making bitmaps -------------------------------------------------------

bool Gdiplus_BitmapOK(const CGdiplusBitmap* bitmap) {
    if (bitmap == nullptr)
        return false;
    return bitmap->TakeLastStatus() == GdiplusOk;
}

GdiplusStatus Gdiplus_BitmapLastError(const CGdiplusBitmap* bitmap) {
    if (bitmap == nullptr)
        return GdiplusGenericError;
    return bitmap->TakeLastStatus();
}

void Gdiplus_DeleteBitmap(GdiplusBitmapPtr& bitmap) {
    bitmap.reset();
}

GdiplusBitmapPtr Gdiplus_CreateBitmap(int width, int height, int pixelFormat) {
    const QImage::Format format = GdiplusQImageFormat(pixelFormat);
    if (width < 1 || height < 1 || format == QImage::Format_Invalid)
        return nullptr;
    QImage image(width, height, format);
    if (image.isNull())
        return nullptr;
    if (format == QImage::Format_Indexed8) {
        // A grey ramp, so the empty bitmap is a valid picture.
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i)
            table[i] = qRgb(i, i, i);
        image.setColorTable(table);
    }
    image.fill(0);
    return MakeBitmap(std::move(image));
}

GdiplusBitmapPtr Gdiplus_CreateColorBmp(int width, int height, std::uint32_t argb) {
    return MakeBitmap(ArgbCanvas(width, height, argb));
}

GdiplusBitmapPtr Gdiplus_CopyBitmap(const CGdiplusBitmap* bitmap) {
    if (!HasImage(bitmap))
        return nullptr;
    GdiplusBitmapPtr copy = MakeBitmap(bitmap->Image().copy());
    if (!copy)
        bitmap->SetLastStatus(GdiplusOutOfMemory);
    return copy;
}

GdiplusBitmapPtr Gdiplus_Gray(const CGdiplusBitmap* bitmap) {
    if (!HasImage(bitmap))
        return nullptr;
    const QImage& src = bitmap->Image();
    const int format = bitmap->GetPixelFormat();
    QImage grey(src.size(), src.format());
    if (grey.isNull()) {
        bitmap->SetLastStatus(GdiplusOutOfMemory);
        return nullptr;
    }
    grey.setColorTable(src.colorTable());
    grey.fill(0);
    const int width = src.width();
    for (int y = 0; y < src.height(); ++y) {
        const uchar* in = src.constScanLine(y);
        uchar* out = grey.scanLine(y);
        if (format == kPixelFormat24bppRGB || format == kPixelFormat32bppARGB) {
            const int step = format == kPixelFormat24bppRGB ? 3 : 4;
            for (int x = 0; x < width; ++x, in += step, out += step) {
                // Bytes in memory: blue, green, red (, alpha).
                const auto g = static_cast<uchar>((77 * in[2] + 150 * in[1] + 29 * in[0]) >> 8);
                out[0] = out[1] = out[2] = g;
                if (step == 4)
                    out[3] = in[3];
            }
        } else if (format == kPixelFormat8bppIndexed) {
            std::memcpy(out, in, static_cast<std::size_t>(width));
        }
        // Any other format: left as created.
    }
    return MakeBitmap(std::move(grey));
}

GdiplusBitmapPtr Gdiplus_ModifyBitmapFormat(const CGdiplusBitmap* bitmap, int pixelFormat) {
    const QImage::Format format = GdiplusQImageFormat(pixelFormat);
    if (!HasImage(bitmap) || format == QImage::Format_Invalid)
        return nullptr;
    return MakeBitmap(bitmap->Image().convertToFormat(format));
}

QImage Gdiplus_GetHBitmap(const CGdiplusBitmap* bitmap, std::uint32_t backgroundRgb,
                          bool /*topDown*/) {
    if (!HasImage(bitmap))
        return {};
    const QImage& src = bitmap->Image();
    QImage out(src.size(), src.depth() == 24 ? QImage::Format_RGB888 : QImage::Format_RGB32);
    if (out.isNull())
        return {};
    out.fill(QColor::fromRgb(static_cast<QRgb>(backgroundRgb | 0xFF000000u)));
    QPainter painter(&out);
    painter.drawImage(0, 0, src);
    return out;
}

// ---- Loading and saving -----------------------------------------------------

GdiplusBitmapPtr Gdiplus_LoadBitmapFromData(const void* data, std::size_t length) {
    if (data == nullptr || length == 0)
        return nullptr;
    // Decodes from a private copy, so the caller's bytes are free afterwards.
    QByteArray bytes(static_cast<const char*>(data), static_cast<qsizetype>(length));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    // 32-bit ARGB unless the picture is indexed or 24-bit, as the platform decodes.
    const QImage::Format f = image.format();
    if (f != QImage::Format_Indexed8 && f != QImage::Format_BGR888 && f != QImage::Format_RGB32 &&
        f != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    GdiplusBitmapPtr bitmap = MakeBitmap(std::move(image));
    if (!Gdiplus_BitmapOK(bitmap.get()))
        return nullptr;
    return bitmap;
}

GdiplusBitmapPtr Gdiplus_LoadBitmapFromImageBits(std::uint8_t* bits, int width, int height,
                                                 int pitch, int pixelFormat) {
    const QImage::Format format = GdiplusQImageFormat(pixelFormat);
    if (bits == nullptr || width <= 0 || height <= 0 || pitch <= 0 ||
        format == QImage::Format_Invalid)
        return nullptr;
    // A pitch too small for the row would make the image read past the buffer.
    if (static_cast<qint64>(pitch) * 8 <
        static_cast<qint64>(width) * GdiplusBitsPerPixel(pixelFormat))
        return nullptr;
    return MakeBitmap(QImage(bits, width, height, pitch, format));
}

GdiplusBitmapPtr Gdiplus_LoadBitmapFromResourceW(const QString& type, int id) {
    QFile file(QStringLiteral(":/%1/%2").arg(type).arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.readAll();
    return Gdiplus_LoadBitmapFromData(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

GdiplusBitmapPtr Gdiplus_LoadBitmapFromResourceA(const char* type, int id) {
    if (type == nullptr)
        return nullptr;
    return Gdiplus_LoadBitmapFromResourceW(QString::fromLocal8Bit(type), id);
}

GdiplusBitmapPtr Gdiplus_LoadBitmapFromFileW(const QString& path) {
    if (!QFileInfo(path).isFile())
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.readAll();
    return Gdiplus_LoadBitmapFromData(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

GdiplusBitmapPtr Gdiplus_LoadBitmapFromFileA(const char* path) {
    if (path == nullptr || std::strlen(path) > 260)
        return nullptr;
    return Gdiplus_LoadBitmapFromFileW(QString::fromLocal8Bit(path));
}

bool Gdiplus_SaveBitmapToFileW(const CGdiplusBitmap* bitmap, const QString& path) {
    if (!HasImage(bitmap))
        return false;
    QByteArray encoder;
    if (!Gdiplus_GetEncoderClsidByPictureType(Gdiplus_GetPictureTypeByFileNameW(path), encoder)) {
        bitmap->SetLastStatus(GdiplusUnknownImageFormat);
        return false;
    }
    QImageWriter writer(path, encoder);
    if (!writer.write(bitmap->Image())) {
        bitmap->SetLastStatus(GdiplusWin32Error);
        return false;
    }
    return true;
}

bool Gdiplus_SaveBitmapToFileA(const CGdiplusBitmap* bitmap, const char* path) {
    if (path == nullptr)
        return false;
    return Gdiplus_SaveBitmapToFileW(bitmap, QString::fromLocal8Bit(path));
}

// ---- Resizing and cutting ---------------------------------------------------

GdiplusBitmapPtr Gdiplus_ResizeBitmap(const CGdiplusBitmap* bitmap, int width, int height, int mode,
                                      std::uint32_t backgroundArgb) {
    if (!HasImage(bitmap) || width < 1 || height < 1 || mode < 0 || mode > 4)
        return nullptr;
    const QImage& src = bitmap->Image();
    const int w0 = src.width();
    const int h0 = src.height();
    if (mode == 0) {
        QImage canvas = ArgbCanvas(width, height, backgroundArgb);
        if (canvas.isNull())
            return nullptr;
        DrawScaled(canvas, QRectF(0, 0, width, height), src, QRectF(0, 0, w0, h0));
        return MakeBitmap(std::move(canvas));
    }
    const double sx = static_cast<double>(width) / w0;
    const double sy = static_cast<double>(height) / h0;
    double s = sx;
    switch (mode) {
    case 1:
        s = std::min(sx, sy);
        break;
    case 2:
        s = std::max(sx, sy);
        break;
    case 4:
        s = sy;
        break;
    default:
        break;
    }
    // A side that truncates to nothing still gets one pixel.
    const int a = std::max(1, static_cast<int>(w0 * s));
    const int b = std::max(1, static_cast<int>(h0 * s));
    // Truncating the size shrank the picture a little: take the matching centre
    // part of the source, so the drawing is neither shifted nor squeezed.
    const int ox = static_cast<int>((w0 - a / s) / 2);
    const int oy = static_cast<int>((h0 - b / s) / 2);
    QImage canvas = ArgbCanvas(a, b, backgroundArgb);
    if (canvas.isNull())
        return nullptr;
    DrawScaled(canvas, QRectF(0, 0, a, b), src, QRectF(ox, oy, w0 - 2 * ox, h0 - 2 * oy));
    return MakeBitmap(std::move(canvas));
}

GdiplusBitmapPtr Gdiplus_StretchBitmap(const CGdiplusBitmap* bitmap, int width, int height) {
    if (!HasImage(bitmap) || width < 1 || height < 1)
        return nullptr;
    QImage canvas = ArgbCanvas(width, height, 0);
    if (canvas.isNull())
        return nullptr;
    DrawScaled(canvas, QRectF(0, 0, width, height), bitmap->Image(), bitmap->Image().rect());
    return MakeBitmap(std::move(canvas));
}

GdiplusBitmapPtr Gdiplus_GetBitmapFromBitmap(const CGdiplusBitmap* bitmap, int x, int y, int width,
                                             int height, std::optional<QSize> outputSize) {
    if (!HasImage(bitmap) || width < 1 || height < 1)
        return nullptr;
    const QSize out = outputSize.value_or(QSize(width, height));
    QImage canvas = ArgbCanvas(out.width(), out.height(), 0);
    if (canvas.isNull())
        return nullptr;
    DrawScaled(canvas, QRectF(QPointF(0, 0), QSizeF(out)), bitmap->Image(),
               QRectF(x, y, width, height));
    return MakeBitmap(std::move(canvas));
}

GdiplusBitmapPtr Gdiplus_GetBitmapFromBitmapByRect(const CGdiplusBitmap* bitmap, const QRect& rect,
                                                   std::optional<QSize> outputSize) {
    return Gdiplus_GetBitmapFromBitmap(bitmap, rect.x(), rect.y(), rect.width(), rect.height(),
                                       outputSize);
}

GdiplusBitmapPtr Gdiplus_DisposeBitmapByMode(const CGdiplusBitmap* bitmap, int width, int height,
                                             int mode, std::uint32_t backgroundArgb) {
    if (!HasImage(bitmap) || width < 1 || height < 1)
        return nullptr;
    const QImage& src = bitmap->Image();
    switch (mode) {
    case 0: {
        // The largest centred part of the source in the target's proportions.
        const double target = static_cast<double>(width) / height;
        double cw = src.width();
        double ch = cw / target;
        if (ch > src.height()) {
            ch = src.height();
            cw = ch * target;
        }
        QImage canvas = ArgbCanvas(width, height, backgroundArgb);
        if (canvas.isNull())
            return nullptr;
        DrawScaled(canvas, QRectF(0, 0, width, height), src,
                   QRectF((src.width() - cw) / 2, (src.height() - ch) / 2, cw, ch));
        return MakeBitmap(std::move(canvas));
    }
    case 1:
        return Gdiplus_ResizeBitmap(bitmap, width, height, 1, backgroundArgb);
    case 2: {
        QImage canvas = ArgbCanvas(width, height, backgroundArgb);
        if (canvas.isNull())
            return nullptr;
        QPainter painter(&canvas);
        for (int y = 0; y < height; y += src.height())
            for (int x = 0; x < width; x += src.width())
                painter.drawImage(x, y, src);
        painter.end();
        return MakeBitmap(std::move(canvas));
    }
    case 3: {
        QImage canvas = ArgbCanvas(width, height, backgroundArgb);
        if (canvas.isNull())
            return nullptr;
        QPainter painter(&canvas);
        painter.drawImage((width - src.width()) / 2, (height - src.height()) / 2, src);
        painter.end();
        return MakeBitmap(std::move(canvas));
    }
    case 4:
        return Gdiplus_StretchBitmap(bitmap, width, height);
    default:
        return nullptr;
    }
}

// ---- Pixel access -----------------------------------------------------------

bool Gdiplus_GetBitmapBuffer(const CGdiplusBitmap* bitmap, const QRect& rect, int pixelFormat,
                             void* destination, int pitch) {
    if (!HasImage(bitmap) || destination == nullptr)
        return false;
    const QImage::Format format = GdiplusQImageFormat(pixelFormat);
    const QRect area = rect.intersected(bitmap->Image().rect());
    if (format == QImage::Format_Invalid || area.isEmpty() || pitch < 1) {
        bitmap->SetLastStatus(GdiplusInvalidParameter);
        return false;
    }
    const QImage part = bitmap->Image().copy(area).convertToFormat(format);
    if (part.isNull()) {
        bitmap->SetLastStatus(GdiplusOutOfMemory);
        return false;
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(area.width()) *
                                      static_cast<std::size_t>(GdiplusBitsPerPixel(pixelFormat)) +
                                  31) /
                                 32 * 4;
    const std::size_t copyBytes = std::min(
        {rowBytes, static_cast<std::size_t>(pitch), static_cast<std::size_t>(part.bytesPerLine())});
    auto* out = static_cast<std::uint8_t*>(destination);
    for (int y = 0; y < part.height(); ++y, out += pitch)
        std::memcpy(out, part.constScanLine(y), copyBytes);
    return true;
}

bool Gdiplus_SetBitmapAlpha(CGdiplusBitmap* bitmap, std::optional<QRect> rect, int alpha,
                            int lowAlpha, int highAlpha) {
    if (!HasImage(bitmap))
        return false;
    QImage& image = bitmap->Image();
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    const QRect area = rect.value_or(image.rect()).intersected(image.rect());
    const auto newAlpha = static_cast<uchar>(std::clamp(alpha, 0, 255));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uchar* px = image.scanLine(y) + static_cast<std::size_t>(area.left()) * 4;
        for (int x = 0; x < area.width(); ++x, px += 4)
            if (px[3] >= lowAlpha && px[3] <= highAlpha)
                px[3] = newAlpha;
    }
    return true;
}

QRegion Gdiplus_CreateRgnFromBitmap(const CGdiplusBitmap* bitmap, int alphaThreshold) {
    QRegion region;
    if (!HasImage(bitmap))
        return region;
    const QImage image = bitmap->Image().convertToFormat(QImage::Format_ARGB32);
    // Rows of runs are gathered in batches; one union per batch keeps big masks fast.
    constexpr std::size_t kBatch = 2000;
    std::vector<QRect> rects;
    rects.reserve(100);
    auto flush = [&] {
        if (rects.empty())
            return;
        QRegion batch;
        batch.setRects(rects.data(), static_cast<int>(rects.size()));
        region = region.united(batch);
        rects.clear();
    };
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && qAlpha(row[x]) < alphaThreshold)
                ++x;
            const int start = x;
            while (x < image.width() && qAlpha(row[x]) >= alphaThreshold)
                ++x;
            if (x > start) {
                rects.emplace_back(start, y, x - start, 1);
                if (rects.size() == kBatch)
                    flush();
            }
        }
    }
    flush();
    return region;
}

// ---- Text -------------------------------------------------------------------

int Gdiplus_CalcFontSize(QPainter* target, const QString& text, int maxWidth, int maxHeight,
                         const QString& family, int startSize, int fontStyle, int textFlags) {
    QFont font(ResolveFontFamily(family));
    font.setBold((fontStyle & 1) != 0);
    font.setItalic((fontStyle & 2) != 0);
    QPaintDevice* device = target != nullptr ? target->device() : nullptr;
    // Measured unbounded: the text's own extent, never wrapped to the box.
    const int flags = textFlags & ~Qt::TextWordWrap;
    for (int size = startSize; size >= 1; --size) {
        font.setPointSize(size);
        const QFontMetricsF fm(font, device);
        const QSizeF box = fm.size(flags, text);
        if (box.width() <= maxWidth && box.height() <= maxHeight)
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
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

bool Gdiplus_GetStringFormat(std::uint32_t languageId) {
    const std::uint32_t lang = languageId & 0xFFFF;
    return lang == 1025 || lang == 1037;
}

// ---- Drawing ----------------------------------------------------------------

GdiplusStatus Gdiplus_DrawText(QPainter* target, const QString& text, const QRectF& layout,
                               std::uint32_t argb, const QFont& font, int textFlags) {
    if (target == nullptr || !target->isActive())
        return GdiplusInvalidParameter;
    if (text.isEmpty())
        return GdiplusOk;
    target->save();
    target->setRenderHint(QPainter::TextAntialiasing);
    target->setFont(font);
    target->setPen(ArgbColor(argb));
    target->drawText(layout, textFlags, text);
    target->restore();
    return GdiplusOk;
}

GdiplusStatus Gdiplus_DrawBitmap(QPainter* target, const QRectF& destination,
                                 const CGdiplusBitmap* bitmap, std::optional<QRectF> source,
                                 int mode) {
    if (target == nullptr || !target->isActive() || !HasImage(bitmap))
        return GdiplusInvalidParameter;
    const QImage& image = bitmap->Image();
    const QRectF src = source.value_or(QRectF(image.rect()));
    target->save();
    target->setRenderHint(QPainter::SmoothPixmapTransform);
    switch (mode) {
    case 0:
    case 1:
        target->setClipRect(destination, Qt::IntersectClip);
        target->drawImage(Proportional(src.size(), destination, mode == 1), image, src);
        break;
    case 2:
        target->setClipRect(destination, Qt::IntersectClip);
        for (double y = destination.top(); y < destination.bottom(); y += src.height())
            for (double x = destination.left(); x < destination.right(); x += src.width())
                target->drawImage(QRectF(QPointF(x, y), src.size()), image, src);
        break;
    case 3:
        target->setClipRect(destination, Qt::IntersectClip);
        target->drawImage(
            QRectF(destination.center() - QPointF(src.width() / 2, src.height() / 2), src.size()),
            image, src);
        break;
    default:
        target->drawImage(destination, image, src);
        break;
    }
    target->restore();
    return GdiplusOk;
}

GdiplusStatus Gdiplus_DrawAlphaBitmap(QPainter* target, const QRectF& destination,
                                      const CGdiplusBitmap* bitmap, std::optional<QRectF> source,
                                      bool stretch, int alpha) {
    if (target == nullptr || !target->isActive() || !HasImage(bitmap))
        return GdiplusInvalidParameter;
    const QImage& image = bitmap->Image();
    const QRectF src = source.value_or(QRectF(image.rect()));
    target->save();
    target->setOpacity(target->opacity() * std::clamp(alpha, 0, 255) / 256.0);
    target->setRenderHint(QPainter::SmoothPixmapTransform);
    if (stretch) {
        target->drawImage(destination, image, src);
    } else {
        target->setClipRect(destination, Qt::IntersectClip);
        target->drawImage(
            QRectF(destination.center() - QPointF(src.width() / 2, src.height() / 2), src.size()),
            image, src);
    }
    target->restore();
    return GdiplusOk;
}

GdiplusStatus Gdiplus_FillRect(QPainter* target, const QRectF& rect, const QBrush& brush) {
    if (target == nullptr || !target->isActive())
        return GdiplusInvalidParameter;
    target->fillRect(rect, brush);
    return GdiplusOk;
}

GdiplusStatus Gdiplus_FillPolygon(QPainter* target, const QPointF* points, int count,
                                  const QBrush& brush) {
    if (target == nullptr || !target->isActive() || points == nullptr || count < 1)
        return GdiplusInvalidParameter;
    target->save();
    target->setPen(Qt::NoPen);
    target->setBrush(brush);
    target->drawPolygon(points, count, Qt::OddEvenFill);
    target->restore();
    return GdiplusOk;
}

GdiplusStatus Gdiplus_DrawRect(QPainter* target, const QRectF& rect, std::uint32_t argb,
                               float penWidth) {
    if (target == nullptr || !target->isActive() || penWidth <= 0)
        return GdiplusInvalidParameter;
    target->save();
    QPen pen(ArgbColor(argb));
    pen.setWidthF(penWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    target->setPen(pen);
    target->setBrush(Qt::NoBrush);
    // The pen is centred on the path: inset by half its width on every side.
    const double half = penWidth / 2.0;
    target->drawRect(rect.adjusted(half, half, -half, -half));
    target->restore();
    return GdiplusOk;
}

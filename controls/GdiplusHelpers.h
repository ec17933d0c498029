#pragma once
// Bitmap helpers on QImage (the imaging layer of the tool's own controls).
//
// A bitmap is a CGdiplusBitmap: an image plus the status of the last operation
// on it, which Gdiplus_BitmapOK and Gdiplus_BitmapLastError read and reset.
// Functions that make a bitmap return a new one owned by the caller, or none
// (nullptr) on failure; input bitmaps are never changed unless stated. Colours
// are 32-bit ARGB values (alpha in the top byte) unless stated. Drawing
// functions return the status of the drawing instead of storing it.

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// Results of bitmap operations, numbered as the platform's imaging statuses.
enum GdiplusStatus : int {
    GdiplusOk = 0,
    GdiplusGenericError = 1,
    GdiplusInvalidParameter = 2,
    GdiplusOutOfMemory = 3,
    GdiplusWin32Error = 7,
    GdiplusFileNotFound = 10,
    GdiplusUnknownImageFormat = 13,
};

// Pixel formats by their platform values; bits per pixel in bits 8 to 15.
constexpr int kPixelFormat8bppIndexed = 0x00030803;
constexpr int kPixelFormat24bppRGB = 0x00021808; // bytes blue, green, red
constexpr int kPixelFormat32bppRGB = 0x00022009;
constexpr int kPixelFormat32bppARGB = 0x0026200A; // bytes blue, green, red, alpha
constexpr int kPixelFormat32bppPARGB = 0x000E200B;

[[nodiscard]] constexpr int GdiplusBitsPerPixel(int pixelFormat) {
    return (pixelFormat >> 8) & 0xFF;
}
// The QImage format of a pixel format; Format_Invalid for one without equivalent.
[[nodiscard]] QImage::Format GdiplusQImageFormat(int pixelFormat);
// The pixel format of a QImage format; 0 for one without equivalent.
[[nodiscard]] int GdiplusPixelFormat(QImage::Format format);

class CGdiplusBitmap {
public:
    CGdiplusBitmap() = default;
    explicit CGdiplusBitmap(QImage image) : image_(std::move(image)) {}

    [[nodiscard]] QImage& Image() { return image_; }
    [[nodiscard]] const QImage& Image() const { return image_; }
    [[nodiscard]] int GetWidth() const { return image_.width(); }
    [[nodiscard]] int GetHeight() const { return image_.height(); }
    [[nodiscard]] int GetPixelFormat() const { return GdiplusPixelFormat(image_.format()); }

    // Recording a failure does not change the image, so it is allowed on a
    // bitmap the caller only reads.
    void SetLastStatus(GdiplusStatus status) const { status_ = status; }
    [[nodiscard]] GdiplusStatus GetLastStatus() const { return status_; }
    // Returns the last status and resets it to GdiplusOk.
    GdiplusStatus TakeLastStatus() const {
        const GdiplusStatus s = status_;
        status_ = GdiplusOk;
        return s;
    }

private:
    QImage image_;
    mutable GdiplusStatus status_ = GdiplusOk;
};

using GdiplusBitmapPtr = std::unique_ptr<CGdiplusBitmap>;

// Picture types and their encoders.
enum GdiplusPictureType : int {
    GdiplusPictureBmp = 0,
    GdiplusPictureJpeg = 1,
    GdiplusPictureGif = 2,
    GdiplusPictureTiff = 3,
    GdiplusPicturePng = 4,
};

// Token of the imaging library. Qt's imaging needs no start-up; the token keeps
// the calling pattern of the tool's start and end.
struct GdiplusToken {
    bool started = false;
};

// ---- Library start and end ------------------------------------------------
[[nodiscard]] std::unique_ptr<GdiplusToken> Gdiplus_Init();
void Gdiplus_DeInit(std::unique_ptr<GdiplusToken> token);

// ---- Encoders and picture types ---------------------------------------------
// The first image writer format whose MIME type equals `mimeType` ignoring case
// (the format name QImageWriter takes, e.g. "png"); true when found.
bool Gdiplus_GetEncoderClsidByFormatTypeW(const QString& mimeType, QByteArray& encoder);
bool Gdiplus_GetEncoderClsidByFormatTypeA(const char* mimeType, QByteArray& encoder);
bool Gdiplus_GetEncoderClsidByPictureType(int pictureType, QByteArray& encoder);
// "image/jpeg", "image/gif", "image/tiff", "image/png"; any other type "image/bmp".
[[nodiscard]] QString Gdiplus_GetMimeTypeByPictureType(int pictureType);
// By extension, ignoring case: bmp 0, jpeg/jpg 1, gif 2, tiff 3, anything else 4.
[[nodiscard]] int Gdiplus_GetPictureTypeByFileNameW(const QString& fileName);
[[nodiscard]] int Gdiplus_GetPictureTypeByFileNameA(const char* fileName);
// Loads `source` and saves it beside it as "Temp_" + date and time + the type's
// extension; `outputName` receives the new path. True on success.
bool Gdiplus_ConvertImageFormatW(const QString& source, QString& outputName, int pictureType);
bool Gdiplus_ConvertImageFormatA(const char* source, QString& outputName, int pictureType);

// ---- Making bitmaps -------------------------------------------------------
// True when the bitmap exists and its last status is success; resets the status.
bool Gdiplus_BitmapOK(const CGdiplusBitmap* bitmap);
// The last status (then reset to success); GdiplusGenericError for no bitmap.
GdiplusStatus Gdiplus_BitmapLastError(const CGdiplusBitmap* bitmap);
void Gdiplus_DeleteBitmap(GdiplusBitmapPtr& bitmap);

[[nodiscard]] GdiplusBitmapPtr Gdiplus_CreateBitmap(int width, int height,
                                                    int pixelFormat = kPixelFormat32bppARGB);
[[nodiscard]] GdiplusBitmapPtr Gdiplus_CreateColorBmp(int width, int height, std::uint32_t argb);
[[nodiscard]] GdiplusBitmapPtr Gdiplus_CopyBitmap(const CGdiplusBitmap* bitmap);
// Grey copy in the source's format: grey = (77 R + 150 G + 29 B) >> 8, alpha kept;
// 8-bit indexed pixels copied unchanged.
[[nodiscard]] GdiplusBitmapPtr Gdiplus_Gray(const CGdiplusBitmap* bitmap);
[[nodiscard]] GdiplusBitmapPtr Gdiplus_ModifyBitmapFormat(const CGdiplusBitmap* bitmap,
                                                          int pixelFormat);
// An opaque image of the bitmap's size and bit depth (32 or 24), filled with
// `backgroundRgb` (red in bits 16 to 23, blue in 0 to 7) with the image drawn
// over it. QImage rows are always stored top-down, so `topDown` changes nothing.
[[nodiscard]] QImage Gdiplus_GetHBitmap(const CGdiplusBitmap* bitmap, std::uint32_t backgroundRgb,
                                        bool topDown);

// ---- Loading and saving -----------------------------------------------------
// Decodes an encoded image held in memory; the bytes are not referenced afterwards.
[[nodiscard]] GdiplusBitmapPtr Gdiplus_LoadBitmapFromData(const void* data, std::size_t length);
// Wraps the caller's pixels without copying: `bits` must outlive the bitmap.
[[nodiscard]] GdiplusBitmapPtr Gdiplus_LoadBitmapFromImageBits(std::uint8_t* bits, int width,
                                                               int height, int pitch,
                                                               int pixelFormat);
// A picture compiled into the program, at ":/<type>/<id>" (e.g. ":/PNG/191").
[[nodiscard]] GdiplusBitmapPtr Gdiplus_LoadBitmapFromResourceW(const QString& type, int id);
[[nodiscard]] GdiplusBitmapPtr Gdiplus_LoadBitmapFromResourceA(const char* type, int id);
[[nodiscard]] GdiplusBitmapPtr Gdiplus_LoadBitmapFromFileW(const QString& path);
[[nodiscard]] GdiplusBitmapPtr Gdiplus_LoadBitmapFromFileA(const char* path);
// Encodes by the path's picture type; true on success.
bool Gdiplus_SaveBitmapToFileW(const CGdiplusBitmap* bitmap, const QString& path);
bool Gdiplus_SaveBitmapToFileA(const CGdiplusBitmap* bitmap, const char* path);

// ---- Resizing and cutting ---------------------------------------------------
// Modes: 0 stretch to w x h; 1 fit inside; 2 cover; 3 scale to the width; 4
// scale to the height (1 to 4 keep the proportions). None for no bitmap, a size
// below 1 or another mode.
[[nodiscard]] GdiplusBitmapPtr Gdiplus_ResizeBitmap(const CGdiplusBitmap* bitmap, int width,
                                                    int height, int mode,
                                                    std::uint32_t backgroundArgb);
[[nodiscard]] GdiplusBitmapPtr Gdiplus_StretchBitmap(const CGdiplusBitmap* bitmap, int width,
                                                     int height);
// The source rectangle stretched into a new bitmap of `outputSize` (default: its own size).
[[nodiscard]] GdiplusBitmapPtr Gdiplus_GetBitmapFromBitmap(const CGdiplusBitmap* bitmap, int x,
                                                           int y, int width, int height,
                                                           std::optional<QSize> outputSize = {});
[[nodiscard]] GdiplusBitmapPtr
Gdiplus_GetBitmapFromBitmapByRect(const CGdiplusBitmap* bitmap, const QRect& rect,
                                  std::optional<QSize> outputSize = {});
// 0 centre crop in the proportions of w x h, scaled; 1 fit inside (ResizeBitmap
// mode 1); 2 tiled unscaled; 3 centred unscaled on the background; 4 stretched.
[[nodiscard]] GdiplusBitmapPtr Gdiplus_DisposeBitmapByMode(const CGdiplusBitmap* bitmap, int width,
                                                           int height, int mode,
                                                           std::uint32_t backgroundArgb);

// ---- Pixel access -----------------------------------------------------------
// Copies the part of `rect` inside the image, converted to `pixelFormat`, row by
// row to `destination` (row 0 = the part's top row), advancing by `pitch` bytes.
// Each row takes ((part width x bits per pixel + 31) / 32) x 4 bytes, never more
// than `pitch`. False when nothing of the rectangle lies inside, the format is
// unknown or the pitch is below 1.
bool Gdiplus_GetBitmapBuffer(const CGdiplusBitmap* bitmap, const QRect& rect, int pixelFormat,
                             void* destination, int pitch);
// In `rect` (default: the whole image), every pixel whose alpha lies in
// [lowAlpha, highAlpha] gets `alpha`; colours unchanged. Changes the bitmap.
bool Gdiplus_SetBitmapAlpha(CGdiplusBitmap* bitmap, std::optional<QRect> rect, int alpha,
                            int lowAlpha = 0, int highAlpha = 255);
// The pixels whose alpha is at least `alphaThreshold`, as a region.
[[nodiscard]] QRegion Gdiplus_CreateRgnFromBitmap(const CGdiplusBitmap* bitmap, int alphaThreshold);

// ---- Text -------------------------------------------------------------------
// The largest size in points, not above startSize, at which `text` fits in
// maxWidth x maxHeight pixels when drawn on `target` with the family (falling
// back as ResolveFontFamily does), style (bit 0 bold, bit 1 italic) and Qt text
// flags; 0 when even size 1 does not fit.
int Gdiplus_CalcFontSize(QPainter* target, const QString& text, int maxWidth, int maxHeight,
                         const QString& family, int startSize, int fontStyle, int textFlags);

// "黑体" and any family the system lacks resolve to an installed CJK sans family
// (Noto Sans CJK), so both languages render.
QString ResolveFontFamily(const QString& family);

// True for the right-to-left languages Arabic (1025) and Hebrew (1037).
[[nodiscard]] bool Gdiplus_GetStringFormat(std::uint32_t languageId);

// ---- Drawing ----------------------------------------------------------------
GdiplusStatus Gdiplus_DrawText(QPainter* target, const QString& text, const QRectF& layout,
                               std::uint32_t argb, const QFont& font, int textFlags);
// Modes: 0 fit inside and centred, 1 cover and centred, 2 tiled unscaled, 3
// centred unscaled (cut when larger), other values stretched.
GdiplusStatus Gdiplus_DrawBitmap(QPainter* target, const QRectF& destination,
                                 const CGdiplusBitmap* bitmap, std::optional<QRectF> source = {},
                                 int mode = 4);
// Drawn with its alpha scaled by alpha / 256; stretched when `stretch`, else
// unscaled, centred and cut to the destination.
GdiplusStatus Gdiplus_DrawAlphaBitmap(QPainter* target, const QRectF& destination,
                                      const CGdiplusBitmap* bitmap, std::optional<QRectF> source,
                                      bool stretch, int alpha);
GdiplusStatus Gdiplus_FillRect(QPainter* target, const QRectF& rect, const QBrush& brush);
GdiplusStatus Gdiplus_FillPolygon(QPainter* target, const QPointF* points, int count,
                                  const QBrush& brush);
// The outline stays inside `rect`.
GdiplusStatus Gdiplus_DrawRect(QPainter* target, const QRectF& rect, std::uint32_t argb,
                               float penWidth);

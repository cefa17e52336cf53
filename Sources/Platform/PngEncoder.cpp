#include "PngEncoder.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <new>
#include <vector>

namespace pendra {

namespace {

struct Output {
    QByteArray bytes;
    char error[200] = {};
};

void onError(png_structp png, png_const_charp message)
{
    auto* out = static_cast<Output*>(png_get_error_ptr(png));
    std::strncpy(out->error, message ? message : "unknown error", sizeof out->error - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void writeBytes(png_structp png, png_bytep data, std::size_t length)
{
    auto* out = static_cast<Output*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        out->bytes.append(reinterpret_cast<const char*>(data), qsizetype(length));
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    if (!stored)
        png_error(png, "out of memory");
}

void flushBytes(png_structp) {}

// A premultiplied ARGB row as straight RGBA bytes.
void straighten(const QRgb* in, int width, png_bytep out)
{
    for (int x = 0; x < width; ++x, out += 4) {
        const QRgb pixel = qUnpremultiply(in[x]);
        out[0] = png_byte(qRed(pixel));
        out[1] = png_byte(qGreen(pixel));
        out[2] = png_byte(qBlue(pixel));
        out[3] = png_byte(qAlpha(pixel));
    }
}

// Only plain data lives in this frame, so libpng's long jump out of an error
// leaves nothing behind.
bool writeImage(png_structp png, png_infop info, const QImage* image, png_bytep row, Output* out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, writeBytes, flushBytes);
    png_set_IHDR(png, info, png_uint_32(image->width()), png_uint_32(image->height()), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_strategy(png, Z_RLE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (int y = 0; y < image->height(); ++y) {
        straighten(reinterpret_cast<const QRgb*>(image->constScanLine(y)), image->width(), row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::optional<QByteArray> PngEncoder::encode(const QImage& image, QString* error)
{
    const auto failed = [&](const QString& why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (image.isNull())
        return failed(QStringLiteral("the image is empty"));
    const QImage source = image.format() == QImage::Format_ARGB32_Premultiplied
        ? image
        : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (source.isNull())
        return failed(QStringLiteral("the image cannot be converted"));

    Output out;
    std::vector<png_byte> row(std::size_t(source.width()) * 4);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &out, onError, onWarning);
    if (!png)
        return failed(QStringLiteral("libpng could not start"));
    png_infop info = png_create_info_struct(png);
    const bool written = info && writeImage(png, info, &source, row.data(), &out);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!written)
        return failed(QString::fromUtf8(out.error[0] ? out.error : "libpng could not start"));
    return std::move(out.bytes);
}

} // namespace pendra

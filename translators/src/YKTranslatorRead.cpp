// Reading through Qt's image readers: the size is checked before any pixel is decoded.

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cstring>

#include "YKRaster.h"
#include "YKTranslatorIO.h"
#include "yk_image_limits.h"
#include "yk_translator_internal.h"

using yk_translator::SetError;

namespace {

std::atomic<int32> gLimitMiB{static_cast<int32>(kYKMaxImageBytes >> 20)};

// Our pixels are 32-bit words, alpha in the top byte, straight colour: QImage's ARGB32 in
// memory on a little-endian machine, so rows copy as they are.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "rows are copied as ARGB32 words");

std::string SizeText(QSize size) {
    return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

bool SizeOk(QSize size) {
    return yk_image_size_ok(size.width(), size.height(), 4) &&
           int64{size.width()} * size.height() * 4 <= int64{gLimitMiB} << 20;
}

std::string TooLarge(const std::string& name, QSize size) {
    return name + " image of " + SizeText(size) + " pixels is too large (the limit is " +
           std::to_string(kYKMaxImageSide) + " pixels a side and " + std::to_string(gLimitMiB) +
           " MiB of pixels)";
}

}  // namespace

void YKTranslatorIO::SetImageMemoryLimit(int32 mebibytes) {
    gLimitMiB = std::clamp(mebibytes, 1, static_cast<int32>(kYKMaxImageBytes >> 20));
}

bool YKTranslatorIO::Accept(const char* path) const {
    if ((Capabilities() & kReadsStills) == 0) {
        return false;
    }
    // Opened here: given a name, Qt would also try the name with image suffixes appended.
    QFile file(yk_translator::PathOf(path));
    return file.open(QIODevice::ReadOnly) && Recognises(file);
}

// Qt would take a file's suffix for its format, content unseen: it is told not to.
bool YKTranslatorIO::Recognises(QIODevice& device) const {
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    return Owns(reader.format().toLower().toStdString());
}

std::unique_ptr<YKRaster> YKTranslatorIO::Read(const char* path, YKMessage*, bool native,
                                               std::string* error) const {
    QFile file(yk_translator::PathOf(path));
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, "cannot open the file: " + file.errorString().toStdString());
        return nullptr;
    }
    return ReadDevice(file, native, error);
}

std::unique_ptr<YKRaster> YKTranslatorIO::ReadMemory(const uint8* data, size_t size, bool native,
                                                     std::string* error) const {
    if (size > size_t{INT32_MAX}) {
        SetError(error, MenuName() + std::string(" data is too large"));
        return nullptr;
    }
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadDevice(buffer, native, error);
}

std::unique_ptr<YKRaster> YKTranslatorIO::ReadDevice(QIODevice& device, bool native,
                                                     std::string* error) const {
    const std::string name = MenuName();
    if (!Recognises(device)) {
        SetError(error, "not a " + name + " file");
        return nullptr;
    }
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    // For a header that does not tell its size, Qt itself refuses an image past our limit.
    QImageReader::setAllocationLimit(gLimitMiB);
    const QSize declared = reader.size();
    if (declared.isValid() && !SizeOk(declared)) {
        SetError(error, TooLarge(name, declared));
        return nullptr;
    }
    QImage image;
    if (!reader.read(&image)) {
        SetError(error, "cannot read the " + name + " file: " + reader.errorString().toStdString());
        return nullptr;
    }
    if (!SizeOk(image.size())) {
        SetError(error, TooLarge(name, image.size()));
        return nullptr;
    }
    image.convertTo(QImage::Format_ARGB32);
    std::unique_ptr<YKRaster> raster =
        AllocRaster({0, 0, image.width() - 1, image.height() - 1}, native);
    if (raster == nullptr || image.isNull()) {
        SetError(error, "not enough memory for a " + name + " image of " + SizeText(image.size()) +
                            " pixels");
        return nullptr;
    }
    const size_t rowBytes = size_t{4} * static_cast<size_t>(image.width());
    for (int32 y = 0; y < image.height(); ++y) {
        std::memcpy(raster->Bits() + int64{y} * raster->BytesPerRow(), image.constScanLine(y),
                    rowBytes);
    }
    return raster;
}

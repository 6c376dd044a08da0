// Writing through Qt's image writers, into a file that replaces the old one only when complete.

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKRasterSteps.h"
#include "YKReplacedFile.h"
#include "YKTranslatorIO.h"
#include "yk_translator_internal.h"

using yk_translator::SetError;

namespace {

// The file's bytes, made in memory so that a coder failing half-way touches no file.
bool Encode(const YKRaster& raster, const QByteArray& format, QByteArray* bytes,
            std::string* error) {
    // Our pixels are QImage's ARGB32 words (see the reader): the image shares the raster's rows.
    const QImage image(raster.Bits(), raster.Width(), raster.Height(), raster.BytesPerRow(),
                       QImage::Format_ARGB32);
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    // Web graphics carry text and sharp edges: where the coder could lose detail, it does not.
    if (writer.supportsOption(QImageIOHandler::Quality)) {
        writer.setQuality(100);
    }
    if (!writer.write(image)) {
        SetError(error,
                 "the translator cannot write the image: " + writer.errorString().toStdString());
        return false;
    }
    return true;
}

bool Store(const char* path, const QByteArray& bytes, std::string* error) {
    YKReplacedFile file(path);
    if (file.Stream() == nullptr) {
        SetError(error, "YKTranslatorIO::ExportRaster -- File init error: " + file.Error());
        return false;
    }
    const auto size = static_cast<size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, file.Stream()) != size) {
        SetError(error, std::string("cannot write the file: ") + std::strerror(errno));
        return false;
    }
    if (!file.Commit()) {
        SetError(error, "cannot write the file: " + file.Error());
        return false;
    }
    return true;
}

}  // namespace

bool YKTranslatorIO::Write(const char* path, const YKRaster& raster, const YKMessage* options,
                           YKRasterProgress* progress, std::string* error) const {
    if ((Capabilities() & kWritesStills) == 0) {
        return YKRasterStillIO::Write(path, raster, options, progress, error);
    }
    int32 back = -1;  // opaque white
    bool hasBack = false;
    if (options != nullptr) {
        options->FindInt32("ra_back_col", &back);
        options->FindBool("ra_hasbackcol", &hasBack);
    }
    const bool compose = hasBack || !KeepsAlpha();
    YKRasterSteps steps(progress, compose ? 3 : 2);
    int32 step = 1;
    if (!steps.Begin(step++, "Gathering Raster Info…")) {
        SetError(error, "cancelled");
        return false;
    }
    const std::unique_ptr<YKRaster> copy = raster.DuplicateRaster(YK_RASTER_OWN);
    if (copy == nullptr || copy->Bits() == nullptr || copy->BytesPerPixel() != 4) {
        SetError(error, "nothing to write: the raster has no 32-bit pixels");
        return steps.End(false);
    }
    if (compose) {
        if (!steps.Begin(step++, "Composing Alpha Layer…")) {
            SetError(error, "cancelled");
            return false;
        }
        const auto under = static_cast<uint32>(back);
        RemoveTransparency(*copy, KeepsAlpha() ? under : under | 0xFF000000u);
    }
    if (!steps.Begin(step, "Exporting with the Translator…")) {
        SetError(error, "cancelled");
        return false;
    }
    const auto format = std::find_if(Formats().begin(), Formats().end(), [](const std::string& f) {
        return QImageWriter::supportedImageFormats().contains(QByteArray::fromStdString(f));
    });
    QByteArray bytes;
    if (format == Formats().end() ||
        !Encode(*copy, QByteArray::fromStdString(*format), &bytes, error) ||
        !Store(path, bytes, error)) {
        return steps.End(false);
    }
    YKRasterFilters::SetMimeType(path, MimeType());
    return steps.End(true);
}

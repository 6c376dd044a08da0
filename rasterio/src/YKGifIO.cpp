// GIF files through the registry: still (the first image) and animation (every frame).

#include <cstring>
#include <string>

#include "YKAnimGifIO.h"
#include "YKMessage.h"
#include "YKReadGif.h"
#include "YKSimpleGifIO.h"
#include "yk_file_head_internal.h"
#include "yk_image_limits.h"
#include "yk_io_error_internal.h"

namespace {

// What the reader had to say: a warning goes into `info` as "ra_warning", an error into `error`
// in place of the general text.
void Report(const YKReadGif& reader, const char* path, YKMessage* info, std::string* error) {
    if (info != nullptr && !reader.Warning().empty()) {
        info->AddString(YKRasterIO::kWarningField, reader.Warning());
    }
    if (!reader.Error().empty()) {
        yk_set_error(error, reader.Error());
    } else {
        yk_set_error(error, std::string("cannot read the GIF file ") + path);
    }
}

}  // namespace

bool YKSimpleGifIO::IsGif(const char* path) {
    uint8 head[6];
    return yk_read_file_head(path, head, sizeof head) == sizeof head &&
           (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0);
}

std::unique_ptr<YKRaster> YKSimpleGifIO::Read(const char* path, YKMessage* info, bool native,
                                              std::string* error) const {
    YKReadGif reader;
    std::unique_ptr<YKRaster> raster;
    if (!reader.BeginRead(path, info, native) || !reader.ReadNextImage(raster)) {
        Report(reader, path, nullptr, error);
        return nullptr;
    }
    Report(reader, path, info, nullptr);
    return raster;
}

bool YKAnimGifIO::Accept(const char* path, YKMessage* info) const {
    if (info != nullptr) {
        info->MakeEmpty();
    }
    return YKSimpleGifIO::IsGif(path);
}

bool YKAnimGifIO::Read(const char* path, YKRasterList& list, int32 first, int32 last,
                       YKMessage* info, bool native, std::string* error) const {
    YKReadGif reader;
    const int32 before = list.CountItems();
    bool overLimit = false;
    if (reader.BeginRead(path, info, native)) {
        std::unique_ptr<YKRaster> frame;
        int64 bytes = 0;
        for (int32 index = 0; (last < 0 || index <= last) && reader.ReadNextImage(frame); ++index) {
            if (index < first) {
                continue;
            }
            // A few bytes of a file can claim a whole screen for each image; the images are kept
            // as one image sequence, which obeys the limit of one image.
            bytes += frame->BitsLength();
            if (bytes > kYKMaxImageBytes) {
                overLimit = true;
                break;
            }
            list.AddItem(frame.release());
        }
    }
    // A file with an image that cannot be shown is refused whole, not shown in part.
    if (list.CountItems() == before || !reader.Error().empty()) {
        while (list.CountItems() > before) {
            delete list.RemoveItem(list.CountItems() - 1);
        }
        Report(reader, path, nullptr, error);
        return false;
    }
    Report(reader, path, info, nullptr);
    if (overLimit && info != nullptr) {
        info->AddString(kWarningField, "GIF images from " +
                                           std::to_string(list.CountItems() - before + 1) +
                                           " on are left out: with them the frames exceed 1 GiB");
    }
    return true;
}

// The raster registry.

#include "YKRasterFilters.h"

#include <sys/xattr.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "InverseQuantizerInfo.h"
#include "NeuralNetQuantizerInfo.h"
#include "OctreeQuantizerInfo.h"
#include "YKAnimGifIO.h"
#include "YKApngIO.h"
#include "YKJavaScriptIO.h"
#include "YKJpegIO.h"
#include "YKPngIO.h"
#include "YKSimpleGifIO.h"
#include "YKTargaIO.h"
#include "YKWebpAnimIO.h"

YKRasterFilters* YKRasterFilters::Instantiate() {
    static YKRasterFilters filters;
    return &filters;
}

// The orders fix the ids and which reader is tried first: a GIF opens as an animation before it
// opens as a still, Targa, which has no signature, comes after every format that has one, and
// the default quantizer id 0 is the octree.
YKRasterFilters::YKRasterFilters() {
    mFilters.AddItem(new YKAnimGifIO);
    mFilters.AddItem(new YKSimpleGifIO);
    mFilters.AddItem(new YKJpegIO);
    mFilters.AddItem(new YKPngIO);
    mFilters.AddItem(new YKTargaIO);
    mFilters.AddItem(new YKJavaScriptIO);
    mFilters.AddItem(new YKWebpAnimIO);
    mFilters.AddItem(new YKApngIO);
    mQuantizers.AddItem(new OctreeQuantizerInfo);
    mQuantizers.AddItem(new InverseQuantizerInfo);
    mQuantizers.AddItem(new NeuralNetQuantizerInfo);
}

YKRasterFilters::~YKRasterFilters() {
    for (int32 i = 0; i < mFilters.CountItems(); ++i) {
        delete mFilters.ItemAt(i);
    }
    for (int32 i = 0; i < mQuantizers.CountItems(); ++i) {
        delete mQuantizers.ItemAt(i);
    }
}

void YKRasterFilters::AddFilter(std::unique_ptr<YKRasterIO> filter) {
    // Appending cannot fail short of memory, which throws: the pointer is let go only once held.
    mFilters.AddItem(filter.get());
    filter.release();
}

// The type is a convenience for file managers: a file system without user attributes (tmpfs,
// FAT) or a special file (FIFO, /dev/null) simply goes without it.
void YKRasterFilters::SetMimeType(const char* path, const char* type) {
    setxattr(path, "user.mime_type", type, std::strlen(type), 0);
}

YKRasterIO* YKRasterFilters::FilterForId(int32 id) const {
    for (int32 i = 0; i < mFilters.CountItems(); ++i) {
        if (mFilters.ItemAt(i)->Id() == id) {
            return mFilters.ItemAt(i);
        }
    }
    return nullptr;
}

bool YKRasterFilters::FirstWithExtension(
    const std::function<bool(const YKRasterIO&, std::string_view)>& matches, int32* id) const {
    for (int32 i = 0; i < mFilters.CountItems(); ++i) {
        std::string_view entries(mFilters.ItemAt(i)->Extension());
        while (!entries.empty()) {
            const std::size_t end = std::min(entries.find(';'), entries.size());
            if (matches(*mFilters.ItemAt(i), entries.substr(0, end))) {
                *id = mFilters.ItemAt(i)->Id();
                return true;
            }
            entries.remove_prefix(std::min(end + 1, entries.size()));
        }
    }
    return false;
}

bool YKRasterFilters::FilterIdForExtension(const char* extension, int32* id) const {
    const std::string_view wanted(extension);
    return FirstWithExtension(
        [wanted](const YKRasterIO&, std::string_view entry) { return entry.starts_with(wanted); },
        id);
}

bool YKRasterFilters::WriterIdForExtension(const char* extension, uint32 capabilities,
                                           int32* id) const {
    const std::string_view wanted(extension);
    return FirstWithExtension(
        [wanted, capabilities](const YKRasterIO& io, std::string_view entry) {
            return (io.Capabilities() & capabilities) == capabilities &&
                   std::equal(entry.begin(), entry.end(), wanted.begin(), wanted.end(),
                              [](char a, char b) {
                                  return std::tolower(static_cast<unsigned char>(a)) ==
                                         std::tolower(static_cast<unsigned char>(b));
                              });
        },
        id);
}

QuantizerInfo* YKRasterFilters::QuantizerInfoForId(int32 id) const {
    for (int32 i = 0; i < mQuantizers.CountItems(); ++i) {
        if (mQuantizers.ItemAt(i)->Id() == id) {
            return mQuantizers.ItemAt(i);
        }
    }
    return nullptr;
}

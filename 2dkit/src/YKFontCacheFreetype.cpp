#include "YKFontCacheFreetype.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <tuple>

#include "YKFontCacheFile.h"
#include "YKInstalledFonts.h"

namespace {

// The file carries the time its listing began, so that a font added while the listing runs is
// newer than the cache and the next start lists it. File systems may stamp a change with a
// clock that lags by up to one tick: the time is taken that much earlier, which at worst
// rebuilds once more for a change made just before the listing.
timespec ListingStart() {
    timespec now{}, tick{};
    clock_gettime(CLOCK_REALTIME, &now);
    clock_getres(CLOCK_REALTIME_COARSE, &tick);
    const int64 nanoseconds = int64(now.tv_sec) * 1000000000 + now.tv_nsec -
                              (int64(tick.tv_sec) * 1000000000 + tick.tv_nsec) - 1;
    return {time_t(nanoseconds / 1000000000), long(nanoseconds % 1000000000)};
}

}  // namespace

YKFontCacheFreetype::YKFontCacheFreetype(const std::string& settingsFolder, bool rebuild) {
    std::error_code ignored;
    std::filesystem::create_directories(settingsFolder, ignored);
    mPath = (std::filesystem::path(settingsFolder) / kFileName).string();
    // A file that fails any check is never trusted, only replaced.
    mReady = !rebuild && !NeedRebuildTest() && YKFontCacheFile::Read(mPath, &mFonts);
    if (!mReady) {
        mReady = BuildCache();
    }
}

bool YKFontCacheFreetype::GetNextFont(std::string* path, std::string* file, std::string* family,
                                      std::string* style) {
    if (path == nullptr || file == nullptr || family == nullptr || style == nullptr ||
        mNext >= mFonts.size()) {
        return false;
    }
    const YKFontCacheEntry& font = mFonts[mNext++];
    *path = font.path;
    *file = font.file;
    *family = font.family;
    *style = font.style;
    return true;
}

bool YKFontCacheFreetype::BuildCache() {
    std::vector<YKFontCacheEntry> fonts;
    const timespec started = ListingStart();
    YKInstalledFonts::List(&fonts);
    // A name too long for the file's lines is no font the menus could offer.
    std::erase_if(fonts, [](const auto& font) { return !YKFontCacheFile::Storable(font); });
    mRebuilt = true;
    mNext = 0;
    if (!YKFontCacheFile::Write(mPath, fonts, started)) {
        mFonts.clear();
        return false;
    }
    mFonts = std::move(fonts);
    return true;
}

bool YKFontCacheFreetype::NeedRebuildTest() const {
    struct stat info;
    if (::stat(mPath.c_str(), &info) != 0) {
        return true;
    }
    const timespec newest = YKInstalledFonts::NewestChange();
    return std::tie(newest.tv_sec, newest.tv_nsec) >
           std::tie(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
}

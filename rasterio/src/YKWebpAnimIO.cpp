// Animated WebP export through libwebp's animation encoder.

#include "YKWebpAnimIO.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "YKMessage.h"
#include "YKRaster.h"
#include "yk_anim_export_internal.h"
#include "yk_anim_palette_internal.h"
#include "yk_io_error_internal.h"

namespace {

using yk_anim_export::Coder;

constexpr int32 kDefaultQuality = 80;
// The ANIM chunk holds the loop count in 16 bits.
constexpr int32 kMaxPlays = 0xFFFF;
// The encoder's timestamps are ints of milliseconds; one more frame of the longest delay must fit.
constexpr int kMaxTime = std::numeric_limits<int>::max() - 0xFFFF * 10;

class WebpCoder : public Coder {
public:
    WebpCoder(bool lossless, int32 quality, const yk_anim_export::Options& options)
        : mLossless(lossless), mQuality(quality), mOptions(options) {}
    ~WebpCoder() override {
        if (mEncoder != nullptr) {
            WebPAnimEncoderDelete(mEncoder);
        }
    }

    bool Begin(std::FILE* file, int32 width, int32 height, int32, std::string* error) override {
        mFile = file;
        if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION) {
            yk_set_error(error, "a WebP image is at most 16383 pixels wide and high");
            return false;
        }
        WebPAnimEncoderOptions settings;
        if (!WebPAnimEncoderOptionsInit(&settings) || !WebPConfigInit(&mConfig)) {
            yk_set_error(error, "the WebP library is not the version this program was built with");
            return false;
        }
        settings.anim_params.loop_count = std::min(mOptions.plays, kMaxPlays);
        // Our pixel word has the layout of the ANIM chunk's colour.
        settings.anim_params.bgcolor = mOptions.hasBack ? mOptions.back : 0;
        mConfig.lossless = mLossless ? 1 : 0;
        if (!mLossless) {
            mConfig.quality = static_cast<float>(mQuality);
        }
        mEncoder = WebPAnimEncoderNew(width, height, &settings);
        if (mEncoder == nullptr || !WebPValidateConfig(&mConfig)) {
            yk_set_error(error, "cannot start the WebP encoder");
            return false;
        }
        return true;
    }

    bool Add(const YKRaster& frame, int32 delay, std::string* error) override {
        WebPPicture picture;
        if (!WebPPictureInit(&picture)) {
            yk_set_error(error, "cannot start the WebP encoder");
            return false;
        }
        picture.use_argb = 1;
        picture.width = frame.Width();
        picture.height = frame.Height();
        if (!WebPPictureAlloc(&picture)) {
            yk_set_error(error, "out of memory");
            return false;
        }
        // The encoder's ARGB words are our pixels.
        for (int32 y = 0; y < frame.Height(); ++y) {
            std::memcpy(picture.argb + int64{y} * picture.argb_stride,
                        frame.Bits() + int64{y} * frame.BytesPerRow(),
                        std::size_t(frame.Width()) * 4);
        }
        const bool added = WebPAnimEncoderAdd(mEncoder, &picture, mTime, &mConfig) != 0;
        WebPPictureFree(&picture);
        if (!added) {
            return Failed(error);
        }
        // The encoder refuses frames of no duration; a browser shows them for longer anyway.
        mTime += std::max(delay * 10, 1);
        if (mTime > kMaxTime) {
            yk_set_error(error, "the animation lasts too long for a WebP file");
            return false;
        }
        return true;
    }

    bool Finish(std::string* error) override {
        if (!WebPAnimEncoderAdd(mEncoder, nullptr, mTime, nullptr)) {
            return Failed(error);
        }
        WebPData data;
        WebPDataInit(&data);
        if (!WebPAnimEncoderAssemble(mEncoder, &data)) {
            return Failed(error);
        }
        const bool written = std::fwrite(data.bytes, 1, data.size, mFile) == data.size;
        WebPDataClear(&data);
        if (!written) {
            yk_set_error(error, "cannot write the file: the disk refused the data");
        }
        return written;
    }

private:
    bool Failed(std::string* error) const {
        const char* why = WebPAnimEncoderGetError(mEncoder);
        yk_set_error(error, std::string("the WebP encoder failed") +
                                (why != nullptr && *why != '\0' ? std::string(": ") + why : ""));
        return false;
    }

    bool mLossless;
    int32 mQuality;
    const yk_anim_export::Options& mOptions;
    std::FILE* mFile = nullptr;
    WebPConfig mConfig{};
    WebPAnimEncoder* mEncoder = nullptr;
    int mTime = 0;  // milliseconds
};

}  // namespace

bool YKWebpAnimIO::Write(const char* path, YKAnimationSource& source, const YKMessage* options,
                         YKRasterProgress* progress, std::string* error) const {
    yk_anim_export::Options settings;
    settings.Read(options);
    bool lossless = true;
    int32 quality = kDefaultQuality;
    bool palette = false;
    if (options != nullptr) {
        options->FindBool("webp_lossless", &lossless);
        if (options->FindInt32("webp_quality", &quality)) {
            quality = std::clamp(quality, 0, 100);
        }
        options->FindBool("webp_palette", &palette);
    }
    WebpCoder coder(lossless, quality, settings);
    if (!palette) {
        return yk_anim_export::Run(path, MimeType(), source, settings, coder, progress, error);
    }
    yk_gif_export::Options reduction;
    if (!reduction.Read(options, error)) {
        return false;
    }
    // Without a background of its own the animation is clear where nothing is drawn.
    reduction.back = settings.hasBack ? settings.back : settings.back & 0x00FFFFFF;
    yk_anim_export::PaletteCoder reduced(reduction, coder);
    return yk_anim_export::Run(path, MimeType(), source, settings, reduced, progress, error);
}

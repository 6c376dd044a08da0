// JPEG files judged by libjpeg's own programs and ImageMagick. Ours must decode in djpeg to the
// pixels we read from them, and in ImageMagick to nearly those; at equal quality they must be
// as small and as faithful as cjpeg's from the same picture.

#include "JpegTestFiles.h"
#include "PeerPrograms.h"
#include "ReferenceImage.h"
#include "YKJpegIO.h"
#include "YKMessage.h"

namespace {

using namespace jpeg_test;

class JpegInteropTest : public PeerTest {
protected:
    void SetUp() override { Require({kMagick, kCjpeg, kDjpeg}); }

    // Writes a file of ours and returns the pixels djpeg decodes from `path`.
    std::vector<uint32> Djpeg(const std::string& path) {
        Run(std::string(kDjpeg) + " -ppm -outfile '" + Path("decoded.ppm") + "' '" + path + "'");
        return PpmPixels(ReadByteValues(Path("decoded.ppm")));
    }

    static constexpr const char* kCjpeg = "/usr/bin/cjpeg";
    static constexpr const char* kDjpeg = "/usr/bin/djpeg";
};

TEST_F(JpegInteropTest, OursDecodeInDjpegAndImageMagick) {
    const auto photo = PhotoRaster(203, 117);
    for (const bool progressive : {false, true}) {
        YKMessage options;
        options.AddInt32("jpeg_quality", 85);
        options.AddBool("ra_interlace", progressive);
        const std::string path = Path("ours.jpg");
        ASSERT_TRUE(YKJpegIO().Write(path.c_str(), *photo, &options, nullptr, nullptr));
        const auto ours = ImageOf(*YKJpegIO().Read(path.c_str(), nullptr, false, nullptr)).pixels;
        EXPECT_EQ(Djpeg(path), ours);
        const auto magick = MagickDecode(path);
        ASSERT_EQ(magick.size(), ours.size());
        EXPECT_GT(Psnr(magick, ours), 45);
        EXPECT_GT(Psnr(ours, ImageOf(*photo).pixels), 30);
    }
}

TEST_F(JpegInteropTest, SizeAndFidelityMatchCjpegAtEqualQuality) {
    const auto photo = PhotoRaster(320, 240);
    const auto original = ImageOf(*photo).pixels;
    std::string ppm = "P6\n320 240\n255\n";
    for (const uint32 p : original) {
        ppm += {char(p >> 16), char(p >> 8), char(p)};
    }
    WriteBytes(Path("photo.ppm"), ppm);
    for (const int32 quality : {75, 90}) {
        YKMessage options;
        options.AddInt32("jpeg_quality", quality);
        ASSERT_TRUE(YKJpegIO().Write(Path("ours.jpg").c_str(), *photo, &options, nullptr, nullptr));
        Run(std::string(kCjpeg) + " -quality " + std::to_string(quality) + " -outfile '" +
            Path("cjpeg.jpg") + "' '" + Path("photo.ppm") + "'");
        const double ourSize = double(ReadByteValues(Path("ours.jpg")).size());
        const double peerSize = double(ReadByteValues(Path("cjpeg.jpg")).size());
        const double ourPsnr = Psnr(Djpeg(Path("ours.jpg")), original);
        const double peerPsnr = Psnr(Djpeg(Path("cjpeg.jpg")), original);
        EXPECT_NEAR(ourSize / peerSize, 1, 0.01)
            << quality << ": " << ourSize << " vs " << peerSize;
        EXPECT_NEAR(ourPsnr / peerPsnr, 1, 0.01)
            << quality << ": " << ourPsnr << " vs " << peerPsnr;
    }
}

}  // namespace

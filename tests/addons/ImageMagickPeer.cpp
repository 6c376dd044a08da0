// Runs convert on PAM files in a temporary folder.

#include "ImageMagickPeer.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TempDir.h"

namespace {

void WriteNetpbm(const KernelImage& image, bool withAlpha, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    if (withAlpha) {
        out << "P7\nWIDTH " << image.width << "\nHEIGHT " << image.height
            << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    } else {
        out << "P6\n" << image.width << " " << image.height << "\n255\n";
    }
    for (const uint32 pixel : image.pixels) {
        out.put(char(pixel >> 16)).put(char(pixel >> 8)).put(char(pixel));
        if (withAlpha) {
            out.put(char(pixel >> 24));
        }
    }
}

// Reads the PAM that convert writes: RGB or RGB_ALPHA, 8 bits.
std::optional<KernelImage> ReadPam(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line, key;
    int32 width = 0, height = 0, depth = 0, maxval = 0;
    if (!std::getline(in, line) || line != "P7") {
        return std::nullopt;
    }
    while (std::getline(in, line) && line != "ENDHDR") {
        std::istringstream fields(line);
        fields >> key;
        if (key == "WIDTH")
            fields >> width;
        if (key == "HEIGHT")
            fields >> height;
        if (key == "DEPTH")
            fields >> depth;
        if (key == "MAXVAL")
            fields >> maxval;
    }
    if (width <= 0 || height <= 0 || (depth != 3 && depth != 4) || maxval != 255) {
        return std::nullopt;
    }
    KernelImage image(width, height);
    std::vector<unsigned char> bytes(size_t(width) * height * depth);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()))) {
        return std::nullopt;
    }
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const unsigned char* p = &bytes[i * depth];
        const uint32 alpha = depth == 4 ? p[3] : 255;
        image.pixels[i] = alpha << 24 | uint32(p[0]) << 16 | uint32(p[1]) << 8 | p[2];
    }
    return image;
}

}  // namespace

std::optional<KernelImage> ThroughConvert(const KernelImage& image, const std::string& options,
                                          bool withAlpha) {
    TempDir dir;
    const std::string in = dir.PathOf(withAlpha ? "in.pam" : "in.ppm");
    const std::string out = dir.PathOf("out.pam");
    WriteNetpbm(image, withAlpha, in);
    const std::string command = "convert " + in + " " + options + " -depth 8 PAM:" + out;
    if (std::system(command.c_str()) != 0) {
        return std::nullopt;
    }
    return ReadPam(out);
}

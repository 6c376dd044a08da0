#include "FileBytes.h"

#include <fstream>
#include <iterator>

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8> ReadByteValues(const std::filesystem::path& path) {
    const std::string bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8>& bytes) {
    WriteBytes(path, std::string(bytes.begin(), bytes.end()));
}

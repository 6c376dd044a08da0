#pragma once

#include <filesystem>
#include <string>

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
// Replaces the content of a file with `bytes`.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

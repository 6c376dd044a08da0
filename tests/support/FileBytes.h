#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "yk_types.h"

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
// The same as numbers, for tests that build or patch binary files.
std::vector<uint8> ReadByteValues(const std::filesystem::path& path);
// Replaces the content of a file with `bytes`.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8>& bytes);

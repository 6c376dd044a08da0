#include "TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "gravik-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder from " + pattern);
    }
    mPath = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;  // a test that already removed it must not fail here
    std::filesystem::remove_all(mPath, ignored);
}

#pragma once

#include <filesystem>
#include <string>

// A fresh folder of its own under the system's temporary folder, removed with all it holds when
// the object goes: tests that write files run side by side without seeing each other's.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return mPath; }
    // The path of `name` inside the folder.
    std::string PathOf(const std::string& name) const { return (mPath / name).string(); }

private:
    std::filesystem::path mPath;
};

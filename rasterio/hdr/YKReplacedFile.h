#pragma once

// YKReplacedFile: writes a file through a temporary one in the same folder that takes the
// target's place only when Commit() succeeds, so a write that fails half-way (a full disk, a
// coder error) leaves the file that was there before untouched.

#include <cstdio>
#include <string>

class YKReplacedFile {
public:
    // Creates the temporary file; Stream() is null when that fails, with the reason in Error().
    explicit YKReplacedFile(const char* path);
    YKReplacedFile(const YKReplacedFile&) = delete;
    YKReplacedFile& operator=(const YKReplacedFile&) = delete;
    // Removes the temporary file unless it was committed.
    ~YKReplacedFile();

    std::FILE* Stream() const { return mStream; }
    const std::string& Error() const { return mError; }
    // Flushes the data to disk and renames the temporary file over the target. False, with the
    // reason in Error(), when any of that fails; the temporary file is then removed.
    bool Commit();

private:
    std::string mTarget;
    std::string mTemporary;
    std::FILE* mStream = nullptr;
    std::string mError;
};

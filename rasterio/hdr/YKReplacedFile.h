#pragma once

// YKReplacedFile: writes a file so that a write failing half-way (a full disk, a coder error)
// never damages what the path named before. The new content always goes to a temporary file
// first; Commit() then puts it in place:
//  - a regular file (or none) with one link: the temporary, made beside it as NAME.saving-PID~
//    and given the old file's mode and owner, is renamed over it;
//  - a regular file with several links: the content is copied into it, so every name still
//    shows the same file;
//  - a FIFO or a character device (/dev/null, /dev/stdout): the content is written to it;
//  - a folder, a block device, a socket: refused.
// A symbolic link is followed to the file it names, which is written; the link stays.

#include <sys/types.h>

#include <cstdio>
#include <string>

class YKReplacedFile {
public:
    // Prepares the temporary file; Stream() is null when that fails or the target cannot be
    // written, with the reason in Error(). Removes temporaries that killed runs left beside
    // the target.
    explicit YKReplacedFile(const char* path);
    YKReplacedFile(const YKReplacedFile&) = delete;
    YKReplacedFile& operator=(const YKReplacedFile&) = delete;
    // Removes the temporary file unless its content was put in place.
    ~YKReplacedFile();

    std::FILE* Stream() const { return mStream; }
    // The temporary file's name, for writers that open files by name. They close it before
    // Commit().
    const std::string& TemporaryPath() const { return mTemporary; }
    // Why the file cannot be written, without the path (the caller names it).
    const std::string& Error() const { return mError; }
    // Puts the content in place as the class comment says. False, with the reason in Error(),
    // when any of that fails.
    bool Commit();

private:
    enum class Placing { kRename, kCopyInto };

    bool PrepareTarget(const char* path);
    bool CreateBeside();
    bool CreateAnonymous();
    // Writes go to the new temporary `name` open on `fd`; on failure both are gone.
    bool TakeTemporary(int fd, const std::string& name);
    bool CopyInto();
    void Fail(const std::string& what, int error);

    std::string mTarget;
    std::string mTemporary;
    std::FILE* mStream = nullptr;
    std::string mError;
    Placing mPlacing = Placing::kRename;
    // The target as it was: whether it existed, and its mode and owner.
    bool mExisted = false;
    mode_t mMode = 0;
    uid_t mOwner = 0;
    gid_t mGroup = 0;
    // A FIFO or a device, opened before any work so that a FIFO without a reader fails at once.
    int mSpecial = -1;
};

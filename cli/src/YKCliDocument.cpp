#include "YKCliDocument.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "YKCliReport.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKMessage.h"
#include "YKMsgFile.h"
#include "YKRasterFile.h"
#include "yk_open_input.h"

namespace {

// --- Why a file did not load ---

// The load error texts are written for the application's alert; the command line tells the
// user which step of reading the file failed instead.
std::string WhyDocumentFailed(const char* path, const std::string& loadError) {
    YKMsgFile file;
    if (!file.Open(path, YK_BIN_READ_ONLY)) {
        return "not a Gravik document (damaged file header)";
    }
    const int32 count = file.CountMessages();
    const auto damaged = [count](int32 record, int64 offset) {
        return "damaged at record " + std::to_string(record) + " of " + std::to_string(count) +
               " (offset " + std::to_string(offset) + ")";
    };
    if (count < 1) {
        return "not a Gravik document (a message file holding no message)";
    }
    YKMessage version;
    int64 offset = file.CurrentRecordOffset();
    if (!file.GetMessage(&version)) {
        return damaged(1, offset);
    }
    int32 number = 0;
    if (version.what != YKDocument::kVersionWhat || !version.FindInt32("vers", &number)) {
        return "not a Gravik document (a Gravik message file of another kind)";
    }
    const std::string newest = std::to_string(YKDocument::kFileVersion);
    if (number < 100 || number > YKDocument::kFileVersion) {
        return "a Gravik document of version " + std::to_string(number) +
               ", which cannot be loaded (versions 100 to " + newest + " can)";
    }
    if (count < 2) {
        return "incomplete Gravik document (no document record after the version record)";
    }
    YKMessage document;
    offset = file.CurrentRecordOffset();
    if (!file.GetMessage(&document)) {
        return damaged(2, offset);
    }
    // The records read: the document itself refused what they hold.
    return loadError;
}

std::string WhyNotLoaded(const char* path, const std::string& loadError) {
    uint8 head[8] = {};
    if (FILE* file = yk_fopen_input(path)) {
        const size_t got = std::fread(head, 1, sizeof head, file);
        std::fclose(file);
        const uint32 signature =
            uint32{head[0]} << 24 | uint32{head[1]} << 16 | uint32{head[2]} << 8 | head[3];
        if (got >= 4 && signature == YKMsgFile::kSignature) {
            return WhyDocumentFailed(path, loadError);
        }
        // An image whose reader took it for its own says why it could not read it.
        const YKRasterFile image(path);
        if (image.Recognised()) {
            return image.InitCheck() ? loadError : image.ErrorText();
        }
    }
    return "not a Gravik document, nor an image of a known format";
}

}  // namespace

YKDocument* YKOpenForCommand(const char* path, YKDispatcher* dispatcher) {
    // What every reader would refuse is told as such, before any reader guesses at it.
    std::string reason;
    const int fd = yk_open_input(path, &reason);
    if (fd < 0) {
        YKCliError(path, reason);
        return nullptr;
    }
    struct stat status;
    const bool empty = fstat(fd, &status) == 0 && status.st_size == 0;
    close(fd);
    if (empty) {
        YKCliError(path, "an empty file, not a Gravik document");
        return nullptr;
    }
    const std::string name = std::filesystem::path(path).filename().string();
    std::string error;
    YKDocument* document = YKDocument::Load(path, name.c_str(), false, dispatcher, &error);
    if (document == nullptr) {
        YKCliError(path, WhyNotLoaded(path, error));
        return nullptr;
    }
    // An image shown as far as it could be read still says what was wrong with it.
    for (const std::string& warning : document->OpenWarnings()) {
        YKCliWarning(path, warning);
    }
    return document;
}

#include "YKDumpCommand.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>

#include "YKMessage.h"
#include "YKMessagePrinter.h"
#include "YKMsgFile.h"

int YKDumpCommand::Run(const char* path) {
    // Opening for reading first tells a missing file from one that is not a message file.
    if (FILE* probe = std::fopen(path, "rb"); probe == nullptr) {
        std::fprintf(mErr, "gravik-cli: cannot open \"%s\": %s\n", path, std::strerror(errno));
        return 1;
    } else {
        std::fclose(probe);
    }
    YKMsgFile file;
    if (!file.Open(path, EYKBinOpenMode(0))) {
        std::fprintf(mErr, "gravik-cli: \"%s\" is not a Gravik message file (bad header)\n", path);
        return 1;
    }
    const int32 count = file.CountMessages();
    std::fprintf(mOut,
                 "file \"%s\": signature %s, version %" PRIu32 ", flags 0x%02" PRIx32
                 " (%s), %" PRId32 " message%s\n",
                 path, YKMessagePrinter::CodeText(file.Signature()).c_str(), file.Version(),
                 file.Flags(), file.IsPacked() ? "packed" : "plain", count, count == 1 ? "" : "s");
    YKMessagePrinter printer(mOut);
    for (int32 i = 0; i < count; ++i) {
        const int64 offset = file.CurrentRecordOffset();
        YKMessage message;
        if (!file.GetMessage(&message)) {
            std::fflush(mOut);
            std::fprintf(mErr,
                         "gravik-cli: \"%s\": record %" PRId32 " of %" PRId32 " at offset %" PRId64
                         " is damaged or cut short\n",
                         path, i + 1, count, offset);
            return 1;
        }
        std::fprintf(mOut, "\nrecord %" PRId32 " at offset %" PRId64 ": ", i + 1, offset);
        printer.Print(message);
    }
    return 0;
}

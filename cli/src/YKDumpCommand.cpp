#include "YKDumpCommand.h"

#include <unistd.h>

#include <cinttypes>
#include <string>

#include "YKCliReport.h"
#include "YKMessage.h"
#include "YKMessagePrinter.h"
#include "YKMsgFile.h"
#include "yk_open_input.h"

int YKDumpCommand::Run(const char* path) {
    // Opening for reading first tells a missing file from one that is not a message file.
    std::string reason;
    if (const int fd = yk_open_input(path, &reason); fd < 0) {
        YKCliError(path, reason);
        return 1;
    } else {
        close(fd);
    }
    YKMsgFile file;
    if (!file.Open(path, EYKBinOpenMode(0))) {
        YKCliError(path, "not a Gravik message file (bad header)");
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
            YKCliError(path, "record " + std::to_string(i + 1) + " of " + std::to_string(count) +
                                 " at offset " + std::to_string(offset) +
                                 " is damaged or cut short");
            return 1;
        }
        std::fprintf(mOut, "\nrecord %" PRId32 " at offset %" PRId64 ": ", i + 1, offset);
        printer.Print(message);
    }
    return 0;
}

// Reads arbitrary bytes as a message container: every record in order, then by index.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "YKMessage.h"
#include "YKMsgFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char path[] = "/tmp/gravik-fuzz-msgfile-XXXXXX";
    static const int fd = mkstemp(path);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
        std::abort();
    }
    YKMsgFile file;
    if (!file.Open(path, EYKBinOpenMode(0))) {
        return 0;
    }
    const int32 count = int32(file.CountMessages() > 64 ? 64 : file.CountMessages());
    YKMessage message;
    while (file.GetMessage(&message)) {
    }
    for (int32 i = count - 1; i >= 0; --i) {
        file.GetMessage(&message, i);
    }
    return 0;
}

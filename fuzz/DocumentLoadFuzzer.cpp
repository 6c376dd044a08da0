// Opens arbitrary bytes as a document file. Whatever loads must also save and load again.

#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "YKDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char path[] = "/tmp/gravik-fuzz-document-XXXXXX";
    static const int fd = mkstemp(path);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
        std::abort();
    }
    std::unique_ptr<YKDocument> document(YKDocument::Load(path, "fuzz", false, nullptr));
    if (document == nullptr) {
        return 0;
    }
    static const std::string copy = std::string(path) + ".saved";
    if (!document->SaveInto(copy.c_str(), false)) {
        std::abort();
    }
    std::unique_ptr<YKDocument> again(YKDocument::Load(copy.c_str(), "again", false, nullptr));
    if (again == nullptr) {
        std::abort();
    }
    return 0;
}

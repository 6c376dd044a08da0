// Opens arbitrary bytes as a document file. Whatever loads is composed over its canvas (which
// runs the effects, caches and merge methods its layers ask for), and must save and load again.

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "YKBitmap.h"
#include "YKDocument.h"
#include "YKViewerLayer.h"

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
    // A hostile canvas size must not turn into a huge composition; a corner of it will do.
    YKRect<int32> canvas = document->Frame();
    canvas.right = static_cast<int32>(std::min<int64>(canvas.right, int64{canvas.left} + 255));
    canvas.bottom = static_cast<int32>(std::min<int64>(canvas.bottom, int64{canvas.top} + 255));
    if (canvas.IsValid()) {
        YKBitmap view;
        YKViewerLayer* root = document->ViewerLayer();
        for (int32 i = 0; i < root->CountChildren(); ++i) {
            root->ChildAt(i)->ComposeLayer(&view, canvas);
        }
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

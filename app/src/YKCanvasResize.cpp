#include "YKCanvasResize.h"

#include <cstring>

#include "YKDocument.h"
#include "yk_image_limits.h"

namespace {

// 'YKRC': a yk_color as raw bytes.
constexpr uint32 kColorType = 'YKRC';
// A canvas resize, as the document's undo records name it.
constexpr int32 kResizeKind = 2;

}  // namespace

YKRect<int32> YKCanvasResize::NewFrame(YKRect<int32> current, int32 width, int32 height,
                                       int32 anchor) {
    if (anchor < 0 || anchor >= kAnchorCount) {
        anchor = 4;
    }
    const int64 oldWidth = int64{current.right} - current.left + 1;
    const int64 oldHeight = int64{current.bottom} - current.top + 1;
    // Column and row of the anchor: 0 keeps the near edge, 1 the middle, 2 the far edge.
    const auto shift = [](int32 place, int64 before, int64 after) -> int64 {
        return place == 0 ? 0 : place == 1 ? (before - after) / 2 : before - after;
    };
    const int64 dx = shift(anchor % 3, oldWidth, width) + current.left;
    const int64 dy = shift(anchor / 3, oldHeight, height) + current.top;
    return {static_cast<int32>(dx), static_cast<int32>(dy), static_cast<int32>(dx + width - 1),
            static_cast<int32>(dy + height - 1)};
}

std::string YKCanvasResize::CheckSize(int64 width, int64 height) {
    if (width < 1 || height < 1) {
        return "The canvas must be at least 1 pixel wide and high.";
    }
    if (!yk_image_size_ok(width, height, 4)) {
        return "The canvas may be at most " + std::to_string(kYKMaxImageSide) +
               " pixels on a side and " + std::to_string(kYKMaxImageBytes / 4 / 1024 / 1024) +
               " million pixels in all.";
    }
    return {};
}

YKMessage YKCanvasResize::Message(YKDocument* document, YKRect<int32> frame, yk_color background) {
    YKMessage message('Cnvs');
    message.AddPointer("document", document);
    message.AddInt32("Left", frame.left);
    message.AddInt32("Right", frame.right);
    message.AddInt32("Top", frame.top);
    message.AddInt32("Bottom", frame.bottom);
    message.AddData("color", kColorType, &background, sizeof(background));
    return message;
}

bool YKCanvasResize::Apply(YKDocument* document, const YKMessage& message, std::string* error) {
    YKRect<int32> frame;
    if (!message.FindInt32("Left", &frame.left) || !message.FindInt32("Right", &frame.right) ||
        !message.FindInt32("Top", &frame.top) || !message.FindInt32("Bottom", &frame.bottom)) {
        *error = "The canvas size is missing.";
        return false;
    }
    // Computed wide, so that edges far apart cannot overflow.
    *error = CheckSize(int64{frame.right} - frame.left + 1, int64{frame.bottom} - frame.top + 1);
    if (!error->empty() || !document->SetFrame(frame, kResizeKind)) {
        if (error->empty()) {
            *error = "The canvas cannot be placed there.";
        }
        return false;
    }
    const void* data = nullptr;
    ssize_t size = 0;
    if (message.FindData("color", kColorType, &data, &size) && size == sizeof(yk_color)) {
        yk_color background;
        std::memcpy(&background, data, sizeof(background));
        document->SetBackgroundColor(background);
    }
    return true;
}

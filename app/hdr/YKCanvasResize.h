#pragma once

// YKCanvasResize: the new canvas of "Canvas Properties": a rectangle of the asked size placed
// about one of nine anchors of the old one, and the 'Cnvs' message that carries it (with the
// background colour) to the application, which resizes the document's canvas undoably.

#include <string>

#include "YKMessage.h"
#include "YKRect.h"
#include "yk_color.h"

class YKDocument;

class YKCanvasResize {
public:
    // Anchors row by row: 0 top left, 1 top centre, 2 top right, 3 middle left, 4 centre,
    // 5 middle right, 6 bottom left, 7 bottom centre, 8 bottom right.
    static constexpr int32 kAnchorCount = 9;

    // The canvas of `width` × `height` pixels that keeps the `anchor` part of `current` in
    // place; halves of odd differences are truncated toward zero. An anchor outside 0..8 counts
    // as the centre.
    static YKRect<int32> NewFrame(YKRect<int32> current, int32 width, int32 height, int32 anchor);
    // Empty when a canvas of that size can be made, else the text to show the user.
    static std::string CheckSize(int64 width, int64 height);
    // 'Cnvs' with "Left", "Top", "Right", "Bottom" and the colour as 8 raw bytes, for `document`.
    static YKMessage Message(YKDocument* document, YKRect<int32> frame, yk_color background);
    // Carries out a 'Cnvs' on `document`: the canvas resize as one undoable step, then the
    // background when the message has one. False, with the reason in `error`, when the
    // rectangle is missing or out of bounds; the document is then unchanged.
    static bool Apply(YKDocument* document, const YKMessage& message, std::string* error);
};

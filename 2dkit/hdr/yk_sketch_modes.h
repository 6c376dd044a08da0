#pragma once

// The drawing-state values a vector object hands the sketcher.

#include "yk_types.h"

// Joins between stroke segments.
enum yk_join_mode : int32 {
    YK_JOIN_NONE = 0,
    YK_JOIN_MITER = 1,
    YK_JOIN_ROUND = 2,
    YK_JOIN_BEVEL = 3,
};

// Caps at the ends of an open stroke; 0, 1 and 3 add nothing.
enum yk_cap_mode : int32 {
    YK_CAP_ROUND = 2,
    YK_CAP_NONE = 3,
    YK_CAP_BUTT = 4,
    YK_CAP_SQUARE = 5,
    YK_CAP_ARROW1 = 6,
    YK_CAP_ARROW2 = 7,
    YK_CAP_ARROW3 = 8,
    YK_CAP_CIRCLE = 9,
    YK_CAP_DIAMOND = 10,
    YK_CAP_NAIL = 11,
};

// What a fill or a stroke paints with.
enum style_mode : int32 {
    YK_STYLE_NONE = 0,
    YK_STYLE_COLOR = 1,
    YK_STYLE_PATTERN = 2,
    YK_STYLE_GRADIENT = 3,
};

// 0 plain scan conversion, 1 anti-aliased (the only mode the sketcher keeps).
enum antg_mode : int32 {
    YK_ANTG_PLAIN = 0,
    YK_ANTG_ANTIALIASED = 1,
};

// How an object is displayed: 0 normal, 1 outline preview, 2 wireframe.
enum yk_object_preview : int32 {
    YK_PREVIEW_NORMAL = 0,
    YK_PREVIEW_OUTLINE = 1,
    YK_PREVIEW_WIREFRAME = 2,
};

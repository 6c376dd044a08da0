#pragma once

// YKToolIcons: the tools' icons, drawn with QPainter when first asked for, on a 24-unit grid at
// 1x and 2x so that they stay crisp on high-density screens.

#include <QIcon>

#include "yk_types.h"

class YKToolIcons {
public:
    static constexpr int kSize = 24;

    // The icon of tool `id` (0 to 15); an empty icon for any other id.
    static QIcon Icon(int32 id);
    // The icon drawn at `scale` device pixels per unit, with that device pixel ratio.
    static QPixmap Pixmap(int32 id, int scale);
};

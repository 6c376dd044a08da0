#pragma once

// Shared set-up of the text object tests: a text typed at a point in DejaVu Sans.

#include <memory>
#include <string>

#include "YKVectorAttributes.h"
#include "YKVectorText.h"
#include "yk_font_match.h"

inline std::string TextTestFont() {
    return yk_fallback_font_path() + " DejaVu Sans Book";
}

// Sets the font and a size of 24, then types `text` key by key and ends the edit.
inline std::unique_ptr<YKVectorText> TypedText(YKEnvelopManager* manager, YKPoint<double> at,
                                               const char* text, bool horizontal = true) {
    auto object = std::make_unique<YKVectorText>(at, 3, manager);
    YKVectorAttributes a;
    object->getAttributes(&a);
    a.fontDescription = TextTestFont();
    a.textDirection = horizontal;
    a.textSizeH = 24;
    a.textSizeV = 24;
    object->setAttributes(&a);
    object->beginEdit(nullptr);
    int32 redrawFrom = 0;
    for (const char* p = text; *p != 0; ++p) {
        const char key[2] = {*p, 0};
        object->keyStroke(key, 0, redrawFrom);
    }
    object->endTextEdit();
    return object;
}

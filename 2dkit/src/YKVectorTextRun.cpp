#include "YKVectorTextRun.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "YKFontData.h"
#include "YKVectorTextBuffer.h"

YKVectorTextRun::YKVectorTextRun(YKFontData& font, const char* text, double reserved) {
    std::vector<std::string> characters;
    for (const char* p = text; p != nullptr && *p != 0;) {
        const int32 bytes = YKVectorTextBuffer::CharBytes(p);
        characters.emplace_back(p, static_cast<size_t>(bytes));
        p += bytes;
    }
    const bool horizontal = font.Direction();
    std::unordered_map<std::string, YKRect<double>> glyphBoxes;
    std::unordered_map<std::string, double> widths;
    const auto widthOf = [&](const std::string& s) {
        auto [it, added] = widths.try_emplace(s, 0.0);
        if (added) {
            it->second = font.StringWidth(s.c_str(), reserved);
        }
        return it->second;
    };
    double pen = 0;
    for (size_t i = 0; i < characters.size(); ++i) {
        const std::string& c = characters[i];
        auto [it, added] = glyphBoxes.try_emplace(c, YKRect<double>::None());
        if (added) {
            it->second = font.GetBoundingBox(c.c_str(), {0, 0}, reserved);
        }
        YKRect<double> box = it->second;
        if (box.IsValid()) {
            if (horizontal) {
                box.left += pen;
                box.right += pen;
            } else {
                box.top += pen;
                box.bottom += pen;
            }
        }
        mPens.push_back(pen);
        mBoxes.push_back(box);
        if (i + 1 < characters.size()) {
            // The pair's width less the second's advance: this one's advance, the spacing and
            // the kerning between the two.
            const std::string& next = characters[i + 1];
            pen += widthOf(c + next) - widthOf(next);
        }
    }
}

YKRect<double> YKVectorTextRun::bounds() const {
    YKRect<double> all = YKRect<double>::None();
    for (const YKRect<double>& box : mBoxes) {
        if (!box.IsValid()) {
            continue;
        }
        all = all.IsValid()
                  ? YKRect<double>{std::min(all.left, box.left), std::min(all.top, box.top),
                                   std::max(all.right, box.right), std::max(all.bottom, box.bottom)}
                  : box;
    }
    return all;
}

#pragma once

// YKVectorTextBezier: a line of text laid along a Bézier path, always written horizontally. The
// path is the inherited Bézier's (its own paint is kept but not drawn); the text, its editing
// state and its look are those of a text object. Positions in the text are arc lengths along
// the path: character i covers the pen advances of the characters before it to those up to it.

#include <memory>
#include <vector>

#include "YKTextAttributes.h"
#include "YKVectorBezier.h"
#include "YKVectorTextBuffer.h"

class YKVectorTextBezier : public YKVectorBezier {
public:
    YKVectorTextBezier(Point start, int32 id, YKEnvelopManager* manager);
    YKVectorTextBezier(const YKMessage* archive, int32 id, YKEnvelopManager* manager);
    // Takes over the path of `path` (its points, segments, rotation and paint), with the same
    // id and manager.
    explicit YKVectorTextBezier(const YKVectorBezier& path);
    ~YKVectorTextBezier() override;

    // --- Text
    const char* string() const { return mText.string(); }
    void setString(const char* s) { mText.insertString(s); }
    void insertChar(const char* c) { mText.insertChar(c); }
    int32 stringLen() { return mText.stringLen(); }
    int32 stringLen(int32 from, int32 to) const { return mText.stringLen(from, to); }
    void stringShift(int32 n) { mText.stringShift(n); }
    const YKVectorTextBuffer& textBuffer() const { return mText; }
    const YKTextAttributes& textAttributes() const { return *mAtt; }
    YKFontData* font() const { return mAtt->font.get(); }

    // --- Editing along the path
    void beginEdit(Point p);
    void setInsertPoint(Point p);
    void selectUpToPoint(Point p);
    void selectAll() { mText.selectAll(); }
    void selectWordAtPoint(Point p);
    // Null for an empty text, else this object.
    YKVectorEntity* endTextEdit();
    bool keyStroke(const char* key, uint32 modifiers, int32& redrawFrom);
    // The character whose arc-length interval holds the projection of `p` on the path; the
    // character count past the text's end.
    int32 bufferIndFromPoint(Point p);
    // The arc length of the projection of `p` on the (unturned) path.
    double arcLengthAt(Point p) const;

    void rawSetFont();

    // --- Entity operations
    // The path's bounds grown by the font's ascent and descent, so that glyphs are not clipped.
    void resetBounds() override;
    void drawIn(YKSketcher* sketcher, bool antialias) override;
    void getAttributes(YKVectorAttributes* attributes) const override;
    void setAttributes(const YKVectorAttributes* attributes) override;
    // The single-attribute setters change the text's own look.
    void setStrokeAndColor(yk_color color, int16 flag, const YKGradientContainer* gradient,
                           double patternAlpha, bool patternLock, const char* patternName) override;
    void setFillAndColor(yk_color color, int16 flag, const YKGradientContainer* gradient,
                         double patternAlpha, bool patternLock, const char* patternName) override;
    void setWidth(double width) override;
    void setDash(const YKDash* dash) override;
    bool patternLock() const override { return mAtt->PatternLock(); }
    int32 Type() const override { return kTypeTextBezier; }
    void ArchiveIn(YKMessage* archive) const override;

protected:
    YKVectorEntity* instantiate() const override { return new YKVectorTextBezier(); }
    void initCopy(const YKVectorEntity* source) override;

private:
    // Reads the look into an attribute record, lets `change` edit it and sets it back.
    template <typename Change>
    void editLook(Change change) {
        YKVectorAttributes a;
        getAttributes(&a);
        change(&a);
        setAttributes(&a);
    }
    YKVectorTextBezier() = default;
    YKVectorTextBezier(const YKMessage& archive, int32 id, YKEnvelopManager* manager);
    // The pen advance of the first `count` characters.
    double advanceOf(int32 count);

    YKVectorTextBuffer mText;
    std::unique_ptr<YKTextAttributes> mAtt;
};

#pragma once

// YKVectorText: a line of text placed at one point (its single point, the pen position of the
// first character on the baseline), written horizontally or vertically, edited in place with
// the keyboard and the pointer. It has no segments: the box, the bounds, the hit tests and the
// knobs all come from the text's extent, and the painting attributes live in its
// YKTextAttributes rather than in the entity's stroke and fill.

#include <memory>
#include <string>
#include <vector>

#include "YKTextAttributes.h"
#include "YKVectorEntity.h"
#include "YKVectorTextBuffer.h"

class YKVectorText : public YKVectorEntity {
public:
    // Where the selection lies, for the application to highlight it: the caret's top and bottom
    // and one rectangle per run of selected characters (unrotated; turn them by the global
    // rotation to draw them).
    struct Selection {
        Point caretTop;
        Point caretBottom;
        std::vector<YKRect<double>> rects;
    };

    // Created by the text tool at `origin`: an empty text, no font yet.
    YKVectorText(Point origin, int32 id, YKEnvelopManager* manager);
    YKVectorText(const YKMessage* archive, int32 id, YKEnvelopManager* manager);
    ~YKVectorText() override;

    // A text has its one point and no segments.
    bool isWellFormed() const override { return mPoints.size() == 1; }

    // --- Text
    const char* string() const { return mText.string(); }
    void setString(const char* s) { insertString(s); }
    void insertString(const char* s);
    void insertChar(const char* c);
    int32 stringLen() { return mText.stringLen(); }
    int32 stringLen(int32 from, int32 to) const { return mText.stringLen(from, to); }
    void stringShift(int32 n) { mText.stringShift(n); }
    const YKVectorTextBuffer& textBuffer() const { return mText; }
    const YKTextAttributes& textAttributes() const { return *mAtt; }
    YKFontData* font() const { return mAtt->font.get(); }
    // The selected characters, NUL-terminated.
    std::vector<char> newStringFromSelection() const { return mText.selectedText(); }

    // --- Editing
    void beginEdit(const Point* p);
    void setInsertPoint(Point p);
    void selectUpToPoint(Point p);
    void selectAll();
    void selectWordAtPoint(Point p);
    // Null for an empty text (the caller discards the object), else this object.
    YKVectorEntity* endTextEdit();
    bool keyStroke(const char* key, uint32 modifiers, int32& redrawFrom);
    void setWriteMode(bool on) { mWriteMode = on; }
    int32 bufferIndFromPoint(Point p);
    Selection getSelection();
    bool isEditing() const { return mEditing; }
    bool writeMode() const { return mWriteMode; }
    YKRect<double> textBox() const { return mTextBox; }

    // --- Font
    // Brings the font up to the attributes and the rotation, refreshing its metrics.
    void rawSetFont();

    // --- Entity operations
    YKVectorEntity* endCreationWithTol(double tol) override;
    void draggingTo(Point point, bool flag) override;
    bool shapeIsGeometry() const override { return false; }
    // Scales the sizes; the origin stays.
    void rawResize(double sx, double sy, bool flag) override;
    // Turns the text about the transformation centre.
    void rawRotate(double angle) override;
    // The glyphs' extent joined with the box, turned by the global rotation.
    void resetBounds() override;
    void resetBox() override;
    // The box's corners, turned with the text about the global rotation centre.
    void resetKnobs() override;
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
    bool patternLock() const override;
    int32 Type() const override { return kTypeText; }
    void ArchiveIn(YKMessage* archive) const override;

    // The font a text chosen while empty is set up with until it has characters.
    static constexpr const char* kPlaceholderFont = "/boot/beos/etc/fonts/ttfonts/Baskerville.ttf";
    // The placeholder where it is installed, else the fallback face: a stand-in the user never
    // chose must not raise the missing-font alert at every new text.
    static std::string PlaceholderFont();

protected:
    YKVectorEntity* instantiate() const override { return new YKVectorText(); }
    // Copies the text, its attributes (with envelopes of their own) and its font.
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
    YKVectorText();
    // Removes what the entity made for a shape: the segments and its own paint envelopes.
    void dropEntityPaint();
    // The text, or "|" for an empty one, as the font measures it.
    const char* measured() const { return mText.empty() ? "|" : mText.string(); }
    // The text box after a change of the text.
    void updateTextBox();
    // The pen advance of the first `count` characters.
    double advanceOf(int32 count);
    // How many characters to hand to the sketcher for `frame`, and (in `skip`, raised as
    // needed) how many of them only move the pen: glyphs wholly outside the frame are not
    // outlined at all, so a long text costs what its visible part costs.
    int32 visibleCharacters(YKRect<int32> frame, int32* skip);
    Point origin() const { return mPoints.empty() ? Point{0, 0} : mPoints[0]; }

    std::string mPendingFont;
    YKVectorTextBuffer mText;
    std::unique_ptr<YKTextAttributes> mAtt;
    bool mEditing = false;
    bool mWriteMode = false;
    bool mRedrawPending = false;
    YKRect<double> mTextBox{1, 1, -1, -1};
};

#pragma once

// YKToolOptionsForm: the options of one tool as a small form, built from what its options panel
// configures (feather and antialias for the bitmap selections, the zoom's direction, the brush,
// stroke, fill, dash, caps, joins and corners for the shapes, font and size for the text). Each
// change is written into the tool's option message at once, so the next object drawn with the
// tool takes it; options are no document edits and make no undo step.

#include <QWidget>
#include <string>
#include <vector>

#include "yk_color.h"
#include "yk_types.h"

class QFormLayout;
class YKMessage;

class YKToolOptionsForm : public QWidget {
    Q_OBJECT

public:
    explicit YKToolOptionsForm(QWidget* parent = nullptr);

    // Shows the options of tool `id` (nothing for an id without options).
    void ShowTool(int32 id);
    int32 Tool() const { return mTool; }

    // An installed font as the font menu offers it.
    struct Font {
        std::string description;  // "<path> <family> <style>", as text objects name fonts
        std::string label;        // "<family> <style>"
    };
    // The font cache's fonts, read once; the fallback face alone when there is no cache.
    static const std::vector<Font>& Fonts();
    // The font a text takes when none was chosen.
    static std::string DefaultFont();

private:
    YKMessage* Options() const;
    void AddHint(const QString& text);
    void AddSelectionRows();
    void AddZoomRows();
    void AddBrushRows();
    // The rows of the vector tools; `panel` tells which of them the kind uses.
    void AddVectorRows(const std::string& panel);
    void AddTextRows();
    // A number field bound to the float `key` of the options (`fallback` while it is unset).
    void AddNumber(const QString& label, const char* key, double low, double high, double fallback,
                   int decimals, const QString& suffix);
    void AddColor(const QString& label, const char* key, yk_color fallback);
    // A menu of `choices` bound to the int32 `key`: each choice's value and text.
    void AddChoice(const QString& label, const char* key, int32 fallback,
                   const std::vector<std::pair<int32, const char*>>& choices);

    QFormLayout* mLayout;
    int32 mTool = -1;
};

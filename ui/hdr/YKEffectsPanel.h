#pragma once

// YKEffectsPanel: the effects of the selected objects (or, with none selected, of the current
// layer) with all their parameters, and the shipped filters with theirs. The first target's
// values are shown; a change goes to every target. A gesture (a box switched, a colour chosen,
// a spin box stepped or typed into until the editing ends) is one undo action, and the canvas
// shows each step of it at once.

#include <functional>
#include <vector>

#include "YKMessage.h"
#include "YKPanel.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QScrollArea;
class YKEffectLayer;
class YKFilterBox;
class YKGenericFilter;

class YKEffectsPanel : public YKPanel {
    Q_OBJECT

public:
    // The effects in the order of the Effects submenus' "effect" field, then the outline.
    static constexpr int32 kEffectCount = 6;

    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKEffectsPanel(YKDocumentWindow* window);
    ~YKEffectsPanel() override;

    void Refresh() override;
    // Brings the group of `effect` (a submenu's "effect" value) into view.
    void ShowEffect(int32 effect);
    // Makes `filter` the one the filter part shows.
    void ShowFilter(const YKGenericFilter* filter);
    // Gives every target a copy of `filter` with `parameters` (as its archive holds them), as
    // one undo action.
    void ApplyFilter(const YKGenericFilter& filter, const YKMessage& parameters);
    // Ends the gesture under way: what it changed becomes one undo action.
    void Commit();

    QGroupBox* EffectBox(int32 effect) const { return mBoxes[effect]; }
    YKFilterBox* Filters() const { return mFilters; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    struct Binding;
    // The selected objects of the current layer, else the current layer; empty when neither
    // can carry effects.
    std::vector<YKEffectLayer*> Targets() const;
    QWidget* BuildEffect(int32 effect);
    void Bind(QWidget* widget, int32 effect, int32 param);
    // Changes every target's effect settings through `edit` and redraws at once; opens a
    // gesture when none is under way.
    void Change(const std::function<void(YKMessage&)>& edit);
    void ShowSettings(const YKMessage& settings);
    void SetEnabled(bool enabled);

    QLabel* mTarget;
    QScrollArea* mScroll;
    QGroupBox* mBoxes[kEffectCount] = {};
    std::vector<Binding> mBindings;
    YKFilterBox* mFilters;
    // The targets shown, and the gesture under way: each target's settings before it.
    std::vector<YKEffectLayer*> mShown;
    std::vector<std::pair<YKEffectLayer*, YKMessage>> mGesture;
    bool mShowing = false;
};

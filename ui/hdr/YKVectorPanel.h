#pragma once

// YKVectorPanel: the base of the panels that change the paint and stroke of the selected vector
// objects (the inspector, the gradient composer, the colour picker). A change runs on every
// selected object at once and is one undo action; a change that goes on (a spin box being
// dragged, a colour being picked) stays one action until the user pauses or the panel moves on
// to another change.

#include <functional>
#include <string>
#include <vector>

#include "YKMessage.h"
#include "YKPanel.h"
#include "yk_color.h"

class QTimer;
class YKRasterLayer;
class YKVectorEntity;
class YKGradientContainer;

class YKVectorPanel : public YKPanel {
    Q_OBJECT

public:
    // A pause this long ends a change that goes on.
    static constexpr int kGestureIdle = 600;  // milliseconds

    // The fill or the stroke paint of an object, as its setters take it.
    struct Paint {
        yk_color color{0, 0, 0, 255};
        int16 flag = 0;
        const YKGradientContainer* gradient = nullptr;  // not owned
        double patternAlpha = 0;
        bool patternLock = false;
        std::string patternName;
    };
    static Paint ReadPaint(const YKVectorEntity& entity, bool fill);
    static void WritePaint(YKVectorEntity* entity, bool fill, const Paint& paint);

    explicit YKVectorPanel(YKDocumentWindow* window);
    ~YKVectorPanel() override;

    // The selected objects of this window's view that hold a vector object.
    std::vector<YKRasterLayer*> SelectedVectors() const;
    // Ends the change in progress; it becomes an undo action if it changed anything.
    void FinishChange();

protected:
    // Runs `change` on the vector object of every selected object as one undo action named
    // `name`. With `ongoing`, later calls with the same name join the same action until
    // FinishChange() or a pause. False when nothing is selected or the document is busy.
    bool ChangeSelection(const char* name, const std::function<void(YKVectorEntity*)>& change,
                         bool ongoing = false);

    void hideEvent(QHideEvent* event) override;

private:
    // The objects' content before the change in progress, by id.
    struct Before {
        int32 id;
        YKMessage content;
    };
    std::vector<Before> mBefore;
    std::string mChangeName;
    // The undo stack's size when the change began: what the change recorded on its own since
    // joins its action.
    int32 mUndoSizeAtStart = 0;
    QTimer* mIdle;
};

#pragma once

#include <memory>
#include <string>
#include <vector>

#include "YKMessage.h"
#include "YKUndoModify.h"

class YKObjectLayer;
class YKUndoEnvelopModification;

// One drag or key run over the selected objects: the placement envelopes' changes of every
// object it moved, resized or rotated. Undo and redo swap the key frames and have the objects
// take their placement from the envelopes again, inside one redraw.
class YKUndoPlaceObjects : public YKUndoModify {
public:
    explicit YKUndoPlaceObjects(const char* name);
    ~YKUndoPlaceObjects() override;

    // Takes `records`, the changes of `object`'s envelopes, and the object's content before
    // and after them (empty messages for kinds without content of their own).
    void Add(YKObjectLayer* object, std::vector<std::unique_ptr<YKUndoEnvelopModification>> records,
             const YKMessage& contentBefore, const YKMessage& contentAfter);
    bool IsEmpty() const { return mRecords.empty(); }

    const char* Name() const override { return mName.c_str(); }
    void Undo() override { Apply(true); }
    void Redo() override { Apply(false); }

private:
    void Apply(bool undo);

    std::string mName;
    struct Placed {
        YKObjectLayer* object;
        YKMessage before;
        YKMessage after;
    };
    std::vector<Placed> mObjects;
    std::vector<std::unique_ptr<YKUndoEnvelopModification>> mRecords;
};

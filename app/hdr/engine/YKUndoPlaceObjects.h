#pragma once

#include <memory>
#include <string>
#include <vector>

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

    // Takes `records`, the changes of `object`'s envelopes.
    void Add(YKObjectLayer* object,
             std::vector<std::unique_ptr<YKUndoEnvelopModification>> records);
    bool IsEmpty() const { return mRecords.empty(); }

    const char* Name() const override { return mName.c_str(); }
    void Undo() override { Apply(true); }
    void Redo() override { Apply(false); }

private:
    void Apply(bool undo);

    std::string mName;
    std::vector<YKObjectLayer*> mObjects;
    std::vector<std::unique_ptr<YKUndoEnvelopModification>> mRecords;
};

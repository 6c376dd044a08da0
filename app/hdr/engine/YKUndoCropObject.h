#pragma once

#include <memory>
#include <string>

#include "YKBitmapLayer.h"
#include "YKUndoModify.h"

// A bitmap object cropped to the selection. The record keeps the images and corners the object
// does not show now; undo and redo exchange them with the object's, which stays in the tree.
class YKUndoCropObject : public YKUndoModify {
public:
    // `before` is what the crop of `layer` replaced.
    YKUndoCropObject(YKBitmapLayer* layer, std::unique_ptr<YKBitmapLayer::CropState> before);

    const char* Name() const override { return mName.c_str(); }
    void Undo() override;
    void Redo() override;

private:
    void Exchange(bool cropped);

    YKBitmapLayer* mLayer;
    std::unique_ptr<YKBitmapLayer::CropState> mOther;
    std::string mName;
    bool mCropped = true;
};

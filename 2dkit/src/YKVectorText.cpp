// Construction, archive and editing of the text at a point.

#include "YKVectorText.h"

#include <sys/stat.h>

#include <cmath>

#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKFontDataFreetype.h"
#include "YKMessage.h"
#include "yk_font_match.h"

// --- Construction ---

YKVectorText::YKVectorText() = default;

YKVectorText::YKVectorText(Point origin, int32 id, YKEnvelopManager* manager)
    : YKVectorEntity(origin, id, manager), mAtt(std::make_unique<YKTextAttributes>(id, manager)) {
    mPoints = {origin};
    dropEntityPaint();
}

YKVectorText::YKVectorText(const YKMessage* archive, int32 id, YKEnvelopManager* manager) {
    SetID(id);
    SetEnvelopManager(manager);
    mAtt = std::make_unique<YKTextAttributes>(archive, "", id, manager);
    Point p;
    const char* text = "";
    int32 size = 0;
    archive->FindString("text_buffer", &text);
    archive->FindInt32("buf_len", &size);
    // A text too long to edit, or no usable origin, leaves no point: the object is refused.
    if (archive->FindDouble("pt_x", &p.x) && archive->FindDouble("pt_y", &p.y) &&
        std::isfinite(p.x) && std::isfinite(p.y) && mText.Load(text, size)) {
        mPoints = {p};
    }
    archive->FindBool("text_direction", &mAtt->direction);
    archive->FindDouble("text_break_rotation", &mAtt->breakRotation);
    archive->FindDouble("glob_rot_angle", &mGlobalAngle);
    archive->FindDouble("glob_rot_center_x", &mGlobalCenter.x);
    archive->FindDouble("glob_rot_center_y", &mGlobalCenter.y);
    if (!std::isfinite(mGlobalAngle) || !std::isfinite(mGlobalCenter.x) ||
        !std::isfinite(mGlobalCenter.y)) {
        mGlobalAngle = 0;
        mGlobalCenter = {0, 0};
    }
    dropEntityPaint();
    if (manager != nullptr) {
        manager->ObjectModified(id);
    }
    rawSetFont();
    updateTextBox();
    resetBox();
    resetBounds();
}

YKVectorText::~YKVectorText() = default;

void YKVectorText::dropEntityPaint() {
    mSegments.clear();
    dropFill();
    if (mStroke != nullptr && mManager != nullptr) {
        for (YKEnvelop* envelope : {static_cast<YKEnvelop*>(mStroke->color.get()),
                                    static_cast<YKEnvelop*>(mStroke->patternAlpha.get()),
                                    static_cast<YKEnvelop*>(mStroke->width.get())}) {
            mManager->RemoveEnvelop(envelope);
        }
    }
    mStroke.reset();
}

void YKVectorText::initCopy(const YKVectorEntity* source) {
    const auto* text = dynamic_cast<const YKVectorText*>(source);
    if (text == nullptr) {
        mAtt = std::make_unique<YKTextAttributes>(mID, mManager);
        return;
    }
    mAtt = text->mAtt->Clone(mID, mManager);
    mPendingFont = text->mPendingFont;
    mText = text->mText;
    mTextBox = text->mTextBox;
}

// --- Archive ---

void YKVectorText::ArchiveIn(YKMessage* archive) const {
    const Point p = origin();
    archive->AddInt32("pt_nbr", 1);
    archive->AddDouble("pt_x", p.x);
    archive->AddDouble("pt_y", p.y);
    archive->AddInt32("object_type", kTypeText);
    archive->AddInt32("buf_len", mText.bufferSize());
    archive->AddString("text_buffer", mText.string());
    mAtt->WriteSizes(archive, "");
    archive->AddBool("text_direction", mAtt->direction);
    // A copy of the global angle, whether or not the font was set up since it changed.
    archive->AddDouble("text_break_rotation", mGlobalAngle);
    archive->AddDouble("glob_rot_angle", mGlobalAngle);
    archive->AddDouble("glob_rot_center_x", mGlobalCenter.x);
    archive->AddDouble("glob_rot_center_y", mGlobalCenter.y);
    mAtt->WriteLook(archive, "");
}

// --- Text ---

void YKVectorText::insertString(const char* s) {
    mText.insertString(s);
    mWriteMode = true;
}

void YKVectorText::insertChar(const char* c) {
    mText.insertChar(c);
    mWriteMode = true;
}

// --- Editing ---

void YKVectorText::beginEdit(const Point* p) {
    mText.stringLen();
    mText.placeCaret(p != nullptr ? bufferIndFromPoint(*p) : 0);
    mTextBox.right = mTextBox.left + 5.0;
    mTextBox.bottom = mTextBox.top + mAtt->SizeV();
    mEditing = true;
    mWriteMode = true;
}

void YKVectorText::setInsertPoint(Point p) {
    mText.placeCaret(bufferIndFromPoint(p));
    mEditing = true;
    mWriteMode = false;
    mRedrawPending = true;
}

void YKVectorText::selectUpToPoint(Point p) {
    mText.setSelectionEnd(bufferIndFromPoint(p));
}

void YKVectorText::selectAll() {
    mText.selectAll();
}

void YKVectorText::selectWordAtPoint(Point p) {
    if (mText.count() > 0) {
        mText.selectWordAt(bufferIndFromPoint(p));
    }
}

YKVectorEntity* YKVectorText::endTextEdit() {
    if (mText.stringLen() == 0) {
        return nullptr;
    }
    mSelectionState = 0;
    mModificationMode = kModeIdle;
    updateTextBox();
    mEditing = false;
    mWriteMode = false;
    resetBox();
    resetBounds();
    if (mManager != nullptr) {
        mManager->ObjectModified(mID);
    }
    return this;
}

YKVectorEntity* YKVectorText::endCreationWithTol(double tol) {
    (void)tol;
    return endTextEdit();
}

bool YKVectorText::keyStroke(const char* key, uint32 modifiers, int32& redrawFrom) {
    const bool changed = mText.keyStroke(key, modifiers, mAtt->direction, redrawFrom);
    const bool erased =
        key != nullptr && key[0] != 0 && key[1] == 0 &&
        (key[0] == YKVectorTextBuffer::kKeyBackspace || key[0] == YKVectorTextBuffer::kKeyDelete);
    if (changed && !erased) {
        mWriteMode = true;
    }
    updateTextBox();
    if (changed) {
        resetBox();
        resetBounds();
    }
    return changed;
}

// --- Attributes ---

std::string YKVectorText::PlaceholderFont() {
    struct stat info {};
    const bool installed = stat(kPlaceholderFont, &info) == 0 && S_ISREG(info.st_mode);
    return installed ? std::string(kPlaceholderFont) : yk_fallback_font_path();
}

void YKVectorText::getAttributes(YKVectorAttributes* a) const {
    mAtt->Get(a);
    a->fontDescription =
        !mText.empty() && mAtt->font != nullptr ? mAtt->FontDescription() : mPendingFont;
}

void YKVectorText::setAttributes(const YKVectorAttributes* a) {
    if (a->fontDescription.empty()) {
        return;
    }
    mAtt->Set(*a);
    const std::string& wanted = a->fontDescription;
    if (mAtt->font != nullptr) {
        if (mAtt->FontDescription() != wanted) {
            mAtt->font = std::make_unique<YKFontDataFreetype>(wanted.c_str());
        }
    } else if (!mText.empty()) {
        mAtt->font = std::make_unique<YKFontDataFreetype>(wanted.c_str());
    } else {
        mPendingFont = wanted;
        mAtt->font = std::make_unique<YKFontDataFreetype>(PlaceholderFont().c_str());
    }
    rawSetFont();
    resetBox();
    resetBounds();
    resetKnobs();
}

bool YKVectorText::patternLock() const {
    return mAtt->PatternLock();
}

void YKVectorText::setStrokeAndColor(yk_color color, int16 flag,
                                     const YKGradientContainer* gradient, double patternAlpha,
                                     bool patternLock, const char* patternName) {
    editLook([&](YKVectorAttributes* a) {
        YKSetStrokePaint(a, color, flag, gradient, patternAlpha, patternLock, patternName);
    });
}

void YKVectorText::setFillAndColor(yk_color color, int16 flag, const YKGradientContainer* gradient,
                                   double patternAlpha, bool patternLock, const char* patternName) {
    editLook([&](YKVectorAttributes* a) {
        YKSetFillPaint(a, color, flag, gradient, patternAlpha, patternLock, patternName);
    });
}

void YKVectorText::setWidth(double width) {
    editLook([&](YKVectorAttributes* a) { a->width = width; });
}

void YKVectorText::setDash(const YKDash* dash) {
    editLook([&](YKVectorAttributes* a) { a->dash = dash; });
}

#pragma once

// YKEnvelopManager: a document's animation. It registers the envelopes of the document's
// objects, holds the frame count, the current and old frame and one YKFrameInfo per frame,
// moves all envelopes from frame to frame together, carries out the timeline's frame edits, and
// tells the timeline window (YKTimelineSink) of every change. Its lock is re-entrant and guards
// the lists and the frame fields.

#include <memory>
#include <unordered_map>
#include <vector>

#include "YKFrameInfo.h"
#include "YKList.h"
#include "YKLocker.h"
#include "yk_types.h"

class YKEnvelop;
class YKMessage;
class YKUndoManager;
class YKViewerLayerHost;

class YKEnvelopManager {
public:
    explicit YKEnvelopManager(YKViewerLayerHost* document = nullptr);
    // The frame count, current frame and frame infos of an archive; missing keys keep the
    // initial state.
    explicit YKEnvelopManager(const YKMessage* archive);
    YKEnvelopManager(const YKEnvelopManager&) = delete;
    YKEnvelopManager& operator=(const YKEnvelopManager&) = delete;
    ~YKEnvelopManager();

    void Archive(YKMessage* archive) const;

    // --- Frames (numbered from 1)
    int32 CurrentFrame() const;
    // Brings every registered envelope to `frame`; the current frame becomes the old one.
    void SetCurrentFrame(int32 frame);
    void SetOldFrame(int32 frame);
    int32 OldFrame() const;
    int32 MaxFrame() const;
    // Sets the frame count; with `undoable` a change is recorded for undo.
    void SetMaxFrame(int32 count, bool undoable);
    // Grows the frame count to `count` when that is beyond it (undoable).
    void SuggestMaxFrame(int32 count);
    // In hundredths of a second; 0 outside 1..MaxFrame().
    float FrameDuration(int32 frame) const;
    void SetFrameDuration(int32 frame, float duration);
    bool FrameUsable(int32 frame) const;
    void SetFrameUsable(int32 frame, bool usable);

    // --- Envelopes (they belong to their objects, never to the manager)
    void AddEnvelop(YKEnvelop* envelope);
    void RemoveEnvelop(YKEnvelop* envelope);
    int32 CountEnvelops() const;
    bool HasEnvelop(const YKEnvelop* envelope) const;
    YKEnvelop* EnvelopAt(int32 index) const;
    const YKList<YKEnvelop*>* EnvelopList() const { return &mEnvelops; }
    // Whether any envelope of `owner` (by real owner), other than those excluded, has another
    // value at the old frame (or `frame`) than at the current one. Always true for frame -1.
    bool IsObjectModified(int32 owner, const YKEnvelop* excluded) const;
    bool IsObjectModified(int32 owner, const YKList<YKEnvelop*>* excluded) const;
    bool IsObjectModified(int32 owner, int32 frame, const YKList<YKEnvelop*>* excluded) const;
    // Owners (sorted) that count as modified whatever their values: a frame edit changes values
    // at the frame shown, which comparing two frames cannot see. Empty once the redraw is done.
    void SetModifiedOwners(std::vector<int32> owners);
    // Keeps the owner index in step when a registered envelope changes its real owner.
    void RealOwnerChanged(YKEnvelop* envelope, int32 previousOwner);

    // --- Frame edits of the timeline
    // Adds `count` frames at the current frame: key frames there and later move later.
    void InsertFrames(int32 count);
    // Deletes the current frame with its key frames (but never an envelope's only key frame).
    void DeleteFrame();
    // Every envelope keeps its current value as a key frame at the current frame.
    void AddKeyToFrame();
    // Every envelope with more than one key frame loses its key frame at the current frame.
    void DeleteKeyFromFrame();
    // Copies every envelope's state into the frame clipboard.
    void CopyFrame();
    // Sets the clipboard's current values as key frames at the current frame, when the
    // clipboard matches the registered envelopes.
    void ReplaceFrame();
    // Inserts a frame and fills it from the clipboard.
    void PasteFrame();

    // --- Timeline notification
    void SetAcceptRedraw(bool accept, bool notify);
    bool AcceptRedraw() const { return mAcceptRedraw; }
    void MaxFrameChanged();
    void ObjectAdded(int32 owner);
    void ObjectRemoved(int32 owner);
    void ObjectTouched(int32 owner);
    void ObjectModified(int32 owner);
    // Message 36 after undo or redo of key frame records.
    void KeyFramesChanged(int32 owner);
    // While false, setting values on registered envelopes does nothing.
    void SetAcceptAdd(bool accept) { mAcceptAdd = accept; }
    bool AcceptAdd() const { return mAcceptAdd; }

    bool Lock() { return mLock.Lock(); }
    void Unlock() { mLock.Unlock(); }
    YKLocker& Locker() { return mLock; }

    YKViewerLayerHost* Document() const { return mDocument; }
    void SetDocument(YKViewerLayerHost* document) { mDocument = document; }
    // Where the undo records of frame and key frame edits go; null records nothing.
    YKUndoManager* UndoManager() const { return mUndoManager; }
    void SetUndoManager(YKUndoManager* undoManager) { mUndoManager = undoManager; }

private:
    void Notify(uint32 code, int32 owner);
    template <typename IsExcluded>
    bool AnyValueModified(int32 owner, int32 frame, IsExcluded isExcluded) const;
    void EmptyClipboard();
    // Moves every key frame at or after `from` by `delta` frames; with `dropAtFrom`, an
    // envelope with more than one key frame first loses its key frame at `from`.
    void ShiftKeyFrames(int32 from, int32 delta, bool dropAtFrom);

    YKList<YKEnvelop*> mEnvelops;
    std::unique_ptr<YKList<YKEnvelop*>> mClipboard;
    YKList<YKFrameInfo> mFrameInfos;
    int32 mOldFrame = -1;
    int32 mCurrentFrame = 1;
    int32 mMaxFrame = 1;
    mutable YKLocker mLock{"YKEnvelopManager"};
    YKViewerLayerHost* mDocument = nullptr;
    YKUndoManager* mUndoManager = nullptr;
    bool mAcceptAdd = true;
    bool mAcceptRedraw = true;
    // Registered envelopes by real owner, so that change detection per object costs only that
    // object's envelopes.
    std::unordered_map<int32, std::vector<YKEnvelop*>> mByOwner;
    std::vector<int32> mModifiedOwners;
};

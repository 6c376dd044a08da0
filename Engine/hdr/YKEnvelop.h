#pragma once

// YKEnvelop: an animatable value. It holds key frames at some frames of the document and
// derives the value of every other frame from the nearest key frames around it. It knows the
// frame shown now (current frame) and the one shown before the last switch (old frame), so its
// owner can ask whether the value changed with a switch. The typed kinds (YKEnvelopKinds.h)
// supply the value type, the in-between rule and the archive of their data.

#include <atomic>
#include <memory>
#include <string>

#include "YKList.h"
#include "yk_types.h"

class YKEnvelopManager;
class YKKeyFrame;
class YKMessage;
class YKUndoEnvelopModification;

class YKEnvelop {
public:
    static constexpr const char* kClassTag = "YKEnvelop";

    // Owner and real owner both become `owner`.
    YKEnvelop(int32 owner, const char* name);
    YKEnvelop(const YKEnvelop&) = delete;
    virtual ~YKEnvelop();

    // --- Archives
    // Empties and re-initialises the envelope, then reads the base fields; a non-zero `owner`
    // replaces owner and real owner. Kinds go on to read their key frames.
    virtual void UnArchive(const YKMessage* archive, int32 owner);
    virtual void Archive(YKMessage* archive) const;

    // --- Frames
    // The old frame becomes the current one, the current one `frame`.
    virtual void SetCurrentFrame(int32 frame);
    virtual void SetMaxFrame(int32 frame);

    // --- Key frames
    // Takes ownership of `keyFrame`, replacing (and deleting) one at the same frame. With
    // `notify` the manager hears that the owner changed.
    virtual void AddKeyFrame(YKKeyFrame* keyFrame, bool notify);
    // Takes the key frame at `frame` out of the list and hands it to the caller; null if none.
    virtual YKKeyFrame* RemoveKeyFrame(int32 frame);
    // Appends the names of the interpolation functions ("Linear").
    virtual void InterpolateFunctionsNames(YKList<const char*>* names) const;
    virtual int32 GetType() const { return 0; }

    // --- Modification records (undo of value settings)
    // Starts a record of the key frame at the current frame as it is now.
    virtual void BeginModification();
    // Ends it: the record, owned by the caller, or null when nothing was set or there is
    // nothing to restore.
    virtual YKUndoEnvelopModification* EndModification();

    // --- Values through untyped pointers (each kind reads and writes its own value type)
    virtual void Value(void* out) const = 0;
    // The value at `frame`. With no key frames at all, internal error 100 is shown and `out`
    // is left alone.
    virtual void Value(void* out, int32 frame) const = 0;
    virtual void SetValue(const void* value) = 0;
    // Sets `value` at `frame`: changes the key frame there or adds one; grows the document
    // when `frame` is beyond its last frame. Nothing happens while the manager refuses
    // additions.
    virtual void SetValue(const void* value, int32 frame) = 0;
    // Sets, as a key frame at the current frame, the current value of `source` (this envelope
    // when null), which must be of the same kind.
    virtual void FixValue(const YKEnvelop* source) = 0;
    // A new envelope of the same kind with the same settings and copies of every key frame.
    virtual YKEnvelop* Duplicate() const = 0;
    // Whether the value at `frame` differs from the value at the current frame.
    virtual bool IsValueModified(int32 frame) const = 0;
    // Whether this envelope's value at `frame` differs from that of `other`, an envelope of
    // the same kind (another kind always differs).
    virtual bool DiffersFrom(const YKEnvelop& other, int32 frame) const = 0;
    // Called when a manager takes the envelope: it grows the document to the suggested frame.
    virtual void AddedToManager();
    virtual void PrintToStream() const;

    // --- Manager, frames and key frame lookup
    void SetEnvelopManager(YKEnvelopManager* manager) { mManager = manager; }
    YKEnvelopManager* EnvelopManager() const { return mManager; }
    int32 OldFrame() const { return mOldFrame; }
    void SetOldFrame(int32 frame) { mOldFrame = frame; }
    int32 CurrentFrame() const { return mCurrentFrame; }
    int32 MaxFrame() const { return mMaxFrame; }
    int32 MinFrame() const { return 1; }
    // Tells the manager that the owner's values changed.
    void PromptManager() const;
    YKKeyFrame* KeyFramePointer(int32 frame) const;
    // Position of the key frame at `frame` (or of `keyFrame`) in the list, -1 when absent.
    int32 KeyFrameInternalIndex(int32 frame) const;
    int32 KeyFrameInternalIndex(const YKKeyFrame* keyFrame) const;
    int32 CountKeyFrames() const { return mKeyFrames.CountItems(); }
    // Key frames by ascending frame number, at most one per frame.
    const YKList<YKKeyFrame*>* KeyFrameList() const { return &mKeyFrames; }
    void RemoveAllKeyFrames();
    // The greatest key frame number below `frame` and the smallest above it, -1 for none.
    void GetBoundingFrames(int32 frame, int32& previous, int32& next) const;
    // There is one interpolation function: setting is ignored and the current one is 0.
    void SetInterpolateFunction(int32) {}
    int32 GetCurrentInterpolateFunction() const { return 0; }

    // --- Identity and display
    void SetOwner(int32 owner) { mOwner = owner; }
    int32 Owner() const { return mOwner; }
    // The manager indexes its envelopes by real owner, so it hears of every change.
    void SetRealOwner(int32 owner);
    int32 RealOwner() const { return mRealOwner; }
    void SetName(const char* name);
    const char* Name() const;
    void SetSubName(const char* subName);
    const char* SubName() const;
    bool IsInModification() const { return mModification != nullptr; }
    // Grid of the point-of-double kind: values between key frames land on multiples of it.
    void SetInterpolationStep(float step) { mInterpolationStep = step; }
    float InterpolationStep() const { return mInterpolationStep; }
    // Raises the suggested last frame, used when the envelope joins a manager.
    void SuggestLater(int32 frame);
    int32 SuggestedMaxFrame() const { return mSuggestedMaxFrame; }

    // Empties the key frames and copies every setting of `other` but its key frames.
    YKEnvelop& operator=(const YKEnvelop& other);

    // Whether `envelope` is a live envelope: true for one, false for null. A destroyed one
    // shows internal error 101, anything else internal error 102; both end the program.
    static bool IsAllocated(const YKEnvelop* envelope);

protected:
    // Whether the archive's "Class" names an envelope; kinds read their key frames only then.
    static bool IsEnvelopArchive(const YKMessage* archive);
    // False while the manager refuses new values.
    bool AcceptsValues() const;
    // After a key frame was added at `frame`: grows the document to reach it, or without a
    // manager remembers it for when one takes the envelope.
    void ExtendTo(int32 frame);
    // Counts a value setting for the pending modification record.
    void CountModification();
    // The key frame at `frame` for the value rules: exact, or both neighbours.
    void Bounds(int32 frame, YKKeyFrame** exact, YKKeyFrame** previous, YKKeyFrame** next) const;

private:
    // What a frame switch and a change check read comes first, the key frame list held in
    // place, so that all of it shares the envelope's first cache line: with thousands of
    // objects, every line read per envelope and switch counts.
    int32 mOldFrame = -1;
    int32 mCurrentFrame = 1;
    float mInterpolationStep = 0.0f;
    // Where the last key frame lookup landed in the list. Frames switch mostly to a neighbour,
    // so the next lookup checks there first; it is a hint only, always verified.
    mutable std::atomic<int32> mLookupHint{0};
    YKList<YKKeyFrame*> mKeyFrames;
    char mClassTag[10];
    int32 mMaxFrame = -1;
    std::string mName;
    std::string mSubName;
    bool mHasName = false;
    bool mHasSubName = false;
    int32 mModificationCount = 0;
    YKEnvelopManager* mManager = nullptr;
    int32 mOwner = 0;
    int32 mRealOwner = 0;
    int32 mSuggestedMaxFrame = -1;
    std::unique_ptr<YKUndoEnvelopModification> mModification;
};

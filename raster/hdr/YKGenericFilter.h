#pragma once

// YKGenericFilter: an image filter that processes a region of a bitmap, split into bands of
// rows worked on by threads of their own. Plug-ins supply one each (the entry point
// "instantiate_filter"); layers hold chains of them (applied to a group's rendering) and one as
// the "Filter" merge method. Filters with animated parameters keep them in envelopes registered
// with the document's envelope manager.
//
// A run tells the parent looper, when there is one, how it goes: kStartMessage, kProgressMessage,
// kUpdateMessage and kDoneMessage. The option panel of a filter belongs to the desktop
// application, which builds it from the parameter descriptions.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "YKFilterParameter.h"
#include "YKRect.h"
#include "yk_types.h"

class YKBitmap;
class YKEnvelopManager;
class YKLooper;
class YKMessage;

class YKGenericFilter {
public:
    // "Name": the filter's name.
    static constexpr uint32 kStartMessage = 'strt';
    // "value": float, 100 x count / maximum.
    static constexpr uint32 kProgressMessage = 'pinc';
    // "YKGF:Filter": pointer to the filter.
    static constexpr uint32 kUpdateMessage = 'updt';
    static constexpr uint32 kDoneMessage = 'done';
    static constexpr int32 kMaxBands = 8;
    static constexpr int32 kCategoryCount = 14;
    static constexpr int32 kOtherType = 13;

    YKGenericFilter() = default;
    // Reads the user name ("YK:Name").
    explicit YKGenericFilter(const YKMessage* archive);
    YKGenericFilter(const YKGenericFilter&) = delete;
    YKGenericFilter& operator=(const YKGenericFilter&) = delete;
    virtual ~YKGenericFilter();

    // The filter's fixed name, by which a document finds it again; null when it has none.
    virtual const char* Name() const { return nullptr; }
    // The menu category, 0 to 13 (kOtherType unless overridden).
    virtual int32 Type() const { return kOtherType; }
    // The name of the category Type(); "Other" for an index outside the 14.
    virtual const char* TypeString() const { return CategoryName(Type()); }
    // Called once after loading.
    virtual void InitFilter() {}
    // Back to the default parameters.
    virtual void ReInitializeParameters() {}

    // Filters `rect` of `source` into `destination`, whose frame grows by it; `extra` is a mask
    // or second source. False when the filter is already running, a stop is pending or rect
    // misses the source.
    virtual bool PerformFilter(YKBitmap* source, YKBitmap* destination, YKBitmap* extra,
                               YKRect<int32> rect, bool preview);
    // The work on the rows of `band` (part of `rect`); runs on a band thread.
    virtual void PerformFilterThread(YKBitmap* source, YKBitmap* destination, YKBitmap* extra,
                                     YKRect<int32> rect, YKRect<int32> band, bool preview) = 0;
    // Before the bands start and after they all ended, on the calling thread.
    virtual void InitialiseProcess(YKBitmap*, YKBitmap*, YKBitmap*, YKRect<int32>, bool) {}
    virtual void FinishProcess(YKBitmap*, YKBitmap*, YKBitmap*, YKRect<int32>, bool) {}
    // The rectangle the output covers for an input rectangle.
    virtual YKRect<int32> Frame(YKRect<int32> rect) const { return rect; }
    // Whether the filter can work in place (source and destination the same bitmap).
    virtual bool UseSrcBitmapAsDest() const { return false; }
    // Asks a run to end and waits until it has.
    virtual void StopFilter();

    // The filter's own parameters, without the names.
    virtual void ArchiveFilterParameters(YKMessage*) const {}
    virtual void RestoreFilterParameters(const YKMessage*) {}
    // Owner and real owner of the parameters' envelopes.
    virtual void SetEnvelopOwner(int32 owner, int32 realOwner) {
        (void)owner;
        (void)realOwner;
    }
    virtual void AddEnvelopToManager(YKEnvelopManager* manager) { (void)manager; }
    virtual void RemoveEnvelopFromManager(YKEnvelopManager* manager) { (void)manager; }
    // A new filter of the same kind, with default parameters; null for one that cannot be.
    virtual YKGenericFilter* Duplicate() const { return nullptr; }
    // The number of bands: the processor count, at most kMaxBands, unless forced.
    virtual int32 CPUCount() const;
    virtual const char* ParentClassName() const { return "YKGenericFilter"; }

    // --- Parameters, for hosts that know nothing of the filter
    virtual int32 CountParameters() const { return 0; }
    virtual const YKFilterParameter* ParameterAt(int32) const { return nullptr; }
    // Reads animated parameters at `frame`, for a filter outside any document.
    virtual void SetFrame(int32) {}

    // --- Archives
    // Copies Name() and calls InitFilter().
    void Init();
    // "YK:Name" (when set), the parameters, "YKGF:Name".
    virtual void Archive(YKMessage* message) const;
    // A Duplicate() restored from `message` when the message names this filter, else null.
    YKGenericFilter* InstantiateFilter(const YKMessage* message) const;
    void ArchiveParameters(YKMessage* message) const { ArchiveFilterParameters(message); }
    // "YK:Name", then the filter's own parameters.
    void RestoreParameters(const YKMessage* message);

    // --- Parent and names
    void SetParent(YKLooper* looper) { mParent = looper; }
    YKLooper* Parent() const { return mParent; }
    void SetUserName(const char* name) { mUserName = name != nullptr ? name : ""; }
    const char* UserName() const { return mUserName.c_str(); }
    // The name copied by Init().
    const std::string& LoadedName() const { return mName; }

    // --- Runs
    bool MustStop() const { return mStop.load(std::memory_order_relaxed); }
    bool IsRunning() const;
    void SetMaxProgressValue(int32 maximum);
    // One more step done; tells the parent.
    void IncProgressValue();
    int32 ProgressValue() const { return mProgress.load(); }
    int32 MaxProgressValue() const { return mMaxProgress.load(); }
    void TellParentToUpdatePreview();
    void TellParentFilterIsStarting();
    void TellParentFilterIsDone();
    // Microseconds the last run took.
    int64 ComputationTime() const { return mComputationTime.load(); }

    // Rows of band `index` of `count` over rect: height / count each, the last to the bottom.
    static YKRect<int32> BandOf(YKRect<int32> rect, int32 count, int32 index);
    // Every filter's CPUCount() becomes `count` (1 to kMaxBands); 0 goes back to the
    // processor count. For measuring.
    static void ForceCPUCount(int32 count);
    // "Artistic" ... "Other"; "Other" outside 0..13.
    static const char* CategoryName(int32 type);

protected:
    // The band count of the run under way, fixed before InitialiseProcess.
    int32 RunBandCount() const { return mRunBands; }

private:
    void Post(const YKMessage& message) const;

    YKLooper* mParent = nullptr;
    std::string mUserName;
    std::string mName;
    std::atomic<bool> mStop{false};
    std::atomic<int32> mProgress{0};
    std::atomic<int32> mMaxProgress{0};
    // Bands finish in any order: counting and posting under one lock keeps the values the
    // parent hears rising.
    std::mutex mProgressLock;
    std::atomic<int64> mComputationTime{0};
    int32 mRunBands = 1;
    mutable std::mutex mRunLock;
    std::condition_variable mRunEnded;
    bool mRunning = false;
};

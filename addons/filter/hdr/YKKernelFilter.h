#pragma once

// YKKernelFilter: a filter made of a pixel kernel and a description (YKKernelFilterInfo). Its
// parameters are envelopes, so they can be animated, and are read at the current frame at each
// run. A run copies the source, with the kernel's reach as margin (transparent beyond the
// bitmap), into one plane, runs the kernel's passes and writes the result back; every band
// thread copies, computes and writes its own share of rows, and a barrier separates the steps,
// so all reading is done before anything is written and the filter may work in place.

#include <atomic>
#include <barrier>
#include <memory>
#include <vector>

#include "YKFilterKernel.h"
#include "YKGenericFilter.h"
#include "YKKernelFilterInfo.h"

class YKEnvelop;

class YKKernelFilter : public YKGenericFilter {
public:
    // `info` outlives the filter (it lives in the plug-in, which stays loaded).
    explicit YKKernelFilter(const YKKernelFilterInfo& info);
    ~YKKernelFilter() override;
    // A new filter of `info`, for plug-in entry points.
    static YKGenericFilter* Make(const YKKernelFilterInfo& info);

    const char* Name() const override { return mInfo.name; }
    int32 Type() const override { return mInfo.type; }
    void ReInitializeParameters() override;
    YKGenericFilter* Duplicate() const override { return Make(mInfo); }
    // rect grown by the kernel's reach: what spreads out of it.
    YKRect<int32> Frame(YKRect<int32> rect) const override;
    bool UseSrcBitmapAsDest() const override { return true; }

    void InitialiseProcess(YKBitmap* source, YKBitmap* destination, YKBitmap* extra,
                           YKRect<int32> rect, bool preview) override;
    void PerformFilterThread(YKBitmap* source, YKBitmap* destination, YKBitmap* extra,
                             YKRect<int32> rect, YKRect<int32> band, bool preview) override;
    void FinishProcess(YKBitmap* source, YKBitmap* destination, YKBitmap* extra, YKRect<int32> rect,
                       bool preview) override;

    // Each parameter's envelope archived under the parameter's name.
    void ArchiveFilterParameters(YKMessage* message) const override;
    // Envelopes found under the parameters' names replace the current ones.
    void RestoreFilterParameters(const YKMessage* message) override;
    void SetEnvelopOwner(int32 owner, int32 realOwner) override;
    void AddEnvelopToManager(YKEnvelopManager* manager) override;
    void RemoveEnvelopFromManager(YKEnvelopManager* manager) override;
    void SetFrame(int32 frame) override;

    int32 CountParameters() const override;
    const YKFilterParameter* ParameterAt(int32 index) const override;
    // The envelope of parameter `index` (a YKEnvelopDouble, YKEnvelopInt32 or YKEnvelopColor by
    // its kind), or null.
    YKEnvelop* ParameterEnvelop(int32 index) const;
    // The parameters at the current frame.
    YKFilterValues Values() const;

private:
    std::unique_ptr<YKEnvelop> NewEnvelop(const YKFilterParameter& parameter) const;

    const YKKernelFilterInfo& mInfo;
    std::vector<std::unique_ptr<YKEnvelop>> mEnvelops;
    YKEnvelopManager* mManager = nullptr;

    // --- The run under way
    std::unique_ptr<YKFilterKernel> mKernel;
    // Kept from run to run: a run no larger than the last needs no new memory and no clearing
    // (the bands write every pixel), which would otherwise hold all bands back.
    std::vector<uint32> mSourcePixels;
    std::vector<uint32> mDestinationPixels;
    YKPixelPlane mSource;
    YKPixelPlane mDestination;
    YKRect<int32> mSourceRect;
    YKRect<int32> mOutputRect;
    std::unique_ptr<std::barrier<>> mBarrier;
    std::atomic<int32> mNextBand{0};
};

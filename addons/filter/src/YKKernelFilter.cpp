// Kernel filters: parameters as envelopes, and the banded run (copy in, passes, copy out).

#include "YKKernelFilter.h"

#include <algorithm>

#include "YKBitmap.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"

namespace {

// Rows [begin, end) of share `index` of `count` over `rows` rows: rows / count each, the last
// share to the end.
void Share(int32 rows, int32 count, int32 index, int32* begin, int32* end) {
    const int32 each = rows / count;
    *begin = each * index;
    *end = index == count - 1 ? rows : *begin + each;
}

YKRect<int32> Grown(YKRect<int32> rect, int32 by) {
    return {rect.left - by, rect.top - by, rect.right + by, rect.bottom + by};
}

uint32 PixelOf(const yk_color& color) {
    return static_cast<uint32>(color.alpha) << 24 | static_cast<uint32>(color.red) << 16 |
           static_cast<uint32>(color.green) << 8 | color.blue;
}

}  // namespace

// --- Construction ---

YKKernelFilter::YKKernelFilter(const YKKernelFilterInfo& info) : mInfo(info) {
    for (const YKFilterParameter& parameter : mInfo.parameters) {
        mEnvelops.push_back(NewEnvelop(parameter));
    }
}

YKKernelFilter::~YKKernelFilter() {
    if (mManager != nullptr) {
        RemoveEnvelopFromManager(mManager);
    }
}

YKGenericFilter* YKKernelFilter::Make(const YKKernelFilterInfo& info) {
    return new YKKernelFilter(info);
}

std::unique_ptr<YKEnvelop> YKKernelFilter::NewEnvelop(const YKFilterParameter& parameter) const {
    std::unique_ptr<YKEnvelop> envelope;
    switch (parameter.kind) {
        case YKFilterParameter::kInt32: {
            auto typed = std::make_unique<YKEnvelopInt32>(0, parameter.name);
            typed->SetValue(static_cast<int32>(parameter.defaultValue), 1);
            envelope = std::move(typed);
            break;
        }
        case YKFilterParameter::kColor: {
            auto typed = std::make_unique<YKEnvelopColor>(0, parameter.name);
            typed->SetValue(yk_color(static_cast<uint32>(parameter.defaultValue)), 1);
            envelope = std::move(typed);
            break;
        }
        case YKFilterParameter::kDouble: {
            auto typed = std::make_unique<YKEnvelopDouble>(0, parameter.name);
            typed->SetValue(parameter.defaultValue, 1);
            envelope = std::move(typed);
            break;
        }
    }
    return envelope;
}

void YKKernelFilter::ReInitializeParameters() {
    YKEnvelopManager* manager = mManager;
    if (manager != nullptr) {
        RemoveEnvelopFromManager(manager);
    }
    for (std::size_t i = 0; i < mEnvelops.size(); ++i) {
        mEnvelops[i] = NewEnvelop(mInfo.parameters[i]);
    }
    if (manager != nullptr) {
        AddEnvelopToManager(manager);
    }
}

// --- Parameters ---

int32 YKKernelFilter::CountParameters() const {
    return static_cast<int32>(mInfo.parameters.size());
}

const YKFilterParameter* YKKernelFilter::ParameterAt(int32 index) const {
    return index >= 0 && index < CountParameters() ? &mInfo.parameters[index] : nullptr;
}

YKEnvelop* YKKernelFilter::ParameterEnvelop(int32 index) const {
    return index >= 0 && index < CountParameters() ? mEnvelops[index].get() : nullptr;
}

YKFilterValues YKKernelFilter::Values() const {
    std::vector<double> values;
    for (std::size_t i = 0; i < mEnvelops.size(); ++i) {
        const YKFilterParameter& parameter = mInfo.parameters[i];
        const YKEnvelop* envelope = mEnvelops[i].get();
        double value = 0;
        switch (parameter.kind) {
            case YKFilterParameter::kInt32:
                value = static_cast<const YKEnvelopInt32*>(envelope)->Value();
                break;
            case YKFilterParameter::kColor:
                value = PixelOf(static_cast<const YKEnvelopColor*>(envelope)->Value());
                break;
            case YKFilterParameter::kDouble:
                value = static_cast<const YKEnvelopDouble*>(envelope)->Value();
                break;
        }
        // Documents are not trusted to keep values in range.
        if (parameter.kind != YKFilterParameter::kColor) {
            value = std::clamp(value, parameter.minimum, parameter.maximum);
        }
        values.push_back(value);
    }
    return YKFilterValues(mInfo.parameters, std::move(values));
}

void YKKernelFilter::ArchiveFilterParameters(YKMessage* message) const {
    for (std::size_t i = 0; i < mEnvelops.size(); ++i) {
        YKMessage part;
        mEnvelops[i]->Archive(&part);
        message->AddMessage(mInfo.parameters[i].name, &part);
    }
}

void YKKernelFilter::RestoreFilterParameters(const YKMessage* message) {
    if (message == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < mEnvelops.size(); ++i) {
        const YKFilterParameter& parameter = mInfo.parameters[i];
        YKMessage part;
        if (!message->FindMessage(parameter.name, &part)) {
            continue;
        }
        std::unique_ptr<YKEnvelop> envelope = NewEnvelop(parameter);
        const int32 owner = mEnvelops[i]->Owner();
        envelope->RemoveAllKeyFrames();
        envelope->UnArchive(&part, owner);
        // An envelope of another kind or without key frames comes from a damaged file: the
        // parameter keeps what it had.
        if (envelope->GetType() != mEnvelops[i]->GetType() || envelope->CountKeyFrames() == 0) {
            continue;
        }
        envelope->SetName(parameter.name);
        envelope->SetRealOwner(mEnvelops[i]->RealOwner());
        YKEnvelopManager* manager = mManager;
        if (manager != nullptr) {
            manager->RemoveEnvelop(mEnvelops[i].get());
        }
        mEnvelops[i] = std::move(envelope);
        if (manager != nullptr) {
            manager->AddEnvelop(mEnvelops[i].get());
        }
    }
}

void YKKernelFilter::SetEnvelopOwner(int32 owner, int32 realOwner) {
    for (const auto& envelope : mEnvelops) {
        envelope->SetOwner(realOwner);
        envelope->SetRealOwner(owner);
    }
}

void YKKernelFilter::AddEnvelopToManager(YKEnvelopManager* manager) {
    if (manager == nullptr) {
        return;
    }
    for (const auto& envelope : mEnvelops) {
        manager->AddEnvelop(envelope.get());
    }
    mManager = manager;
}

void YKKernelFilter::RemoveEnvelopFromManager(YKEnvelopManager* manager) {
    if (manager == nullptr) {
        return;
    }
    for (const auto& envelope : mEnvelops) {
        manager->RemoveEnvelop(envelope.get());
        if (envelope->EnvelopManager() == manager) {
            envelope->SetEnvelopManager(nullptr);
        }
    }
    if (mManager == manager) {
        mManager = nullptr;
    }
}

void YKKernelFilter::SetFrame(int32 frame) {
    for (const auto& envelope : mEnvelops) {
        envelope->SetCurrentFrame(frame);
    }
}

// --- Runs ---

YKRect<int32> YKKernelFilter::Frame(YKRect<int32> rect) const {
    return Grown(rect, mInfo.makeKernel(Values())->Reach());
}

void YKKernelFilter::InitialiseProcess(YKBitmap*, YKBitmap*, YKBitmap*, YKRect<int32> rect, bool) {
    mKernel = mInfo.makeKernel(Values());
    const int32 reach = mKernel->Reach();
    mOutputRect = Grown(rect, reach);
    mSourceRect = Grown(mOutputRect, reach);
    auto planeOf = [](YKRect<int32> r, std::vector<uint32>* pixels) {
        YKPixelPlane plane;
        plane.width = r.right - r.left + 1;
        plane.height = r.bottom - r.top + 1;
        plane.stride = plane.width;
        pixels->resize(static_cast<std::size_t>(plane.width) * plane.height);
        plane.bits = pixels->data();
        return plane;
    };
    mSource = planeOf(mSourceRect, &mSourcePixels);
    mDestination = planeOf(mOutputRect, &mDestinationPixels);
    mKernel->Prepare(mSource, mDestination);
    mBarrier = std::make_unique<std::barrier<>>(RunBandCount());
    mNextBand = 0;
    SetMaxProgressValue(RunBandCount() * mKernel->PassCount());
}

void YKKernelFilter::PerformFilterThread(YKBitmap* source, YKBitmap* destination, YKBitmap*,
                                         YKRect<int32>, YKRect<int32>, bool) {
    // The band rectangle is not used: each thread takes one share of every step instead, since
    // the steps have different row counts.
    const int32 index = mNextBand.fetch_add(1);
    const int32 count = RunBandCount();
    int32 begin = 0;
    int32 end = 0;
    Share(mSource.height, count, index, &begin, &end);
    if (mKernel->Reach() == 0 && mKernel->PassCount() == 1) {
        // A point operation needs no other rows: each row is read, filtered and stored while it
        // is still in the cache, and the bands never wait for one another. Every band takes
        // this way, so none waits at the barrier either.
        for (int32 y = begin; y < end && !MustStop(); ++y) {
            source->GetLineAt(mSourceRect.top + y, mSourceRect.left, mSourceRect.right, false,
                              mSource.Row(y));
            mKernel->RunPass(0, y, y + 1);
            destination->StoreLineAt(mDestination.Row(y), mOutputRect.top + y, mOutputRect.left,
                                     mOutputRect.right);
        }
        IncProgressValue();
        return;
    }
    for (int32 y = begin; y < end; ++y) {
        source->GetLineAt(mSourceRect.top + y, mSourceRect.left, mSourceRect.right, false,
                          mSource.Row(y));
    }
    mBarrier->arrive_and_wait();
    for (int32 pass = 0; pass < mKernel->PassCount(); ++pass) {
        Share(mKernel->RowCount(pass), count, index, &begin, &end);
        if (!MustStop() && begin < end) {
            mKernel->RunPass(pass, begin, end);
        }
        IncProgressValue();
        mBarrier->arrive_and_wait();
    }
    if (MustStop()) {
        return;
    }
    Share(mDestination.height, count, index, &begin, &end);
    for (int32 y = begin; y < end; ++y) {
        destination->StoreLineAt(mDestination.Row(y), mOutputRect.top + y, mOutputRect.left,
                                 mOutputRect.right);
    }
}

void YKKernelFilter::FinishProcess(YKBitmap*, YKBitmap*, YKBitmap*, YKRect<int32>, bool) {
    // A new kernel for each run: one that draws random numbers, say, starts afresh and a frame
    // renders the same every time.
    mKernel.reset();
    mBarrier.reset();
}

// Filter runs: the band threads, stopping, progress messages and archives.

#include "YKGenericFilter.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "YKBitmap.h"
#include "YKLooper.h"
#include "YKMessage.h"

namespace {

constexpr const char* kCategoryNames[YKGenericFilter::kCategoryCount] = {
    "Artistic", "Blur",    "Color",  "Distort", "Merge",   "Noise", "Pixelate",
    "Render",   "Sharpen", "Sketch", "Stylize", "Texture", "Video", "Other"};

std::atomic<int32> gForcedCPUCount{0};

int64 NowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

YKGenericFilter::YKGenericFilter(const YKMessage* archive) {
    const char* name = nullptr;
    if (archive != nullptr && archive->FindString("YK:Name", &name)) {
        mUserName = name;
    }
}

YKGenericFilter::~YKGenericFilter() = default;

// --- Runs ---

bool YKGenericFilter::PerformFilter(YKBitmap* source, YKBitmap* destination, YKBitmap* extra,
                                    YKRect<int32> rect, bool preview) {
    if (source == nullptr || destination == nullptr) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mRunLock);
        if (mRunning || MustStop()) {
            return false;
        }
        mRunning = true;
    }
    const int64 start = NowMicroseconds();
    rect = rect & source->Frame();
    const bool run = rect.IsValid();
    if (run) {
        // The output may spread beyond rect (Frame). Bands may share a block row of the
        // destination, and making blocks is not thread-safe: every block the output touches
        // exists before any band starts.
        const YKRect<int32> output = Frame(rect);
        destination->AddFrame(output);
        destination->CreateBlocks(output);
        TellParentFilterIsStarting();
        mRunBands = std::clamp(CPUCount(), 1, kMaxBands);
        InitialiseProcess(source, destination, extra, rect, preview);
        if (mRunBands == 1) {
            PerformFilterThread(source, destination, extra, rect, rect, preview);
        } else {
            std::vector<std::thread> bands;
            for (int32 i = 0; i < mRunBands; ++i) {
                const YKRect<int32> band = BandOf(rect, mRunBands, i);
                bands.emplace_back([=, this] {
                    PerformFilterThread(source, destination, extra, rect, band, preview);
                });
                // Fifteen characters is all a thread name may hold.
                pthread_setname_np(bands.back().native_handle(), "YKGenericFilter");
            }
            for (std::thread& band : bands) {
                band.join();
            }
        }
        FinishProcess(source, destination, extra, rect, preview);
        TellParentFilterIsDone();
        mComputationTime = NowMicroseconds() - start;
    }
    {
        std::lock_guard<std::mutex> lock(mRunLock);
        mRunning = false;
    }
    mRunEnded.notify_all();
    return run;
}

YKRect<int32> YKGenericFilter::BandOf(YKRect<int32> rect, int32 count, int32 index) {
    const int32 rows = (rect.bottom - rect.top + 1) / count;
    YKRect<int32> band = rect;
    band.top = rect.top + rows * index;
    band.bottom = index == count - 1 ? rect.bottom : band.top + rows - 1;
    return band;
}

void YKGenericFilter::StopFilter() {
    std::unique_lock<std::mutex> lock(mRunLock);
    mStop = true;
    mRunEnded.wait(lock, [this] { return !mRunning; });
    mStop = false;
}

bool YKGenericFilter::IsRunning() const {
    std::lock_guard<std::mutex> lock(mRunLock);
    return mRunning;
}

int32 YKGenericFilter::CPUCount() const {
    if (const int32 forced = gForcedCPUCount.load(); forced > 0) {
        return forced;
    }
    const int32 processors = static_cast<int32>(std::thread::hardware_concurrency());
    return std::clamp(processors, 1, kMaxBands);
}

void YKGenericFilter::ForceCPUCount(int32 count) {
    gForcedCPUCount = std::clamp(count, 0, kMaxBands);
}

const char* YKGenericFilter::CategoryName(int32 type) {
    return kCategoryNames[type >= 0 && type < kCategoryCount ? type : kOtherType];
}

// --- Progress ---

void YKGenericFilter::SetMaxProgressValue(int32 maximum) {
    mMaxProgress = maximum;
    mProgress = 0;
}

void YKGenericFilter::IncProgressValue() {
    std::lock_guard<std::mutex> guard(mProgressLock);
    const int32 count = ++mProgress;
    const int32 maximum = mMaxProgress.load();
    YKMessage message(kProgressMessage);
    message.AddFloat("value", maximum > 0 ? 100.0f * static_cast<float>(count) / maximum : 100.0f);
    Post(message);
}

void YKGenericFilter::TellParentToUpdatePreview() {
    mComputationTime = 0;
    YKMessage message(kUpdateMessage);
    message.AddPointer("YKGF:Filter", this);
    Post(message);
}

void YKGenericFilter::TellParentFilterIsStarting() {
    YKMessage message(kStartMessage);
    message.AddString("Name", Name() != nullptr ? Name() : "");
    Post(message);
}

void YKGenericFilter::TellParentFilterIsDone() {
    Post(YKMessage(kDoneMessage));
}

void YKGenericFilter::Post(const YKMessage& message) const {
    if (mParent != nullptr) {
        mParent->PostMessage(message);
    }
}

// --- Archives ---

void YKGenericFilter::Init() {
    mName = Name() != nullptr ? Name() : "";
    InitFilter();
}

void YKGenericFilter::Archive(YKMessage* message) const {
    if (message == nullptr) {
        return;
    }
    if (!mUserName.empty()) {
        message->AddString("YK:Name", mUserName);
    }
    ArchiveFilterParameters(message);
    if (Name() != nullptr) {
        message->AddString("YKGF:Name", Name());
    }
}

YKGenericFilter* YKGenericFilter::InstantiateFilter(const YKMessage* message) const {
    const char* named = nullptr;
    if (message == nullptr || Name() == nullptr || !message->FindString("YKGF:Name", &named) ||
        std::strcmp(named, Name()) != 0) {
        return nullptr;
    }
    YKGenericFilter* copy = Duplicate();
    if (copy != nullptr) {
        copy->RestoreParameters(message);
    }
    return copy;
}

void YKGenericFilter::RestoreParameters(const YKMessage* message) {
    const char* name = nullptr;
    if (message != nullptr && message->FindString("YK:Name", &name)) {
        mUserName = name;
    }
    RestoreFilterParameters(message);
}

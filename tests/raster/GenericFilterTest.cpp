#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "YKBitmap.h"
#include "YKGenericFilter.h"
#include "YKHandler.h"
#include "YKLooper.h"
#include "YKMessage.h"

namespace {

// Records the bands it is given; with `spin`, each band waits until the filter must stop.
class BandFilter : public YKGenericFilter {
public:
    explicit BandFilter(int32 bands, bool spin = false) : mBands(bands), mSpin(spin) {}
    const char* Name() const override { return "Bands"; }
    int32 CPUCount() const override { return mBands; }
    void InitialiseProcess(YKBitmap*, YKBitmap*, YKBitmap*, YKRect<int32>, bool) override {
        SetMaxProgressValue(mBands);
    }
    void PerformFilterThread(YKBitmap*, YKBitmap* destination, YKBitmap*, YKRect<int32>,
                             YKRect<int32> band, bool) override {
        {
            std::lock_guard<std::mutex> lock(mLock);
            bands.push_back(band);
        }
        // Every row of the band becomes its height, so each band's rows show who wrote them.
        const std::vector<uint32> row(band.right - band.left + 1, band.bottom - band.top + 1);
        for (int32 y = band.top; y <= band.bottom; ++y) {
            destination->StoreLineAt(row.data(), y, band.left, band.right);
        }
        ++started;
        while (mSpin && !MustStop()) {
            std::this_thread::yield();
        }
        IncProgressValue();
    }
    void ArchiveFilterParameters(YKMessage* message) const override {
        message->AddInt32("bands", mBands);
    }
    void RestoreFilterParameters(const YKMessage* message) override {
        message->FindInt32("bands", &mBands);
    }
    YKGenericFilter* Duplicate() const override { return new BandFilter(1); }

    std::vector<YKRect<int32>> bands;
    std::atomic<int32> started{0};

private:
    std::mutex mLock;
    int32 mBands;
    bool mSpin;
};

class Recorder : public YKHandler {
public:
    void MessageReceived(YKMessage* message) override { messages.push_back(*message); }
    std::vector<YKMessage> messages;
};

YKBitmap Filled(YKRect<int32> rect) {
    YKBitmap bitmap;
    for (int32 y = rect.top; y <= rect.bottom; ++y) {
        bitmap.SetPixelAt(y, rect.left, rect.right - rect.left + 1, 0xFF00FF00u, 17);
    }
    return bitmap;
}

TEST(GenericFilterTest, RowsSplitIntoEqualBandsWithTheLastToTheBottom) {
    YKBitmap source = Filled({0, 0, 99, 99});
    YKBitmap destination;
    BandFilter filter(4);
    // Clipped to the source first: rows 90..99, ten of them.
    ASSERT_TRUE(filter.PerformFilter(&source, &destination, nullptr, {10, 90, 140, 120}, false));
    std::vector<int32> heights(4);
    for (const YKRect<int32>& band : filter.bands) {
        EXPECT_EQ(band.left, 10);
        EXPECT_EQ(band.right, 99);
        heights[(band.top - 90) / 2] = band.bottom - band.top + 1;
    }
    EXPECT_EQ(heights, (std::vector<int32>{2, 2, 2, 4}));
    uint32 pixel = 0;
    destination.GetLineAt(99, 50, 50, false, &pixel);
    EXPECT_EQ(pixel, 4u);
    destination.GetLineAt(91, 50, 50, false, &pixel);
    EXPECT_EQ(pixel, 2u);
    EXPECT_EQ(destination.Frame(), (YKRect<int32>{10, 90, 99, 99}));

    // Nothing of the source in the rectangle: no run.
    EXPECT_FALSE(filter.PerformFilter(&source, &destination, nullptr, {200, 0, 210, 5}, false));
    EXPECT_EQ(filter.bands.size(), 4u);
}

TEST(GenericFilterTest, StopEndsARunAndARunningFilterRefusesAnother) {
    YKBitmap source = Filled({0, 0, 63, 63});
    YKBitmap destination;
    BandFilter filter(3, true);
    std::atomic<bool> result{true};
    std::thread run([&] {
        result = filter.PerformFilter(&source, &destination, nullptr, {0, 0, 63, 63}, false);
    });
    while (filter.started < 3) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(filter.IsRunning());
    EXPECT_FALSE(filter.PerformFilter(&source, &destination, nullptr, {0, 0, 63, 63}, false));
    filter.StopFilter();
    EXPECT_FALSE(filter.IsRunning());
    run.join();
    EXPECT_TRUE(result);
    // The stop is over, so the next run is not refused.
    EXPECT_FALSE(filter.MustStop());
}

TEST(GenericFilterTest, ParentHearsStartProgressAndEnd) {
    YKLooper looper("filter parent");
    Recorder recorder;
    looper.AddHandler(&recorder);
    looper.SetPreferredHandler(&recorder);
    looper.Run();
    YKBitmap source = Filled({0, 0, 15, 15});
    YKBitmap destination;
    BandFilter filter(2);
    filter.SetParent(&looper);
    ASSERT_TRUE(filter.PerformFilter(&source, &destination, nullptr, {0, 0, 15, 15}, false));
    filter.TellParentToUpdatePreview();
    looper.Quit();

    ASSERT_EQ(recorder.messages.size(), 5u);
    std::string name;
    EXPECT_EQ(recorder.messages[0].what, YKGenericFilter::kStartMessage);
    EXPECT_TRUE(recorder.messages[0].FindString("Name", &name));
    EXPECT_EQ(name, "Bands");
    std::vector<float> values;
    for (int i = 1; i <= 2; ++i) {
        float value = 0;
        EXPECT_EQ(recorder.messages[i].what, YKGenericFilter::kProgressMessage);
        EXPECT_TRUE(recorder.messages[i].FindFloat("value", &value));
        values.push_back(value);
    }
    EXPECT_EQ(values, (std::vector<float>{50.0f, 100.0f}));
    EXPECT_EQ(recorder.messages[3].what, YKGenericFilter::kDoneMessage);
    void* pointer = nullptr;
    EXPECT_EQ(recorder.messages[4].what, YKGenericFilter::kUpdateMessage);
    EXPECT_TRUE(recorder.messages[4].FindPointer("YKGF:Filter", &pointer));
    EXPECT_EQ(pointer, &filter);
    EXPECT_EQ(filter.ComputationTime(), 0);
}

TEST(GenericFilterTest, ArchiveNamesTheFilterAndOnlyItsOwnArchivesComeBack) {
    BandFilter filter(3);
    filter.SetUserName("soft edges");
    YKMessage archive;
    filter.Archive(&archive);
    std::string text;
    EXPECT_TRUE(archive.FindString("YK:Name", &text));
    EXPECT_EQ(text, "soft edges");
    EXPECT_TRUE(archive.FindString("YKGF:Name", &text));
    EXPECT_EQ(text, "Bands");

    std::unique_ptr<YKGenericFilter> copy(filter.InstantiateFilter(&archive));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->UserName(), "soft edges");
    EXPECT_EQ(copy->CPUCount(), 3);

    archive.ReplaceString("YKGF:Name", "Other Filter");
    EXPECT_EQ(filter.InstantiateFilter(&archive), nullptr);
    EXPECT_STREQ(YKGenericFilter::CategoryName(13), "Other");
    EXPECT_STREQ(YKGenericFilter::CategoryName(-1), "Other");
    EXPECT_STREQ(YKGenericFilter::CategoryName(1), "Blur");
}

}  // namespace

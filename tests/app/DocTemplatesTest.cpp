#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "YKDispatcher.h"
#include "YKDocTemplates.h"
#include "YKDocument.h"
#include "YKPrefSetting.h"
#include "YKSizeUpdateThread.h"

namespace {

YKMessage StoredList(const std::vector<std::string>& names, const std::vector<int32>& widths,
                     const std::vector<int32>& heights) {
    YKMessage stored(YKDocTemplates::kStoredWhat);
    for (const std::string& name : names) {
        stored.AddString("dt_name", name);
    }
    for (int32 width : widths) {
        stored.AddInt32("dt_width", width);
    }
    for (int32 height : heights) {
        stored.AddInt32("dt_height", height);
    }
    return stored;
}

TEST(DocTemplatesTest, NoListOrADamagedOneGivesTheBuiltIns) {
    YKDocTemplates templates;
    EXPECT_EQ(templates.LoadFromPref(YKPrefSetting()), YKDocTemplates::Source::kBuiltInNoList);
    ASSERT_EQ(templates.Count(), 7);
    EXPECT_EQ(*templates.At(0), (YKDocTemplate{"Standard Web Banner (468x60)", 468, 60}));
    EXPECT_EQ(*templates.At(5), (YKDocTemplate{"Proportional wallpaper (130x120)", 160, 120}));
    EXPECT_EQ(templates.At(6)->color, yk_color(255, 255, 255, 255));

    YKMessage wrongCode = StoredList({"a"}, {10}, {10});
    wrongCode.what = 'Pref';
    YKMessage widthAsText = StoredList({"a"}, {}, {10});
    widthAsText.AddString("dt_width", "10");
    const YKMessage damaged[] = {
        StoredList({"a", "b", "c"}, {10, 20}, {10, 20, 30}),  // one width short
        StoredList({}, {}, {}),
        wrongCode,
        widthAsText,
        StoredList({"a", "b"}, {10, 0}, {10, 10}),  // no document is 0 wide
        StoredList({"a"}, {40000}, {10}),           // beyond the largest raster
        StoredList({""}, {10}, {10}),               // nameless
    };
    for (const YKMessage& stored : damaged) {
        YKDocTemplates loaded;
        loaded.Remove(0);
        EXPECT_EQ(loaded.LoadFromPref(stored), YKDocTemplates::Source::kBuiltInDamaged);
        EXPECT_EQ(loaded.Count(), 7);
    }
}

TEST(DocTemplatesTest, StoredListComesBackAsSavedWithDefaultsForWhatIsMissing) {
    YKDocTemplates templates;
    ASSERT_TRUE(templates.Remove(6));
    ASSERT_TRUE(templates.Replace(0, {"Red tile", 33, 7, yk_color(200, 10, 10, 128)}));
    ASSERT_TRUE(templates.Add({"Tall", 1, 32768}));
    YKPrefSetting preferences;
    templates.SaveToPref(&preferences);

    // Through the preferences' own archive, as the file keeps it.
    YKMessage archive;
    ASSERT_TRUE(preferences.Archive(&archive));
    YKDocTemplates loaded;
    EXPECT_EQ(loaded.LoadFromPref(YKPrefSetting(&archive)), YKDocTemplates::Source::kStored);
    ASSERT_EQ(loaded.Count(), 7);
    for (int32 i = 0; i < 7; ++i) {
        EXPECT_EQ(*loaded.At(i), *templates.At(i)) << i;
    }

    // No colour stored means opaque white; a long name keeps 64 bytes without splitting the
    // two-byte "é" that straddles the cut.
    const std::string longName = std::string(63, 'x') + "\u00e9tail";
    YKDocTemplates sparse;
    ASSERT_EQ(sparse.LoadFromPref(StoredList({longName}, {5}, {6})),
              YKDocTemplates::Source::kStored);
    EXPECT_EQ(*sparse.At(0), (YKDocTemplate{std::string(63, 'x'), 5, 6}));
}

TEST(DocTemplatesTest, EditsRefuseTemplatesNoDocumentCouldHave) {
    YKDocTemplates templates;
    for (const YKDocTemplate& bad :
         {YKDocTemplate{"", 10, 10}, YKDocTemplate{"zero", 0, 10},
          YKDocTemplate{"negative", 10, -3}, YKDocTemplate{"wide", 32769, 1},
          YKDocTemplate{"huge", 32768, 32768}}) {
        EXPECT_FALSE(YKDocTemplates::Problem(bad).empty()) << bad.name;
        EXPECT_FALSE(templates.Add(bad)) << bad.name;
        EXPECT_FALSE(templates.Replace(0, bad)) << bad.name;
    }
    EXPECT_FALSE(templates.Remove(7));
    EXPECT_FALSE(templates.Remove(-1));
    EXPECT_EQ(templates.Count(), 7);
    EXPECT_EQ(templates.At(0)->width, 468);
}

TEST(DocTemplatesTest, CanvasIsCentredWithHalvesRoundedTowardZero) {
    EXPECT_EQ(YKDocTemplates::CanvasFrame(1, 1), (YKRect<int32>{0, 0, 0, 0}));
    EXPECT_EQ(YKDocTemplates::CanvasFrame(3, 3), (YKRect<int32>{-1, -1, 1, 1}));
    EXPECT_EQ(YKDocTemplates::CanvasFrame(4, 2), (YKRect<int32>{-2, -1, 1, 0}));
    EXPECT_EQ(YKDocTemplates::CanvasFrame(468, 60), (YKRect<int32>{-234, -30, 233, 29}));
}

TEST(DocTemplatesTest, CreateRequestMakesTheTemplatesDocument) {
    YKDispatcher dispatcher;
    const YKDocTemplate tile{"Tile", 32, 17, yk_color(1, 2, 3, 4)};
    dispatcher.HandleMessage(YKDocTemplates::CreateRequest(tile));
    ASSERT_EQ(dispatcher.CountDocuments(), 1);
    const YKDocument* document = dispatcher.DocumentAt(0);
    EXPECT_STREQ(document->Name(), "Tile");
    EXPECT_EQ(document->Frame(), YKDocTemplates::CanvasFrame(32, 17));
    EXPECT_EQ(document->BackgroundColor(), tile.color);
}

TEST(SizeUpdateThreadTest, CheckAcceptsOnlyWholeSizesARasterCanHold) {
    const YKSizeUpdateThread::Verdict banner = YKSizeUpdateThread::Check(" 468", "60 ");
    EXPECT_TRUE(banner.ok);
    EXPECT_EQ(banner.width, 468);
    EXPECT_EQ(banner.height, 60);
    EXPECT_EQ(banner.text, "468 \u00d7 60 pixels, 110 KiB");
    for (const auto& [width, height] :
         std::vector<std::pair<std::string, std::string>>{{"", "10"},
                                                          {"abc", "10"},
                                                          {"12x", "10"},
                                                          {"10", "1 0"},
                                                          {"0", "10"},
                                                          {"-5", "10"},
                                                          {"40000", "10"},
                                                          {"99999999999", "10"},
                                                          {"20000", "20000"}}) {
        const YKSizeUpdateThread::Verdict verdict = YKSizeUpdateThread::Check(width, height);
        EXPECT_FALSE(verdict.ok) << width << " x " << height;
        EXPECT_FALSE(verdict.text.empty());
    }
}

TEST(SizeUpdateThreadTest, ReportsTheLatestTextsOnItsOwnThreadAndStops) {
    std::mutex lock;
    std::condition_variable reported;
    std::vector<YKSizeUpdateThread::Verdict> verdicts;
    std::vector<std::thread::id> threads;
    YKSizeUpdateThread sizes([&](const YKSizeUpdateThread::Verdict& verdict) {
        std::lock_guard<std::mutex> guard(lock);
        verdicts.push_back(verdict);
        threads.push_back(std::this_thread::get_id());
        reported.notify_all();
    });
    sizes.Submit("1", "1");
    sizes.Submit("12", "");
    const uint64_t last = sizes.Submit("100", "32");
    {
        std::unique_lock<std::mutex> guard(lock);
        ASSERT_TRUE(reported.wait_for(guard, std::chrono::seconds(5), [&] {
            return !verdicts.empty() && verdicts.back().serial == last;
        }));
        EXPECT_TRUE(verdicts.back().ok);
        EXPECT_EQ(verdicts.back().width, 100);
        EXPECT_LE(verdicts.size(), 3u);
        EXPECT_NE(threads.back(), std::this_thread::get_id());
    }
    sizes.Stop();
    const size_t before = verdicts.size();
    sizes.Submit("5", "5");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(verdicts.size(), before);
}

}  // namespace

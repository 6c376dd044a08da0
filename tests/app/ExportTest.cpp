#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "RecordingServices.h"
#include "TempDir.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKExportRun.h"
#include "YKExportWizard.h"
#include "YKHtmlPage.h"
#include "YKRasterAnimIO.h"
#include "YKRasterFilters.h"
#include "YKRasterIOView.h"
#include "YKRasterLayer.h"
#include "YKRasterList.h"
#include "YKRasterStillIO.h"
#include "YKVectorEntity.h"
#include "YKVectorEntityFactory.h"
#include "YKViewerLayer.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32 kExportFinished = 0x65586669;

int32 FormatIndex(const char* menuName) {
    const YKRasterFilters* registry = YKRasterFilters::Instantiate();
    for (int32 i = 0; i < registry->CountFilters(); ++i) {
        if (std::string(registry->FilterAt(i)->MenuName()) == menuName) {
            return i;
        }
    }
    return -1;
}

class ExportTest : public ::testing::Test {
protected:
    // A 40 x 30 canvas of three frames on a blue background, with a black rectangle.
    ExportTest()
        : mDocument(new YKDocument("banner", YKRect<int32>{-20, -15, 19, 14},
                                   yk_color(0x20, 0x40, 0xC0, 255), &mServices)) {
        mServices.documents.emplace_back(mDocument);
        mDocument->EnvelopManager()->SetMaxFrame(3, false);
        const int32 id = mDocument->GetUniqueID();
        YKVectorEntity* entity = YKVectorEntityFactory::Create(
            YKVectorEntity::kTypeRectangle, {-10, -5}, id, mDocument->EnvelopManager());
        entity->nextPoint({10, 8}, false);
        entity->endCreationWithTol(1);
        entity->setFillAndColor({0, 0, 0, 255}, kColorFlagColor, nullptr, 0, false, "");
        auto* rectangle = new YKRasterLayer(id, "Rectangle_1", YKRasterLayer::kRectangle);
        rectangle->SetEntity(entity);
        mDocument->ViewerLayer()->ChildAt(0)->AddChild(rectangle, true);
        rectangle->EndCreation();
    }

    // A view of the format named `menuName`, writing to `file` in the test's folder.
    std::unique_ptr<YKRasterIOView> View(const char* menuName, const char* file,
                                         const YKMessage* options = nullptr) {
        YKRasterIO* io = YKRasterFilters::Instantiate()->FilterAt(FormatIndex(menuName));
        const bool animation = (io->Capabilities() & YKRasterIO::kWritesAnimations) != 0;
        return std::make_unique<YKRasterIOView>(
            animation ? nullptr : dynamic_cast<YKRasterStillIO*>(io),
            animation ? dynamic_cast<YKRasterAnimIO*>(io) : nullptr, mDocument, 1, options,
            mDir.PathOf(file).c_str());
    }

    int32 Posted(uint32 what) const {
        return static_cast<int32>(
            std::count(mServices.posted.begin(), mServices.posted.end(), what));
    }

    TempDir mDir;
    RecordingServices mServices;
    YKDocument* mDocument;
};

TEST(ExportTextTest, SizeAndTransmissionTextsChangeUnitAtTheirLimits) {
    EXPECT_EQ(YKRasterIOView::FileSizeText(20479), "20479 bytes");
    EXPECT_EQ(YKRasterIOView::FileSizeText(20480), "20.00 K (20480 bytes)");
    EXPECT_EQ(YKRasterIOView::FileSizeText(1048575), "1024.00 K (1048575 bytes)");
    EXPECT_EQ(YKRasterIOView::FileSizeText(1048576), "1.00 MB (1048576 bytes)");
    EXPECT_EQ(YKRasterIOView::TransmissionText(288000),
              "281.25 K (288000 bytes) -- 1:40 s @ 28.8 kBaud");
    EXPECT_EQ(YKRasterIOView::TransmissionText(2879), "2879 bytes -- 0:00 s @ 28.8 kBaud");
}

TEST(HtmlPageTest, PagePathReplacesOnlyAnExtensionOfTheFileName) {
    EXPECT_EQ(YKHtmlPage::PagePath("/x/image.gif"), "/x/image.html");
    EXPECT_EQ(YKHtmlPage::PagePath("/x/home.d/image"), "/x/home.d/image.html");
    EXPECT_EQ(YKHtmlPage::PagePath("image.tar.gz"), "image.tar.html");
}

TEST(HtmlPageTest, PageShowsTheImageOnTheBackgroundInsideTheLink) {
    YKMessage options;
    options.AddInt32("ra_back_col", int32(0xFF2040C0u));
    const std::string page = YKHtmlPage::Text("/x/a\"b.gif", &options, 40, 30, 0);
    EXPECT_EQ(page.rfind("<html>\n<head>\n<title>\na&quot;b.gif\n</title>\n", 0), 0u) << page;
    EXPECT_NE(page.find("</head>\n\n<body bgcolor=#2040C0>\n\n"), std::string::npos) << page;
    EXPECT_NE(page.find("<a href=\"#\"><img src=\"a&quot;b.gif\" width=\"40\" height=\"30\" "
                        "alt=\"a&quot;b.gif, made with Gravik\" border=\"0\"></a>\n\n"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.substr(page.size() - 16), "</body>\n</html>\n");

    options.AddString(YKHtmlPage::kLinkField, "https://example.org/");
    const std::string linked = YKHtmlPage::Text("/x/a.gif", &options, 1, 1, 0);
    EXPECT_NE(linked.find("Created with <a href=\"https://example.org/\">Tavernix</a>'s Gravik\n"
                          "from file /x/a.gif\nat "),
              std::string::npos)
        << linked;
    EXPECT_EQ(linked.find("href=\"#\""), std::string::npos);
    // Without options the writers' white background.
    EXPECT_NE(YKHtmlPage::Text("a.gif", nullptr, 1, 1, 0).find("<body bgcolor=#FFFFFF>"),
              std::string::npos);
}

TEST_F(ExportTest, QuantizerMenuFollowsThePaletteAndKeepsItsPosition) {
    const auto view = View("GIF", "a.gif");
    EXPECT_EQ(view->QuantizerNames(),
              (std::vector<std::string>{"Adaptive Reduction", "Neural Network"}));
    view->SetQuantizer(1);
    const std::vector<std::string> palettes = YKRasterIOView::PaletteNames();
    const auto position =
        int32(std::find(palettes.begin(), palettes.end(), "Web-safe") - palettes.begin());
    ASSERT_LT(position, int32(palettes.size()));
    view->SetPalette(position);
    EXPECT_EQ(view->QuantizerNames(),
              (std::vector<std::string>{"Adaptive Reduction", "Fixed Palette Reduction"}));
    EXPECT_EQ(view->QuantizerPosition(), 1);
    bool fixed = false;
    int32 palette = 0;
    int32 quantizer = -1;
    EXPECT_TRUE(view->Options().FindBool("24to8_isfixedpal", &fixed) && fixed);
    EXPECT_TRUE(view->Options().FindInt32("24to8_fix_palette", &palette));
    EXPECT_EQ(palette, position);
    EXPECT_TRUE(view->Options().FindInt32("24to8_quant_id", &quantizer));
    EXPECT_EQ(quantizer, YKRasterFilters::Instantiate()->QuantizerInfoAt(1)->Id());
    EXPECT_EQ(view->PalettePosition(), position);

    view->SetPalette(0);
    EXPECT_TRUE(view->Options().FindBool("24to8_isfixedpal", &fixed) && !fixed);
    EXPECT_EQ(view->QuantizerNames().back(), "Neural Network");
}

// The estimate is the writer's own output, so it matches the export byte for byte; live update
// tells the listener of every change.
TEST_F(ExportTest, EstimateIsTheSizeOfTheWrittenFile) {
    for (const char* format : {"GIF", "Animated GIF", "PNG", "JPEG"}) {
        SCOPED_TRACE(format);
        const auto view = View(format, (std::string("out-") + format).c_str());
        std::vector<int64> heard;
        view->SetEstimateListener([&](int64 size) { heard.push_back(size); });
        view->SetLiveUpdate(true);
        view->SetBool("ra_interlace", true);
        ASSERT_EQ(heard.size(), 1u);
        EXPECT_GT(heard[0], 0);
        std::vector<std::string> written;
        std::string error;
        ASSERT_TRUE(view->Export(nullptr, &written, &error)) << error;
        ASSERT_EQ(written, std::vector<std::string>{view->FileName()});
        EXPECT_EQ(int64(fs::file_size(view->FileName())), view->EstimatedSize());
    }
    int32 quality = 0;
    EXPECT_TRUE(View("JPEG", "q.jpg")->Options().FindInt32("jpeg_quality", &quality));
    EXPECT_EQ(quality, 80);
    EXPECT_EQ(Posted(kExportFinished), 4);
}

TEST_F(ExportTest, ExportsRestorePlayModeAndFrameAndKeptFramesWriteTheSame) {
    mDocument->SetPlayMode(true);
    mDocument->EnvelopManager()->SetCurrentFrame(2);
    const auto rendered = View("Animated GIF", "rendered.gif");
    EXPECT_EQ(rendered->KindText(), "Animation with 3 Images");
    EXPECT_EQ(rendered->DimensionsText(), "Size : 40 x 30 Pixels");
    ASSERT_TRUE(rendered->Export(nullptr, nullptr, nullptr));
    const auto still = View("PNG", "third.png");
    EXPECT_FALSE(still->SetFrame(4));
    ASSERT_TRUE(still->SetFrame(3));
    ASSERT_TRUE(still->Export(nullptr, nullptr, nullptr));
    EXPECT_TRUE(mDocument->PlayMode());
    EXPECT_EQ(mDocument->EnvelopManager()->CurrentFrame(), 2);

    const auto kept = View("Animated GIF", "kept.gif");
    EXPECT_FALSE(kept->SetFrameRange(2, 4));
    std::string error;
    ASSERT_TRUE(kept->UpdateRaster(&error)) << error;
    ASSERT_EQ(kept->Rasters()->CountItems(), 3);
    ASSERT_TRUE(kept->Export(nullptr, nullptr, &error)) << error;
    EXPECT_EQ(ReadBytes(rendered->FileName()), ReadBytes(kept->FileName()));
}

TEST_F(ExportTest, RememberedOptionsSurviveSavingAndServeANewView) {
    auto view = View("PNG", "a.png");
    view->SetBool("ra_interlace", true);
    view->SetGenerateHtml(true);
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(view->Export(nullptr, &written, &error)) << error;
    EXPECT_EQ(written, (std::vector<std::string>{mDir.PathOf("a.png"), mDir.PathOf("a.html")}));
    EXPECT_NE(ReadBytes(mDir.PathOf("a.html")).find("<body bgcolor=#2040C0>"), std::string::npos);

    ASSERT_TRUE(mDocument->SaveInto(mDir.PathOf("doc.gr").c_str(), false, &error)) << error;
    YKDocument* loaded =
        YKDocument::Load(mDir.PathOf("doc.gr").c_str(), "doc", false, &mServices, &error);
    ASSERT_NE(loaded, nullptr) << error;
    mDocument = loaded;
    bool interlace = false;
    bool page = false;
    view = View("PNG", "b.png");
    EXPECT_TRUE(view->Options().FindBool("ra_interlace", &interlace) && interlace);
    EXPECT_TRUE(view->Options().FindBool("ra_do_html", &page) && page);
    // Given options win over remembered ones.
    YKMessage given;
    EXPECT_FALSE(View("PNG", "c.png", &given)->Options().HasBool("ra_interlace"));
}

// A cancel from the listener stops the writer at its next step, the last one here: neither the new
// file nor the page appears, an earlier file stays as it was, and nothing is remembered or
// announced.
TEST_F(ExportTest, CancelMidWayLeavesNoFileAndTheOldFileWhole) {
    for (const char* format : {"GIF", "Animated GIF", "PNG"}) {
        SCOPED_TRACE(format);
        const auto fresh = View(format, "fresh.img");
        const auto existing = View(format, "existing.img");
        WriteBytes(existing->FileName(), std::string("earlier content"));
        for (YKRasterIOView* view : {fresh.get(), existing.get()}) {
            view->SetGenerateHtml(true);
            int32 shown = 0;
            int32 count = 0;
            YKExportRun run({view}, [&](const YKExportRun::Event& event) {
                ++shown;
                count = event.stepCount;
                // The last check: an animation's file is then open, half written.
                if (event.step == event.stepCount - 1) {
                    run.Cancel();
                }
            });
            run.Start();
            EXPECT_FALSE(run.Wait());
            EXPECT_EQ(run.Error(), "cancelled");
            EXPECT_EQ(shown, count - 1);
            EXPECT_TRUE(run.Written().empty());
        }
        EXPECT_FALSE(fs::exists(fresh->FileName()));
        EXPECT_EQ(ReadBytes(existing->FileName()), "earlier content");
        EXPECT_EQ(std::distance(fs::directory_iterator(mDir.Path()), fs::directory_iterator()), 1);
        fs::remove(existing->FileName());
    }
    YKMessage remembered;
    EXPECT_FALSE(mDocument->FindExportMessage("PNG", &remembered));
    EXPECT_EQ(Posted(kExportFinished), 0);
}

TEST_F(ExportTest, WizardRunsItsExportsInOrderAndWritesEach) {
    YKExportWizard wizard(mDocument);
    EXPECT_EQ(wizard.SizeText(), "Size : 40 x 30 Pixels, 3 Frames");
    const std::vector<int32> formats = wizard.AddableFormats();
    ASSERT_NE(std::find(formats.begin(), formats.end(), FormatIndex("PNG")), formats.end());
    ASSERT_NE(wizard.addExport(FormatIndex("Animated GIF"), mDir.PathOf("w.gif").c_str()), nullptr);
    ASSERT_NE(wizard.addExport(FormatIndex("PNG"), mDir.PathOf("w.png").c_str()), nullptr);
    EXPECT_EQ(wizard.Selected(), 1);

    std::vector<int32> order;
    YKExportRun* run = wizard.doExport([&](const YKExportRun::Event& event) {
        if (order.empty() || order.back() != event.exportIndex) {
            order.push_back(event.exportIndex);
        }
    });
    ASSERT_NE(run, nullptr);
    ASSERT_TRUE(run->Wait()) << run->Error();
    EXPECT_EQ(order, (std::vector<int32>{0, 1}));
    EXPECT_EQ(run->Written(),
              (std::vector<std::string>{mDir.PathOf("w.gif"), mDir.PathOf("w.png")}));
    EXPECT_GT(fs::file_size(mDir.PathOf("w.gif")), 0u);
    EXPECT_GT(fs::file_size(mDir.PathOf("w.png")), 0u);
    EXPECT_EQ(Posted(kExportFinished), 2);
    // The index named each export during the run only.
    YKMessage remembered;
    ASSERT_TRUE(mDocument->FindExportMessage("PNG", &remembered));
    EXPECT_FALSE(remembered.HasInt32("export_index"));
    EXPECT_FALSE(wizard.ExportAt(0)->Options().HasInt32("export_index"));

    wizard.removeExport();
    EXPECT_EQ(wizard.CountExports(), 1);
    EXPECT_EQ(wizard.Selected(), 0);
}

}  // namespace

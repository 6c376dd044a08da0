#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "RecordingServices.h"
#include "ScriptedAlerts.h"
#include "TempDir.h"
#include "YKBitmapRoster.h"
#include "YKDocument.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKFilterManager.h"
#include "YKKernelFilter.h"
#include "YKMsgFile.h"
#include "YKObjectLayer.h"
#include "YKRaster.h"
#include "YKRasterLayer.h"
#include "YKUserLayer.h"
#include "YKVectorEntity.h"
#include "YKVectorEntityFactory.h"
#include "YKViewerLayer.h"

namespace {

namespace fs = std::filesystem;

class DocumentTest : public ::testing::Test {
protected:
    DocumentTest() { mServices.previewMode = 2; }

    std::string PathOf(const char* name) const { return mDir.PathOf(name); }

    // A file of the given records, for load failures.
    std::string WriteFile(const char* name, const std::vector<YKMessage>& records) {
        const std::string path = PathOf(name);
        YKMsgFile file;
        EXPECT_TRUE(file.Open(path.c_str(), YK_BIN_WRITE_ONLY));
        for (const YKMessage& record : records) {
            EXPECT_TRUE(file.PutMessage(&record));
        }
        return path;
    }

    static YKMessage Version(int32 number) {
        YKMessage version('grdv');
        version.AddInt32("vers", number);
        return version;
    }

    static std::string Archived(const YKDocument& document) {
        YKMessage message;
        document.ArchiveDocument(&message);
        return message.Flatten();
    }

    // The canvas of a frame as bytes.
    static std::string Rendered(YKDocument& document, int32 frame = 1) {
        std::unique_ptr<YKRaster> raster(document.RenderFrame(frame));
        if (raster == nullptr) {
            return {};
        }
        return {reinterpret_cast<const char*>(raster->Bits()),
                std::size_t(raster->BytesPerRow()) * std::size_t(raster->Height())};
    }

    TempDir mDir;
    ScriptedAlerts mAlerts;
    RecordingServices mServices;
};

TEST_F(DocumentTest, SavedFileIsTheVersionThenTheDocumentAndLoadsEqual) {
    YKDocument original("banner", {-234, -30, 233, 29}, yk_color(10, 20, 30, 200), &mServices);
    original.GetObjectID();
    original.EnvelopManager()->SetMaxFrame(3, false);
    original.EnvelopManager()->SetFrameDuration(2, 12.0f);
    YKMessage gif('gifo');
    gif.AddInt32("gif_loop", 1);
    original.SetExportMessage("GIF", &gif);
    auto* second = new YKUserLayer(original.GetUniqueID(), "Second");
    second->HideUserLayer(3);
    original.ViewerLayer()->AddChild(second, true);
    second->AddChild(new YKCacheLayer(original.GetUniqueID(), "group"), true);

    const std::string path = PathOf("banner.gr");
    ASSERT_TRUE(original.SaveInto(path.c_str(), false));
    EXPECT_FALSE(original.IsModified());
    EXPECT_STREQ(original.Path(), path.c_str());

    YKMsgFile file;
    ASSERT_TRUE(file.Open(path.c_str(), YK_BIN_READ_ONLY));
    EXPECT_EQ(file.CountMessages(), 2);
    YKMessage version;
    ASSERT_TRUE(file.GetMessage(&version));
    int32 number = 0;
    EXPECT_EQ(version.what, uint32('grdv'));
    EXPECT_TRUE(version.FindInt32("vers", &number));
    EXPECT_EQ(number, 101);
    YKMessage document;
    ASSERT_TRUE(file.GetMessage(&document));
    EXPECT_EQ(document.what, uint32('edoc'));

    std::string error;
    YKDocument* loaded = YKDocument::Load(path.c_str(), "banner.gr", false, &mServices, &error);
    ASSERT_NE(loaded, nullptr) << error;
    EXPECT_EQ(mServices.documents.back().get(), loaded);
    EXPECT_EQ(Archived(*loaded), Archived(original));  // frames, layers, background, export
    EXPECT_EQ(loaded->GetUniqueID(), original.GetUniqueID()) << "ids stay unique across saves";
}

TEST_F(DocumentTest, EverySaveCarriesThePatternsToAProcessThatNeverHeldThem) {
    constexpr const char* kPattern = "document-test-checks";
    auto tile = std::make_unique<YKRaster>(YKRect<int32>{0, 0, 3, 3});
    for (int32 y = 0; y < 4; ++y) {
        for (int32 x = 0; x < 4; ++x) {
            const uint32 pixel = (x + y) % 2 != 0 ? 0xFF2040C0u : 0xFFF0E010u;
            std::memcpy(tile->Bits() + y * tile->BytesPerRow() + x * 4, &pixel, 4);
        }
    }
    YKBitmapRoster::Default().AddBitmap(std::move(tile), kPattern);
    auto original = std::make_unique<YKDocument>("patterned", YKRect<int32>{-40, -30, 39, 29},
                                                 yk_color(255, 255, 255, 255), &mServices);
    const int32 id = original->GetUniqueID();
    YKVectorEntity* entity = YKVectorEntityFactory::Create(
        YKVectorEntity::kTypeRectangle, {-30, -20}, id, original->EnvelopManager());
    entity->nextPoint({10, 15}, false);
    entity->endCreationWithTol(1);
    entity->setFillAndColor({0, 0, 0, 255}, kColorFlagPattern, nullptr, 255, true, kPattern);
    auto* rectangle = new YKRasterLayer(id, "Rectangle_1", YKRasterLayer::kRectangle);
    rectangle->SetEntity(entity);
    original->ViewerLayer()->ChildAt(0)->AddChild(rectangle, true);
    rectangle->EndCreation();

    const std::string drawn = Rendered(*original);
    ASSERT_TRUE(original->SaveInto(PathOf("first.gr").c_str(), false));
    ASSERT_TRUE(original->SaveInto(PathOf("second.gr").c_str(), false));
    ASSERT_NE(original->ViewerLayer()->DuplicateObject(rectangle), nullptr);
    const std::string duplicated = Rendered(*original);
    ASSERT_TRUE(original->SaveInto(PathOf("duplicated.gr").c_str(), false));
    // As in a fresh process: nothing holds the pattern any more.
    original.reset();
    ASSERT_TRUE(YKBitmapRoster::Default().DeleteBitmap(kPattern));
    ASSERT_EQ(YKBitmapRoster::Default().Bitmap(kPattern), nullptr);

    for (const auto& [file, expected] :
         {std::pair{"first.gr", drawn}, std::pair{"second.gr", drawn},
          std::pair{"duplicated.gr", duplicated}}) {
        std::string error;
        YKDocument* loaded =
            YKDocument::Load(PathOf(file).c_str(), file, false, &mServices, &error);
        ASSERT_NE(loaded, nullptr) << file << ": " << error;
        EXPECT_TRUE(Rendered(*loaded) == expected) << file << " draws differently";
        // Loaded documents hold the pattern only while they are open.
        mServices.documents.clear();
        EXPECT_EQ(YKBitmapRoster::Default().Bitmap(kPattern), nullptr) << file;
    }
}

// A shipped plug-in (this program's "add-ons" are the build's) on a user layer, its radius keyed
// from sharp at frame 1 to wide at frame 5: the frames show it, and a reloaded document, whose
// layer builds the filter anew from its archive, draws them byte for byte alike.
TEST_F(DocumentTest, AnimatedFilterOfALayerRendersByFrameAndReloadsIdentically) {
    const YKGenericFilter* blur = YKFilterManager::Default().FilterNamed("Gaussian Blur");
    ASSERT_NE(blur, nullptr) << "the shipped plug-ins are not beside the test program";
    auto original = std::make_unique<YKDocument>("filtered", YKRect<int32>{-40, -30, 39, 29},
                                                 yk_color(255, 255, 255, 255), &mServices);
    original->EnvelopManager()->SetMaxFrame(5, false);
    const int32 id = original->GetUniqueID();
    YKVectorEntity* entity = YKVectorEntityFactory::Create(
        YKVectorEntity::kTypeRectangle, {-20, -10}, id, original->EnvelopManager());
    entity->nextPoint({20, 10}, false);
    entity->endCreationWithTol(1);
    entity->setFillAndColor({0, 0, 0, 255}, kColorFlagColor, nullptr, 0, false, "");
    entity->setStrokeAndColor({0, 0, 0, 255}, kColorFlagNone, nullptr, 0, false, "");
    auto* rectangle = new YKRasterLayer(id, "Rectangle_1", YKRasterLayer::kRectangle);
    rectangle->SetEntity(entity);
    auto* layer = static_cast<YKUserLayer*>(original->ViewerLayer()->ChildAt(0));
    layer->AddChild(rectangle, true);
    rectangle->EndCreation();
    auto* filter = static_cast<YKKernelFilter*>(blur->Duplicate());
    layer->AddFilter(filter);
    auto* radius = static_cast<YKEnvelopDouble*>(filter->ParameterEnvelop(0));
    radius->SetValue(0.5, 1);
    radius->SetValue(8.0, 5);

    // Three pixels outside the rectangle's left edge, on its middle row: white while the blur is
    // narrow, grey once it is wide.
    const auto outside = [](YKDocument& document, int32 frame) {
        std::unique_ptr<YKRaster> raster(document.RenderFrame(frame));
        uint32 pixel = 0;
        std::memcpy(&pixel, raster->Bits() + 30 * raster->BytesPerRow() + (40 - 23) * 4, 4);
        return pixel & 0xFFu;
    };
    EXPECT_EQ(outside(*original, 1), 0xFFu);
    EXPECT_LT(outside(*original, 5), 0xF0u);
    std::vector<std::string> frames;
    for (int32 frame = 1; frame <= 5; ++frame) {
        frames.push_back(Rendered(*original, frame));
    }
    EXPECT_NE(frames[0], frames[2]);
    EXPECT_NE(frames[2], frames[4]);

    ASSERT_TRUE(original->SaveInto(PathOf("filtered.gr").c_str(), false));
    YKMessage filterArchive;
    filter->Archive(&filterArchive);
    original.reset();
    std::string error;
    YKDocument* loaded =
        YKDocument::Load(PathOf("filtered.gr").c_str(), "filtered.gr", false, &mServices, &error);
    ASSERT_NE(loaded, nullptr) << error;
    auto* reloaded = static_cast<YKUserLayer*>(loaded->ViewerLayer()->ChildAt(0));
    ASSERT_EQ(reloaded->CountFilters(), 1) << "the filter came back as an archive only";
    YKMessage reloadedArchive;
    reloaded->FilterAt(0)->Archive(&reloadedArchive);
    EXPECT_EQ(reloadedArchive.Flatten(), filterArchive.Flatten());
    const char* name = nullptr;
    ASSERT_TRUE(reloadedArchive.FindString("YKGF:Name", &name));
    EXPECT_STREQ(name, "Gaussian Blur");
    for (int32 frame = 5; frame >= 1; --frame) {
        EXPECT_TRUE(Rendered(*loaded, frame) == frames[frame - 1]) << "frame " << frame;
    }
}

TEST_F(DocumentTest, LoadFailuresGiveTheirTextsThenTheImageText) {
    struct Case {
        std::string path;
        std::string first;
    };
    YKMessage empty('edoc');
    const std::vector<Case> cases = {
        {PathOf("missing.gr"), "Can't open file"},
        {WriteFile("notversion.gr", {YKMessage('xxxx'), empty}), "This is not an Gravik file."},
        {WriteFile("old.gr", {Version(99), empty}),
         "This Gravik file is obsolete and can't be loaded."},
        {WriteFile("new.gr", {Version(102), empty}),
         "This Gravik file was created with a newer version of Gravik\nand cannot be opened."},
        {WriteFile("short.gr", {Version(101)}),
         "This Gravik file is corrupted or incomplete and cannot be opened."},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(YKDocument::Load(c.path.c_str(), "x", false, &mServices, &error), nullptr);
        EXPECT_EQ(error, c.first + "\nFile cannot be loaded. Unknown file format.\n") << c.path;
    }
    EXPECT_TRUE(mServices.documents.empty()) << "no half-built document in the list";
    EXPECT_TRUE(mAlerts.Shown().empty());

    YKDocument::Load(cases[2].path.c_str(), "x", true, &mServices);
    ASSERT_EQ(mAlerts.Shown().size(), 1u);
    EXPECT_EQ(mAlerts.Shown()[0].text,
              "Error while loading document!\nError: This Gravik file is obsolete and can't be "
              "loaded.\nFile cannot be loaded. Unknown file format.\n\nFile: " +
                  cases[2].path);
    EXPECT_EQ(mAlerts.Shown()[0].buttons, std::vector<std::string>{"OK"});

    EXPECT_NE(YKDocument::Load(WriteFile("v100.gr", {Version(100), empty}).c_str(), "v", false,
                               &mServices),
              nullptr);
}

TEST_F(DocumentTest, OlderBackgroundFormAndDamagedChildrenLoadAsFarAsTheyCan) {
    YKMessage document('edoc');
    const rgb_color legacy{9, 8, 7, 255};
    document.AddData("YKD:Bckgrd", 'RAWT', &legacy, sizeof legacy);
    YKMessage layer;
    YKUserLayer(5, "kept").Archive(&layer, false);
    YKMessage noClass;
    noClass.AddInt32("YKL:ID", 6);
    YKMessage unknown;
    unknown.AddString("Class", "NoSuchLayer");
    layer.AddMessage("YKL:Child", &noClass);
    layer.AddMessage("YKL:Child", &unknown);
    document.AddMessage("YKL:Child", &layer);
    const std::string path = WriteFile("legacy.gr", {Version(101), document});

    YKDocument* loaded = YKDocument::Load(path.c_str(), "legacy", false, &mServices);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->BackgroundColor(), yk_color(9, 8, 7, 255));
    EXPECT_EQ(loaded->Frame(), YKRect<int32>::None());
    ASSERT_EQ(loaded->ViewerLayer()->CountChildren(), 1);
    EXPECT_EQ(loaded->ViewerLayer()->ChildAt(0)->CountChildren(), 0);
}

TEST_F(DocumentTest, FailedSaveLeavesTheEarlierFileIntact) {
    YKDocument document("keep", {0, 0, 99, 99}, yk_color(), &mServices);
    const std::string path = PathOf("keep.gr");
    ASSERT_TRUE(document.SaveInto(path.c_str(), false));
    const std::string before = ReadBytes(path);
    for (int i = 0; i < 300; ++i) {
        document.ViewerLayer()->AddChild(new YKUserLayer(document.GetUniqueID(), "more"), false);
    }
    document.SetModified(true);

    // A file size limit below the new document makes the write fail half-way.
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = before.size() + 64;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    const bool written = document.SaveInto(path.c_str(), true, &error);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(written);
    EXPECT_EQ(error, "Write failed (File too large)");
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(document.IsModified());
    ASSERT_EQ(mAlerts.Shown().size(), 1u);
    EXPECT_EQ(mAlerts.Shown()[0].text,
              "Error while saving document!\nError: Write failed\nFile: " + path + "\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(mDir.Path()), fs::directory_iterator()), 1)
        << "no temporary file left behind";
}

TEST_F(DocumentTest, FrameChangesAreUndoableAndReachTheViews) {
    YKDocument document("frame", {0, 0, 99, 99}, yk_color(), &mServices);
    document.SetFrame({0, 0, 49, 49}, 1);
    EXPECT_EQ(mServices.views[0]->frame, (YKRect<int32>{0, 0, 49, 49}));
    EXPECT_STREQ(document.UndoManager()->UndoNameAt(0), "Undo Crop to Selection");
    document.UndoManager()->UndoLast();
    EXPECT_EQ(document.Frame(), (YKRect<int32>{0, 0, 99, 99}));
    document.UndoManager()->RedoLast();
    EXPECT_EQ(document.Frame(), (YKRect<int32>{0, 0, 49, 49}));
    document.SetFrame({0, 0, 9, 9}, 0);
    EXPECT_EQ(document.UndoManager()->UndoStackSize(), 1) << "kind 0 records nothing";
}

TEST_F(DocumentTest, WindowRectangleFollowsTheCanvasWithinTheScreen) {
    const YKRect<int32> screen{0, 0, 1279, 1023};
    const YKRect<int32> small = YKDocument::ViewerWindowFrame({0, 0, 99, 99}, screen);
    EXPECT_EQ(small.Width(), 479) << "480 pixels wide";
    EXPECT_EQ(small.left, (1279 - 479) / 2);
    const YKRect<int32> huge = YKDocument::ViewerWindowFrame({0, 0, 4999, 2999}, screen);
    EXPECT_EQ(huge, (YKRect<int32>{8, 32, 1271, 1015}));
}

TEST_F(DocumentTest, NotificationsGoToTheirPanels) {
    YKDocument document("route", {0, 0, 9, 9}, yk_color(), &mServices);
    mServices.delivered.clear();
    using Panel = YKDocumentServices::Panel;
    YKMessage opacity('oOPA');
    document.MessageReceived(nullptr, &opacity);
    YKMessage layers('lBLT');
    document.MessageReceived(nullptr, &layers);
    YKMessage thickness('fTHK');
    thickness.AddFloat("FontSize1", 3.5f);
    document.MessageReceived(nullptr, &thickness);
    YKMessage ignored('zzzz');
    document.MessageReceived(nullptr, &ignored);
    ASSERT_EQ(mServices.delivered.size(), 4u);
    EXPECT_EQ(mServices.delivered[0].first, Panel::kFiller);
    EXPECT_EQ(mServices.delivered[1].first, Panel::kObjects);
    EXPECT_EQ(mServices.delivered[2].first, Panel::kLayers);
    EXPECT_EQ(mServices.delivered[3].second.what, uint32('fthk'));
    float size = 0;
    EXPECT_TRUE(mServices.delivered[3].second.FindFloat("FontSize1", &size));
    EXPECT_EQ(size, 3.5f);
}

TEST_F(DocumentTest, ObjectPanelFollowsTheLastObjectOnlyWhileSelected) {
    YKDocument document("modes", {0, 0, 9, 9}, yk_color(), &mServices);
    YKObjectLayer selected(50, "a", 0);
    YKObjectLayer resting(51, "b", 0);
    selected.SetObjectMode(YKObjectLayer::kModeSelected, true);
    resting.SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    using Panel = YKDocumentServices::Panel;
    for (YKObjectLayer* last : {&selected, &resting}) {
        mServices.delivered.clear();
        YKMessage modes('oMDI');
        modes.AddPointer("YKObjectLayer", last == &selected ? &resting : &selected);
        modes.AddPointer("YKObjectLayer", last);
        document.MessageReceived(nullptr, &modes);
        ASSERT_FALSE(mServices.delivered.empty());
        EXPECT_EQ(mServices.delivered[0].first, Panel::kFiller);
        EXPECT_EQ(mServices.delivered[0].second.what, 3u);
        if (last == &selected) {
            ASSERT_EQ(mServices.delivered.size(), 2u);
            EXPECT_EQ(mServices.delivered[1].first, Panel::kObjects);
            void* object = nullptr;
            EXPECT_TRUE(mServices.delivered[1].second.FindPointer("YKObjectLayer", &object));
            EXPECT_EQ(object, &selected);
        } else {
            EXPECT_EQ(mServices.delivered.size(), 1u);
        }
    }
}

TEST_F(DocumentTest, ClosingViewsAsksOnlyAtTheLastOne) {
    YKDocument document("views", {0, 0, 9, 9}, yk_color(), &mServices);
    ASSERT_TRUE(document.CreateViewer(true));
    bool cancelled = true;
    EXPECT_TRUE(document.DeleteViewer(mServices.views[1].get(), &cancelled));
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(mServices.views[1]->quit);
    EXPECT_TRUE(mAlerts.Shown().empty());

    mAlerts.ScriptAnswers({0});  // "No"
    EXPECT_FALSE(document.DeleteViewer(mServices.views[0].get(), &cancelled));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(mAlerts.Shown().back().text, "This is the last view. Close document?");

    document.SetModified(true);
    mAlerts.ScriptAnswers({1});  // "Cancel"
    EXPECT_FALSE(document.DeleteViewer(mServices.views[0].get(), &cancelled));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(mAlerts.Shown().back().buttons,
              (std::vector<std::string>{"Don't Save", "Cancel", "Save"}));

    mAlerts.ScriptAnswers({0});  // "Don't Save"
    mServices.posted.clear();
    EXPECT_TRUE(document.DeleteViewer(mServices.views[0].get(), &cancelled));
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(mServices.posted, std::vector<uint32>{'grDd'});
}

TEST_F(DocumentTest, FirstSaveAsksTheApplicationWithASuggestedName) {
    YKDocument named("drawing.gr", {0, 0, 9, 9}, yk_color(), &mServices);
    EXPECT_EQ(named.SuggestedFileName(), "drawing.gr");
    mServices.posted.clear();
    named.Save(false);
    EXPECT_EQ(mServices.posted, std::vector<uint32>{'grOs'});
}

}  // namespace

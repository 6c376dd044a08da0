#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "RecordingView.h"
#include "ScriptedAlerts.h"
#include "TempDir.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKPrefSetting.h"

namespace {

namespace fs = std::filesystem;

YKMessage CreateRequest(int32 width, int32 height, const char* name) {
    YKMessage request('grCd');
    request.AddInt32("width", width);
    request.AddInt32("height", height);
    request.AddString("name", name);
    return request;
}

YKMessage DocumentMessage(uint32 what, YKDocument* document) {
    YKMessage message(what);
    message.AddPointer("document", document);
    return message;
}

class DispatcherTest : public testing::Test {
protected:
    // A document with unsaved changes, as the alerts need.
    YKDocument* ModifiedDocument(const char* name) {
        YKDocument* document = dispatcher.CreateDocument(10, 10, name, yk_color());
        document->SetModified(true);
        return document;
    }

    ScriptedAlerts alerts;
    TempDir temp;
    const fs::path& dir = temp.Path();
    YKDispatcher dispatcher;
};

TEST_F(DispatcherTest, CreateRequestCentresTheCanvasAndNeedsSizeAndName) {
    YKMessage banner = CreateRequest(468, 60, "Banner");
    const yk_color red(255, 0, 0, 128);
    banner.AddData("color", 'YKRC', &red, sizeof red);
    YKMessage shortColour = CreateRequest(3, 3, "three");
    const uint8 four[4] = {255, 255, 255, 255};
    shortColour.AddData("color", 'YKRC', four, sizeof four);
    YKMessage noName('grCd');
    noName.AddInt32("width", 10);
    noName.AddInt32("height", 10);
    for (const YKMessage& request : {banner, shortColour, noName, CreateRequest(0, 1, "empty")}) {
        dispatcher.HandleMessage(request);
    }

    ASSERT_EQ(dispatcher.CountDocuments(), 2);
    const YKDocument* document = dispatcher.DocumentAt(0);
    EXPECT_STREQ(document->Name(), "Banner");
    EXPECT_EQ(document->Frame(), (YKRect<int32>{-234, -30, 233, 29}));
    EXPECT_EQ(document->BackgroundColor(), red);
    EXPECT_EQ(dispatcher.DocumentAt(1)->Frame(), (YKRect<int32>{-1, -1, 1, 1}));
    EXPECT_EQ(dispatcher.DocumentAt(1)->BackgroundColor(), yk_color(0, 0, 0, 0));
}

TEST_F(DispatcherTest, CloseRequestAsksAboutUnsavedChanges) {
    YKDocument* kept = ModifiedDocument("drawing");
    alerts.ScriptAnswers({1});  // Cancel
    dispatcher.HandleMessage(DocumentMessage('grDd', kept));
    ASSERT_EQ(alerts.Shown().size(), 1u);
    EXPECT_EQ(alerts.Shown()[0].text, "Save changes to \"drawing\"?");
    EXPECT_EQ(alerts.Shown()[0].buttons,
              (std::vector<std::string>{"Don't Save", "Cancel", "Save"}));
    EXPECT_EQ(dispatcher.CountDocuments(), 1);

    alerts.ScriptAnswers({0});  // Don't Save
    dispatcher.HandleMessage(DocumentMessage('grDd', kept));
    EXPECT_EQ(dispatcher.CountDocuments(), 0);
    // A second close of the same document finds it gone and must not touch it.
    dispatcher.HandleMessage(DocumentMessage('grDd', kept));
}

TEST_F(DispatcherTest, SaveAnswerClosesOnlyOnceTheSaveHasSucceeded) {
    // With a file: saved there, then closed when the document reports the save.
    YKDocument* withFile = ModifiedDocument("withFile");
    const fs::path first = dir / "first.gr";
    ASSERT_TRUE(withFile->SaveInto(first.c_str(), false));
    withFile->SetModified(true);
    alerts.ScriptAnswers({2});
    dispatcher.HandleMessage(DocumentMessage('grDd', withFile));
    dispatcher.DrainPosted();
    EXPECT_EQ(dispatcher.CountDocuments(), 0);

    // Without a file and nobody choosing one: the document stays, and a later save must not
    // close it behind the user's back.
    YKDocument* untitled = ModifiedDocument(nullptr);
    alerts.ScriptAnswers({2});
    dispatcher.HandleMessage(DocumentMessage('grDd', untitled));
    dispatcher.DrainPosted();
    ASSERT_EQ(dispatcher.CountDocuments(), 1);
    EXPECT_FALSE(untitled->CloseAfterSave());

    // With a chooser: saved under the suggested name, then closed.
    std::string suggested;
    dispatcher.SetSavePathChooser([&](YKDocument*, const std::string& name) {
        suggested = name;
        return (dir / name).string();
    });
    alerts.ScriptAnswers({2});
    const std::string expectedName = std::string(untitled->Name()) + ".gr";
    dispatcher.HandleMessage(DocumentMessage('grDd', untitled));
    dispatcher.DrainPosted();
    EXPECT_EQ(suggested, expectedName);
    EXPECT_TRUE(fs::exists(dir / expectedName));
    EXPECT_EQ(dispatcher.CountDocuments(), 0);
}

TEST_F(DispatcherTest, OpenRequestLoadsEachReferenceNamedAfterItsFile) {
    const yk_color blue(0, 0, 255, 255);
    const fs::path path = dir / "banner.gr";
    ASSERT_TRUE(dispatcher.CreateDocument(468, 60, "Banner", blue)->SaveInto(path.c_str(), false));

    YKMessage open('grRo');
    open.AddString("refs", path.string());
    open.AddString("refs", (dir / "missing.gr").string());
    dispatcher.HandleMessage(open);

    ASSERT_EQ(dispatcher.CountDocuments(), 2);
    const YKDocument* loaded = dispatcher.DocumentAt(1);
    EXPECT_STREQ(loaded->Name(), "banner.gr");
    EXPECT_STREQ(loaded->Path(), path.c_str());
    EXPECT_EQ(loaded->Frame(), (YKRect<int32>{-234, -30, 233, 29}));
    EXPECT_EQ(loaded->BackgroundColor(), blue);
    ASSERT_EQ(alerts.Shown().size(), 1u);
    EXPECT_EQ(alerts.Shown()[0].text.rfind("Error while loading document!\nError: ", 0), 0u);
}

TEST_F(DispatcherTest, WindowsPanelsAndPreferencesComeFromTheHooks) {
    std::vector<std::unique_ptr<RecordingView>> views;
    dispatcher.SetWindowFactory([&](YKDocument*, int32, YKRect<int32>, bool) {
        views.push_back(std::make_unique<RecordingView>());
        return views.back().get();
    });
    int32 menuRebuilds = 0;
    dispatcher.SetWindowListHook([&] { ++menuRebuilds; });
    std::vector<uint32> layerPanel;
    dispatcher.SetPanelSink(YKDocumentServices::Panel::kLayers,
                            [&](const YKMessage& message) { layerPanel.push_back(message.what); });

    YKDocument* document = dispatcher.CreateDocument(100, 100, "view", yk_color());
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(dispatcher.CountPosted(), 1);
    EXPECT_EQ(dispatcher.DrainPosted(), 1);
    EXPECT_EQ(menuRebuilds, 1);
    EXPECT_EQ(dispatcher.WindowListChanges(), 1);

    document->SetBackgroundColor(yk_color(1, 2, 3, 4));
    EXPECT_EQ(layerPanel, std::vector<uint32>{'lUaT'});

    alerts.ScriptAnswers({0});  // the colour change is not kept
    dispatcher.HandleMessage(DocumentMessage('grDd', document));
    EXPECT_EQ(dispatcher.CountDocuments(), 0);
    EXPECT_TRUE(views[0]->quit);

    EXPECT_EQ(dispatcher.PreferredPreviewMode(), 0);
    YKPrefSetting preferences;
    preferences.SetPrefView(2);
    EXPECT_EQ(YKDispatcher(&preferences).PreferredPreviewMode(), 2);
}

}  // namespace

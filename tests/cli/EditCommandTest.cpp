// gravik-cli edit: scripts that move an object, undo and redo, and scripts that are refused
// whole, leaving no output.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CliTest.h"
#include "RecordingServices.h"
#include "YKDocument.h"
#include "YKObjectLayer.h"
#include "YKViewerLayer.h"

namespace {

class EditCommand : public CliTest {
protected:
    void SetUp() override {
        const CliResult made =
            Run("convert " + std::string(GRAVIK_TEST_DATA) + "/effects/outline.png -o " + mInput);
        ASSERT_EQ(made.status, 0) << made.err;
    }
    CliResult Edit(const std::string& script) {
        std::ofstream(mScript) << script;
        return Run("edit " + mInput + " --script " + mScript + " -o " + mOutput);
    }
    // The centre of the document's object; NaN when the file does not load or holds none.
    YKPoint<double> ObjectCentre(const std::string& path) {
        YKDocument* document = YKDocument::Load(path.c_str(), "doc", false, &mServices);
        YKViewerLayer* viewer = document != nullptr ? document->ViewerLayer() : nullptr;
        YKLayer* object =
            viewer != nullptr ? viewer->IterateHirarchyToNext("YKObjectLayer", viewer) : nullptr;
        if (object == nullptr) {
            return {NAN, NAN};
        }
        const YKRect<double> box = static_cast<YKObjectLayer*>(object)->BoundingBox();
        return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    }
    YKPoint<double> MovedBy(const std::string& script) {
        const CliResult edited = Edit(script);
        EXPECT_EQ(edited.status, 0) << edited.err;
        return ObjectCentre(mOutput) - ObjectCentre(mInput);
    }

    RecordingServices mServices;
    std::string mInput = (mDir / "in.gr").string();
    std::string mScript = (mDir / "script.txt").string();
    std::string mOutput = (mDir / "out.gr").string();
};

TEST_F(EditCommand, ABandSelectionNudgedByKeysIsSavedAndUndoRedoReplayInOrder) {
    const std::string pick = "tool Vector Selection  # by name\ndrag -60 -50 60 50 steps 3\n";
    EXPECT_EQ(MovedBy(pick + "key right shift\nkey down\n"), (YKPoint<double>{8, 1}));
    EXPECT_EQ(MovedBy(pick + "key right shift\nkey down\nundo\n"), (YKPoint<double>{8, 0}));
    EXPECT_EQ(MovedBy(pick + "key left\nkey up shift\nundo\nundo\nredo\n"),
              (YKPoint<double>{-1, 0}));
    // Nothing selected: keys move nothing, and a stray release or empty undo is harmless.
    EXPECT_EQ(MovedBy("tool 0\nup 1 2\nundo\nkey right\nredo\n"), (YKPoint<double>{0, 0}));
}

TEST_F(EditCommand, ADroppedImageIsSavedCentredOnTheDropPointAndUndoTakesItAway) {
    const std::string image = std::string(GRAVIK_TEST_DATA) + "/effects/outline.png";
    const auto objects = [&](const std::string& script) {
        std::vector<YKPoint<double>> centres;
        const CliResult edited = Edit(script);
        EXPECT_EQ(edited.status, 0) << edited.err;
        YKDocument* document = YKDocument::Load(mOutput.c_str(), "doc", false, &mServices);
        YKViewerLayer* viewer = document != nullptr ? document->ViewerLayer() : nullptr;
        for (YKLayer* layer = viewer != nullptr
                                  ? viewer->IterateHirarchyToNext("YKObjectLayer", viewer)
                                  : nullptr;
             layer != nullptr; layer = layer->IterateHirarchyToNext("YKObjectLayer", viewer)) {
            const YKRect<double> box = static_cast<YKObjectLayer*>(layer)->BoundingBox();
            centres.push_back({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
        }
        return centres;
    };
    const std::vector<YKPoint<double>> dropped = objects("drop " + image + " 30 -20\n");
    ASSERT_EQ(dropped.size(), 2u);
    EXPECT_EQ(dropped[1], (YKPoint<double>{30, -20}));
    EXPECT_EQ(objects("drop " + image + " 30 -20\nundo\n").size(), 1u);
    // A file no reader takes is reported and leaves the document as it was.
    const CliResult unknown = Edit("drop " + mScript + " 0 0\n");
    EXPECT_EQ(unknown.status, 0);
    EXPECT_NE(unknown.out.find("cannot be loaded. Unknown file format."), std::string::npos)
        << unknown.out;
}

TEST_F(EditCommand, ABadLineIsNamedAndNothingIsSaved) {
    const std::pair<const char*, const char*> bad[] = {
        {"tool 0\njump 1 2\n", "line 2: unknown word \"jump\""},
        {"move 1\n", "line 1: move takes 2 coordinates"},
        {"up 1 2 3\n", "line 1: up takes X Y"},
        {"drag 0 0 5 x\n", "line 1: \"x\" is no number"},
        {"down 1 2 clicks 0\n", "line 1: clicks takes a whole number"},
        {"drag 0 0 5 5 steps 1e9\n", "line 1: steps takes a whole number"},
        {"key right sideways\n", "line 1: unexpected word \"sideways\""},
        {"\n# comment\ntool Spiral\n", "line 3: no tool \"Spiral\""},
        {"tool 0\nundo 2\n", "line 2: undo takes no arguments"},
        {"drop in.png 1\n", "line 1: drop takes FILE X Y"},
        // Refused while running: the steps before it are dropped with the document.
        {"tool 0\ndrag -60 -50 60 50\nkey right\nframe 7\n", "line 4: frame 7 is outside"},
    };
    for (const auto& [script, reason] : bad) {
        const CliResult result = Edit(script);
        EXPECT_EQ(result.status, 1) << script;
        EXPECT_NE(result.err.find(reason), std::string::npos) << script << result.err;
        EXPECT_FALSE(std::filesystem::exists(mOutput)) << script;
    }
    std::string endless;
    for (int i = 0; i < 201; ++i) {
        endless += "drag 0 0 1 1 steps 10000\n";
    }
    const CliResult tooLong = Edit(endless);
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_NE(tooLong.err.find("line 200: the script sends more than"), std::string::npos)
        << tooLong.err;
    EXPECT_EQ(Run("edit " + mInput + " -o " + mOutput).status, 2);
}

}  // namespace

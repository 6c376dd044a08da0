// gravik-cli edit with every drawing tool and the selection tools: each script's result is read
// back from the saved file's messages, as another program would read it, not from the objects.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CliTest.h"
#include "YKMessage.h"
#include "YKMsgFile.h"

namespace {

struct Drawn {
    const char* cls;
    const char* name;
    int32 objectType;  // -1: an object without vector content
    std::vector<double> xs;
    std::vector<double> ys;
    int32 segments;
    int16 fillFlag;  // 2: not fillable
};

struct ToolCase {
    const char* label;
    const char* script;
    std::vector<Drawn> objects;
    int32 lastObjectID;
};

// The user layer's objects in the saved file, and the document's object counter.
struct SavedFile {
    std::vector<YKMessage> objects;
    int32 objectID = -1;
};

SavedFile Read(const std::string& path) {
    SavedFile saved;
    YKMsgFile file;
    YKMessage document;
    YKMessage layer;
    if (!file.Open(path.c_str(), YK_BIN_READ_ONLY) || !file.GetMessage(&document, 1) ||
        !document.FindMessage("YKL:Child", &layer)) {
        return saved;
    }
    document.FindInt32("YKD:object_id", &saved.objectID);
    YKMessage object;
    for (int32 i = 0; layer.FindMessage("YKL:Child", i, &object); ++i) {
        saved.objects.push_back(object);
    }
    return saved;
}

std::vector<double> Doubles(const YKMessage& message, const char* name) {
    std::vector<double> values;
    double value = 0;
    for (int32 i = 0; message.FindDouble(name, i, &value); ++i) {
        values.push_back(value);
    }
    return values;
}

class EditTools : public CliTest, public testing::WithParamInterface<ToolCase> {
protected:
    void SetUp() override { ASSERT_EQ(Run("new --width 200 --height 150 -o " + mInput).status, 0); }
    std::string mInput = (mDir / "in.gr").string();
    std::string mScript = (mDir / "script.txt").string();
    std::string mOutput = (mDir / "out.gr").string();
};

TEST_P(EditTools, TheSavedFileHoldsTheDrawnObjects) {
    const ToolCase& tool = GetParam();
    std::ofstream(mScript) << tool.script;
    const CliResult edited = Run("edit " + mInput + " --script " + mScript + " -o " + mOutput);
    ASSERT_EQ(edited.status, 0) << edited.err;
    const SavedFile saved = Read(mOutput);
    EXPECT_EQ(saved.objectID, tool.lastObjectID);
    ASSERT_EQ(saved.objects.size(), tool.objects.size());
    for (size_t i = 0; i < tool.objects.size(); ++i) {
        const Drawn& expected = tool.objects[i];
        const YKMessage& object = saved.objects[i];
        std::string cls;
        std::string name;
        object.FindString("Class", &cls);
        object.FindString("YKOL:Name", &name);
        EXPECT_EQ(cls, expected.cls);
        EXPECT_EQ(name, expected.name);
        if (expected.objectType < 0) {
            EXPECT_FALSE(object.HasInt32("object_type"));
            continue;
        }
        int32 type = -1;
        int32 segments = -1;
        int16 fill = -1;
        object.FindInt32("object_type", &type);
        object.FindInt32("seg_nbr", &segments);
        object.FindInt16("fill_color_flag", &fill);
        EXPECT_EQ(type, expected.objectType) << expected.name;
        EXPECT_EQ(Doubles(object, "pt_x"), expected.xs) << expected.name;
        EXPECT_EQ(Doubles(object, "pt_y"), expected.ys) << expected.name;
        if (expected.segments >= 0) {
            EXPECT_EQ(segments, expected.segments) << expected.name;
        }
        EXPECT_EQ(fill, expected.fillFlag) << expected.name;
    }
}

// A box from (-40, -20) to (30, 10), as the four box tools keep it.
constexpr double kLeft = -40;
constexpr double kTop = -20;
constexpr double kRight = 30;
constexpr double kBottom = 10;
const std::vector<double> kBoxX{kLeft, kRight, kRight, kLeft};
const std::vector<double> kBoxY{kTop, kTop, kBottom, kBottom};

INSTANTIATE_TEST_SUITE_P(
    Tools, EditTools,
    testing::Values(
        ToolCase{"Rectangle",
                 "tool Rectangle\ndrag -40 -20 30 10\n",
                 {{"Rectangle", "Rectangle_1", 8, kBoxX, kBoxY, 4, 0}},
                 1},
        ToolCase{"RoundRectangle",
                 "tool 13\ndrag -40 -20 30 10 steps 1\n",
                 {{"Round Rectangle", "Round Rectangle_1", 9, kBoxX, kBoxY, 4, 0}},
                 1},
        ToolCase{"Ellipse",
                 "tool Ellipse\ndrag -40 -20 30 10 steps 9\n",
                 {{"Ellipse", "Ellipse_1", 3, kBoxX, kBoxY, 4, 0}},
                 1},
        ToolCase{
            "Arc", "tool Arc\ndrag -40 -20 30 10\n", {{"Arc", "Arc_1", 1, kBoxX, kBoxY, 4, 0}}, 1},
        ToolCase{"Line",
                 "tool Line\ndrag -40 -20 30 10\n",
                 {{"Line", "Line_1", 7, {kLeft, kRight}, {kTop, kBottom}, 1, 2}},
                 1},
        // Click by click, ended by a double click on the last point.
        ToolCase{
            "Polyline",
            "tool Polyline\ndown -40 -20\nup -40 -20\ndown 30 -20\nup 30 -20\n"
            "down 30 10\nup 30 10\ndown 30 10 clicks 2\nup 30 10\n",
            {{"Polyline", "Polyline_1", 7, {kLeft, kRight, kRight}, {kTop, kTop, kBottom}, 2, 2}},
            1},
        // Two clicks without pulling a handle: each anchor is its own handle.
        ToolCase{"Bezier",
                 "tool Bezier\ndown -40 -20\nup -40 -20\ndown 30 10\nup 30 10\nfinish\n",
                 {{"Bezier",
                   "Bezier_1",
                   2,
                   {kLeft, kLeft, kRight, kRight},
                   {kTop, kTop, kBottom, kBottom},
                   3,
                   0}},
                 1},
        ToolCase{"FreeHand",
                 "tool Free Hand\ndrag -40 -20 30 10 steps 2\n",
                 {{"Free Hand", "Free Hand_1", 4, {kLeft, -5, kRight}, {kTop, -5, kBottom}, 2, 2}},
                 1},
        ToolCase{"PaintBrush",
                 "tool PaintBrush\ndrag -40 -20 30 10 steps 2\n",
                 {{"PaintBrush", "PaintBrush_1", -1, {}, {}, -1, 0}},
                 1},
        ToolCase{"Text",
                 "tool Text\ndown -10 0\nup -10 0\nkey H\nkey i\nfinish\n",
                 {{"Text", "Text_1", 10, {-10}, {0}, -1, 1}},
                 1},
        // Resized and turned by keys, then both undone: the points are the drawn ones again.
        ToolCase{"UndoneKeys",
                 "tool Rectangle\ndrag -40 -20 30 10\ntool 0\nkey right control\nkey z shift\n"
                 "undo\nundo\n",
                 {{"Rectangle", "Rectangle_1", 8, kBoxX, kBoxY, 4, 0}},
                 1},
        // A double click on the drawn polyline edits its points: a corner is pulled out, and
        // in the second script that pull is undone again.
        ToolCase{"PointEdit",
                 "tool Polyline\ndown -40 -20\nup -40 -20\ndown 30 -20\nup 30 -20\n"
                 "down 30 10\nup 30 10\ndown 30 10 clicks 2\nup 30 10\n"
                 "tool 0\ndown 30 -20 clicks 2\nup 30 -20\ndrag 30 -20 40 -30\n",
                 {{"Polyline", "Polyline_1", 7, {kLeft, 40, kRight}, {kTop, -30, kBottom}, 2, 2}},
                 1},
        ToolCase{
            "PointEditUndone",
            "tool Polyline\ndown -40 -20\nup -40 -20\ndown 30 -20\nup 30 -20\n"
            "down 30 10\nup 30 10\ndown 30 10 clicks 2\nup 30 10\n"
            "tool 0\ndown 30 -20 clicks 2\nup 30 -20\ndrag 30 -20 40 -30\nundo\n",
            {{"Polyline", "Polyline_1", 7, {kLeft, kRight, kRight}, {kTop, kTop, kBottom}, 2, 2}},
            1},
        // A click without a drag draws nothing and takes no number; an empty band and a
        // stray release change nothing; the selection tools then nudge what they picked.
        ToolCase{"SelectionTools",
                 "tool Rectangle\ndown 5 5\nup 5 5\ntool Ellipse\ndrag 0 0 10 10\n"
                 "tool Rectangle\ndrag -40 -20 -30 -10\n"
                 "tool Vector Selection\ndrag 50 50 60 60\nup 0 0\n"
                 "down 5 5\nup 5 5\nkey right shift\n"
                 "tool Rectangle Bitmap Selection\ndrag -90 -70 90 70\n"
                 "tool 0\ndrag -45 -25 -25 -5\nkey down\n",
                 {{"Ellipse", "Ellipse_1", 3, {8, 18, 18, 8}, {0, 0, 10, 10}, 4, 0},
                  {"Rectangle", "Rectangle_2", 8, {-40, -30, -30, -40}, {-19, -19, -9, -9}, 4, 0}},
                 2}),
    [](const testing::TestParamInfo<ToolCase>& info) { return std::string(info.param.label); });

}  // namespace

// The toolbox: its buttons select the tools and follow the tool chosen elsewhere, and the
// options set in its form shape the next object drawn on the canvas.

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <array>
#include <set>

#include "PanelFixture.h"
#include "YKBitmap.h"
#include "YKCanvasView.h"
#include "YKColorButton.h"
#include "YKDispatcher.h"
#include "YKObjectLayer.h"
#include "YKRasterLayer.h"
#include "YKToolOptions.h"
#include "YKToolOptionsForm.h"
#include "YKToolState.h"
#include "YKToolsPanel.h"
#include "YKVectorAttributes.h"
#include "YKVectorText.h"
#include "yk_sketch_modes.h"

namespace {

constexpr int32 kPolylineTool = 9;
constexpr int32 kTextTool = 11;
constexpr int32 kRectangleTool = 12;

int32 PaintedPixels(YKBitmap* bitmap) {
    const YKRect<int32> frame = bitmap->Frame();
    int32 painted = 0;
    for (int32 y = frame.top; y <= frame.bottom && frame.IsValid(); ++y) {
        const uint32* row = bitmap->GetLineAt(y, frame.left, frame.right);
        for (int32 x = 0; x <= frame.right - frame.left; ++x) {
            painted += (row[x] >> 24) != 0 ? 1 : 0;
        }
    }
    return painted;
}

std::string Flat(const YKMessage& message) {
    std::string bytes(static_cast<size_t>(message.FlattenedSize()), '\0');
    ssize_t size = static_cast<ssize_t>(bytes.size());
    EXPECT_TRUE(message.Flatten(bytes.data(), &size));
    return bytes;
}

class ToolsPanelTest : public PanelFixture {
public:
    void SetUp() override {
        PanelFixture::SetUp();
        // The tool state outlives the test's application: it starts and ends as a new one.
        for (int32 id = 0; id < YKToolState::kToolCount; ++id) {
            mOptionsBefore[id] = *Tools().OptionMessageFor(id);
        }
        mWindow->resize(1000, 400);
        Viewer()->SetCurrentUserLayer(Viewer()->ChildAt(Viewer()->CountChildren() - 1));
        mPanel = Shown<YKToolsPanel>("tools");
        ASSERT_NE(mPanel, nullptr);
    }
    void TearDown() override {
        Tools().SetSwapAuthorized(true);
        Tools().SetSelectedTool(0);
        for (int32 id = 0; id < YKToolState::kToolCount; ++id) {
            *Tools().OptionMessageFor(id) = mOptionsBefore[id];
        }
        PanelFixture::TearDown();
    }

    static YKToolState& Tools() { return YKToolState::Application(); }

    void Click(int32 tool) { QTest::mouseClick(mPanel->Button(tool), Qt::LeftButton); }
    // The form's field of a label.
    template <typename Field>
    Field* FieldOf(const char* label) const {
        auto* layout = qobject_cast<QFormLayout*>(mPanel->Form()->layout());
        for (int row = 0; row < layout->rowCount(); ++row) {
            auto* text = layout->itemAt(row, QFormLayout::LabelRole);
            auto* field = layout->itemAt(row, QFormLayout::FieldRole);
            if (text != nullptr && field != nullptr &&
                qobject_cast<QLabel*>(text->widget())->text() == label) {
                return qobject_cast<Field*>(field->widget());
            }
        }
        ADD_FAILURE() << "no field " << label;
        return nullptr;
    }
    // Picks `color` in the colour dialog of `button`, as the user would.
    static void Pick(YKColorButton* button, QColor color) {
        QTest::mouseClick(button, Qt::LeftButton);
        auto* dialog = button->findChild<QColorDialog*>();
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(color);
        dialog->accept();
        QApplication::processEvents();
    }

    QPoint At(double x, double y) const {
        const YKPoint<float> view = mWindow->Canvas()->BitmapToView(
            YKPoint<float>{static_cast<float>(x), static_cast<float>(y)});
        return QPoint(static_cast<int>(view.x), static_cast<int>(view.y));
    }
    QWidget* Viewport() const { return mWindow->Canvas()->viewport(); }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Viewport(), (from + to) / 2);
        QTest::mouseMove(Viewport(), to);
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
        QApplication::processEvents();
    }
    // The name of the object of the current layer that was not there before.
    std::string NewObject(const std::set<YKLayer*>& before) const {
        YKLayer* layer = Viewer()->CurrentUserLayer();
        for (int32 i = 0; i < layer->CountChildren(); ++i) {
            YKLayer* child = layer->ChildAt(i);
            if (before.count(child) == 0 && child->InheritsFrom("YKObjectLayer")) {
                const char* name = static_cast<YKObjectLayer*>(child)->Name();
                return name != nullptr ? name : "";
            }
        }
        return {};
    }
    std::set<YKLayer*> Objects() const {
        std::set<YKLayer*> objects;
        YKLayer* layer = Viewer()->CurrentUserLayer();
        for (int32 i = 0; i < layer->CountChildren(); ++i) {
            objects.insert(layer->ChildAt(i));
        }
        return objects;
    }
    // The vector object called `name` in the document as saved and read back.
    const YKVectorEntity* SavedObject(const std::string& name) {
        Saved();
        const std::string path = (mFolder.Path() / "saved.gr").string();
        mReloaded = YKDocument::Load(path.c_str(), "reloaded", false, &mReader);
        if (mReloaded == nullptr) {
            ADD_FAILURE() << "the saved document does not load";
            return nullptr;
        }
        return Find(mReloaded->ViewerLayer(), name);
    }

    YKToolsPanel* mPanel = nullptr;

private:
    static const YKVectorEntity* Find(YKLayer* layer, const std::string& name) {
        for (int32 i = 0; i < layer->CountChildren(); ++i) {
            YKLayer* child = layer->ChildAt(i);
            if (child->InheritsFrom("YKRasterLayer") &&
                static_cast<YKObjectLayer*>(child)->Name() == name) {
                return static_cast<YKRasterLayer*>(child)->Entity();
            }
            if (const YKVectorEntity* found = Find(child, name)) {
                return found;
            }
        }
        return nullptr;
    }

    std::array<YKMessage, YKToolState::kToolCount> mOptionsBefore;
    YKDispatcher mReader;
    YKDocument* mReloaded = nullptr;
};

TEST_F(ToolsPanelTest, EachButtonSelectsItsToolAndTheCheckedOneFollowsChangesMadeElsewhere) {
    for (int32 id = 0; id < YKToolState::kToolCount; ++id) {
        QToolButton* button = mPanel->Button(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_FALSE(button->icon().isNull()) << id;
        EXPECT_TRUE(button->toolTip().startsWith(QString(YKToolState::ToolName(id)).trimmed()))
            << id;
        Click(id);
        EXPECT_EQ(Tools().ToolSelected(), id);
        EXPECT_TRUE(button->isChecked()) << id;
        EXPECT_EQ(mPanel->Form()->Tool(), id);
    }

    // Chosen through the tool state with its notification, the toolbox follows at once.
    ASSERT_TRUE(Tools().SetSelectedTool(kRectangleTool, true));
    EXPECT_TRUE(mPanel->Button(kRectangleTool)->isChecked());
    EXPECT_EQ(mPanel->Form()->Tool(), kRectangleTool);
    // Without one (the previous-tool rule), at its next refresh.
    ASSERT_TRUE(Tools().SetPreviousSelectedTool(false));
    mPanel->RefreshNow();
    EXPECT_TRUE(mPanel->Button(15)->isChecked());

    // While a polyline is being drawn the tool stays, and so does its button.
    Click(kPolylineTool);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(20, 20));
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(60, 40));
    ASSERT_FALSE(Tools().IsSwapAuthorized());
    Click(kRectangleTool);
    EXPECT_EQ(Tools().ToolSelected(), kPolylineTool);
    EXPECT_TRUE(mPanel->Button(kPolylineTool)->isChecked());
    EXPECT_EQ(mPanel->Form()->Tool(), kPolylineTool);
    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, At(90, 20));
    QApplication::processEvents();
    ASSERT_TRUE(Tools().IsSwapAuthorized());
    Click(kRectangleTool);
    EXPECT_TRUE(mPanel->Button(kRectangleTool)->isChecked());
}

TEST_F(ToolsPanelTest, RectangleOptionsShapeTheNextRectangleAndAreKeptButNotUndone) {
    Click(kRectangleTool);
    auto* width = FieldOf<QDoubleSpinBox>("Width");
    ASSERT_NE(width, nullptr);
    // Out of range, the field holds its limit and so does the option.
    width->setValue(1e6);
    EXPECT_DOUBLE_EQ(width->value(), YKToolOptions::kMaxWidth);
    width->setValue(7);
    FieldOf<QComboBox>("Join")->setCurrentText("Round");
    FieldOf<QCheckBox>("Fill")->setChecked(true);
    Pick(FieldOf<YKColorButton>("Fill colour"), QColor(200, 30, 40, 128));
    const YKMessage options = *Tools().OptionMessageFor(kRectangleTool);

    const std::string before = Saved();
    const std::set<YKLayer*> objects = Objects();
    Drag(At(30, 10), At(120, 50));
    const std::string name = NewObject(objects);
    ASSERT_FALSE(name.empty()) << "no rectangle drawn";
    const YKVectorEntity* drawn = SavedObject(name);
    ASSERT_NE(drawn, nullptr);
    YKVectorAttributes a;
    drawn->getAttributes(&a);
    EXPECT_DOUBLE_EQ(a.width, 7);
    EXPECT_EQ(a.join, YK_JOIN_ROUND);
    EXPECT_EQ(a.fillColorFlag, kColorFlagColor);
    EXPECT_EQ(a.fillColor, (yk_color{200, 30, 40, 128}));

    // Drawing is the edit; the options stay as they were set.
    Undo();
    EXPECT_TRUE(Saved() == before) << "undo left the rectangle";
    EXPECT_EQ(Flat(*Tools().OptionMessageFor(kRectangleTool)), Flat(options));

    // The preferences keep them; a damaged width comes back within range.
    YKMessage settings;
    mPanel->SaveSettings(settings);
    width->setValue(2);
    YKMessage damaged;
    ASSERT_TRUE(settings.FindMessage("options", kRectangleTool, &damaged));
    YKToolOptions::SetFloat(&damaged, YKToolOptions::kWidth, -40);
    settings.ReplaceMessage("options", kRectangleTool, &damaged);
    mPanel->RestoreSettings(settings);
    EXPECT_EQ(Tools().ToolSelected(), kRectangleTool);
    EXPECT_DOUBLE_EQ(FieldOf<QDoubleSpinBox>("Width")->value(), 0);
    EXPECT_EQ(FieldOf<QComboBox>("Join")->currentText(), "Round");
}

TEST_F(ToolsPanelTest, ANewTextTakesTheFontAndSizeChosenHere) {
    Click(kTextTool);
    FieldOf<QDoubleSpinBox>("Size")->setValue(30);
    auto* fonts = FieldOf<QComboBox>("Font");
    ASSERT_NE(fonts, nullptr);
    fonts->setCurrentIndex(fonts->count() - 1);
    const std::string font = fonts->currentData().toString().toStdString();

    const std::set<YKLayer*> objects = Objects();
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(40, 40));
    QTest::keyClicks(mWindow->Canvas(), "Hi");
    // Each key shows the whole text so far, as it will look once ended.
    YKLayer* layer = Viewer()->CurrentUserLayer();
    auto* typed = dynamic_cast<YKObjectLayer*>(layer->ChildAt(layer->CountChildren() - 1));
    ASSERT_TRUE(typed != nullptr && objects.count(typed) == 0);
    const int32 whileTyping = PaintedPixels(typed->Bitmap());
    // A click away ends the text.
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, At(400, 10));
    QApplication::processEvents();
    const std::string name = NewObject(objects);
    ASSERT_FALSE(name.empty()) << "no text drawn";
    const auto* text = dynamic_cast<const YKVectorText*>(SavedObject(name));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->string(), "Hi");
    EXPECT_DOUBLE_EQ(text->textAttributes().SizeH(), 30);
    EXPECT_EQ(text->textAttributes().FontDescription(), font);
    EXPECT_GT(whileTyping, 20);
    EXPECT_EQ(whileTyping, PaintedPixels(typed->Bitmap()));
    // The text showed as it was typed, without a missing-font alert on the way.
    EXPECT_TRUE(mAlerts.Shown().empty()) << mAlerts.Shown().front().text;
}

}  // namespace

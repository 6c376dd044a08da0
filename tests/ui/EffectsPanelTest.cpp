// The effects panel (effects and filters, each change one undoable action), the preferences
// window and the monitor gamma window.

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "PanelFixture.h"
#include "YKCacheLayer.h"
#include "YKEffectsPanel.h"
#include "YKEnvelopKinds.h"
#include "YKFilterBox.h"
#include "YKFilterManager.h"
#include "YKGammaWindow.h"
#include "YKGenericFilter.h"
#include "YKObjectLayer.h"
#include "YKPreferencesWindow.h"
#include "YKRaster.h"

namespace {

class EffectsPanelTest : public PanelFixture {
public:
    // The preferences and the gamma are saved for the tests that follow, which would start
    // with an open panel or another gamma: they are put back as they were.
    void SetUp() override {
        PanelFixture::SetUp();
        mGravik->Preferences().Archive(&mPreferences);
        mGravik->Gamma().SaveToMessage(&mGamma);
    }
    void TearDown() override {
        mGravik->Preferences().CreateFrom(&mPreferences);
        mGravik->Gamma().LoadFromMessage(mGamma);
        mGravik->Preferences().Save();
    }

    YKObjectLayer* Object(const char* name) {
        for (YKLayer* layer = Viewer()->IterateHirarchyToNext("YKObjectLayer", Viewer());
             layer != nullptr; layer = layer->IterateHirarchyToNext("YKObjectLayer", Viewer())) {
            auto* object = static_cast<YKObjectLayer*>(layer);
            if (object->Name() != nullptr && std::string(object->Name()) == name) {
                return object;
            }
        }
        ADD_FAILURE() << "no object " << name;
        return nullptr;
    }

    // The document's composition, as the views show it.
    std::string Render() {
        std::unique_ptr<YKRaster> picture(Viewer()->RenderPicture(mDocument->Frame(), 0));
        return picture == nullptr
                   ? std::string()
                   : std::string(reinterpret_cast<const char*>(picture->Bits()),
                                 std::size_t(picture->BytesPerRow()) * picture->Height());
    }

    // Types `text` into a spin box as a user does, ending with Enter.
    static void Type(QAbstractSpinBox* spin, const QString& text) {
        spin->selectAll();
        QTest::keyClicks(spin, text);
        QTest::keyClick(spin, Qt::Key_Return);
    }

    YKMessage mPreferences;
    YKMessage mGamma;
};

TEST_F(EffectsPanelTest, EffectSwitchedOnAndSteppedIsTwoActionsThatUndoTakesBack) {
    auto* panel = Shown<YKEffectsPanel>("effects");
    ASSERT_NE(panel, nullptr);
    YKObjectLayer* ribbon = Object("Orbit");
    ASSERT_NE(ribbon, nullptr);
    ribbon->SetObjectMode(8, false);
    panel->RefreshNow();
    const std::string saved = Saved();
    const std::string shown = Render();

    QGroupBox* shadow = panel->EffectBox(0);
    ASSERT_TRUE(shadow->isEnabled());
    ASSERT_FALSE(shadow->isChecked());
    shadow->setChecked(true);
    EXPECT_TRUE(ribbon->IsEffectEnabled());
    EXPECT_TRUE((ribbon->ProcessMask() & YKEffectLayer::kOuterShadow) != 0);
    const std::string withShadow = Saved();
    EXPECT_TRUE(withShadow != saved) << "the shadow is not in the document";
    EXPECT_TRUE(Render() != shown) << "the canvas shows no shadow";

    // Three steps and the end of the editing: one action, shown at each step.
    auto* radius = panel->findChild<QDoubleSpinBox*>("_os_radius");
    ASSERT_NE(radius, nullptr);
    const float start = ribbon->OuterShadowBlur();
    const std::string before = Render();
    for (int step = 0; step < 3; ++step) {
        QTest::keyClick(radius, Qt::Key_Up);
    }
    EXPECT_FLOAT_EQ(ribbon->OuterShadowBlur(), start + 3);
    EXPECT_TRUE(Render() != before) << "a wider shadow did not show while stepping";
    QTest::keyClick(radius, Qt::Key_Return);
    auto* intensity = panel->findChild<QSpinBox*>("_os_intensity");
    Type(intensity, "50");
    EXPECT_EQ(ribbon->OuterShadowIntensity(), 128);

    Undo();
    EXPECT_EQ(ribbon->OuterShadowIntensity(), 256);
    EXPECT_FLOAT_EQ(ribbon->OuterShadowBlur(), start + 3);
    Undo();
    EXPECT_TRUE(Saved() == withShadow) << "the radius steps were more than one action";
    Undo();
    EXPECT_TRUE(Saved() == saved) << "undo left the document changed";
    EXPECT_TRUE(Render() == shown) << "undo left the canvas changed";
    panel->RefreshNow();
    EXPECT_FALSE(shadow->isChecked()) << "the panel does not follow undo";
    Redo();
    EXPECT_TRUE(Saved() == withShadow);
}

TEST_F(EffectsPanelTest, WithNothingSelectedTheCurrentLayerCarriesTheEffects) {
    auto* panel = Shown<YKEffectsPanel>("effects");
    ASSERT_NE(panel, nullptr);
    auto* layer = dynamic_cast<YKEffectLayer*>(Viewer()->CurrentUserLayer());
    ASSERT_NE(layer, nullptr);
    Send('SDso');
    panel->RefreshNow();
    const std::string saved = Saved();
    panel->EffectBox(4)->setChecked(true);
    auto* mode = panel->findChild<QComboBox*>("_em_mode");
    ASSERT_NE(mode, nullptr);
    mode->setCurrentIndex(1);
    Q_EMIT mode->activated(1);
    EXPECT_EQ(layer->EmbossType(), 1);
    EXPECT_TRUE((layer->ProcessMask() & YKEffectLayer::kEmboss) != 0);
    Undo();
    Undo();
    EXPECT_TRUE(Saved() == saved) << "undo left the layer changed";

    // A document that goes away takes no edit from the panel.
    mWindow->close();
    QApplication::processEvents();
    panel->RefreshNow();
}

TEST_F(EffectsPanelTest, AFilterAppliedWithItsParameterShowsAndUndoRemovesIt) {
    auto* panel = Shown<YKEffectsPanel>("effects");
    ASSERT_NE(panel, nullptr);
    auto* layer = dynamic_cast<YKCacheLayer*>(Viewer()->CurrentUserLayer());
    ASSERT_NE(layer, nullptr);
    Send('SDso');
    panel->RefreshNow();
    YKFilterBox* filters = panel->Filters();
    const YKGenericFilter* blur = YKFilterManager::Default().FilterNamed("Gaussian Blur");
    ASSERT_NE(blur, nullptr) << "the shipped filters are not beside the tests";
    // The Layer menu's Apply Filter item brings the panel and the filter up.
    YKMessage apply = mWindow->CommandMessage('LFlt');
    apply.AddPointer("filter", blur);
    mWindow->MessageReceived(apply);
    ASSERT_EQ(filters->Chosen(), blur);
    auto* radius = qobject_cast<QDoubleSpinBox*>(filters->Control("Radius"));
    ASSERT_NE(radius, nullptr);
    radius->setValue(radius->maximum());

    const std::string saved = Saved();
    const std::string shown = Render();
    const int32 count = layer->CountFilters();
    QPushButton* button = nullptr;
    for (QPushButton* each : filters->findChildren<QPushButton*>()) {
        button = each->text() == "Apply" ? each : button;
    }
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    // The layer was changed as a copy that took its place.
    layer = dynamic_cast<YKCacheLayer*>(Viewer()->CurrentUserLayer());
    ASSERT_NE(layer, nullptr);
    ASSERT_EQ(layer->CountFilters(), count + 1);
    YKMessage applied;
    layer->FilterAt(count)->ArchiveFilterParameters(&applied);
    YKMessage radiusArchive;
    ASSERT_TRUE(applied.FindMessage("Radius", &radiusArchive));
    EXPECT_DOUBLE_EQ(YKEnvelopDouble(&radiusArchive, 0).Value(1), radius->maximum())
        << "the filter did not take the radius";
    const std::string blurred = Render();
    EXPECT_TRUE(blurred != shown) << "the canvas shows no blur";

    // A smaller radius blurs differently: the parameter reaches the pixels.
    Undo();
    radius->setValue(radius->minimum());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(Render() != blurred);
    Undo();
    layer = dynamic_cast<YKCacheLayer*>(Viewer()->CurrentUserLayer());
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->CountFilters(), count);
    EXPECT_TRUE(Saved() == saved) << "undo left the filter behind";
    EXPECT_TRUE(Render() == shown);

    // A selected object takes the filter instead, through a group of its own, and one Undo
    // takes the group away with the filter.
    YKObjectLayer* orbit = Object("Orbit");
    ASSERT_NE(orbit, nullptr);
    ASSERT_EQ(orbit->DedicatedParent(), nullptr);
    orbit->SetObjectMode(8, false);
    panel->RefreshNow();
    const std::string ungrouped = Saved();
    QTest::mouseClick(button, Qt::LeftButton);
    orbit = Object("Orbit");
    ASSERT_NE(orbit, nullptr);
    YKCacheLayer* group = orbit->DedicatedParent();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->CountFilters(), 1);
    EXPECT_EQ(layer->CountFilters(), count);
    EXPECT_TRUE(Render() != shown);
    Undo();
    EXPECT_TRUE(Saved() == ungrouped) << "undo left the object's group behind";
    EXPECT_TRUE(Render() == shown) << "undo left the object filtered";
    Redo();
    orbit = Object("Orbit");
    ASSERT_NE(orbit, nullptr);
    ASSERT_NE(orbit->DedicatedParent(), nullptr) << "redo lost the filter";
    EXPECT_EQ(orbit->DedicatedParent()->CountFilters(), 1);
}

TEST_F(EffectsPanelTest, PreferencesAreWrittenOnOkOnlyAndNewDocumentsTakeThePreviewMode) {
    const YKPrefSetting& preferences = mGravik->Preferences();
    Send('grPp');
    YKPreferencesWindow& window = mGravik->PreferencesWindow();
    ASSERT_TRUE(window.isVisible());
    window.View()->setCurrentIndex(2);
    window.Startup()->setCurrentIndex(1);
    window.FloatingLook()->setChecked(true);
    window.CheckFileType()->setChecked(false);
    window.reject();
    EXPECT_EQ(preferences.PrefView(), 0) << "Cancel wrote the preferences";
    EXPECT_FALSE(preferences.PrefFloatingLook());

    Send('grPp');
    EXPECT_EQ(window.View()->currentIndex(), 0) << "cancelled values came back";
    window.View()->setCurrentIndex(2);
    window.Startup()->setCurrentIndex(1);
    window.TranslatorsOnly()->setChecked(true);
    window.FloatingLook()->setChecked(true);
    window.FloatPanel()->setChecked(true);
    window.CheckFileType()->setChecked(false);
    window.FirstClick()->setChecked(false);
    window.accept();
    YKPrefSetting reloaded;
    ASSERT_TRUE(reloaded.Load()) << "OK did not save the preferences";
    for (const YKPrefSetting* each : {&preferences, static_cast<const YKPrefSetting*>(&reloaded)}) {
        EXPECT_EQ(each->PrefView(), 2);
        EXPECT_EQ(each->PrefStartup(), 1);
        EXPECT_TRUE(each->PrefTranslatorsOnly());
        EXPECT_TRUE(each->PrefFloatingLook());
        EXPECT_TRUE(each->PrefFloatPanel());
        EXPECT_FALSE(each->PrefCheckFileType());
        EXPECT_FALSE(each->PrefFirstClick());
    }

    YKDocument* fresh = YKBuildSampleBanner(&mGravik->Dispatcher());
    ASSERT_NE(fresh, nullptr);
    auto* view = dynamic_cast<YKDocumentWindow*>(fresh->ViewerAt(0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->PreviewMode(), 2) << "a new document's window ignores the preference";
}

TEST_F(EffectsPanelTest, GammaSlidersMoveTheDisplayGammaAndOkKeepsThem) {
    YKGammaCorrection& gamma = mGravik->Gamma();
    Send('gamm');
    YKGammaWindow& window = mGravik->GammaWindow();
    ASSERT_TRUE(window.isVisible());
    const QImage red = window.Band(0);
    const QImage green = window.Band(1);

    window.Link()->setChecked(false);
    window.Slider(0)->setValue(180);
    EXPECT_DOUBLE_EQ(gamma.Red(), 1.8) << "no live preview";
    EXPECT_DOUBLE_EQ(gamma.Green(), 1.0);
    EXPECT_NE(window.Band(0), red) << "the red patch did not follow its slider";
    EXPECT_EQ(window.Band(1), green);
    window.reject();
    EXPECT_DOUBLE_EQ(gamma.Red(), 1.0) << "Cancel kept the moved value";

    Send('gamm');
    window.Link()->setChecked(true);
    window.Slider(1)->setValue(220);
    EXPECT_DOUBLE_EQ(gamma.Red(), 2.2);
    EXPECT_DOUBLE_EQ(gamma.Blue(), 2.2);
    window.accept();
    YKPrefSetting reloaded;
    ASSERT_TRUE(reloaded.Load());
    YKGammaCorrection kept;
    kept.LoadFromMessage(reloaded.PrefGamma());
    EXPECT_DOUBLE_EQ(kept.Green(), 2.2) << "the gamma did not persist";
}

}  // namespace

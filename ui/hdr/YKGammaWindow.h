#pragma once

// YKGammaWindow: "Monitor Gamma Adjustment". A slider per channel (slider value x 0.01 is the
// gamma) beside its band of the test pattern: a one-pixel checkerboard of the full colour and
// black, with a solid patch in the middle that matches its brightness when the gamma is right.
// "Link Channels" moves the three together, against the white band. The canvas views show the
// values as they move; OK keeps them (and puts them into the preferences), Cancel goes back.

#include <QDialog>

class QCheckBox;
class QLabel;
class QSlider;
class YKGammaCorrection;
class YKPrefSetting;

class YKGammaWindow : public QDialog {
    Q_OBJECT

public:
    // Slider values: gamma 0.25 to 4.
    static constexpr int kMinimum = 25;
    static constexpr int kMaximum = 400;

    // `gamma` is the display's, which every canvas view applies; both outlive the window.
    YKGammaWindow(YKGammaCorrection* gamma, YKPrefSetting* preferences, QWidget* parent = nullptr);

    // Shows the display's values, as they are when the window opens.
    void Load();
    QSlider* Slider(int channel) const { return mSliders[channel]; }
    QCheckBox* Link() const { return mLink; }
    // The test pattern band of `channel` (3: white) as it shows now.
    QImage Band(int channel) const;

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Moved(int channel, int value);
    void Preview();
    static void RedrawCanvases();

    YKGammaCorrection* mGamma;
    YKPrefSetting* mPreferences;
    QSlider* mSliders[3];
    QLabel* mValues[3];
    QLabel* mBands[4];
    QCheckBox* mLink;
    double mOpened[3] = {1, 1, 1};
};

#pragma once

// YKPrefSetting: the application's preferences, kept in the settings file "gravik_pref".

#include <memory>

#include "YKSetting.h"

class YKPrefSetting : public YKSetting {
public:
    static constexpr const char* kFileName = "gravik_pref";

    // The defaults.
    YKPrefSetting();
    // The defaults, then every value the archive holds within its accepted range.
    explicit YKPrefSetting(const YKMessage* archive);
    ~YKPrefSetting() override;

    // A preferences object built from an archive; null when the archive is missing or of a
    // version that cannot be loaded.
    static std::unique_ptr<YKPrefSetting> Instantiate(const YKMessage* archive);

    // Empties the archive, then adds the version and every key.
    bool Archive(YKMessage* archive) const override;
    // A value outside its accepted range is ignored and the current one kept.
    bool CreateFrom(const YKMessage* archive) override;
    using YKSetting::PrintToStream;
    void PrintToStream(const char* label) const override;

    // What start-up shows when no document was opened: 0 the new-document dialog, 1 the
    // open-file panel. Setting another value is ignored.
    int32 PrefStartup() const { return mPrefStartup; }
    void SetPrefStartup(int32 startup);
    // Preview mode of new and loaded documents, 0 to 2. Setting another value is ignored.
    int32 PrefView() const { return mPrefView; }
    void SetPrefView(int32 view);
    // Export and import through the platform translators only.
    bool PrefTranslatorsOnly() const { return mPrefTranslatorsOnly; }
    void SetPrefTranslatorsOnly(bool only) { mPrefTranslatorsOnly = only; }
    // Panels drawn as floating windows.
    bool PrefFloatingLook() const { return mPrefFloatingLook; }
    void SetPrefFloatingLook(bool floating) { mPrefFloatingLook = floating; }
    // Panels float above the document windows.
    bool PrefFloatPanel() const { return mPrefFloatPanel; }
    void SetPrefFloatPanel(bool floating) { mPrefFloatPanel = floating; }
    // Check the file-type registrations at start-up.
    bool PrefCheckFileType() const { return mPrefCheckFileType; }
    void SetPrefCheckFileType(bool check) { mPrefCheckFileType = check; }
    // Document windows accept the first click.
    bool PrefFirstClick() const { return mPrefFirstClick; }
    void SetPrefFirstClick(bool accept) { mPrefFirstClick = accept; }
    // Gamma-correction settings.
    const YKMessage& PrefGamma() const { return mPrefGamma; }
    void SetPrefGamma(const YKMessage& gamma) { mPrefGamma = gamma; }
    // The last new-document settings.
    const YKMessage& PrefDocTemplate() const { return mPrefDocTemplate; }
    void SetPrefDocTemplate(const YKMessage& docTemplate) { mPrefDocTemplate = docTemplate; }
    // One sub-message per panel, named after the panel.
    const YKMessage& PrefPanelSettings() const { return mPrefPanelSettings; }
    void SetPrefPanelSettings(const YKMessage& panels) { mPrefPanelSettings = panels; }

private:
    int32 mPrefStartup = 0;
    int32 mPrefView = 0;
    bool mPrefTranslatorsOnly = false;
    bool mPrefFloatingLook = false;
    bool mPrefFloatPanel = false;
    bool mPrefCheckFileType = true;
    bool mPrefFirstClick = true;
    YKMessage mPrefGamma;
    YKMessage mPrefDocTemplate;
    YKMessage mPrefPanelSettings;
};

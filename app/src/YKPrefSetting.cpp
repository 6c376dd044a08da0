#include "YKPrefSetting.h"

#include <cstdio>

namespace {

constexpr const char* kStartupKey = "pref_startup";
constexpr const char* kViewKey = "pref_View";
constexpr const char* kTranslatorsKey = "pref_translators";
constexpr const char* kLookKey = "pref_look";
constexpr const char* kPanelKey = "pref_panel";
constexpr const char* kFileTypeKey = "pref_filetype";
constexpr const char* kFirstClickKey = "pref_firstclick";
constexpr const char* kGammaKey = "pref_gamma";
constexpr const char* kDocTemplateKey = "pref_doctemplt";
constexpr const char* kPanelSettingsKey = "pref_panelsettings";

constexpr int32 kMaxStartup = 1;
constexpr int32 kMaxView = 2;

bool InRange(int32 value, int32 max) {
    return value >= 0 && value <= max;
}

}  // namespace

YKPrefSetting::YKPrefSetting() : YKSetting(kFileName) {}

YKPrefSetting::YKPrefSetting(const YKMessage* archive) : YKSetting(archive, kFileName) {
    // The base constructor could only reach its own CreateFrom.
    CreateFrom(archive);
}

YKPrefSetting::~YKPrefSetting() = default;

std::unique_ptr<YKPrefSetting> YKPrefSetting::Instantiate(const YKMessage* archive) {
    auto prefs = std::make_unique<YKPrefSetting>();
    if (!prefs->CreateFrom(archive)) {
        return nullptr;
    }
    return prefs;
}

void YKPrefSetting::SetPrefStartup(int32 startup) {
    if (InRange(startup, kMaxStartup)) {
        mPrefStartup = startup;
    }
}

void YKPrefSetting::SetPrefView(int32 view) {
    if (InRange(view, kMaxView)) {
        mPrefView = view;
    }
}

// --- Archiving

bool YKPrefSetting::Archive(YKMessage* archive) const {
    if (archive == nullptr) {
        return false;
    }
    archive->MakeEmpty();
    return YKSetting::Archive(archive) && archive->AddInt32(kStartupKey, mPrefStartup) &&
           archive->AddInt32(kViewKey, mPrefView) &&
           archive->AddBool(kTranslatorsKey, mPrefTranslatorsOnly) &&
           archive->AddBool(kLookKey, mPrefFloatingLook) &&
           archive->AddBool(kPanelKey, mPrefFloatPanel) &&
           archive->AddBool(kFileTypeKey, mPrefCheckFileType) &&
           archive->AddBool(kFirstClickKey, mPrefFirstClick) &&
           archive->AddMessage(kGammaKey, &mPrefGamma) &&
           archive->AddMessage(kDocTemplateKey, &mPrefDocTemplate) &&
           archive->AddMessage(kPanelSettingsKey, &mPrefPanelSettings);
}

bool YKPrefSetting::CreateFrom(const YKMessage* archive) {
    if (!YKSetting::CreateFrom(archive)) {
        return false;
    }
    int32 value = 0;
    if (archive->FindInt32(kStartupKey, &value)) {
        SetPrefStartup(value);
    }
    if (archive->FindInt32(kViewKey, &value)) {
        SetPrefView(value);
    }
    archive->FindBool(kTranslatorsKey, &mPrefTranslatorsOnly);
    archive->FindBool(kLookKey, &mPrefFloatingLook);
    archive->FindBool(kPanelKey, &mPrefFloatPanel);
    archive->FindBool(kFileTypeKey, &mPrefCheckFileType);
    archive->FindBool(kFirstClickKey, &mPrefFirstClick);
    archive->FindMessage(kGammaKey, &mPrefGamma);
    archive->FindMessage(kDocTemplateKey, &mPrefDocTemplate);
    archive->FindMessage(kPanelSettingsKey, &mPrefPanelSettings);
    return true;
}

void YKPrefSetting::PrintToStream(const char* label) const {
    std::printf("YKPrefSetting %s\n", label != nullptr ? label : "");
    std::printf("  mPrefStartup =%d\n", mPrefStartup);
    std::printf("  mPrefView = %d\n", mPrefView);
    std::printf("  mPrefTranslatorsOnly = %d\n", mPrefTranslatorsOnly);
    std::printf("  mPrefFloatingLook = %d\n", mPrefFloatingLook);
    std::printf("  mPrefFloatPanel = %d\n", mPrefFloatPanel);
    std::printf("  mPrefCheckFileType = %d\n", mPrefCheckFileType);
    std::printf("  mPrefFirstClick = %d\n", mPrefFirstClick);
}

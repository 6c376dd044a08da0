#pragma once

// YKDocTemplates: the list of new-document templates (a name, a canvas size and a background
// colour each), kept in the preferences under "pref_doctemplt". The new-document dialog edits
// it and turns the chosen entry into a 'grCd' request for the application.

#include <string>
#include <vector>

#include "YKMessage.h"
#include "YKRect.h"
#include "yk_color.h"

class YKPrefSetting;

struct YKDocTemplate {
    std::string name;
    int32 width = 468;
    int32 height = 60;
    yk_color color{255, 255, 255, 255};

    bool operator==(const YKDocTemplate&) const = default;
};

class YKDocTemplates {
public:
    static constexpr uint32 kStoredWhat = 'docT';
    static constexpr uint32 kCreateWhat = 'grCd';
    // Longest name kept, in bytes.
    static constexpr size_t kMaxNameLength = 64;

    // How LoadFromPref came by its list.
    enum class Source { kStored, kBuiltInNoList, kBuiltInDamaged };

    // The built-in templates.
    YKDocTemplates();

    static std::vector<YKDocTemplate> BuiltIns();

    // Takes the stored list when it is whole, else the built-ins; a list that is there but
    // damaged is reported with one printed line.
    Source LoadFromPref(const YKMessage& stored);
    Source LoadFromPref(const YKPrefSetting& preferences);
    // The list in its stored form ('docT').
    YKMessage Archive() const;
    // Replaces "pref_doctemplt"; the preferences reach the disk when they are saved.
    void SaveToPref(YKPrefSetting* preferences) const;

    int32 Count() const { return static_cast<int32>(mTemplates.size()); }
    // Null out of range.
    const YKDocTemplate* At(int32 index) const;
    // Add and Replace refuse (false) a template that Problem() finds fault with.
    bool Add(const YKDocTemplate& docTemplate);
    bool Replace(int32 index, const YKDocTemplate& docTemplate);
    bool Remove(int32 index);

    // Why a template cannot make a document, or "" when it can: an empty name, or a size
    // that is not positive or beyond the largest raster.
    static std::string Problem(const YKDocTemplate& docTemplate);
    // `name` cut to kMaxNameLength bytes, never inside a UTF-8 character.
    static std::string ClippedName(const std::string& name);
    // The application's request to make a document from `docTemplate`.
    static YKMessage CreateRequest(const YKDocTemplate& docTemplate);
    // A canvas of `width` × `height` centred on the origin, halves rounded toward zero:
    // 468 × 60 spans -234..233 and -30..29.
    static YKRect<int32> CanvasFrame(int32 width, int32 height);

private:
    bool ReadStored(const YKMessage& stored);

    std::vector<YKDocTemplate> mTemplates;
};

#include "YKDocTemplates.h"

#include <cstdio>

#include "YKPrefSetting.h"
#include "yk_image_limits.h"

namespace {

constexpr const char* kNameKey = "dt_name";
constexpr const char* kWidthKey = "dt_width";
constexpr const char* kHeightKey = "dt_height";
constexpr const char* kColorKey = "dt_color";

int32 CountOf(const YKMessage& message, const char* name, uint32 type) {
    uint32 found = 0;
    int32 count = 0;
    return message.GetInfo(name, &found, &count) && found == type ? count : 0;
}

}  // namespace

YKDocTemplates::YKDocTemplates() : mTemplates(BuiltIns()) {}

std::vector<YKDocTemplate> YKDocTemplates::BuiltIns() {
    // The wallpaper's name promises 130 wide but it has always been made 160 wide; documents
    // and habits depend on that.
    return {
        {"Standard Web Banner (468x60)", 468, 60}, {"Small Web Banner (234x36)", 234, 36},
        {"Long Web Banner (512x60)", 512, 60},     {"Square Web Banner (100x100)", 100, 100},
        {"Square Web Button (32x32)", 32, 32},     {"Proportional wallpaper (130x120)", 160, 120},
        {"Max Small Monitor (610x300)", 610, 300},
    };
}

// --- Stored form ---

YKDocTemplates::Source YKDocTemplates::LoadFromPref(const YKPrefSetting& preferences) {
    return LoadFromPref(preferences.PrefDocTemplate());
}

YKDocTemplates::Source YKDocTemplates::LoadFromPref(const YKMessage& stored) {
    if (ReadStored(stored)) {
        return Source::kStored;
    }
    mTemplates = BuiltIns();
    if (stored.what == 0 && stored.IsEmpty()) {
        return Source::kBuiltInNoList;
    }
    std::fprintf(stderr, "The stored document templates are damaged; the built-in ones are used\n");
    return Source::kBuiltInDamaged;
}

bool YKDocTemplates::ReadStored(const YKMessage& stored) {
    const int32 count = CountOf(stored, kNameKey, YK_STRING_TYPE);
    if (stored.what != kStoredWhat || count <= 0 ||
        CountOf(stored, kWidthKey, YK_INT32_TYPE) != count ||
        CountOf(stored, kHeightKey, YK_INT32_TYPE) != count) {
        return false;
    }
    std::vector<YKDocTemplate> read;
    for (int32 i = 0; i < count; ++i) {
        YKDocTemplate entry;
        std::string name;
        stored.FindString(kNameKey, i, &name);
        entry.name = ClippedName(name);
        stored.FindInt32(kWidthKey, i, &entry.width);
        stored.FindInt32(kHeightKey, i, &entry.height);
        stored.FindColor(kColorKey, i, &entry.color);
        // A size no document can have means the list was not written by us.
        if (!Problem(entry).empty()) {
            return false;
        }
        read.push_back(std::move(entry));
    }
    mTemplates = std::move(read);
    return true;
}

YKMessage YKDocTemplates::Archive() const {
    YKMessage stored(kStoredWhat);
    for (const YKDocTemplate& entry : mTemplates) {
        stored.AddString(kNameKey, entry.name);
        stored.AddInt32(kWidthKey, entry.width);
        stored.AddInt32(kHeightKey, entry.height);
        stored.AddColor(kColorKey, &entry.color);
    }
    return stored;
}

void YKDocTemplates::SaveToPref(YKPrefSetting* preferences) const {
    if (preferences != nullptr) {
        preferences->SetPrefDocTemplate(Archive());
    }
}

// --- Editing ---

const YKDocTemplate* YKDocTemplates::At(int32 index) const {
    return index >= 0 && index < Count() ? &mTemplates[static_cast<size_t>(index)] : nullptr;
}

bool YKDocTemplates::Add(const YKDocTemplate& docTemplate) {
    if (!Problem(docTemplate).empty()) {
        return false;
    }
    mTemplates.push_back(docTemplate);
    mTemplates.back().name = ClippedName(docTemplate.name);
    return true;
}

bool YKDocTemplates::Replace(int32 index, const YKDocTemplate& docTemplate) {
    if (At(index) == nullptr || !Problem(docTemplate).empty()) {
        return false;
    }
    YKDocTemplate& entry = mTemplates[static_cast<size_t>(index)];
    entry = docTemplate;
    entry.name = ClippedName(docTemplate.name);
    return true;
}

bool YKDocTemplates::Remove(int32 index) {
    if (At(index) == nullptr) {
        return false;
    }
    mTemplates.erase(mTemplates.begin() + index);
    return true;
}

// --- Rules ---

std::string YKDocTemplates::Problem(const YKDocTemplate& docTemplate) {
    if (docTemplate.name.empty()) {
        return "A template needs a name.";
    }
    if (docTemplate.width < 1 || docTemplate.height < 1) {
        return "Width and height must be at least 1 pixel.";
    }
    if (!yk_image_size_ok(docTemplate.width, docTemplate.height, 4)) {
        return "The canvas may be at most " + std::to_string(kYKMaxImageSide) +
               " pixels on a side and " + std::to_string(kYKMaxImageBytes >> 20) + " MiB in all.";
    }
    return {};
}

std::string YKDocTemplates::ClippedName(const std::string& name) {
    if (name.size() <= kMaxNameLength) {
        return name;
    }
    size_t end = kMaxNameLength;
    // Back off continuation bytes so the cut falls between characters.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
        --end;
    }
    return name.substr(0, end);
}

YKMessage YKDocTemplates::CreateRequest(const YKDocTemplate& docTemplate) {
    YKMessage request(kCreateWhat);
    request.AddInt32("width", docTemplate.width);
    request.AddInt32("height", docTemplate.height);
    request.AddString("name", docTemplate.name);
    request.AddData("color", 'YKRC', &docTemplate.color, sizeof docTemplate.color);
    return request;
}

YKRect<int32> YKDocTemplates::CanvasFrame(int32 width, int32 height) {
    return {-(width / 2), -(height / 2), width - 1 - width / 2, height - 1 - height / 2};
}

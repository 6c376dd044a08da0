#include "YKExportOptions.h"

#include <strings.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <vector>

#include "YKExportArguments.h"
#include "YKRasterFilters.h"
#include "YKRasterIO.h"
#include "YKRasterIOView.h"

namespace {

enum class Kind { kBool, kInt32, kString };

struct Field {
    const char* name;
    Kind kind;
    int64 minimum;
    int64 maximum;
};

// The fields whose type or range is known; any other a format reads is taken as it stands in
// the remembered options, else as an int32.
constexpr Field kFields[] = {
    {"ra_back_col", Kind::kInt32, std::numeric_limits<int32>::min(), 0xFFFFFFFF},
    {"ra_hasbackcol", Kind::kBool, 0, 1},
    {"ra_interlace", Kind::kBool, 0, 1},
    {"ra_nb_colors", Kind::kInt32, 2, 256},
    {"24to8_dithering", Kind::kBool, 0, 1},
    {"24to8_netposcomp", Kind::kBool, 0, 1},
    {"24to8_isfixedpal", Kind::kBool, 0, 1},
    {"gif_loop", Kind::kInt32, 0, 65535},
    {"gif_use_speed", Kind::kBool, 0, 1},
    {"gif_speed", Kind::kInt32, 0, 65535},
    {"jpeg_quality", Kind::kInt32, 0, 100},
    {"webp_quality", Kind::kInt32, 0, 100},
    {"webp_lossless", Kind::kBool, 0, 1},
    {"png_color_type", Kind::kInt32, 0, 2},
    {"targa_save_alpha", Kind::kBool, 0, 1},
    {"targa_rle_compress", Kind::kBool, 0, 1},
    {"ra_do_html", Kind::kBool, 0, 1},
    {"ra_link_url", Kind::kString, 0, 0},
};

constexpr const char* kGenericFields[] = {"ra_back_col", "ra_hasbackcol", "ra_do_html",
                                          "ra_link_url"};

// What the key may hold for this export; the ranges that depend on the registry, the palettes
// and the exported frames are found here.
Field FieldFor(const std::string& key, const YKRasterIOView& view) {
    for (const Field& field : kFields) {
        if (key == field.name) {
            return field;
        }
    }
    if (key == "24to8_quant_id") {
        return {"", Kind::kInt32, 0, YKRasterFilters::Instantiate()->CountQuantizers() - 1};
    }
    if (key == "24to8_fix_palette") {
        return {"", Kind::kInt32, 0, static_cast<int64>(YKRasterIOView::PaletteNames().size()) - 1};
    }
    if (key.starts_with("js_frame_")) {
        const int32 count = view.IsAnimation() ? view.LastFrame() - view.FirstFrame() + 1 : 1;
        return {"", Kind::kInt32, 0, count};
    }
    const YKMessage& options = view.Options();
    const Kind kind = options.HasBool(key.c_str())     ? Kind::kBool
                      : options.HasString(key.c_str()) ? Kind::kString
                                                       : Kind::kInt32;
    return {"", kind, std::numeric_limits<int32>::min(), std::numeric_limits<int32>::max()};
}

bool ParseInteger(const std::string& text, int64* value) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(begin, end, *value, hex ? 16 : 10);
    return begin != end && error == std::errc() && stop == end;
}

class Applier {
public:
    Applier(YKRasterIOView* view, std::string* error)
        : mView(view), mFields(view->IO()->OptionFields()), mError(error) {}

    bool Reads(const std::string& key) const {
        const auto same = [&key](const char* field) { return key == field; };
        return std::any_of(mFields.begin(), mFields.end(), same) ||
               std::any_of(std::begin(kGenericFields), std::end(kGenericFields), same);
    }

    bool Set(const YKExportArguments::Setting& setting) {
        const std::string& key = setting.key;
        if (!Reads(key)) {
            return Fail(setting.given, std::string(mView->IO()->MenuName()) + " has no option \"" +
                                           key + "\"; it reads " + FieldList());
        }
        const Field field = FieldFor(key, *mView);
        const std::string& text = setting.value;
        if (field.kind == Kind::kString) {
            mView->SetString(key.c_str(), text.c_str());
            return true;
        }
        if (field.kind == Kind::kBool) {
            const bool yes = text == "true" || text == "1";
            if (!yes && text != "false" && text != "0") {
                return Fail(setting.given, "not true, false, 1 or 0");
            }
            SetBool(key, yes);
            return true;
        }
        int64 value = 0;
        if (!ParseInteger(text, &value) || value < field.minimum || value > field.maximum) {
            return Fail(setting.given, "not an integer from " + std::to_string(field.minimum) +
                                           " to " + std::to_string(field.maximum));
        }
        // Pixels above 0x7FFFFFFF are stored as the int32 of the same bits.
        const auto stored = static_cast<int32>(static_cast<uint32>(value));
        if (key == "ra_nb_colors") {
            mView->SetColors(stored);
        } else {
            mView->SetInt32(key.c_str(), stored);
        }
        return true;
    }

    bool SetPalette(const std::string& name) {
        if (!Reads("24to8_fix_palette")) {
            return Fail("--palette " + name, NoOption("palette choice"));
        }
        const std::vector<std::string> names = YKRasterIOView::PaletteNames();
        for (size_t i = 0; i < names.size(); ++i) {
            if (strcasecmp(names[i].c_str(), name.c_str()) == 0) {
                mView->SetPalette(static_cast<int32>(i));
                return true;
            }
        }
        return Fail("--palette " + name, "no such palette; there are " + Listed(names));
    }

    bool SetQuantizer(const std::string& name) {
        if (!Reads("24to8_quant_id")) {
            return Fail("--quantizer " + name, NoOption("quantizer choice"));
        }
        static constexpr struct {
            const char* word;
            int32 id;
        } kKinds[] = {{"octree", 0}, {"fixed", 1}, {"neural", 2}};
        const auto* kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                        [&name](const auto& k) { return name == k.word; });
        const QuantizerInfo* info =
            kind == std::end(kKinds) ? nullptr
                                     : YKRasterFilters::Instantiate()->QuantizerInfoForId(kind->id);
        if (info == nullptr) {
            return Fail("--quantizer " + name, "not octree, neural or fixed");
        }
        const std::vector<std::string>& names = mView->QuantizerNames();
        const auto found = std::find(names.begin(), names.end(), info->Name());
        if (found == names.end()) {
            return Fail("--quantizer " + name,
                        "cannot do the chosen palette; these can: " + Listed(names));
        }
        mView->SetQuantizer(static_cast<int32>(found - names.begin()));
        return true;
    }

    // --quality sets every quality field the format reads.
    bool SetQuality(const std::string& text) {
        bool any = false;
        for (const char* key : {"jpeg_quality", "webp_quality"}) {
            if (Reads(key)) {
                any = true;
                if (!Set({key, text, "--quality " + text})) {
                    return false;
                }
            }
        }
        return any || Fail("--quality " + text, NoOption("quality option"));
    }

private:
    void SetBool(const std::string& key, bool value) {
        if (key == "24to8_dithering") {
            mView->SetDithering(value);
        } else if (key == "24to8_netposcomp") {
            mView->SetNetPositive(value);
        } else if (key == "ra_do_html") {
            mView->SetGenerateHtml(value);
        } else {
            mView->SetBool(key.c_str(), value);
        }
    }

    static std::string Listed(const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names) {
            text += (text.empty() ? "" : ", ") + name;
        }
        return text;
    }

    std::string FieldList() const {
        std::vector<std::string> names(mFields.begin(), mFields.end());
        for (const char* generic : kGenericFields) {
            if (std::find(names.begin(), names.end(), generic) == names.end()) {
                names.emplace_back(generic);
            }
        }
        return Listed(names);
    }

    std::string NoOption(const char* what) const {
        return std::string(mView->IO()->MenuName()) + " has no " + what + "; it reads " +
               FieldList();
    }

    bool Fail(const std::string& given, const std::string& reason) {
        *mError = given + ": " + reason;
        return false;
    }

    YKRasterIOView* mView;
    std::vector<const char*> mFields;
    std::string* mError;
};

}  // namespace

bool YKApplyExportOptions(const YKExportArguments& arguments, YKRasterIOView* view,
                          std::string* error) {
    Applier applier(view, error);
    if (!arguments.palette.empty() && !applier.SetPalette(arguments.palette)) {
        return false;
    }
    if (!arguments.quantizer.empty() && !applier.SetQuantizer(arguments.quantizer)) {
        return false;
    }
    if (!arguments.quality.empty() && !applier.SetQuality(arguments.quality)) {
        return false;
    }
    if (arguments.hasBackground) {
        view->SetOverrideBackground(true, arguments.background);
    }
    // A format that reduces colours only on request takes the shorthands as that request; an
    // explicit --option webp_palette=false, applied after, still wins.
    if (arguments.reducesColors && applier.Reads("webp_palette")) {
        view->SetBool("webp_palette", true);
    }
    return std::all_of(arguments.settings.begin(), arguments.settings.end(),
                       [&applier](const auto& setting) { return applier.Set(setting); });
}

#include "YKFiltersCommand.h"

#include <cstring>
#include <optional>
#include <string>

#include "YKFilterManager.h"
#include "YKGenericFilter.h"
#include "YKJsonText.h"
#include "YKStdoutAside.h"

namespace {

const char* KindName(YKFilterParameter::Kind kind) {
    switch (kind) {
        case YKFilterParameter::kInt32:
            return "integer";
        case YKFilterParameter::kColor:
            return "colour";
        case YKFilterParameter::kDouble:
            break;
    }
    return "number";
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A colour default as RRGGBBAA, the form `filter --param` takes.
std::string ColorText(double pixelValue) {
    const auto pixel = static_cast<uint32>(pixelValue);
    char text[9];
    std::snprintf(text, sizeof text, "%06X%02X", pixel & 0xFFFFFFu, pixel >> 24);
    return text;
}

// Calls visit(category, filter) for every loaded filter, category by category.
template <typename Visit>
void ForEachFilter(Visit&& visit) {
    const YKFilterManager& manager = YKFilterManager::Default();
    for (int32 category = 0; category < manager.CountFilterLists(); ++category) {
        const YKList<YKGenericFilter*>* filters = manager.FilterListAt(category);
        for (int32 i = 0; i < filters->CountItems(); ++i) {
            visit(category, *filters->ItemAt(i));
        }
    }
}

}  // namespace

int YKFiltersCommand::Run(int argc, char** argv) {
    bool json = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else {
            std::fprintf(mErr, "gravik-cli: filters: unexpected argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    // What the loader says about broken plug-ins must not land in the middle of the JSON.
    std::optional<YKStdoutAside> aside;
    if (json) {
        aside.emplace();
        mOut = aside->Stream();
    }
    if (json) {
        PrintJson();
    } else {
        PrintText();
    }
    return 0;
}

void YKFiltersCommand::PrintText() const {
    int32 shown = -1;
    ForEachFilter([&](int32 category, const YKGenericFilter& filter) {
        if (category != shown) {
            std::fprintf(mOut, "%s\n", YKGenericFilter::CategoryName(category));
            shown = category;
        }
        std::fprintf(mOut, "  %s\n", YKJsonQuoted(filter.LoadedName().c_str()).c_str());
        for (int32 i = 0; i < filter.CountParameters(); ++i) {
            const YKFilterParameter& p = *filter.ParameterAt(i);
            if (p.kind == YKFilterParameter::kColor) {
                std::fprintf(mOut, "    %s: colour, default %s\n", p.name,
                             ColorText(p.defaultValue).c_str());
            } else {
                std::fprintf(mOut, "    %s: %s %s to %s%s%s, default %s\n", p.name,
                             KindName(p.kind), Number(p.minimum).c_str(), Number(p.maximum).c_str(),
                             *p.unit != '\0' ? " " : "", p.unit, Number(p.defaultValue).c_str());
            }
        }
    });
}

void YKFiltersCommand::PrintJson() const {
    int32 shown = -1;
    std::fputs("{\"categories\":[", mOut);
    bool firstFilter = true;
    ForEachFilter([&](int32 category, const YKGenericFilter& filter) {
        if (category != shown) {
            std::fprintf(mOut, "%s{\"name\":%s,\"filters\":[", shown >= 0 ? "]}," : "",
                         YKJsonQuoted(YKGenericFilter::CategoryName(category)).c_str());
            shown = category;
            firstFilter = true;
        }
        std::fprintf(mOut, "%s{\"name\":%s,\"parameters\":[", firstFilter ? "" : ",",
                     YKJsonQuoted(filter.LoadedName().c_str()).c_str());
        firstFilter = false;
        for (int32 i = 0; i < filter.CountParameters(); ++i) {
            const YKFilterParameter& p = *filter.ParameterAt(i);
            std::fprintf(mOut, "%s{\"name\":%s,\"type\":\"%s\",", i > 0 ? "," : "",
                         YKJsonQuoted(p.name).c_str(), KindName(p.kind));
            if (p.kind == YKFilterParameter::kColor) {
                std::fprintf(mOut, "\"default\":\"%s\"}", ColorText(p.defaultValue).c_str());
            } else {
                std::fprintf(mOut, "\"minimum\":%s,\"maximum\":%s,\"default\":%s,\"unit\":%s}",
                             Number(p.minimum).c_str(), Number(p.maximum).c_str(),
                             Number(p.defaultValue).c_str(), YKJsonQuoted(p.unit).c_str());
            }
        }
        std::fputs("]}", mOut);
    });
    std::fprintf(mOut, "%s]}\n", shown >= 0 ? "]}" : "");
}

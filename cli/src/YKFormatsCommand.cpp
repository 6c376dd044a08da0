#include "YKFormatsCommand.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "YKJsonText.h"
#include "YKRasterFilters.h"
#include "YKRasterIO.h"
#include "YKStdoutAside.h"

namespace {

// Capabilities() bits, spelled out.
std::vector<const char*> CapabilityNames(uint32 capabilities) {
    static constexpr struct {
        uint32 bit;
        const char* name;
    } kNames[] = {{YKRasterIO::kReadsStills, "read still"},
                  {YKRasterIO::kWritesStills, "write still"},
                  {YKRasterIO::kReadsAnimations, "read animation"},
                  {YKRasterIO::kWritesAnimations, "write animation"}};
    std::vector<const char*> names;
    for (const auto& [bit, name] : kNames) {
        if ((capabilities & bit) != 0) {
            names.push_back(name);
        }
    }
    return names;
}

// ".tif;.tiff" → {".tif", ".tiff"}
std::vector<std::string> Extensions(const char* list) {
    std::vector<std::string> extensions;
    std::string_view rest(list);
    while (!rest.empty()) {
        const size_t end = std::min(rest.find(';'), rest.size());
        extensions.emplace_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return extensions;
}

const char* Kind(const YKRasterIO* io) {
    return io->IsInternal() ? "internal" : "translator";
}

template <typename List>
std::string Joined(const List& items, const char* separator) {
    std::string text;
    for (const auto& item : items) {
        if (!text.empty()) {
            text += separator;
        }
        text += item;
    }
    return text.empty() ? "-" : text;
}

template <typename List>
std::string JsonArray(const List& items) {
    std::string text = "[";
    for (const auto& item : items) {
        if (text.size() > 1) {
            text += ',';
        }
        text += YKJsonQuoted(std::string(item).c_str());
    }
    return text + "]";
}

}  // namespace

int YKFormatsCommand::Run(int argc, char** argv) {
    bool json = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else {
            std::fprintf(mErr, "gravik-cli: formats: unexpected argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (json) {
        // Nothing the format code prints may land in the middle of the JSON.
        const YKStdoutAside aside;
        mOut = aside.Stream();
        PrintJson();
    } else {
        PrintText();
    }
    return 0;
}

// One row per format, columns as wide as their widest cell.
void YKFormatsCommand::PrintText() const {
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    std::vector<std::vector<std::string>> rows = {
        {"ID", "NAME", "EXTENSIONS", "MIME TYPE", "CAPABILITIES", "KIND", "OPTIONS"}};
    for (int32 i = 0; i < filters->CountFilters(); ++i) {
        const YKRasterIO* io = filters->FilterAt(i);
        rows.push_back({std::to_string(io->Id()), io->MenuName(),
                        Joined(Extensions(io->Extension()), " "), io->MimeType(),
                        Joined(CapabilityNames(io->Capabilities()), ", "), Kind(io),
                        Joined(io->OptionFields(), " ")});
    }
    std::vector<size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows) {
        for (size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (size_t column = 0; column < row.size(); ++column) {
            const bool last = column + 1 == row.size();
            line += last ? row[column]
                         : row[column] + std::string(widths[column] + 2 - row[column].size(), ' ');
        }
        std::fprintf(mOut, "%s\n", line.c_str());
    }
}

void YKFormatsCommand::PrintJson() const {
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    std::fputc('[', mOut);
    for (int32 i = 0; i < filters->CountFilters(); ++i) {
        const YKRasterIO* io = filters->FilterAt(i);
        std::fprintf(mOut,
                     "%s{\"id\":%d,\"name\":%s,\"extensions\":%s,\"mime_type\":%s,"
                     "\"capabilities\":%s,\"kind\":\"%s\",\"options\":%s}",
                     i > 0 ? "," : "", io->Id(), YKJsonQuoted(io->MenuName()).c_str(),
                     JsonArray(Extensions(io->Extension())).c_str(),
                     YKJsonQuoted(io->MimeType()).c_str(),
                     JsonArray(CapabilityNames(io->Capabilities())).c_str(), Kind(io),
                     JsonArray(io->OptionFields()).c_str());
    }
    std::fputs("]\n", mOut);
}

#include "YKExportWriterChoice.h"

#include <strings.h>

#include "YKRasterAnimIO.h"
#include "YKRasterFilters.h"
#include "YKRasterStillIO.h"

namespace {

YKRasterIO* WriterNamed(const std::string& name, bool exactCase) {
    const YKRasterFilters* registry = YKRasterFilters::Instantiate();
    for (int32 i = 0; i < registry->CountFilters(); ++i) {
        YKRasterIO* io = registry->FilterAt(i);
        const uint32 writes = YKRasterIO::kWritesStills | YKRasterIO::kWritesAnimations;
        const bool same =
            exactCase ? name == io->MenuName() : strcasecmp(name.c_str(), io->MenuName()) == 0;
        if (same && (io->Capabilities() & writes) != 0) {
            return io;
        }
    }
    return nullptr;
}

YKRasterIO* WriterForExtension(const std::string& extension, uint32 capability) {
    const YKRasterFilters* registry = YKRasterFilters::Instantiate();
    int32 id = 0;
    return registry->WriterIdForExtension(extension.c_str(), capability, &id)
               ? registry->FilterForId(id)
               : nullptr;
}

// ".gif" from "out/a.b/banner.gif"; empty when the file name has no dot.
std::string ExtensionOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return path.substr(dot);
}

}  // namespace

bool YKChooseExportWriter(const std::string& format, const std::string& output, bool oneFrame,
                          YKExportWriter* writer, std::string* error) {
    YKRasterIO* io = format.empty() ? nullptr : WriterNamed(format, true);
    const std::string extension = format.empty()          ? ExtensionOf(output)
                                  : format.front() == '.' ? format
                                                          : "." + format;
    if (io == nullptr && extension.size() > 1) {
        YKRasterIO* still = WriterForExtension(extension, YKRasterIO::kWritesStills);
        YKRasterIO* animation = WriterForExtension(extension, YKRasterIO::kWritesAnimations);
        io = oneFrame ? (still != nullptr ? still : animation)
                      : (animation != nullptr ? animation : still);
    }
    if (io == nullptr && !format.empty()) {
        io = WriterNamed(format, false);
    }
    if (io == nullptr) {
        *error = format.empty()
                     ? "no image writer for \"" + output + "\"; give --format"
                     : "no image writer named \"" + format + "\" (see gravik-cli formats)";
        return false;
    }
    writer->still = dynamic_cast<YKRasterStillIO*>(io);
    writer->animation = dynamic_cast<YKRasterAnimIO*>(io);
    if (writer->still == nullptr && writer->animation == nullptr) {
        *error = std::string("\"") + io->MenuName() + "\" cannot export";
        return false;
    }
    if (writer->still != nullptr && !oneFrame) {
        *error = std::string(io->MenuName()) + " writes single images; give --frame N";
        return false;
    }
    return true;
}

#include "YKExportReport.h"

#include "YKJsonText.h"

void YKExportReport::Print(std::FILE* out, bool json) const {
    if (!json) {
        if (estimated) {
            std::fprintf(out, "%s\n", estimateText.c_str());
        }
        for (const File& file : files) {
            std::fprintf(out, "%s\t%lld bytes\n", file.path.c_str(),
                         static_cast<long long>(file.bytes));
        }
        return;
    }
    std::fprintf(out, "{\"format\":%s,\"frames\":{\"first\":%d,\"last\":%d,\"count\":%d}",
                 YKJsonQuoted(format.c_str()).c_str(), first, last, last - first + 1);
    if (estimated) {
        std::fprintf(out, ",\"estimated_bytes\":%lld", static_cast<long long>(bytes));
    } else {
        std::fputs(",\"files\":[", out);
        for (size_t i = 0; i < files.size(); ++i) {
            std::fprintf(out, "%s{\"path\":%s,\"bytes\":%lld}", i == 0 ? "" : ",",
                         YKJsonQuoted(files[i].path.c_str()).c_str(),
                         static_cast<long long>(files[i].bytes));
        }
        std::fputs("]", out);
    }
    std::fprintf(out, ",\"seconds\":%.3f}\n", seconds);
}

#include "YKFilterCommand.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "YKBitmap.h"
#include "YKCliFrameNumber.h"
#include "YKCliReport.h"
#include "YKEnvelopKinds.h"
#include "YKFilterManager.h"
#include "YKGenericFilter.h"
#include "YKMessage.h"
#include "YKPngIO.h"
#include "YKRaster.h"
#include "YKRasterFile.h"
#include "YKRasterFilters.h"
#include "YKStdoutAside.h"
#include "yk_open_input.h"

namespace {

const YKFilterParameter* ParameterNamed(const YKGenericFilter& filter, std::string_view name) {
    for (int32 i = 0; i < filter.CountParameters(); ++i) {
        if (name == filter.ParameterAt(i)->name) {
            return filter.ParameterAt(i);
        }
    }
    return nullptr;
}

bool ParseNumber(const std::string& text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(*value);
}

// RRGGBBAA, as `new --background` takes it.
bool ParseColor(const std::string& text, yk_color* color) {
    uint32 value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 16);
    if (text.size() != 8 || error != std::errc() || stop != end) {
        return false;
    }
    *color = yk_color(static_cast<uint8>(value >> 24), static_cast<uint8>(value >> 16),
                      static_cast<uint8>(value >> 8), static_cast<uint8>(value));
    return true;
}

// The image in a bitmap whose rows and columns go on `margin` pixels beyond each side, repeating
// the edge pixels.
void FillWithEdges(const YKRaster& image, int32 margin, YKBitmap* bitmap) {
    const YKRect<int32> frame = image.Frame();
    const int32 width = frame.right - frame.left + 1;
    std::vector<uint32> row(static_cast<std::size_t>(width) + 2 * margin);
    for (int32 y = frame.top - margin; y <= frame.bottom + margin; ++y) {
        const int32 from = std::clamp(y, frame.top, frame.bottom) - frame.top;
        const auto* pixels =
            reinterpret_cast<const uint32*>(image.Bits() + std::size_t(from) * image.BytesPerRow());
        std::fill_n(row.begin(), margin, pixels[0]);
        std::copy_n(pixels, width, row.begin() + margin);
        std::fill_n(row.begin() + margin + width, margin, pixels[width - 1]);
        bitmap->SetLineAt(row.data(), y, frame.left - margin, frame.right + margin);
    }
}

}  // namespace

int YKFilterCommand::Run(int argc, char** argv) {
    const char* input = nullptr;
    const char* output = nullptr;
    const char* name = nullptr;
    std::vector<std::string> params;
    int32 frame = 1;
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--name") == 0 && hasValue) {
            name = argv[++i];
        } else if (std::strcmp(argv[i], "--param") == 0 && hasValue) {
            params.emplace_back(argv[++i]);
        } else if (std::strcmp(argv[i], "--frame") == 0 && hasValue) {
            if (!YKParseFrameNumber(argv[++i], &frame)) {
                std::fprintf(mErr, "gravik-cli: filter: bad frame number \"%s\"\n", argv[i]);
                return 2;
            }
        } else if (argv[i][0] != '-' && (input == nullptr || output == nullptr)) {
            (input == nullptr ? input : output) = argv[i];
        } else {
            std::fprintf(mErr, "gravik-cli: filter: unexpected argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (input == nullptr || output == nullptr || name == nullptr) {
        std::fputs(
            "gravik-cli: filter takes IN OUT --name NAME [--param KEY=VALUE]... "
            "[--frame N]\n",
            mErr);
        return 2;
    }
    // The plug-in loader's and readers' diagnostics go to stderr.
    YKStdoutAside aside;
    const YKGenericFilter* loaded = YKFilterManager::Default().FilterNamed(name);
    if (loaded == nullptr) {
        std::fprintf(mErr, "gravik-cli: filter: no filter named \"%s\" (see gravik-cli filters)\n",
                     name);
        return 2;
    }
    YKMessage parameters;
    if (!ParametersMessage(*loaded, params, &parameters)) {
        return 2;
    }
    const char* dot = std::strrchr(output, '.');
    const char* slash = std::strrchr(output, '/');
    int32 type = 0;
    if (dot == nullptr || (slash != nullptr && dot < slash) ||
        !YKRasterFilters::Instantiate()->WriterIdForExtension(dot, YKRasterIO::kWritesStills,
                                                              &type)) {
        std::fprintf(mErr, "gravik-cli: filter: no image writer for \"%s\"\n", output);
        return 2;
    }

    std::string reason;
    const int fd = yk_open_input(input, &reason);
    if (fd < 0) {
        YKCliError(input, reason);
        return 1;
    }
    close(fd);
    YKRasterFile file(input);
    if (!file.InitCheck()) {
        YKCliError(input, file.Recognised() ? file.ErrorText() : "not an image of a known format");
        return 1;
    }
    std::unique_ptr<YKGenericFilter> filter(loaded->Duplicate());
    if (filter == nullptr) {
        YKCliError(input, std::string("the filter \"") + name + "\" cannot be run");
        return 1;
    }
    filter->RestoreFilterParameters(&parameters);
    filter->SetFrame(frame);

    const YKRect<int32> rect = file.Raster()->Frame();
    const YKRect<int32> reach = filter->Frame(rect);
    const int32 margin = std::max({rect.left - reach.left, rect.top - reach.top,
                                   reach.right - rect.right, reach.bottom - rect.bottom, 0});
    YKBitmap source;
    FillWithEdges(*file.Raster(), margin, &source);
    YKBitmap destination;
    if (!filter->PerformFilter(&source, &destination, nullptr, rect, false)) {
        YKCliError(input, std::string("the filter \"") + name + "\" did not run");
        return 1;
    }
    file.SetRaster(std::unique_ptr<YKRaster>(destination.Raster(rect)));
    std::string error;
    // A PNG keeps the filtered pixels as they are: the export writer would put its background,
    // white unless an export asks otherwise, under every transparent pixel.
    const bool png =
        dynamic_cast<const YKPngIO*>(YKRasterFilters::Instantiate()->FilterForId(type)) != nullptr;
    if (png ? !YKPngIO::Write(*file.Raster(), output, &error)
            : !file.WriteToFile(type, output, nullptr, &error)) {
        YKCliError(output, error);
        return 1;
    }
    std::fprintf(mOut, "%s\n", output);
    return 0;
}

bool YKFilterCommand::ParametersMessage(const YKGenericFilter& filter,
                                        const std::vector<std::string>& params,
                                        YKMessage* message) const {
    for (const std::string& param : params) {
        const std::size_t equals = param.find('=');
        const std::string key = param.substr(0, equals);
        const YKFilterParameter* parameter = ParameterNamed(filter, key);
        if (equals == std::string::npos || parameter == nullptr) {
            std::fprintf(mErr, "gravik-cli: filter: \"%s\" has no parameter \"%s\"\n",
                         filter.Name(), key.c_str());
            return false;
        }
        const std::string text = param.substr(equals + 1);
        std::unique_ptr<YKEnvelop> envelope;
        double value = 0;
        yk_color color;
        if (parameter->kind == YKFilterParameter::kColor) {
            if (!ParseColor(text, &color)) {
                std::fprintf(mErr,
                             "gravik-cli: filter: %s: bad colour \"%s\" (expected RRGGBBAA)\n",
                             key.c_str(), text.c_str());
                return false;
            }
            auto typed = std::make_unique<YKEnvelopColor>(0, parameter->name);
            typed->SetValue(color, 1);
            envelope = std::move(typed);
        } else if (!ParseNumber(text, &value) ||
                   (parameter->kind == YKFilterParameter::kInt32 && value != std::trunc(value)) ||
                   value < parameter->minimum || value > parameter->maximum) {
            std::fprintf(mErr, "gravik-cli: filter: %s: \"%s\" is not %s from %g to %g\n",
                         key.c_str(), text.c_str(),
                         parameter->kind == YKFilterParameter::kInt32 ? "an integer" : "a number",
                         parameter->minimum, parameter->maximum);
            return false;
        } else if (parameter->kind == YKFilterParameter::kInt32) {
            auto typed = std::make_unique<YKEnvelopInt32>(0, parameter->name);
            typed->SetValue(static_cast<int32>(value), 1);
            envelope = std::move(typed);
        } else {
            auto typed = std::make_unique<YKEnvelopDouble>(0, parameter->name);
            typed->SetValue(value, 1);
            envelope = std::move(typed);
        }
        YKMessage part;
        envelope->Archive(&part);
        message->RemoveName(parameter->name);
        message->AddMessage(parameter->name, &part);
    }
    return true;
}

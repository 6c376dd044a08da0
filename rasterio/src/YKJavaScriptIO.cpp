// The roll-over page: every event's frame as a GIF beside the page, all put in place together.

#include "YKJavaScriptIO.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>

#include "YKAnimationSource.h"
#include "YKHtmlPage.h"
#include "YKJavaScriptGen.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKRasterSteps.h"
#include "YKReplacedFile.h"
#include "YKSimpleGifIO.h"
#include "yk_gif_export_internal.h"
#include "yk_io_error_internal.h"
#include "yk_scratch_folder_internal.h"

namespace {

constexpr int32 kEventCount = static_cast<int32>(std::size(YKJavaScriptIO::kEvents));

// An event and the frame it shows, 1-based within the range; 0: none.
struct Assigned {
    const char* event;
    int32 frame;
};

std::string FrameField(const char* event) {
    return std::string("js_frame_") + event;
}

std::string ImageName(const std::string& event) {
    return "Image_" + event + ".gif";
}

// The frames of the events for a range of `count` frames (negative: not known, taken to be
// long enough). False with the reason for a frame outside the range, or for a page that would
// have no image to show first.
bool AssignFrames(const YKMessage* options, int32 count, std::vector<Assigned>* assigned,
                  std::string* error) {
    for (int32 i = 0; i < kEventCount; ++i) {
        const char* event = YKJavaScriptIO::kEvents[i];
        int32 frame = count < 0 || count > i ? i + 1 : 0;
        if (options != nullptr && options->FindInt32(FrameField(event).c_str(), &frame) &&
            (frame < 0 || (count >= 0 && frame > count))) {
            yk_set_error(error, FrameField(event) + ": frame " + std::to_string(frame) +
                                    " is outside the " + std::to_string(count) +
                                    " frames exported");
            return false;
        }
        assigned->push_back({event, frame});
    }
    if (assigned->front().frame == 0) {
        yk_set_error(error, FrameField(assigned->front().event) +
                                ": the page needs a frame to show before any event");
        return false;
    }
    return true;
}

// The folder part of the page's path with its last "/"; empty for a bare name.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A folder of our own under the temporary folder, removed with what it holds. The images are
// coded there first because the GIF writer puts its files in place by itself.
// Appends the content of the file at `from` to `to`.
bool CopyFile(const std::string& from, std::FILE* to) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(from.c_str(), "rb"),
                                                       &std::fclose);
    if (in == nullptr) {
        return false;
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
        if (std::fwrite(buffer, 1, got, to) != got) {
            return false;
        }
    }
    return std::ferror(in.get()) == 0;
}

// A file of the export: its content goes to a temporary until every file is ready.
struct Output {
    std::string path;
    const char* mimeType;
    std::unique_ptr<YKReplacedFile> file;
};

}  // namespace

std::string YKJavaScriptIO::ImagePath(const std::string& folder, const std::string& event) {
    const bool slash = folder.empty() || folder.back() == '/';
    return folder + (slash ? "" : "/") + ImageName(event);
}

std::vector<std::string> YKJavaScriptIO::OutputFiles(const char* path,
                                                     const YKMessage* options) const {
    int32 first = 0;
    int32 last = 0;
    const bool ranged = options != nullptr && options->FindInt32("ra_1stframe", &first) &&
                        options->FindInt32("ra_lastframe", &last);
    std::vector<std::string> files = {path};
    std::vector<Assigned> assigned;
    if (!AssignFrames(options, ranged ? std::max(0, last - first + 1) : -1, &assigned, nullptr)) {
        return files;
    }
    for (const Assigned& item : assigned) {
        if (item.frame > 0) {
            files.push_back(ImagePath(FolderOf(path), item.event));
        }
    }
    return files;
}

bool YKJavaScriptIO::Write(const char* path, YKAnimationSource& source, const YKMessage* options,
                           YKRasterProgress* progress, std::string* error) const {
    const std::string page = path != nullptr ? path : "";
    if (page.empty() || page.back() == '/') {
        yk_set_error(error, "the page needs a file name, not only a folder");
        return false;
    }
    // The images are written with these options: a bad one is refused before any work.
    yk_gif_export::Options settings;
    if (!settings.Read(options, error)) {
        return false;
    }
    const int32 count = source.LastFrame() - source.FirstFrame() + 1;
    if (count < 1) {
        yk_set_error(error, "nothing to write: the animation has no frame");
        return false;
    }
    std::vector<Assigned> assigned;
    if (!AssignFrames(options, count, &assigned, error)) {
        return false;
    }
    for (const Assigned& item : assigned) {
        // The image would overwrite the page, or the page the image.
        if (item.frame > 0 && ImagePath(FolderOf(page), item.event) == page) {
            yk_set_error(error, "the page cannot have the name of one of its images");
            return false;
        }
    }
    std::string link = "#";
    if (options != nullptr) {
        options->FindString(YKHtmlPage::kLinkField, &link);
    }

    int32 images = 0;
    for (const Assigned& item : assigned) {
        images += item.frame > 0 ? 1 : 0;
    }
    YKRasterSteps steps(progress, 2 * images + 1);
    int32 step = 0;
    const auto begin = [&](const std::string& text) {
        if (steps.Begin(++step, text.c_str())) {
            return true;
        }
        yk_set_error(error, "cancelled");
        return false;
    };
    const auto fail = [&](const std::string& text) {
        yk_set_error(error, text);
        return steps.End(false);
    };

    // Every target is opened first, so that one that cannot be written stops the export
    // before any frame is rendered.
    std::vector<Output> outputs;
    outputs.push_back({page, MimeType(), std::make_unique<YKReplacedFile>(page.c_str())});
    for (const Assigned& item : assigned) {
        if (item.frame > 0) {
            const std::string image = ImagePath(FolderOf(page), item.event);
            outputs.push_back(
                {image, "image/gif", std::make_unique<YKReplacedFile>(image.c_str())});
        }
    }
    for (const Output& output : outputs) {
        if (output.file->Stream() == nullptr) {
            return fail("cannot write " + output.path + ": " + output.file->Error());
        }
    }
    YKScratchFolder scratch;
    if (!scratch.Made()) {
        return fail("cannot make a temporary folder");
    }

    // --- One image per event ---
    YKJavaScriptGen generator(link);
    const uint32 back = settings.back | 0xFF000000;
    std::size_t next = 1;
    for (const Assigned& item : assigned) {
        if (item.frame == 0) {
            continue;
        }
        const std::string name = ImageName(item.event);
        if (!begin("Frame #" + std::to_string(item.frame) + " -- Rendering " + item.event)) {
            return false;
        }
        std::string why;
        std::unique_ptr<YKRaster> frame =
            source.RenderFrame(source.FirstFrame() + item.frame - 1, &why);
        if (frame == nullptr || frame->Bits() == nullptr || frame->BytesPerPixel() != 4) {
            return fail("frame " + std::to_string(item.frame) + ": " +
                        (why.empty() ? std::string("no 32-bit pixels") : why));
        }
        // The page shows the image on its own background: soft edges blend into the colour
        // chosen for it.
        RemoveTransparency(*frame, back);

        if (!begin("Writing " + name)) {
            return false;
        }
        const std::string coded = scratch.PathOf(name);
        if (!YKSimpleGifIO().Write(coded.c_str(), *frame, options, nullptr, &why)) {
            return fail(name + ": " + why);
        }
        const Output& output = outputs[next++];
        if (!CopyFile(coded, output.file->Stream())) {
            return fail("cannot write " + output.path);
        }
        // The first event's image is the one the page shows before any event.
        generator.AddEvent({&item == &assigned.front() ? 1 : 0, item.event, name});
    }

    // --- The page, then everything in place ---
    if (!begin("Writing the page")) {
        return false;
    }
    const std::string& text = generator.GetBuffer();
    if (std::fwrite(text.data(), 1, text.size(), outputs.front().file->Stream()) != text.size()) {
        return fail("cannot write " + page);
    }
    // Images before the page, so that the page never refers to an image that is not there.
    for (std::size_t i = 1; i <= outputs.size(); ++i) {
        const Output& output = outputs[i % outputs.size()];
        if (!output.file->Commit()) {
            return fail("cannot write " + output.path + ": " + output.file->Error());
        }
    }
    for (const Output& output : outputs) {
        YKRasterFilters::SetMimeType(output.path.c_str(), output.mimeType);
    }
    return steps.End(true);
}

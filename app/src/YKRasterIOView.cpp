// The export window's decisions: option fields, size estimates and the export itself.

#include "YKRasterIOView.h"

#include <cstdio>
#include <cstring>

#include "QuantizerInfo.h"
#include "YKDebug.h"
#include "YKDocument.h"
#include "YKDocumentFrames.h"
#include "YKEnvelopManager.h"
#include "YKHtmlPage.h"
#include "YKRaster.h"
#include "YKRasterAnimIO.h"
#include "YKRasterFilters.h"
#include "YKRasterList.h"
#include "YKRasterListSource.h"
#include "YKRasterProgress.h"
#include "YKRasterStillIO.h"

namespace {

// What the application is told when an export has been written.
constexpr uint32 kExportFinished = 0x65586669;
// The JPEG quality panel starts here; the writer alone would use 100.
constexpr int32 kPanelJpegQuality = 80;
// Names one export of a wizard run; it describes that run, not the format's settings.
constexpr const char* kRunIndexField = "export_index";

int32 FrameCount(YKDocument* document) {
    return document->EnvelopManager()->MaxFrame();
}

bool RangeFits(YKDocument* document, int32 first, int32 last) {
    return first >= 1 && first <= last && last <= FrameCount(document);
}

bool ReadsField(const YKRasterIO& io, const char* field) {
    for (const char* name : io.OptionFields()) {
        if (std::strcmp(name, field) == 0) {
            return true;
        }
    }
    return false;
}

// The frames an animation export writes: those kept in memory when there are any (item i is
// document frame first + i), else the document's own, rendered one by one.
std::unique_ptr<YKAnimationSource> FramesOf(YKDocument* document, const YKRasterList* kept,
                                            int32 first, int32 last) {
    if (kept == nullptr) {
        return std::make_unique<YKDocumentFrames>(document, first, last);
    }
    YKEnvelopManager* manager = document->EnvelopManager();
    std::vector<float> delays;
    std::vector<int32> unusable;
    for (int32 i = 0; i < kept->CountItems(); ++i) {
        delays.push_back(manager->FrameDuration(first + i));
        if (!manager->FrameUsable(first + i)) {
            unusable.push_back(i);
        }
    }
    return std::make_unique<YKRasterListSource>(*kept, std::move(delays), std::move(unusable));
}

// The still's frame: the kept one, else rendered into `rendered` without moving the document
// off the frame its views show.
const YKRaster* StillOf(YKDocument* document, const YKRasterList* kept, int32 frame,
                        std::unique_ptr<YKRaster>* rendered, std::string* error) {
    if (kept != nullptr && kept->ItemAt(0) != nullptr) {
        return kept->ItemAt(0);
    }
    *rendered = YKDocumentFrames(document, frame, frame).RenderFrame(frame, error);
    return rendered->get();
}

void SetError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

template <typename... Values>
std::string Format(const char* format, Values... values) {
    char text[128];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

}  // namespace

YKRasterIOView::YKRasterIOView(YKRasterStillIO* still, YKRasterAnimIO* animation,
                               YKDocument* document, int32 frame, const YKMessage* options,
                               const char* path)
    : mStill(still),
      mAnimation(animation),
      mDocument(document),
      mFrame(frame),
      mFileName(path != nullptr ? path : "") {
    const YKRasterIO* rasterio1 = still;
    const YKRasterIO* rasterio2 = animation;
    YK_ASSERT(!rasterio1 || !rasterio2);
    YK_ASSERT(rasterio1 || rasterio2);
    YK_ASSERT(document != nullptr);
    YKRasterIO* io = IO();
    mFlags = io->InterfaceFlags();

    if (options != nullptr) {
        mOptions = *options;
    } else if (!mDocument->FindExportMessage(io->MenuName(), &mOptions)) {
        mOptions.MakeEmpty();
    }
    mOptions.RemoveName(kRunIndexField);
    if (!mOptions.HasInt32("ra_back_col")) {
        mOptions.AddInt32("ra_back_col",
                          static_cast<int32>(mDocument->BackgroundColor().ARGBPixel()));
    }
    if (ReadsField(*io, "jpeg_quality") && !mOptions.HasInt32("jpeg_quality")) {
        mOptions.AddInt32("jpeg_quality", kPanelJpegQuality);
    }
    // Written out, so that whoever reads the options sees the frames exported; a remembered
    // range may no longer fit a document that lost frames since.
    if (IsAnimation() && !SetFrameRange(FirstFrame(), LastFrame())) {
        SetFrameRange(1, FrameCount(mDocument));
    }

    FillQuantizerMenu();
    int32 quantizer = 0;
    mOptions.FindInt32("24to8_quant_id", &quantizer);
    for (std::size_t i = 0; i < mQuantizerIds.size(); ++i) {
        if (mQuantizerIds[i] == quantizer) {
            mQuantizerPosition = static_cast<int32>(i);
        }
    }
}

YKRasterIOView::~YKRasterIOView() = default;

YKRasterIO* YKRasterIOView::IO() const {
    return mStill != nullptr ? static_cast<YKRasterIO*>(mStill) : mAnimation;
}

// --- Option fields ---

void YKRasterIOView::SetBool(const char* field, bool value) {
    mOptions.RemoveName(field);
    mOptions.AddBool(field, value);
    Changed();
}

void YKRasterIOView::SetInt32(const char* field, int32 value) {
    mOptions.RemoveName(field);
    mOptions.AddInt32(field, value);
    Changed();
}

void YKRasterIOView::SetString(const char* field, const char* value) {
    mOptions.RemoveName(field);
    mOptions.AddString(field, value != nullptr ? value : "");
    Changed();
}

void YKRasterIOView::RemoveField(const char* field) {
    mOptions.RemoveName(field);
    Changed();
}

void YKRasterIOView::Changed() {
    if (mLiveUpdate) {
        UpdateSize();
    }
}

// --- "Information" ---

std::string YKRasterIOView::KindText() const {
    if (!IsAnimation()) {
        return "Still Image";
    }
    return Format("Animation with %d Images", LastFrame() - FirstFrame() + 1);
}

std::string YKRasterIOView::DocumentText() const {
    return std::string("Document '") + mDocument->Name() + "'";
}

std::string YKRasterIOView::DimensionsText() const {
    const YKRect<int32> rect = ExportRect();
    return Format("Size : %d x %d Pixels", rect.Width() + 1, rect.Height() + 1);
}

YKRect<int32> YKRasterIOView::ExportRect() const {
    return mDocument->Frame();
}

// --- "Generic Options" ---

void YKRasterIOView::SetOverrideBackground(bool override, uint32 pixel) {
    mOptions.RemoveName("ra_back_col");
    mOptions.AddInt32("ra_back_col", static_cast<int32>(pixel));
    SetBool("ra_hasbackcol", override);
}

void YKRasterIOView::SetGenerateHtml(bool generate) {
    SetBool("ra_do_html", generate);
}

// --- "Color Reduction" ---

std::vector<std::string> YKRasterIOView::PaletteNames() {
    std::vector<std::string> names{"Adaptive"};
    for (int32 i = 0; i < Quantizer::Cmap::NumCmaps(); ++i) {
        names.emplace_back(Quantizer::Cmap::GetCmapName(i));
    }
    return names;
}

int32 YKRasterIOView::PalettePosition() const {
    bool fixed = false;
    int32 palette = 0;
    mOptions.FindBool("24to8_isfixedpal", &fixed);
    mOptions.FindInt32("24to8_fix_palette", &palette);
    return fixed && palette >= 1 && palette <= Quantizer::Cmap::NumCmaps() ? palette : 0;
}

void YKRasterIOView::SetPalette(int32 position) {
    if (position < 0 || position > Quantizer::Cmap::NumCmaps()) {
        return;
    }
    mOptions.RemoveName("24to8_isfixedpal");
    mOptions.AddBool("24to8_isfixedpal", position != 0);
    mOptions.RemoveName("24to8_fix_palette");
    mOptions.AddInt32("24to8_fix_palette", position);
    FillQuantizerMenu();
    mOptions.RemoveName("24to8_quant_id");
    if (!mQuantizerIds.empty()) {
        mOptions.AddInt32("24to8_quant_id", mQuantizerIds[std::size_t(mQuantizerPosition)]);
    }
    Changed();
}

void YKRasterIOView::FillQuantizerMenu() {
    const uint32 wanted = PalettePosition() == 0 ? QuantizerInfo::ADAPTATIVE : QuantizerInfo::FIXED;
    const YKRasterFilters* registry = YKRasterFilters::Instantiate();
    mQuantizerNames.clear();
    mQuantizerIds.clear();
    for (int32 i = 0; i < registry->CountQuantizers(); ++i) {
        const QuantizerInfo* info = registry->QuantizerInfoAt(i);
        if ((info->Flags() & wanted) != 0) {
            mQuantizerNames.emplace_back(info->Name());
            mQuantizerIds.push_back(info->Id());
        }
    }
    if (mQuantizerIds.empty()) {
        mQuantizerNames.emplace_back("Default");
    }
    if (mQuantizerPosition >= static_cast<int32>(mQuantizerIds.size())) {
        mQuantizerPosition = 0;
    }
}

void YKRasterIOView::SetQuantizer(int32 position) {
    if (position < 0 || position >= static_cast<int32>(mQuantizerIds.size())) {
        return;
    }
    mQuantizerPosition = position;
    SetInt32("24to8_quant_id", mQuantizerIds[std::size_t(position)]);
}

void YKRasterIOView::SetColors(int32 count) {
    if (count >= 2 && count <= 256) {
        SetInt32("ra_nb_colors", count);
    }
}

void YKRasterIOView::SetDithering(bool dithering) {
    SetBool("24to8_dithering", dithering);
}

void YKRasterIOView::SetNetPositive(bool compatible) {
    SetBool("24to8_netposcomp", compatible);
}

// --- Frames ---

int32 YKRasterIOView::FirstFrame() const {
    int32 first = 1;
    mOptions.FindInt32("ra_1stframe", &first);
    return first;
}

int32 YKRasterIOView::LastFrame() const {
    int32 last = FrameCount(mDocument);
    mOptions.FindInt32("ra_lastframe", &last);
    return last;
}

bool YKRasterIOView::SetFrameRange(int32 first, int32 last) {
    if (!RangeFits(mDocument, first, last)) {
        return false;
    }
    mOptions.RemoveName("ra_1stframe");
    mOptions.AddInt32("ra_1stframe", first);
    mOptions.RemoveName("ra_lastframe");
    mOptions.AddInt32("ra_lastframe", last);
    mRasters.reset();
    Changed();
    return true;
}

bool YKRasterIOView::SetFrame(int32 frame) {
    if (frame < 1 || frame > FrameCount(mDocument)) {
        return false;
    }
    mFrame = frame;
    mRasters.reset();
    Changed();
    return true;
}

// --- Size estimate ---

// Turning live update on computes nothing by itself: the window asks for the first estimate.
void YKRasterIOView::SetLiveUpdate(bool live) {
    mLiveUpdate = live;
}

void YKRasterIOView::SetEstimateListener(std::function<void(int64)> listener) {
    mEstimateListener = std::move(listener);
}

int64 YKRasterIOView::UpdateSize() {
    mEstimate = -1;
    if (mStill != nullptr) {
        std::unique_ptr<YKRaster> rendered;
        const YKRaster* raster = StillOf(mDocument, mRasters.get(), mFrame, &rendered, nullptr);
        if (raster != nullptr) {
            mEstimate = mStill->GuessSize(*raster, &mOptions);
        }
    } else if (RangeFits(mDocument, FirstFrame(), LastFrame())) {
        std::unique_ptr<YKAnimationSource> frames =
            FramesOf(mDocument, mRasters.get(), FirstFrame(), LastFrame());
        mEstimate = mAnimation->GuessSize(*frames, &mOptions);
    }
    if (mEstimateListener) {
        mEstimateListener(mEstimate);
    }
    return mEstimate;
}

std::string YKRasterIOView::EstimateText() const {
    return mEstimate < 0 ? "(unknown)" : TransmissionText(mEstimate);
}

std::string YKRasterIOView::FileSizeText(int64 bytes) {
    const auto count = static_cast<long>(bytes);
    if (bytes < 20480) {
        return Format("%ld bytes", count);
    }
    if (bytes < 1048576) {
        return Format("%.2f K (%ld bytes)", double(bytes) / 1024.0, count);
    }
    return Format("%.2f MB (%ld bytes)", double(bytes) / 1048576.0, count);
}

std::string YKRasterIOView::TransmissionText(int64 bytes) {
    // 28.8 kilobaud at 10 bits a byte.
    const int64 seconds = bytes / 2880;
    return Format("%s -- %d:%02d s @ 28.8 kBaud", FileSizeText(bytes).c_str(),
                  static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
}

// --- Rendered frames ---

bool YKRasterIOView::UpdateRaster(std::string* error, YKRasterProgress* progress) {
    mRasters.reset();
    const int32 first = IsAnimation() ? FirstFrame() : mFrame;
    const int32 last = IsAnimation() ? LastFrame() : mFrame;
    if (!RangeFits(mDocument, first, last)) {
        SetError(error, Format("Frames %d to %d are outside the document's frames", first, last));
        return false;
    }
    auto rasters = std::make_unique<YKRasterList>(true);
    {
        // Rendering moves the document's frame; the frames put it back.
        YKDocumentFrames frames(mDocument, first, last);
        if (progress != nullptr) {
            progress->SetStepCount(last - first + 1);
        }
        for (int32 frame = first; frame <= last; ++frame) {
            if (progress != nullptr) {
                progress->ShowStep(frame - first, "Computing rasters...");
            }
            std::unique_ptr<YKRaster> raster = frames.RenderFrame(frame, error);
            if (raster == nullptr) {
                return false;
            }
            rasters->AddItem(raster.release());
        }
    }
    if (progress != nullptr) {
        progress->Finish();
    }
    mRasters = std::move(rasters);
    Changed();
    return true;
}

// --- Export ---

bool YKRasterIOView::Export(YKRasterProgress* progress, std::vector<std::string>* written,
                            std::string* error) {
    YKRasterIO* io = IO();
    const char* path = mFileName.c_str();
    bool ok = false;
    if (mStill != nullptr) {
        std::unique_ptr<YKRaster> rendered;
        const YKRaster* raster = StillOf(mDocument, mRasters.get(), mFrame, &rendered, error);
        ok = raster != nullptr && mStill->Write(path, *raster, &mOptions, progress, error);
    } else if (!RangeFits(mDocument, FirstFrame(), LastFrame())) {
        SetError(error, Format("Frames %d to %d are outside the document's frames", FirstFrame(),
                               LastFrame()));
    } else {
        std::unique_ptr<YKAnimationSource> frames =
            FramesOf(mDocument, mRasters.get(), FirstFrame(), LastFrame());
        ok = mAnimation->Write(path, *frames, &mOptions, progress, error);
    }
    // Whatever happened, the run that named this export is over.
    mOptions.RemoveName(kRunIndexField);
    if (!ok) {
        return false;
    }
    if (written != nullptr) {
        for (const std::string& file : io->OutputFiles(path, &mOptions)) {
            written->push_back(file);
        }
    }

    bool page = false;
    mOptions.FindBool("ra_do_html", &page);
    if (page) {
        const YKRect<int32> rect = ExportRect();
        if (!YKHtmlPage::Write(mFileName, &mOptions, rect.Width() + 1, rect.Height() + 1, error)) {
            return false;
        }
        if (written != nullptr) {
            written->push_back(YKHtmlPage::PagePath(mFileName));
        }
    }
    mDocument->SetExportMessage(io->MenuName(), &mOptions);

    YKMessage finished(kExportFinished);
    finished.AddInt32("io_id", io->Id());
    mDocument->PostToApplication(finished);
    return true;
}

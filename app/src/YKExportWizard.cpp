// Several exports of one document, run together.

#include "YKExportWizard.h"

#include <cstdio>

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKRasterAnimIO.h"
#include "YKRasterFilters.h"
#include "YKRasterIOView.h"
#include "YKRasterStillIO.h"

namespace {

// Names the export of a run in its options while it is written.
constexpr const char* kRunIndexField = "export_index";

bool CanWrite(const YKRasterIO& io) {
    return (io.Capabilities() & (YKRasterIO::kWritesStills | YKRasterIO::kWritesAnimations)) != 0;
}

}  // namespace

YKExportWizard::YKExportWizard(YKDocument* document) : mDocument(document) {}

YKExportWizard::~YKExportWizard() {
    // The run writes through the views: it ends before they go.
    mRun.reset();
}

std::string YKExportWizard::DocumentText() const {
    return std::string("Document '") + mDocument->Name() + "'";
}

std::string YKExportWizard::SizeText() const {
    const YKRect<int32> frame = mDocument->Frame();
    const int32 frames = mDocument->EnvelopManager()->MaxFrame();
    char text[96];
    std::snprintf(text, sizeof text, "Size : %d x %d Pixels, %d Frame%s", frame.Width() + 1,
                  frame.Height() + 1, frames, frames > 1 ? "s" : "");
    return text;
}

std::vector<int32> YKExportWizard::AddableFormats(bool translatorsOnly) const {
    const YKRasterFilters* registry = YKRasterFilters::Instantiate();
    std::vector<int32> formats;
    for (const bool internal : {true, false}) {
        for (int32 i = 0; i < registry->CountFilters() && !(internal && translatorsOnly); ++i) {
            const YKRasterIO* io = registry->FilterAt(i);
            if (io->IsInternal() == internal && CanWrite(*io)) {
                formats.push_back(i);
            }
        }
    }
    return formats;
}

YKRasterIOView* YKExportWizard::addExport(int32 index, const char* path) {
    YKRasterIO* io = YKRasterFilters::Instantiate()->FilterAt(index);
    if (io == nullptr || !CanWrite(*io) || (mRun != nullptr && !mRun->Finished())) {
        return nullptr;
    }
    auto* animation = (io->Capabilities() & YKRasterIO::kWritesAnimations) != 0
                          ? dynamic_cast<YKRasterAnimIO*>(io)
                          : nullptr;
    auto* still = animation == nullptr ? dynamic_cast<YKRasterStillIO*>(io) : nullptr;
    if (animation == nullptr && still == nullptr) {
        return nullptr;
    }
    const int32 frame = mDocument->EnvelopManager()->CurrentFrame();
    mExports.push_back(
        std::make_unique<YKRasterIOView>(still, animation, mDocument, frame, nullptr, path));
    mSelected = CountExports() - 1;
    return mExports.back().get();
}

void YKExportWizard::selectExport(int32 index) {
    if (index >= 0 && index < CountExports()) {
        mSelected = index;
    }
}

void YKExportWizard::removeExport() {
    if (mSelected < 0 || (mRun != nullptr && !mRun->Finished())) {
        return;
    }
    mExports.erase(mExports.begin() + mSelected);
    mSelected = std::min(mSelected, CountExports() - 1);
}

void YKExportWizard::removeAllExports() {
    if (mRun != nullptr && !mRun->Finished()) {
        return;
    }
    mExports.clear();
    mSelected = -1;
}

YKRasterIOView* YKExportWizard::ExportAt(int32 index) const {
    return index >= 0 && index < CountExports() ? mExports[std::size_t(index)].get() : nullptr;
}

YKExportRun* YKExportWizard::doExport(YKExportRun::Listener listener) {
    // One run at a time: the views belong to it until it ends.
    if (mExports.empty() || (mRun != nullptr && !mRun->Finished())) {
        return nullptr;
    }
    std::vector<YKRasterIOView*> views;
    for (std::size_t i = 0; i < mExports.size(); ++i) {
        YKRasterIOView* view = mExports[i].get();
        // A run names the export being written; that is no option to estimate again for.
        const bool live = view->LiveUpdate();
        view->SetLiveUpdate(false);
        view->SetInt32(kRunIndexField, static_cast<int32>(i));
        view->SetLiveUpdate(live);
        views.push_back(view);
    }
    mRun.reset();
    mRun = std::make_unique<YKExportRun>(std::move(views), std::move(listener));
    mRun->Start();
    return mRun.get();
}

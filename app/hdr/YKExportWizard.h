#pragma once

// YKExportWizard: several exports of one document side by side, each with its own format,
// options and estimate, run together ("Export") one after another off the caller's thread.

#include <memory>
#include <string>
#include <vector>

#include "YKExportRun.h"
#include "yk_types.h"

class YKDocument;
class YKRasterIOView;

class YKExportWizard {
public:
    explicit YKExportWizard(YKDocument* document);
    ~YKExportWizard();

    // "Document '" name "'" and "Size : %d x %d Pixels, %d Frame%s".
    std::string DocumentText() const;
    std::string SizeText() const;

    // The formats that can be added, in registry order: the internal ones, then the
    // translators (the window lists them under "--(Internal Handlers)--" and
    // "--(BeOS Translators)--"). Each is a registry index. `translatorsOnly` leaves the
    // internal ones out, as the preferences may ask.
    std::vector<int32> AddableFormats(bool translatorsOnly = false) const;
    // Adds an export of the format at registry `index`, writing to `path`, and selects it;
    // null when that format cannot write.
    YKRasterIOView* addExport(int32 index, const char* path);
    void selectExport(int32 index);
    // Removes the selected export.
    void removeExport();
    void removeAllExports();

    int32 CountExports() const { return static_cast<int32>(mExports.size()); }
    YKRasterIOView* ExportAt(int32 index) const;
    int32 Selected() const { return mSelected; }

    // Starts every export, in order, on a thread of its own; null when there is none.
    YKExportRun* doExport(YKExportRun::Listener listener);

private:
    YKDocument* mDocument;
    std::vector<std::unique_ptr<YKRasterIOView>> mExports;
    int32 mSelected = -1;
    std::unique_ptr<YKExportRun> mRun;
};

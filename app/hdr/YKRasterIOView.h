#pragma once

// YKRasterIOView: what the export window of one format decides, without its widgets. It holds a
// copy of the option message and turns the choices of each option group into its fields, keeps
// the estimated file size (live when asked), and runs the export. The Qt window (ui/) shows the
// groups and forwards every change here; gravik-cli sets the same fields from its arguments, so
// an export from the command line and from the window read the same message.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "YKMessage.h"
#include "YKRect.h"
#include "yk_types.h"

class YKAnimationSource;
class YKDocument;
class YKRaster;
class YKRasterAnimIO;
class YKRasterIO;
class YKRasterList;
class YKRasterProgress;
class YKRasterStillIO;

class YKRasterIOView {
public:
    // Bits of the interface flags: each shows one option group.
    enum Group : uint32 {
        kInformation = 1,
        kGenericOptions = 2,
        kExportOptions = 4,
        kProgressAndButtons = 8,
        kColorReduction = 32,
    };

    // Exactly one of `still` and `animation` (fatal "!rasterio1 || !rasterio2" otherwise).
    // The options start as a copy of `options`; when that is null, as the document's remembered
    // message for the format (its menu name), else empty. "ra_back_col" is set to the document's
    // background unless present; an animation's "ra_1stframe" and "ra_lastframe" default to the
    // document's first and last frame. `frame` is the still's frame (from 1).
    YKRasterIOView(YKRasterStillIO* still, YKRasterAnimIO* animation, YKDocument* document,
                   int32 frame, const YKMessage* options, const char* path);
    ~YKRasterIOView();
    YKRasterIOView(const YKRasterIOView&) = delete;
    YKRasterIOView& operator=(const YKRasterIOView&) = delete;

    YKRasterIO* IO() const;
    bool IsAnimation() const { return mAnimation != nullptr; }
    YKDocument* Document() const { return mDocument; }
    const std::string& FileName() const { return mFileName; }
    void SetFileName(const char* path) { mFileName = path; }

    // The groups shown: the format's InterfaceFlags() unless set.
    uint32 InterfaceFlags() const { return mFlags; }
    void SetInterfaceFlags(uint32 flags) { mFlags = flags; }
    bool Shows(Group group) const { return (mFlags & group) != 0; }

    const YKMessage& Options() const { return mOptions; }
    // Any option field, replacing what it held; each is a change (live update).
    void SetBool(const char* field, bool value);
    void SetInt32(const char* field, int32 value);
    void SetString(const char* field, const char* value);
    // Takes a field out, for options whose absence means something ("gif_loop": no loop).
    void RemoveField(const char* field);

    // --- "Information" ---
    // "Still Image" or "Animation with %d Images".
    std::string KindText() const;
    // "Document '" name "'".
    std::string DocumentText() const;
    // "Size : %d x %d Pixels" of the export rectangle.
    std::string DimensionsText() const;
    // The canvas of the document: what every frame covers.
    YKRect<int32> ExportRect() const;

    // --- "Generic Options" ---
    void SetOverrideBackground(bool override, uint32 pixel);
    void SetGenerateHtml(bool generate);

    // --- "Color Reduction" ---
    // "Adaptive", then every fixed palette by name (the built-in ones, then palette files).
    static std::vector<std::string> PaletteNames();
    // Position in PaletteNames(): 0 is "Adaptive".
    int32 PalettePosition() const;
    void SetPalette(int32 position);
    // The quantizers that can do what the palette choice asks, or "Default" alone.
    const std::vector<std::string>& QuantizerNames() const { return mQuantizerNames; }
    int32 QuantizerPosition() const { return mQuantizerPosition; }
    void SetQuantizer(int32 position);
    void SetColors(int32 count);
    void SetDithering(bool dithering);
    void SetNetPositive(bool compatible);

    // --- Frames of an animation, from 1 ---
    int32 FirstFrame() const;
    int32 LastFrame() const;
    // False (nothing changed) unless 1 <= first <= last <= the frame count.
    bool SetFrameRange(int32 first, int32 last);
    // The still's frame.
    int32 Frame() const { return mFrame; }
    bool SetFrame(int32 frame);

    // --- Size estimate ---
    // When on, every change recomputes the size and tells the listener.
    void SetLiveUpdate(bool live);
    bool LiveUpdate() const { return mLiveUpdate; }
    // Called with each new estimate (-1: unknown), on the thread that changed the option.
    void SetEstimateListener(std::function<void(int64)> listener);
    // Runs the writer into a temporary folder; the size of what it wrote, or -1.
    int64 UpdateSize();
    int64 EstimatedSize() const { return mEstimate; }
    // "(unknown)", or the size and its transmission time as the window shows them.
    std::string EstimateText() const;
    // "%ld bytes" up to 20,479 bytes, "%.2f K (%ld bytes)" up to 1,048,575, else
    // "%.2f MB (%ld bytes)".
    static std::string FileSizeText(int64 bytes);
    // "%s -- %d:%02d s @ 28.8 kBaud": the size text and the time at 2,880 bytes a second.
    static std::string TransmissionText(int64 bytes);

    // --- Rendered frames ---
    // Renders the frames once and keeps them, so that estimates and the export reuse them;
    // false (nothing kept) when a frame cannot be rendered. `progress` (may be null) is told
    // of one step per frame.
    bool UpdateRaster(std::string* error, YKRasterProgress* progress = nullptr);
    // The kept frames, or null.
    const YKRasterList* Rasters() const { return mRasters.get(); }

    // --- Export ---
    // Writes the file (and with "ra_do_html" the page beside it), reporting to `progress` (may
    // be null). Unless cancelled or failed, stores the options in the document under the
    // format's menu name. `written` (may be null) receives every file made.
    bool Export(YKRasterProgress* progress, std::vector<std::string>* written, std::string* error);

private:
    void Changed();
    void FillQuantizerMenu();

    YKRasterStillIO* mStill;
    YKRasterAnimIO* mAnimation;
    YKDocument* mDocument;
    int32 mFrame;
    YKMessage mOptions;
    std::string mFileName;
    uint32 mFlags;
    bool mLiveUpdate = false;
    int64 mEstimate = -1;
    std::function<void(int64)> mEstimateListener;
    std::vector<std::string> mQuantizerNames;
    std::vector<int32> mQuantizerIds;
    int32 mQuantizerPosition = 0;
    std::unique_ptr<YKRasterList> mRasters;
};

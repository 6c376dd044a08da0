#pragma once

// YKJavaScriptIO: a roll-over button for a web page: one GIF image per mouse event, written
// beside an HTML page whose script swaps them as the pointer enters and leaves the image.

#include "YKRasterAnimIO.h"

class YKJavaScriptIO : public YKRasterAnimIO {
public:
    // The events in the order the page handles them; the first is the image shown at first.
    static constexpr const char* kEvents[] = {"onMouseOut", "onMouseOver", "onclick"};

    const char* MenuName() const override { return "JavaScript"; }
    const char* Extension() const override { return ".html"; }
    const char* MimeType() const override { return "text/html"; }
    uint32 Capabilities() const override { return kWritesAnimations; }
    uint32 InterfaceFlags() const override { return 127; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col",         "ra_interlace",         "ra_nb_colors",
                "24to8_quant_id",      "24to8_dithering",      "24to8_netposcomp",
                "24to8_fix_palette",   "24to8_isfixedpal",     "ra_link_url",
                "js_frame_onMouseOut", "js_frame_onMouseOver", "js_frame_onclick"};
    }
    // The page, then the image of every event that has a frame. Without "ra_1stframe" and
    // "ra_lastframe" in `options` the range is taken to be long enough for every default frame.
    std::vector<std::string> OutputFiles(const char* path, const YKMessage* options) const override;

    // Options: those of the still GIF (every image is written with them), "ra_link_url" (the
    // link's address, "#" when absent) and "js_frame_<event>" (1-based frame of the source's
    // range, 0: none; by default frames 1, 2, 3 as far as the range reaches). Every frame is
    // composed over "ra_back_col" made opaque. The page and its images are put in place
    // together, once all of them are written: a failure or a cancel leaves none of them.
    bool Write(const char* path, YKAnimationSource& source, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;

    // The path of `event`'s image beside a page in `folder`, with one "/" between them; an
    // empty folder is the current one.
    static std::string ImagePath(const std::string& folder, const std::string& event);
};

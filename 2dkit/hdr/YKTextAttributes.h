#pragma once

// YKTextAttributes: the look of a text object, shared by the text at a point and the text along
// a path. Its animatable values are envelopes registered with the object's envelope manager for
// as long as the record lives; the patterns it names are held in the bitmap roster as long.

#include <memory>
#include <string>
#include <vector>

#include "YKPoint.h"
#include "YKRect.h"
#include "yk_color.h"
#include "yk_types.h"

class YKDash;
class YKEnvelopManager;
class YKFontData;
class YKGradientBuffer;
class YKGradientContainer;
class YKMessage;
class YKSketcher;
struct YKVectorAttributes;
template <typename Traits>
class YKTypedEnvelop;
struct YKBoolTraits;
struct YKColorTraits;
struct YKDoubleTraits;
using YKEnvelopBool = YKTypedEnvelop<YKBoolTraits>;
using YKEnvelopColor = YKTypedEnvelop<YKColorTraits>;
using YKEnvelopDouble = YKTypedEnvelop<YKDoubleTraits>;

struct YKTextAttributes {
    // Sizes outside this range (in font size units; an em is size*96/72 px), and spacing and
    // shearing outside theirs, are clamped when the font is set up: archives come from files.
    static constexpr double kMinSize = 0.1;
    static constexpr double kMaxSize = 1000.0;
    static constexpr double kMaxSpacing = 1000.0;  // percent, either way
    static constexpr double kMaxShearing = 80.0;   // degrees, either way
    static constexpr size_t kOutlinePatternNameSize = 1024;
    static constexpr size_t kFillPatternNameSize = 256;

    // New envelopes with their default values, registered with `manager` (which may be null).
    YKTextAttributes(int32 id, YKEnvelopManager* manager);
    // From an archive written by Write*() with the same key prefix.
    YKTextAttributes(const YKMessage* archive, const std::string& prefix, int32 id,
                     YKEnvelopManager* manager);
    YKTextAttributes(const YKTextAttributes&) = delete;
    YKTextAttributes& operator=(const YKTextAttributes&) = delete;
    ~YKTextAttributes();

    // An independent record (own envelopes, font and pattern uses) registered under `id`.
    std::unique_ptr<YKTextAttributes> Clone(int32 id, YKEnvelopManager* manager) const;

    // --- Archive: the sizes, then everything else, each key prefixed.
    void WriteSizes(YKMessage* archive, const std::string& prefix) const;
    void WriteLook(YKMessage* archive, const std::string& prefix) const;

    // --- Values at the current frame, clamped to the sane ranges
    double SizeH() const;
    double SizeV() const;
    double Spacing() const;
    double Shearing() const;
    double OutlineWidth() const;
    bool FlipH() const;
    bool FlipV() const;
    // The font's description (its file, family and style), or "" without a font.
    std::string FontDescription() const;

    // Size, direction, spacing, shearing and rotation onto the font.
    void ApplyToFont(double rotation) const;
    // Outline and fill paint, dash and width onto the sketcher; gradient buffers live in
    // `strokeBuffer` and `fillBuffer` until the drawing is done.
    void SetupPaint(YKSketcher* sketcher, YKRect<double> box, YKRect<double> bounds,
                    double globalAngle, YKPoint<double> globalCenter,
                    std::unique_ptr<YKGradientBuffer>* strokeBuffer,
                    std::unique_ptr<YKGradientBuffer>* fillBuffer) const;
    // Every value but the font into `a`, and from it.
    void Get(YKVectorAttributes* a) const;
    void Set(const YKVectorAttributes& a);
    // False when the outline or the fill uses an unlocked pattern held by the roster.
    bool PatternLock() const;

    std::unique_ptr<YKEnvelopDouble> sizeH;  // "fsize_h"
    std::unique_ptr<YKEnvelopDouble> sizeV;  // "fsize_v"
    double breakRotation = 0;
    std::unique_ptr<YKEnvelopBool> flipH;  // "flip_h"
    std::unique_ptr<YKEnvelopBool> flipV;  // "flip_v"
    bool direction = true;
    std::unique_ptr<YKEnvelopDouble> spacing;   // "spacing"
    std::unique_ptr<YKEnvelopDouble> shearing;  // "shearing"
    std::unique_ptr<YKFontData> font;
    int16 outlineColorFlag = 0;
    std::unique_ptr<YKEnvelopColor> outlineColor;  // "stroke_color"
    std::string outlinePatternName = "Default";
    std::unique_ptr<YKEnvelopDouble> outlinePatternAlpha;  // "stroke_pattern_alpha"
    bool outlinePatternLock = false;
    std::unique_ptr<YKGradientContainer> strokeGradient;
    std::unique_ptr<YKEnvelopDouble> outlineWidth;  // "width"
    std::unique_ptr<YKDash> outlineDash;            // null: solid
    int16 fillColorFlag = 1;
    std::unique_ptr<YKEnvelopColor> fillColor;  // "fill_color"
    std::string fillPatternName = "Default";
    std::unique_ptr<YKEnvelopDouble> fillPatternAlpha;  // "fill_pattern_alpha"
    bool fillPatternLock = false;
    std::unique_ptr<YKGradientContainer> fillGradient;

private:
    YKTextAttributes() = default;
    void registerEnvelopes();
    void holdPattern(const std::string& name, const YKMessage* buffer);
    void readOutline(const YKMessage* archive, const std::string& prefix, int32 id);
    void readFill(const YKMessage* archive, const std::string& prefix, int32 id);

    YKEnvelopManager* mManager = nullptr;
    std::vector<std::string> mRosterUsers;
};

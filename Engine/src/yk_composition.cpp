#include "yk_composition.h"

#include "yk_composition_avx2.h"
#include "yk_composition_internal.h"

using namespace yk_merge;

namespace {

// --- The three forms of a method ---

template <class Op>
void ColourRunForm(uint32* d, uint32 color, uint32 level, int32 count) {
    if (Op::kLevelZeroKeeps && level == 0) {
        return;
    }
    for (int32 i = 0; i < count; ++i) {
        d[i] = Op::Pixel(d[i], color, level);
    }
}

template <class Op>
void ArrayForm(uint32* d, const uint32* s, uint32 level, int32 count) {
    if (Op::kLevelZeroKeeps && level == 0) {
        return;
    }
    if constexpr (avx2::kVectorised<Op>) {
        if (avx2::Supported()) {
            avx2::Arrays<Op>(d, s, level, count);
            return;
        }
    }
    for (int32 i = 0; i < count; ++i) {
        d[i] = Op::Pixel(d[i], s[i], level);
    }
}

}  // namespace

#define YK_DEFINE_MERGE(suffix, Op)                                                 \
    uint32 yk_pixel_##suffix(uint32 d, uint32 s, uint32 level) {                    \
        return Op::Pixel(d, s, level);                                              \
    }                                                                               \
    void yk_color_##suffix(uint32* d, uint32 color, uint32 level, int32 count) {    \
        ColourRunForm<Op>(d, color, level, count);                                  \
    }                                                                               \
    void yk_array_##suffix(uint32* d, const uint32* s, uint32 level, int32 count) { \
        ArrayForm<Op>(d, s, level, count);                                          \
    }

YK_DEFINE_MERGE(alpha_compose, Compose)
YK_DEFINE_MERGE(alpha_overlay, Overlay)
YK_DEFINE_MERGE(dissolve, Dissolve)
YK_DEFINE_MERGE(copy, Copy)
YK_DEFINE_MERGE(over, Over)
YK_DEFINE_MERGE(erase, Erase)
YK_DEFINE_MERGE(filter, Compose)
YK_DEFINE_MERGE(add, Mix<Separable<AddChannel>>)
YK_DEFINE_MERGE(substract, Mix<Separable<SubtractChannel>>)
YK_DEFINE_MERGE(darkest, Mix<Separable<DarkestChannel>>)
YK_DEFINE_MERGE(lightest, Mix<Separable<LightestChannel>>)
YK_DEFINE_MERGE(multiply, Mix<Separable<MultiplyChannel>>)
YK_DEFINE_MERGE(screen, Mix<Separable<ScreenChannel>>)
YK_DEFINE_MERGE(difference, Mix<Separable<DifferenceChannel>>)
YK_DEFINE_MERGE(average, Mix<Separable<AverageChannel>>)
YK_DEFINE_MERGE(invert, Mix<Separable<InvertChannel>>)
YK_DEFINE_MERGE(replace_hue, Mix<ReplaceHueColour>)
YK_DEFINE_MERGE(replace_saturation, Mix<ReplaceSaturationColour>)
YK_DEFINE_MERGE(replace_luminosity, Mix<ReplaceLuminosityColour>)
YK_DEFINE_MERGE(replace_color, Mix<ReplaceColourColour>)
YK_DEFINE_MERGE(xormask, Mix<Separable<XorChannel>>)

#undef YK_DEFINE_MERGE

// --- Tables, indexed by yk_composition_mode ---

const char* const yk_composition_label[YK_COMPOSITION_MODE_COUNT] = {
    "Normal",
    "Multiply",
    "Screen",
    "Erase",
    "Add",
    "Subtract",
    "Darkest",
    "Lightest",
    "Difference",
    "Average",
    "Invert",
    "Dissolve",
    "Replace Hue",
    "Replace Saturation",
    "Replace Luminosity",
    "Replace Color",
    "XOR Mask",
    "Copy",
    "Over",
    "Filter",
    "Overlay",
};

#define YK_MERGE_TABLE(form)                                                                      \
    {                                                                                             \
        form##alpha_compose, form##multiply, form##screen, form##erase, form##add,                \
            form##substract, form##darkest, form##lightest, form##difference, form##average,      \
            form##invert, form##dissolve, form##replace_hue, form##replace_saturation,            \
            form##replace_luminosity, form##replace_color, form##xormask, form##copy, form##over, \
            form##filter, form##alpha_overlay,                                                    \
    }

const yk_pixel_func hash_pixel_func[YK_COMPOSITION_MODE_COUNT] = YK_MERGE_TABLE(yk_pixel_);
const yk_color_func hash_color_func[YK_COMPOSITION_MODE_COUNT] = YK_MERGE_TABLE(yk_color_);
const yk_array_func hash_array_func[YK_COMPOSITION_MODE_COUNT] = YK_MERGE_TABLE(yk_array_);

#undef YK_MERGE_TABLE

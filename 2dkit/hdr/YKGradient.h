#pragma once

// YKGradient: a colour ramp over the parameter 0..1 made of contiguous items (each item's right
// is the next one's left, the first starts at 0, the last ends at 1). It gives the colour at a
// parameter exactly (get_color_at) or from 100-entry tables (get_buffered_color_at, what
// painting uses), archives itself into the keys of its container's message, reads and writes
// gradient files, and carries the gradient editor's operations, which work on a selected run of
// consecutive items from a selection-left item S to a selection-right item E.

#include <array>
#include <string>

#include "YKGradientItem.h"
#include "yk_types.h"

class YKMessage;

class YKGradient {
public:
    using Color = YKGradientItem::Color;
    static constexpr int32 kTableSize = 100;

    // One default item: opaque black to opaque white over [0, 1].
    YKGradient();
    // The items archived under "grad_num_item" and the "grad_item_..." keys (none when absent).
    explicit YKGradient(const YKMessage& archive);
    // Copies name and items; the copy fills its own tables.
    YKGradient(const YKGradient& other);
    YKGradient& operator=(const YKGradient& other);
    YKGradient(YKGradient&& other) noexcept;
    YKGradient& operator=(YKGradient&& other) noexcept;
    ~YKGradient();

    int32 Size() const { return mCount; }
    bool IsData() const { return mCount > 0; }
    // Equal items in the same order; the names do not count.
    bool operator==(const YKGradient& other) const;
    bool operator!=(const YKGradient& other) const { return !(*this == other); }

    const char* GetName() const { return mName.c_str(); }
    void SetName(const char* name) { mName = name != nullptr ? name : ""; }

    // --- Colour ---
    // The colour at t (t <= 0 is taken at 0.01, t >= 1 at 0.99); all 0 without items.
    void get_color_at(double t, double* r, double* g, double* b, double* a);
    // The colour from the tables: t clamped to 0..1 (NaN counts as 0), then interpolated in
    // single precision between the two nearest of 100 samples of get_color_at. The tables are
    // filled on first use and kept for the life of the object: later edits do not refresh them.
    // Every channel lies in 0..1.
    void get_buffered_color_at(double t, double* r, double* g, double* b, double* a) {
        if (!mTableFilled) {
            FillTables();
        }
        t = t > 0.0 ? (t < 1.0 ? t : 1.0) : 0.0;
        const double x = t * (kTableSize - 1);
        const int32 k = static_cast<int32>(x);
        const TableEntry& low = mTable[k];
        if (k == kTableSize - 1) {
            *r = low.r;
            *g = low.g;
            *b = low.b;
            *a = low.a;
            return;
        }
        const TableEntry& high = mTable[k + 1];
        const float phi = static_cast<float>(x - k);
        const float psi = 1.0f - phi;
        *r = phi * high.r + psi * low.r;
        *g = phi * high.g + psi * low.g;
        *b = phi * high.b + psi * low.b;
        *a = phi * high.a + psi * low.a;
    }
    // Names the contents of the tables: 0 while they are unfilled, otherwise a number no other
    // filling in the process has had, so that what is derived from them can tell when to renew.
    uint64 TableStamp() const { return mTableFilled ? mTableStamp : 0; }
    // The item whose range holds t, searched from the item found last; null (with a printed
    // dump of the gradient) when t lies outside every item.
    YKGradientItem* get_item_at(double t);
    YKGradientItem* get_first_item() const { return mFirst; }
    YKGradientItem* get_last_item() const { return mLast; }

    // --- Building ---
    // Replaces the items by one default item.
    void create_default_gradient();
    // Appends an item; keeping the items contiguous is up to the caller.
    YKGradientItem* AddItem(double left, double middle, double right, Color leftColor,
                            Color rightColor, grad_type type = GRAD_LINEAR,
                            grad_color colorType = GRAD_RGB);
    // Destroys every item.
    void Eraze();
    // Destroys the items after `item`, which becomes the last.
    void Trunc(YKGradientItem* item);
    // Destroys the items before `item`, which becomes the first.
    void CutHead(YKGradientItem* item);

    // --- Persistence ---
    // Adds "grad_num_item" and, per item in order, the "grad_item_..." keys, "grad_type" and
    // "grad_color".
    void Archive(YKMessage* archive) const;
    // A gradient file: "YKGR", the name, the items; little-endian.
    bool save(const char* path) const;
    // Replaces name and items by a gradient file's. On failure (unreadable file, wrong magic,
    // truncated or inconsistent content) the gradient is left without items.
    bool load(const char* path);

    // --- Editing (YKGradientEdit.cpp). Each operation keeps the items contiguous and forgets
    //     the item found last. Operations on the selection do nothing without one.
    void SetSelLeft(YKGradientItem* item) { mSelLeft = item; }
    void SetSelRight(YKGradientItem* item) { mSelRight = item; }
    YKGradientItem* SelLeft() const { return mSelLeft; }
    YKGradientItem* SelRight() const { return mSelRight; }

    // Moves the run s..e by d, stopping 0.01 short of the neighbours' middles (or of its own
    // middles at the ends of the ramp, which stay at 0 and 1); returns the distance moved.
    double move(YKGradientItem* s, YKGradientItem* e, double d);
    // Moves the border between `item` and the next item to `right`, kept 0.01 inside both;
    // each item keeps its middle at the same fraction of its width. Returns the border set.
    double resize(YKGradientItem* item, double right);
    // Mirrors the selection within its range; the mirrored items become the selection.
    void flip();
    // Replaces the selection by n copies of itself squeezed into its range.
    void replicate(int32 n);
    // Puts the middle of every selected item at its centre.
    void recenter();
    // Gives the selected items equal widths, middles at their centres.
    void redistribute();
    // Splits the item holding t at t (colour there from get_color_at, or the one given);
    // returns the new right half, or null when t is no item's inner point.
    YKGradientItem* split_point(double t);
    YKGradientItem* split_point_color(double t, Color color);
    // Splits every selected item at its middle.
    void split_midpoint();
    // Splits every selected item into n equal items.
    void split_uniform(int32 n);
    // Deletes the selection; its neighbours share its range. The whole gradient is kept.
    void suppress();
    // Maps the positions of the run a..b from [a.left, b.right] onto [newLeft, newRight].
    void compress_range(YKGradientItem* a, YKGradientItem* b, double newLeft, double newRight);
    // Blends the selection's colours (and/or opacities) linearly from the first given colour at
    // its left end to the second at its right end.
    void blend_endpoints(double r0, double g0, double b0, double a0, double r1, double g1,
                         double b1, double a1, bool colors, bool opacity);
    // A detached copy of the selected items (a gradient holding only them).
    YKGradient save_selection() const;
    // Replaces the selection by copies of the items of `run` and selects them.
    void replace_selection(const YKGradient& run);

    void PrintToStream() const;

private:
    struct TableEntry {
        float r;
        float g;
        float b;
        float a;
    };
    struct EmptyTag {};
    explicit YKGradient(EmptyTag) {}

    void FillTables();
    void CopyItems(const YKGradient& other);
    // Unlinks and deletes first..last, forgetting cursor and selection ends among them; the
    // caller relinks the neighbours.
    void DestroyRun(YKGradientItem* first, YKGradientItem* last);
    YKGradientItem* InsertAfter(YKGradientItem* item, YKGradientItem* newItem);
    // Puts the items of `chain` in place of the run s..e and selects them.
    void Splice(YKGradientItem* s, YKGradientItem* e, YKGradient&& chain);
    // Number of items from s to e; s..e must be a run of this gradient.
    int32 RunLength(const YKGradientItem* s, const YKGradientItem* e) const;
    bool HasSelection() const { return mSelLeft != nullptr && mSelRight != nullptr; }
    YKGradientItem* SplitAt(YKGradientItem* item, double at, Color color);

    std::string mName;
    YKGradientItem* mFirst = nullptr;
    YKGradientItem* mLast = nullptr;
    YKGradientItem* mCursor = nullptr;
    YKGradientItem* mSelLeft = nullptr;
    YKGradientItem* mSelRight = nullptr;
    int32 mCount = 0;
    bool mTableFilled = false;
    uint64 mTableStamp = 0;
    std::array<TableEntry, kTableSize> mTable{};
};

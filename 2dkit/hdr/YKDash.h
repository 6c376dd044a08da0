#pragma once

// YKDash: a dash pattern, alternating drawn and skipped lengths in pixels starting with a
// drawn one, and an offset. Objects refer to one of seven predefined dashes, and documents
// store the dash by its index in that table.

#include <memory>

#include "YKList.h"
#include "yk_types.h"

class YKDash {
public:
    // An empty dash: no tab, offset 0.
    YKDash() = default;
    // Takes over the lengths of `tab`, which is left empty.
    explicit YKDash(YKList<double>* tab);
    YKDash(const YKDash& other);
    YKDash& operator=(const YKDash& other);

    // Same offset and same tab.
    bool operator==(const YKDash& other) const;
    bool Compare(const YKDash& other) const { return *this == other; }

    double Offset() const { return mOffset; }
    void SetOffset(double offset) { mOffset = offset; }
    // A copy of the tab.
    std::unique_ptr<YKList<double>> Tab() const;
    // Copies the lengths of `tab`.
    void SetTab(const YKList<double>& tab);
    int32 CountTab() const { return mTab.CountItems(); }
    double TabAt(int32 index) const { return mTab.ItemAt(index); }
    // The sum of the tab; 0 when empty.
    double PatternLen() const;
    bool IsEmpty() const { return mTab.IsEmpty(); }

    // Moves the pattern along by `distance`, keeping the offset within half a pattern of it.
    void Shift(double distance);
    // Dashes keep their lengths in pixels whatever the zoom.
    void Zoom(double) {}

    // The predefined dashes: 0 is the solid stroke (null), 1 to 6 dashes.
    static constexpr int32 kPredefCount = 7;
    // Builds the table; called once at start-up (later calls change nothing).
    static void InitPredefDash();
    // Entry `index` of the table: null for 0, out of range or before InitPredefDash().
    static YKDash* PredefDash(int32 index);
    // The index of `dash` in the table (0 for null), or -1 when it is none of the seven.
    static int32 PredefIndex(const YKDash* dash);

private:
    void CopyTab(const YKList<double>& from);

    double mOffset = 0;
    YKList<double> mTab{16};
};

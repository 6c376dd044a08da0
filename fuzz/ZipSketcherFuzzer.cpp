// Feeds random drawing states and paths to the zip sketcher: widths, caps, joins, miter limits,
// dashes, display modes, closed flags, a frame, and every primitive with points that may be
// NaN, infinite or huge. Nothing may crash, hang or allocate without bound.

#include <cstring>
#include <vector>

#include "YKBitmap.h"
#include "YKDash.h"
#include "YKZipSketcher.h"

namespace {

// Reads values off the input in turn; past its end everything is 0.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    template <typename T>
    T Next() {
        T value{};
        if (mAt + sizeof(T) <= mSize) {
            std::memcpy(&value, mData + mAt, sizeof(T));
            mAt += sizeof(T);
        } else {
            mAt = mSize;
        }
        return value;
    }
    bool Done() const { return mAt >= mSize; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mAt = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    YKBitmap bitmap;
    YKZipSketcher sketcher;
    sketcher.SetBuffer(&bitmap);
    // Frames stay small so that every input runs quickly; the paths may reach anywhere.
    const int32 left = in.Next<int8>();
    const int32 top = in.Next<int8>();
    sketcher.SetFrame({left, top, left + in.Next<uint8>(), top + in.Next<uint8>()});
    sketcher.SetAntgMode(in.Next<uint8>() & 1);
    sketcher.SetWidth(in.Next<double>());
    sketcher.SetLineMode(in.Next<int8>(), in.Next<int8>(), in.Next<int8>(), in.Next<double>());
    sketcher.SetDisplay(in.Next<uint8>() % 4);
    sketcher.SetClosed(in.Next<uint8>() & 1);
    sketcher.SetOverlapStroke(in.Next<uint8>() & 1);
    sketcher.SetFillColor(yk_color(in.Next<uint32>()));
    sketcher.SetStrokeColor(yk_color(in.Next<uint32>()));
    YKList<double> tab;
    for (int32 i = in.Next<uint8>() % 8; i > 0; --i) {
        tab.AddItem(in.Next<double>());
    }
    YKDash dash;
    dash.SetTab(tab);
    sketcher.SetStrokeDash(tab.IsEmpty() ? nullptr : &dash);
    // A few primitives per input keep the runs quick; each may still be as large as it likes.
    for (int32 drawn = 0; drawn < 8 && !in.Done(); ++drawn) {
        const uint8 primitive = in.Next<uint8>() % 7;
        std::vector<YKPoint<double>> points;
        for (int32 i = in.Next<uint8>() % 48; i > 0; --i) {
            points.push_back({in.Next<double>(), in.Next<double>()});
        }
        points.resize(std::max<size_t>(points.size(), 4));
        YKPointList list;
        for (const YKPoint<double>& p : points) {
            list.AddItem(p);
        }
        switch (primitive) {
            case 0:
                sketcher.DrawPolygon(&list);
                break;
            case 1:
                sketcher.DrawBezier(&list);
                break;
            case 2:
                sketcher.DrawRect(&list);
                break;
            case 3:
                sketcher.DrawEllipse(points[0], points[1], points[2], points[3]);
                break;
            case 4:
                sketcher.DrawArc(points[0], points[1], points[2]);
                break;
            case 5:
                sketcher.DrawRoundRect(points[0], points[1], points[2], points[3],
                                       in.Next<double>(), in.Next<double>());
                break;
            default:
                sketcher.DrawLine(points[0], points[1]);
        }
    }
    return 0;
}

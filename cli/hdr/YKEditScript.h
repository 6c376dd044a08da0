#pragma once

// YKEditScript: the text script of `gravik-cli edit`, one step per line:
//   tool N|NAME                          select a tool by id (0 to 15) or by its name
//   down X Y [shift] [command] [control] [clicks N]
//   move X Y | up X Y                    the pointer moves, the button is released
//   drag X0 Y0 X1 Y1 [steps N] [shift] [command] [control]
//   key TEXT|NAME [shift] [command] [control]
//                                        NAME: left right up down home end pageup pagedown
//                                        backspace delete return escape tab space
//   finish | undo | redo | frame N
// '#' starts a comment; blank lines are skipped. Words are compared without regard to case.
// The whole script is read before anything runs, so a bad line leaves the document untouched.

#include <string>
#include <vector>

#include "YKPoint.h"
#include "yk_types.h"

struct YKEditStep {
    enum Kind { kTool, kDown, kMove, kUp, kDrag, kKey, kFinish, kUndo, kRedo, kFrame, kDrop };
    Kind kind = kUndo;
    int32 line = 0;
    // The tool id, the click count, the drag's step count or the frame, by kind.
    int32 number = 0;
    YKPoint<double> from;
    YKPoint<double> to;
    uint32 modifiers = 0;
    // The key's bytes, or the dropped file's path.
    std::string bytes;
};

class YKEditScript {
public:
    // Events the whole script may send (a drag counts its moves), so no script runs for hours.
    static constexpr int64 kMaxEvents = 2000000;
    static constexpr int32 kMaxDragSteps = 10000;
    static constexpr int32 kMaxClicks = 100;

    // Parses `text`; false with "line N: reason" in `error` at the first bad line.
    bool Parse(const std::string& text, std::string* error);
    const std::vector<YKEditStep>& Steps() const { return mSteps; }

private:
    bool ParseLine(std::vector<std::string> words, int32 line, std::string* reason);

    std::vector<YKEditStep> mSteps;
};

#pragma once

class YKMessage;

// What the document keeps for each frame: its duration, in hundredths of a second, and whether
// it is used.
struct YKFrameInfo {
    float duration = 5.0f;
    bool usable = true;

    YKFrameInfo() = default;
    // Missing keys leave the defaults.
    explicit YKFrameInfo(const YKMessage* archive);
    // Adds "YKKInf:_duration" and "YKKInf:_usable".
    void Archive(YKMessage* archive) const;
};

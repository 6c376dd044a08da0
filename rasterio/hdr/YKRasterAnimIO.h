#pragma once

// YKRasterAnimIO: a format of animations, read into a list of full-size 32-bit frames.

#include <string>

#include "YKRasterIO.h"

class YKMessage;
class YKRasterList;

class YKRasterAnimIO : public YKRasterIO {
public:
    // True when the file at `path` is in this format; `info` (may be null) is emptied of what a
    // previous read of this format left in it.
    virtual bool Accept(const char* path, YKMessage* info) const = 0;
    // Appends frames `first` to `last` (from 0; -1 means from the first, to the last) to
    // `list`. False, with the reason in `error` (may be null), when no frame could be read.
    virtual bool Read(const char* path, YKRasterList& list, int32 first, int32 last,
                      YKMessage* info, bool native, std::string* error) const = 0;
};

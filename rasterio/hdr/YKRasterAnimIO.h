#pragma once

// YKRasterAnimIO: a format of animations, read into a list of full-size 32-bit frames.

#include <string>

#include "YKRasterIO.h"

class YKAnimationSource;
class YKMessage;
class YKRasterList;
class YKRasterProgress;

class YKRasterAnimIO : public YKRasterIO {
public:
    // True when the file at `path` is in this format; `info` (may be null) is emptied of what a
    // previous read of this format left in it. A format that is only written accepts nothing.
    virtual bool Accept(const char* path, YKMessage* info) const;
    // Appends frames `first` to `last` (from 0; -1 means from the first, to the last) to
    // `list`. False, with the reason in `error` (may be null), when no frame could be read. A
    // format that is only written refuses here.
    virtual bool Read(const char* path, YKRasterList& list, int32 first, int32 last,
                      YKMessage* info, bool native, std::string* error) const;
    // Writes the frames of `source` as an export with `options` (null: every option at its
    // default), reporting to `progress` (may be null). A format that cannot write refuses here.
    virtual bool Write(const char* path, YKAnimationSource& source, const YKMessage* options,
                       YKRasterProgress* progress, std::string* error) const;
    // The size in bytes of every file Write would make of `source` with `options`: the writer is
    // run into a temporary folder, which is removed again. -1 when the write fails.
    int64 GuessSize(YKAnimationSource& source, const YKMessage* options) const;
};

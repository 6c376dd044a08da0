#pragma once

#include <cstdio>
#include <string>

class YKDocument;
class YKEditScript;

// `gravik-cli edit DOC.gr --script FILE -o OUT.gr`: replays a script of tool choices, mouse and
// key events, undo and redo (YKEditScript) on a document through one view's event manager, and
// saves the result. Returns 0 when saved, 1 when the document or script could not be read, a
// step failed or the result could not be saved (nothing is written then), 2 for bad arguments.
class YKEditCommand {
public:
    YKEditCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    int Run(int argc, char** argv);

private:
    // False, with the reason in `error`, at the first step that cannot be carried out.
    bool Replay(YKDocument* document, const YKEditScript& script, std::string* error);

    FILE* mOut;
    FILE* mErr;
};

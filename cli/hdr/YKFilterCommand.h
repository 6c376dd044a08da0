#pragma once

#include <cstdio>
#include <string>
#include <vector>

class YKGenericFilter;
class YKMessage;

// `gravik-cli filter IN OUT --name NAME [--param KEY=VALUE]... [--frame N]`: runs a loaded
// filter over a whole image and writes the result in the format of OUT's extension. Beyond the
// image's border the edge pixels repeat, as image editors do, so a blur does not darken the
// edges. Returns 0 when written, 1 when the image could not be read, filtered or written, 2 for
// bad arguments (an unknown filter or parameter, a value out of range).
class YKFilterCommand {
public:
    YKFilterCommand(FILE* out, FILE* err) : mOut(out), mErr(err) {}

    int Run(int argc, char** argv);

private:
    // The parameters as the filter's archive holds them (one envelope each); false after a
    // message when one is unknown or out of range.
    bool ParametersMessage(const YKGenericFilter& filter, const std::vector<std::string>& params,
                           YKMessage* message) const;

    FILE* mOut;
    FILE* mErr;
};

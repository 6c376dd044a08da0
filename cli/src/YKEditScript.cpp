#include "YKEditScript.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "YKEventManager.h"
#include "YKToolState.h"

namespace {

std::string Lower(std::string word) {
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word;
}

// Whole-word numbers only: "12x" is an error, not 12.
bool Number(const std::string& word, double* value) {
    errno = 0;
    char* end = nullptr;
    *value = std::strtod(word.c_str(), &end);
    return !word.empty() && *end == '\0' && errno != ERANGE;
}

bool Integer(const std::string& word, int32 low, int32 high, int32* value) {
    double number = 0;
    if (!Number(word, &number) || number != std::floor(number) || number < low || number > high) {
        return false;
    }
    *value = static_cast<int32>(number);
    return true;
}

// The key names and the bytes they send.
struct KeyName {
    const char* name;
    char byte;
};
constexpr KeyName kKeys[] = {
    {"left", 28},   {"right", 29},  {"up", 30},       {"down", 31},     {"home", 1},
    {"end", 4},     {"pageup", 11}, {"pagedown", 12}, {"backspace", 8}, {"delete", 127},
    {"return", 10}, {"escape", 27}, {"tab", 9},       {"space", ' '},
};

}  // namespace

bool YKEditScript::Parse(const std::string& text, std::string* error) {
    mSteps.clear();
    std::istringstream lines(text);
    std::string line;
    int32 number = 0;
    int64 events = 0;
    while (std::getline(lines, line)) {
        ++number;
        const size_t comment = line.find('#');
        if (comment != std::string::npos) {
            line.erase(comment);
        }
        std::istringstream words(line);
        std::vector<std::string> split;
        for (std::string word; words >> word;) {
            split.push_back(word);
        }
        if (split.empty()) {
            continue;
        }
        std::string reason;
        bool ok = ParseLine(std::move(split), number, &reason);
        if (ok) {
            const YKEditStep& step = mSteps.back();
            events += step.kind == YKEditStep::kDrag ? step.number + 2 : 2;
            if (events > kMaxEvents) {
                reason = "the script sends more than " + std::to_string(kMaxEvents) + " events";
                ok = false;
            }
        }
        if (!ok) {
            *error = "line " + std::to_string(number) + ": " + reason;
            mSteps.clear();
            return false;
        }
    }
    return true;
}

bool YKEditScript::ParseLine(std::vector<std::string> words, int32 line, std::string* reason) {
    YKEditStep step;
    step.line = line;
    const std::string verb = Lower(words[0]);
    const auto fail = [&](const std::string& text) {
        *reason = text;
        return false;
    };
    // Reads the optional words after `first`: modifiers, and "clicks N" or "steps N" when the
    // step takes that count.
    const auto options = [&](size_t first, const char* counted) {
        for (size_t i = first; i < words.size(); ++i) {
            const std::string word = Lower(words[i]);
            if (word == "shift") {
                step.modifiers |= YKEventManager::kShift;
            } else if (word == "command") {
                step.modifiers |= YKEventManager::kCommand;
            } else if (word == "control") {
                step.modifiers |= YKEventManager::kControl;
            } else if (counted != nullptr && word == counted && i + 1 < words.size()) {
                const int32 high = step.kind == YKEditStep::kDrag ? kMaxDragSteps : kMaxClicks;
                if (!Integer(words[++i], 1, high, &step.number)) {
                    return fail(std::string(counted) + " takes a whole number from 1 to " +
                                std::to_string(high));
                }
            } else {
                return fail("unexpected word \"" + words[i] + "\" after " + verb);
            }
        }
        return true;
    };
    const auto points = [&](size_t count) {
        double v[4] = {};
        if (words.size() < 1 + count) {
            return fail(verb + " takes " + std::to_string(count) + " coordinates");
        }
        for (size_t i = 0; i < count; ++i) {
            if (!Number(words[1 + i], &v[i])) {
                return fail("\"" + words[1 + i] + "\" is no number");
            }
        }
        step.from = {v[0], v[1]};
        step.to = count == 4 ? YKPoint<double>{v[2], v[3]} : step.from;
        return true;
    };
    const auto bare = [&]() { return words.size() == 1 || fail(verb + " takes no arguments"); };

    bool ok = false;
    if (verb == "tool") {
        step.kind = YKEditStep::kTool;
        std::string name;
        for (size_t i = 1; i < words.size(); ++i) {
            name += (i > 1 ? " " : "") + words[i];
        }
        step.number = YKToolState::ToolIDForName(name.c_str());
        if (step.number < 0 && words.size() == 2) {
            Integer(words[1], 0, YKToolState::kToolCount - 1, &step.number);
        }
        ok = step.number >= 0 ||
             fail(name.empty() ? "tool takes an id or a name" : "no tool \"" + name + "\"");
    } else if (verb == "down") {
        step.kind = YKEditStep::kDown;
        step.number = 1;
        ok = points(2) && options(3, "clicks");
    } else if (verb == "move" || verb == "up") {
        step.kind = verb == "move" ? YKEditStep::kMove : YKEditStep::kUp;
        ok = points(2) && (words.size() == 3 || fail(verb + " takes X Y"));
    } else if (verb == "drag") {
        step.kind = YKEditStep::kDrag;
        step.number = 4;
        ok = points(4) && options(5, "steps");
    } else if (verb == "key") {
        step.kind = YKEditStep::kKey;
        if (words.size() < 2) {
            return fail("key takes a text or a key name");
        }
        step.bytes = words[1];
        for (const KeyName& key : kKeys) {
            if (Lower(words[1]) == key.name) {
                step.bytes = std::string(1, key.byte);
            }
        }
        ok = options(2, nullptr);
    } else if (verb == "drop") {
        step.kind = YKEditStep::kDrop;
        if (words.size() != 4) {
            return fail("drop takes FILE X Y");
        }
        step.bytes = words[1];
        words.erase(words.begin() + 1);
        ok = points(2);
    } else if (verb == "finish" || verb == "undo" || verb == "redo") {
        step.kind = verb == "finish" ? YKEditStep::kFinish
                    : verb == "undo" ? YKEditStep::kUndo
                                     : YKEditStep::kRedo;
        ok = bare();
    } else if (verb == "frame") {
        step.kind = YKEditStep::kFrame;
        ok = (words.size() == 2 && Integer(words[1], 1, 1 << 30, &step.number)) ||
             fail("frame takes a frame number from 1");
    } else {
        return fail("unknown word \"" + words[0] + "\"");
    }
    if (ok) {
        mSteps.push_back(std::move(step));
    }
    return ok;
}

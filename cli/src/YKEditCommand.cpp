#include "YKEditCommand.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "YKCliDocument.h"
#include "YKCliReport.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEditScript.h"
#include "YKEnvelopManager.h"
#include "YKEventListener.h"
#include "YKEventManager.h"
#include "YKMessage.h"
#include "YKToolState.h"
#include "YKViewerLayer.h"

namespace {

// Scripts are short; a larger file is refused before it is read.
constexpr std::streamoff kMaxScriptBytes = 16 << 20;

bool ReadScript(const char* path, std::string* text, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot be read";
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kMaxScriptBytes) {
        *error = size < 0 ? "cannot be read" : "is larger than 16 MB";
        return false;
    }
    file.seekg(0);
    std::ostringstream contents;
    contents << file.rdbuf();
    *text = contents.str();
    return true;
}

}  // namespace

int YKEditCommand::Run(int argc, char** argv) {
    const char* path = nullptr;
    const char* scriptPath = nullptr;
    const char* output = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
            scriptPath = argv[++i];
        } else if (path == nullptr && argv[i][0] != '-') {
            path = argv[i];
        } else {
            std::fprintf(mErr, "gravik-cli: edit: unexpected argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (path == nullptr || scriptPath == nullptr || output == nullptr) {
        std::fputs("gravik-cli: edit takes DOC.gr --script FILE -o OUT.gr\n", mErr);
        return 2;
    }
    std::string text;
    std::string error;
    YKEditScript script;
    if (!ReadScript(scriptPath, &text, &error) || !script.Parse(text, &error)) {
        YKCliError(scriptPath, error);
        return 1;
    }
    YKDispatcher dispatcher;
    YKDocument* document = YKOpenForCommand(path, &dispatcher);
    if (document == nullptr) {
        return 1;
    }
    if (!Replay(document, script, &error)) {
        YKCliError(scriptPath, error);
        return 1;
    }
    if (!document->SaveInto(output, false, &error)) {
        YKCliError(output, error);
        return 1;
    }
    std::fprintf(mOut, "%s\n", output);
    return 0;
}

bool YKEditCommand::Replay(YKDocument* document, const YKEditScript& script, std::string* error) {
    YKToolState tools;
    YKEventListener listener;
    YKEventManager events(document, &tools, &listener);
    for (const YKEditStep& step : script.Steps()) {
        const auto fail = [&](const std::string& reason) {
            *error = "line " + std::to_string(step.line) + ": " + reason;
            return false;
        };
        switch (step.kind) {
            case YKEditStep::kTool:
                if (!tools.SetSelectedTool(step.number)) {
                    return fail("the tool cannot change while an object is being drawn");
                }
                break;
            case YKEditStep::kDown:
                events.MouseDown(step.from, 1, step.number, step.modifiers);
                break;
            case YKEditStep::kMove:
                events.MouseMoved(step.from, events.IsMouseDown() ? 1 : 0);
                break;
            case YKEditStep::kUp:
                events.MouseUp(step.from);
                break;
            case YKEditStep::kDrag:
                events.MouseDown(step.from, 1, 1, step.modifiers);
                for (int32 i = 1; i <= step.number; ++i) {
                    const double t = static_cast<double>(i) / step.number;
                    events.MouseMoved({step.from.x + (step.to.x - step.from.x) * t,
                                       step.from.y + (step.to.y - step.from.y) * t},
                                      1);
                }
                events.MouseUp(step.to);
                break;
            case YKEditStep::kKey: {
                const auto count = static_cast<uint32>(step.bytes.size());
                events.KeyDown(step.bytes.data(), count, step.modifiers);
                events.KeyUp(step.bytes.data(), count, step.modifiers);
                break;
            }
            case YKEditStep::kDrop: {
                if (events.IsMouseDown() || events.ObjectInProgress() != nullptr) {
                    return fail("a drop waits until the mouse is up and drawing ends");
                }
                YKMessage dropped('DATA');
                dropped.AddString(YKEventManager::kDroppedFiles, step.bytes.c_str());
                events.RefDropped(&dropped, step.from);
                break;
            }
            case YKEditStep::kFinish:
                events.FinishObject();
                break;
            case YKEditStep::kUndo:
            case YKEditStep::kRedo:
                if (events.IsMouseDown() || events.ObjectInProgress() != nullptr) {
                    return fail("undo and redo wait until the mouse is up and drawing ends");
                }
                if (step.kind == YKEditStep::kUndo) {
                    document->UndoManager()->UndoLast();
                } else {
                    document->UndoManager()->RedoLast();
                }
                break;
            case YKEditStep::kFrame: {
                YKEnvelopManager* envelopes = document->EnvelopManager();
                if (step.number > envelopes->MaxFrame()) {
                    return fail("frame " + std::to_string(step.number) + " is outside 1 to " +
                                std::to_string(envelopes->MaxFrame()));
                }
                YKViewerLayer* viewer = document->ViewerLayer();
                viewer->LockHirarchy();
                const int32 previous = envelopes->CurrentFrame();
                envelopes->SetCurrentFrame(step.number);
                viewer->SwitchToFrame(previous);
                viewer->UnlockHirarchy();
                break;
            }
        }
    }
    // Leaving, the event manager finishes a gesture or a drawing the script left open.
    return true;
}

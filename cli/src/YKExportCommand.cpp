#include "YKExportCommand.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "YKCliDocument.h"
#include "YKCliReport.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKExportArguments.h"
#include "YKExportOptions.h"
#include "YKExportReport.h"
#include "YKExportRun.h"
#include "YKExportWriterChoice.h"
#include "YKProgressBar.h"
#include "YKRasterIO.h"
#include "YKRasterIOView.h"
#include "YKStdoutAside.h"

namespace {

// The shell's status for a command ended by Ctrl-C.
constexpr int kInterrupted = 130;

volatile std::sig_atomic_t gInterrupted = 0;

void Interrupt(int) {
    gInterrupted = 1;
}

// While it lives, Ctrl-C asks the export to stop instead of ending the process, so that the
// writer can remove what it began.
class InterruptCatcher {
public:
    InterruptCatcher() {
        gInterrupted = 0;
        struct sigaction action = {};
        action.sa_handler = Interrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &mPrevious);
        // A background job of a script ignores Ctrl-C, and so stays.
        if (mPrevious.sa_handler == SIG_IGN) {
            sigaction(SIGINT, &mPrevious, nullptr);
        }
    }
    ~InterruptCatcher() { sigaction(SIGINT, &mPrevious, nullptr); }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
    struct sigaction mPrevious = {};
};

std::string RangeText(int32 first, int32 last) {
    return first == last ? "frame " + std::to_string(first)
                         : "frames " + std::to_string(first) + "-" + std::to_string(last);
}

int Interrupted(const std::string& output) {
    YKCliError(output, "interrupted; nothing written");
    return kInterrupted;
}

int64 FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<int64>(size);
}

}  // namespace

int YKExportCommand::Run(int argc, char** argv) {
    YKExportArguments arguments;
    std::string error;
    if (!arguments.Parse(argc, argv, &error)) {
        std::fprintf(mErr, "gravik-cli: export: %s\n", error.c_str());
        return 2;
    }
    // Ctrl-C from here on ends the command between its stages, or cancels the export.
    InterruptCatcher catcher;
    // The loaders' and writers' diagnostics go to stderr; stdout tells what was written.
    YKStdoutAside aside;
    mOut = aside.Stream();

    YKDispatcher dispatcher;
    YKDocument* document = YKOpenForCommand(arguments.input.c_str(), &dispatcher);
    if (document == nullptr) {
        return 1;
    }
    if (gInterrupted != 0) {
        return Interrupted(arguments.output);
    }
    const int32 frames = document->EnvelopManager()->MaxFrame();
    const int32 first = arguments.frame > 0 ? arguments.frame : arguments.first;
    const int32 last = arguments.frame > 0 ? arguments.frame : arguments.last;
    if (first > 0 && last > frames) {
        YKCliError(arguments.input, RangeText(first, last) + " out of range: the document has " +
                                        std::to_string(frames) + " frame" +
                                        (frames == 1 ? "" : "s"));
        return 2;
    }

    YKExportWriter writer;
    const bool oneFrame = arguments.OneFrameAsked() || (first == 0 && frames == 1);
    if (!YKChooseExportWriter(arguments.format, arguments.output, oneFrame, &writer, &error)) {
        std::fprintf(mErr, "gravik-cli: export: %s\n", error.c_str());
        return 2;
    }
    const int32 frame = first > 0 ? first : 1;
    YKRasterIOView view(writer.still, writer.animation, document, frame, nullptr,
                        arguments.output.c_str());
    // A range given replaces the one the document remembers; it was checked above.
    if (writer.animation != nullptr && first > 0) {
        view.SetFrameRange(first, last);
    }
    if (!YKApplyExportOptions(arguments, &view, &error)) {
        std::fprintf(mErr, "gravik-cli: export: %s\n", error.c_str());
        return 2;
    }
    const int32 exportedFirst = view.IsAnimation() ? view.FirstFrame() : view.Frame();
    const int32 exportedLast = view.IsAnimation() ? view.LastFrame() : view.Frame();
    return arguments.estimate ? Estimate(arguments, &view, exportedFirst, exportedLast)
                              : Export(arguments, &view, exportedFirst, exportedLast);
}

int YKExportCommand::Estimate(const YKExportArguments& arguments, YKRasterIOView* view, int32 first,
                              int32 last) {
    const auto start = std::chrono::steady_clock::now();
    YKExportReport report;
    report.format = view->IO()->MenuName();
    report.first = first;
    report.last = last;
    report.estimated = true;
    report.bytes = view->UpdateSize();
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    report.estimateText = "Estimated File Size : " + view->EstimateText();
    if (gInterrupted != 0) {
        return Interrupted(arguments.output);
    }
    if (report.bytes < 0) {
        YKCliError(arguments.output, "the size cannot be estimated: the writer failed");
        return 1;
    }
    report.Print(mOut, arguments.json);
    return 0;
}

int YKExportCommand::Export(const YKExportArguments& arguments, YKRasterIOView* view, int32 first,
                            int32 last) {
    YKProgressBar bar(mErr);
    YKExportRun run({view}, [&bar](const YKExportRun::Event& event) {
        bar.Show(event.step, event.stepCount, event.text);
    });
    const auto start = std::chrono::steady_clock::now();
    run.Start();
    while (!run.Finished()) {
        if (gInterrupted != 0) {
            run.Cancel();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const bool written = run.Wait();
    bar.Clear();
    if (!written && gInterrupted != 0) {
        return Interrupted(arguments.output);
    }
    if (!written) {
        YKCliError(arguments.output, run.Error());
        return 1;
    }
    YKExportReport report;
    report.format = view->IO()->MenuName();
    report.first = first;
    report.last = last;
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const std::string& path : run.Written()) {
        report.files.push_back({path, FileSize(path)});
    }
    report.Print(mOut, arguments.json);
    return 0;
}

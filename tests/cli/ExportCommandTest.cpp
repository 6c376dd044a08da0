// gravik-cli export, run as a user runs it: which writer, which options, and what is left on disk
// when an export cannot finish.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "CliTest.h"
#include "IndexedGif.h"
#include "PixelAt.h"
#include "YKPngIO.h"
#include "YKRaster.h"
#include "YKRasterAnimFile.h"
#include "YKRasterFilters.h"

namespace {

namespace fs = std::filesystem;

// Whether the process has a handler for SIGINT, from the caught-signal mask in its status.
bool CatchesInterrupt(pid_t process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigCgt:")) {
            return (std::stoull(line.substr(7), nullptr, 16) & (1u << (SIGINT - 1))) != 0;
        }
    }
    return false;
}

class ExportCommand : public CliTest {
protected:
    // A document of three 16 x 16 frames of noise in four colours.
    void SetUp() override {
        CliTest::SetUp();
        mDocument = MakeNoiseDocument("noise", 16, 3);
    }

    std::string MakeNoiseDocument(const std::string& name, int32 side, int32 frames) {
        std::mt19937 random(7);
        const fs::path gif = mDir / (name + ".in.gif");
        WriteIndexedGif(gif.string(), side, side, std::vector<int32>(frames, 10),
                        [&random](int32, size_t) { return random(); });
        const std::string document = (mDir / (name + ".gr")).string();
        const CliResult converted = Run("convert " + gif.string() + " -o " + document);
        EXPECT_EQ(converted.status, 0) << converted.err;
        return document;
    }

    CliResult Export(const std::string& arguments) const {
        return Run("export " + mDocument + " " + arguments);
    }

    static int32 FramesOf(const fs::path& gif) {
        return YKRasterAnimFile(gif.c_str(), false).CountFrames();
    }

    std::string mDocument;
};

TEST_F(ExportCommand, ChoosesTheWriterByFramesExtensionOrName) {
    // A range to ".gif" is an animation, printed with its size; stderr stays empty off a terminal.
    CliResult r = Export("-o " + mTemp.PathOf("all.gif"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, mTemp.PathOf("all.gif") + "\t" +
                         std::to_string(fs::file_size(mDir / "all.gif")) + " bytes\n");
    EXPECT_EQ(FramesOf(mDir / "all.gif"), 3);

    r = Export("--frames 2-3 --format gif -o " + mTemp.PathOf("two.anim"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FramesOf(mDir / "two.anim"), 2);
    r = Export("--frame 3 --format 'animated gif' -o " + mTemp.PathOf("one.gif"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FramesOf(mDir / "one.gif"), 1);

    // One frame to ".png" is the still image of that frame, as `render` draws it.
    ASSERT_EQ(Export("--frame 2 -o " + mTemp.PathOf("two.png")).status, 0);
    ASSERT_EQ(Run("render " + mDocument + " --frame 2 -o " + mTemp.PathOf("ref.png")).status, 0);
    std::string error;
    const std::unique_ptr<YKRaster> exported(
        YKPngIO::Read(mTemp.PathOf("two.png").c_str(), &error));
    const std::unique_ptr<YKRaster> rendered(
        YKPngIO::Read(mTemp.PathOf("ref.png").c_str(), &error));
    ASSERT_TRUE(exported != nullptr && rendered != nullptr) << error;
    for (int32 i = 0; i < 16 * 16; ++i) {
        ASSERT_EQ(PixelAt(*exported, i % 16, i / 16), PixelAt(*rendered, i % 16, i / 16)) << i;
    }

    // A still writer named for a range, an unknown name, no extension: one line, status 2.
    r = Export("--format PNG -o " + mTemp.PathOf("x.png"));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "gravik-cli: export: PNG writes single images; give --frame N\n");
    EXPECT_EQ(Export("--format nosuch -o " + mTemp.PathOf("x.png")).status, 2);
    EXPECT_EQ(Export("-o " + mTemp.PathOf("noextension")).status, 2);
    r = Export("--frames 2-4 -o " + mTemp.PathOf("x.gif"));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "gravik-cli: " + mDocument +
                         ": frames 2-4 out of range: the document has 3 frames\n");
    EXPECT_FALSE(fs::exists(mDir / "x.png") || fs::exists(mDir / "x.gif"));
}

// The animation writers beyond GIF, where they are registered: a range to their extension
// goes to them, and every file they make is listed with its size.
TEST_F(ExportCommand, RangeGoesToTheAnimationWriterOfTheExtension) {
    int32 tried = 0;
    for (const char* extension : {".png", ".webp", ".html"}) {
        const YKRasterFilters* registry = YKRasterFilters::Instantiate();
        int32 id = 0;
        if (!registry->WriterIdForExtension(extension, YKRasterIO::kWritesAnimations, &id)) {
            continue;
        }
        SCOPED_TRACE(extension);
        ++tried;
        const CliResult r = Export("--json -o " + mTemp.PathOf(std::string("anim") + extension));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(
            r.out.rfind(
                std::string("{\"format\":\"") + registry->FilterForId(id)->MenuName() + "\"", 0),
            0u)
            << r.out;
        int32 files = 0;
        const std::string key = "\"path\":\"";
        for (size_t at = r.out.find(key); at != std::string::npos; at = r.out.find(key, at + 1)) {
            const size_t start = at + key.size();
            const std::string path = r.out.substr(start, r.out.find('"', start) - start);
            const size_t bytes = r.out.find("\"bytes\":", start) + 8;
            EXPECT_EQ(fs::file_size(path), std::stoull(r.out.substr(bytes))) << path;
            ++files;
        }
        EXPECT_GE(files, 1);
    }
    if (tried == 0) {
        GTEST_SKIP() << "no animation writer for .png, .webp or .html is registered";
    }
}

TEST_F(ExportCommand, OptionsReachTheWriter) {
    const std::string gif = mTemp.PathOf("opt.gif");
    ASSERT_EQ(Export("--colors 2 --loop 3 -o " + gif).status, 0);
    const std::string bytes = ReadBytes(gif);
    EXPECT_EQ(bytes[10] & 7, 0) << "a global palette of two colours";
    const size_t loop = bytes.find("NETSCAPE2.0");
    ASSERT_NE(loop, std::string::npos);
    EXPECT_EQ(bytes.substr(loop + 11, 4), std::string("\x03\x01\x03\x00", 4));

    // The quality reaches JPEG through --quality and --option alike.
    ASSERT_EQ(Export("--frame 1 --quality 5 -o " + mTemp.PathOf("low.jpg")).status, 0);
    ASSERT_EQ(Export("--frame 1 --option jpeg_quality=95 -o " + mTemp.PathOf("high.jpg")).status,
              0);
    EXPECT_LT(fs::file_size(mDir / "low.jpg"), fs::file_size(mDir / "high.jpg"));

    // A colour shorthand asks an animated WebP for its palette; webp_palette=false still wins.
    ASSERT_EQ(Export("-o " + mTemp.PathOf("true.webp")).status, 0);
    ASSERT_EQ(Export("--colors 2 -o " + mTemp.PathOf("two.webp")).status, 0);
    ASSERT_EQ(
        Export("--colors 2 --option webp_palette=false -o " + mTemp.PathOf("kept.webp")).status, 0);
    EXPECT_LT(fs::file_size(mDir / "two.webp"), fs::file_size(mDir / "true.webp"));
    EXPECT_EQ(ReadBytes(mTemp.PathOf("kept.webp")), ReadBytes(mTemp.PathOf("true.webp")));

    // Each bad option is one line naming it, status 2, and no file.
    const struct {
        const char* arguments;
        const char* message;
    } kBad[] = {
        {"--option jpeg_quality=50",
         "--option jpeg_quality=50: Animated GIF has no option \"jpeg_quality\"; it reads "
         "ra_back_col, ra_interlace, ra_nb_colors"},
        {"--colors 257", "--colors 257: not an integer from 2 to 256"},
        {"--loop -1", "--loop -1: not an integer from 0 to 65535"},
        {"--option gif_use_speed=yes", "--option gif_use_speed=yes: not true, false, 1 or 0"},
        {"--quality 50", "--quality 50: Animated GIF has no quality option"},
        {"--palette web-safe --quantizer neural",
         "--quantizer neural: cannot do the chosen palette"},
        {"--palette vapour", "--palette vapour: no such palette; there are Adaptive, Web-safe"},
        {"--background 00FF00", "bad colour \"00FF00\" (expected RRGGBBAA)"},
    };
    for (const auto& bad : kBad) {
        const CliResult r = Export(std::string(bad.arguments) + " -o " + mTemp.PathOf("bad.gif"));
        EXPECT_EQ(r.status, 2) << bad.arguments;
        EXPECT_EQ(r.err.rfind(std::string("gravik-cli: export: ") + bad.message, 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
    EXPECT_FALSE(fs::exists(mDir / "bad.gif"));
}

TEST_F(ExportCommand, EstimateIsTheSizeOfTheExportAndWritesNothing) {
    // A shipped palette file, found beside the program.
    const std::string options = "--frames 1-2 --palette SEPIA --dither --json -o ";
    const CliResult estimate = Export(options + mTemp.PathOf("e.gif") + " --estimate");
    ASSERT_EQ(estimate.status, 0) << estimate.err;
    EXPECT_FALSE(fs::exists(mDir / "e.gif"));
    const CliResult written = Export(options + mTemp.PathOf("e.gif"));
    ASSERT_EQ(written.status, 0) << written.err;
    const std::string size = std::to_string(fs::file_size(mDir / "e.gif"));
    const std::string head =
        "{\"format\":\"Animated GIF\",\"frames\":{\"first\":1,\"last\":2,\"count\":2},";
    EXPECT_EQ(estimate.out.rfind(head + "\"estimated_bytes\":" + size + ",\"seconds\":", 0), 0u)
        << estimate.out;
    EXPECT_EQ(written.out.rfind(head + "\"files\":[{\"path\":\"" + mTemp.PathOf("e.gif") +
                                    "\",\"bytes\":" + size + "}],\"seconds\":",
                                0),
              0u)
        << written.out;
}

TEST_F(ExportCommand, FailedWriteLeavesTheOldFileAndNoPartialOne) {
    const std::string big = MakeNoiseDocument("big", 96, 4);
    const std::string target = mTemp.PathOf("good.gif");
    ASSERT_EQ(Run("export " + mDocument + " -o " + target).status, 0);
    const std::string before = ReadBytes(target);
    // 8 blocks of 512 bytes: far less than the noise needs.
    const std::string limited = "sh -c 'ulimit -f 8; exec " + mProgram + " export " + big;
    mProgram = limited;
    CliResult r = Run("-o " + target + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("gravik-cli: " + target + ": ", 0), 0u) << r.err;
    EXPECT_EQ(ReadBytes(target), before);
    r = Run("-o " + mTemp.PathOf("new.gif") + "'");
    EXPECT_EQ(r.status, 1);
    mProgram = GRAVIK_CLI;
    fs::create_directory(mDir / "folder.gif");
    EXPECT_EQ(Run("export " + big + " -o " + mTemp.PathOf("folder.gif")).status, 1);
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(mDir)) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"noise.in.gif", "noise.gr", "big.in.gif", "big.gr",
                                            "good.gif", "folder.gif", "stdout", "stderr"}));
}

TEST_F(ExportCommand, InterruptCancelsAndLeavesNoFile) {
    const std::string big = MakeNoiseDocument("slow", 200, 40);
    const std::string target = mTemp.PathOf("slow.gif");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(GRAVIK_CLI, GRAVIK_CLI, "export", big.c_str(), "--quantizer", "neural", "--dither",
              "-o", target.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Once the command catches Ctrl-C (a slow start under sanitizers must not count), and a
    // little later, when the export is under way.
    for (int tries = 0; tries < 1000 && !CatchesInterrupt(child); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal instead of cancelling";
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(ExportCommand, ProgressLineOnATerminalOnly) {
    // `script` gives the command a terminal; its progress is redrawn in place and cleared.
    const std::string out = mTemp.PathOf("tty.gif");
    mProgram = "script -qec '" + std::string(GRAVIK_CLI);
    const CliResult r = Run("export " + mDocument + " -o " + out + "' /dev/null");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\r[#"), std::string::npos) << r.out;
    const size_t cleared = r.out.rfind("\r" + std::string(40, ' '));
    ASSERT_NE(cleared, std::string::npos);
    EXPECT_NE(r.out.find("\r" + out + "\t", cleared), std::string::npos) << r.out;
}

}  // namespace

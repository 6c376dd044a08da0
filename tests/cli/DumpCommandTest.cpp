#include "CliTest.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "YKMessage.h"
#include "YKMsgFile.h"

namespace {

namespace fs = std::filesystem;

class DumpCommand : public CliTest {
protected:
    // A file of three records: small plain ones and a large compressible one in the middle.
    fs::path WriteSample() {
        const fs::path path = mDir / "sample.gr";
        YKMsgFile file;
        EXPECT_TRUE(file.Open(path.c_str(), EYKBinOpenMode(1)));
        YKMessage version('grdv');
        version.AddInt32("vers", 101);
        YKMessage document('edoc');
        document.AddString("YKD:name", "Banner \"one\"");
        document.AddRect("YKD:frame", {0, 0, 467, 59});
        for (int i = 0; i < 2000; ++i) {
            document.AddInt32("YKD:ids", i % 7);
        }
        YKMessage layer('layr');
        layer.AddString("Class", "YKUserLayer");
        layer.AddBool("YKL:hidden", false);
        document.AddMessage("YKL:Child", &layer);
        YKMessage last('last');
        last.AddDouble("d", 0.5);
        EXPECT_TRUE(file.PutMessage(&version));
        EXPECT_TRUE(file.PutMessage(&document));
        EXPECT_TRUE(file.PutMessage(&last));
        file.Close();
        return path;
    }
};

TEST_F(DumpCommand, PrintsHeaderAndEveryMessageWithNesting) {
    const CliResult r = Run("dump " + WriteSample().string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("signature 'gRvk', version 101, flags 0x31 (packed), 3 messages"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("message 'grdv', 1 field\n  \"vers\" int32 = 101\n"), std::string::npos);
    EXPECT_NE(r.out.find("\"YKD:name\" string = \"Banner \\\"one\\\"\""), std::string::npos);
    EXPECT_NE(r.out.find("\"YKD:frame\" rect = (0, 0, 467, 59)"), std::string::npos);
    EXPECT_NE(r.out.find("\"YKD:ids\" int32[2000] = 0, 1, 2,"), std::string::npos);
    EXPECT_NE(r.out.find("  \"YKL:Child\" message:\n    message 'layr', 2 fields\n"
                         "      \"Class\" string = \"YKUserLayer\"\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("record 3 at offset"), std::string::npos);
}

TEST_F(DumpCommand, DamagedRecordFailsAfterPrintingTheOnesBeforeIt) {
    const fs::path path = WriteSample();
    // Cut the last record in half: the header still counts three.
    fs::resize_file(path, fs::file_size(path) - 20);
    const CliResult r = Run("dump " + path.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("message 'grdv'"), std::string::npos);
    EXPECT_NE(r.out.find("message 'edoc'"), std::string::npos);
    EXPECT_EQ(r.out.find("message 'last'"), std::string::npos);
    EXPECT_NE(r.err.find("record 3 of 3"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
}

TEST_F(DumpCommand, FilesThatAreNotContainersGiveOneLineErrors) {
    const fs::path text = mDir / "notes.txt";
    WriteBytes(text, "just some text, long enough to fill a header");
    CliResult r = Run("dump " + text.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a Gravik message file"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_EQ(r.out, "");

    r = Run("dump " + (mDir / "missing.gr").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "gravik-cli: " + (mDir / "missing.gr").string() + ": No such file or directory\n");
}

}  // namespace

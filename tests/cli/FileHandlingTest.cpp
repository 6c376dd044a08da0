// gravik-cli against hostile paths: what it reads, what it writes over, what it prints.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CliTest.h"
#include "YKMessage.h"
#include "YKMsgFile.h"

namespace {

namespace fs = std::filesystem;

size_t Lines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

void WriteMessages(const fs::path& path, const std::vector<YKMessage>& messages) {
    YKMsgFile file;
    ASSERT_TRUE(file.Open(path.c_str(), EYKBinOpenMode(1)));
    for (const YKMessage& message : messages) {
        ASSERT_TRUE(file.PutMessage(&message));
    }
    file.Close();
}

YKMessage Version(int32 number) {
    YKMessage version('grdv');
    version.AddInt32("vers", number);
    return version;
}

std::string BigEndian(uint32 value) {
    std::string bytes;
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes += static_cast<char>(value >> shift);
    }
    return bytes;
}

std::string PngChunk(const std::string& typeAndData) {
    uint32 crc = 0xFFFFFFFF;
    for (const char c : typeAndData) {
        crc ^= static_cast<uint8>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
    }
    return BigEndian(static_cast<uint32>(typeAndData.size() - 4)) + typeAndData +
           BigEndian(crc ^ 0xFFFFFFFF);
}

// The start of a PNG claiming `side` x `side` pixels: its header and an empty data chunk.
std::string PngHeader(uint32 side) {
    return "\x89PNG\r\n\x1a\n" +
           PngChunk("IHDR" + BigEndian(side) + BigEndian(side) + std::string("\x08\x06\0\0\0", 5)) +
           PngChunk("IDAT");
}

class FileHandling : public CliTest {
protected:
    // A small document and a small PNG to read and to write.
    void SetUp() override {
        CliTest::SetUp();
        mDocument = (mDir / "doc.gr").string();
        ASSERT_EQ(Run("new --width 4 --height 4 -o " + mDocument).status, 0);
        mImage = (mDir / "image.png").string();
        ASSERT_EQ(Run("render " + mDocument + " -o " + mImage).status, 0);
    }

    std::string mDocument;
    std::string mImage;
};

// --- Reading ---

TEST_F(FileHandling, InputsThatDoNotLoadGiveOneLineWithTheReason) {
    const fs::path folder = mDir / "folder";
    fs::create_directory(folder);
    const fs::path fifo = mDir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    WriteBytes(mDir / "empty.gr", "");
    WriteBytes(mDir / "notes.txt", "just some text, long enough to fill a header");
    WriteBytes(mDir / "huge.png", PngHeader(30000));
    WriteMessages(mDir / "prefs", {YKMessage('pref')});
    WriteMessages(mDir / "old.gr", {Version(99), YKMessage('edoc')});
    WriteMessages(mDir / "alone.gr", {Version(101)});
    fs::copy_file(mDocument, mDir / "cut.gr");
    fs::resize_file(mDir / "cut.gr", fs::file_size(mDocument) - 20);

    const struct {
        std::string file;
        std::string reason;
    } cases[] = {
        {"missing.gr", "No such file or directory"},
        {"folder", "a folder"},
        {"fifo", "a FIFO, not a regular file"},
        {"empty.gr", "an empty file, not a Gravik document"},
        {"notes.txt", "not a Gravik document, nor an image of a known format"},
        {"huge.png", "PNG image of 30000 x 30000 pixels is too large (the limit is 32768"},
        {"prefs", "not a Gravik document (a Gravik message file of another kind)"},
        {"old.gr", "a Gravik document of version 99, which cannot be loaded"},
        {"alone.gr", "incomplete Gravik document"},
        {"cut.gr", "damaged at record 2 of 2 (offset "},
    };
    const std::string output = (mDir / "out").string();
    for (const auto& c : cases) {
        const std::string path = (mDir / c.file).string();
        for (const std::string& command :
             {"info " + path, "info --json " + path, "render " + path + " -o " + output + ".png",
              "convert " + path + " -o " + output + ".gr"}) {
            const CliResult r = Run(command);
            EXPECT_EQ(r.status, 1) << command;
            EXPECT_EQ(r.out, "") << command;
            EXPECT_EQ(r.err.rfind("gravik-cli: " + path + ": " + c.reason, 0), 0u)
                << command << "\n"
                << r.err;
            EXPECT_EQ(Lines(r.err), 1u) << command << "\n" << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(output + ".png") || fs::exists(output + ".gr"));
    const CliResult dump = Run("dump " + fifo.string());
    EXPECT_EQ(dump.err, "gravik-cli: " + fifo.string() + ": a FIFO, not a regular file\n");
}

TEST_F(FileHandling, InfoJsonIsJsonWhateverTheNamesHold) {
    // A layer named with a quote, a control character and a byte that is not UTF-8, whose
    // opacity envelope is damaged: loading it prints a diagnostic on the way.
    YKMessage bogus;
    bogus.AddString("Class", "Bogus");
    YKMessage layer;
    layer.AddString("Class", "YKUserLayer");
    layer.AddInt32("YKL:ID", 1);
    layer.AddMessage("YKCL:GlobalAlpha", &bogus);
    for (const char* field : {"YKCL:Name", "YKUL:name"}) {
        layer.AddString(field, "say \"\x01\xff\xc3\xa9\"");
    }
    YKMessage document('edoc');
    document.AddString("Class", "YKViewerLayer");
    document.AddMessage("YKL:Child", &layer);
    document.AddRect("YKD:Frame", {-2, -2, 1, 1});
    const fs::path file = mDir / "name\x02\xfe.gr";
    WriteMessages(file, {Version(101), document});

    const CliResult r = Run("info --json '" + file.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"name\":\"say \\\"\\u0001\\ufffd\xc3\xa9\\\"\""), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("{\"name\":\"name\\u0002\\ufffd.gr\""), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Bogus"), std::string::npos) << "diagnostics go to stderr: " << r.err;
    WriteBytes(mDir / "info.json", r.out);
    const std::string check =
        "python3 -m json.tool " + (mDir / "info.json").string() + " >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0) << r.out;
}

// --- Writing ---

// Every writer, with what its output starts with.
struct Writer {
    std::string name;
    std::string command;  // OUT stands for the output path
    std::string magic;
};

class Writers : public FileHandling {
protected:
    std::vector<Writer> All() const {
        return {{"new", "new --width 4 --height 4 -o OUT", "gRvk"},
                {"convert", "convert " + mImage + " -o OUT", "gRvk"},
                {"render", "render " + mDocument + " -o OUT", "\x89PNG"}};
    }
    CliResult Write(const Writer& writer, const fs::path& out) const {
        std::string command = writer.command;
        command.replace(command.find("OUT"), 3, out.string());
        return Run(command);
    }
};

TEST_F(Writers, SavingKeepsLinksModesAndOwnersOfWhatThePathNames) {
    for (const Writer& writer : All()) {
        SCOPED_TRACE(writer.name);
        const fs::path real = mDir / (writer.name + "-real");
        const fs::path link = mDir / (writer.name + "-link");
        const fs::path second = mDir / (writer.name + "-second");
        WriteBytes(real, "old");
        fs::create_symlink(real.filename(), link);
        fs::create_hard_link(real, second);
        ASSERT_EQ(chmod(real.c_str(), 0640), 0);
        // Left by a killed save (no process has that id), and one of a live process (init).
        const fs::path stale = real.string() + ".saving-999999999~";
        const fs::path live = real.string() + ".saving-1~";
        WriteBytes(stale, "stale");
        WriteBytes(live, "live");

        const CliResult r = Write(writer, link);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(ReadBytes(real).substr(0, writer.magic.size()), writer.magic);
        EXPECT_TRUE(fs::equivalent(real, second)) << "the hard link still names the file";
        EXPECT_EQ(ReadBytes(second).substr(0, writer.magic.size()), writer.magic);
        struct stat status;
        ASSERT_EQ(stat(real.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0640u);
        EXPECT_FALSE(fs::exists(stale));
        EXPECT_TRUE(fs::exists(live));

        // A single-link file is replaced whole, and keeps its mode too.
        fs::remove(second);
        ASSERT_EQ(Write(writer, real).status, 0);
        ASSERT_EQ(stat(real.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0640u);
        fs::remove(live);
        for (const fs::directory_entry& entry : fs::directory_iterator(mDir)) {
            EXPECT_EQ(entry.path().string().find(".saving-"), std::string::npos)
                << "left behind: " << entry.path();
        }
    }
}

TEST_F(Writers, DevicesAndFifosAreWrittenToNeverReplaced) {
    const fs::path fifo = mDir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A null device of our own: were it replaced, the machine's /dev/null would be left alone.
    const fs::path null = mDir / "null";
    const bool device =
        mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 && access(null.c_str(), W_OK) == 0;
    for (const Writer& writer : All()) {
        SCOPED_TRACE(writer.name);
        CliResult r;
        if (device) {
            r = Write(writer, null);
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_TRUE(fs::is_character_file(null));
        }

        r = Write(writer, fifo);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("gravik-cli: " + fifo.string() + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("a FIFO that nobody reads"), std::string::npos) << r.err;

        // With a reader the bytes arrive, through the FIFO.
        const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        r = Write(writer, fifo);
        EXPECT_EQ(r.status, 0) << r.err;
        std::string bytes(writer.magic.size(), '\0');
        EXPECT_EQ(read(reader, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        EXPECT_EQ(bytes, writer.magic);
        close(reader);
        EXPECT_TRUE(fs::is_fifo(fifo));

        // Paths that cannot be written fail with one line naming them and the reason.
        for (const auto& [bad, reason] :
             {std::pair{mDir, ""},
              std::pair{mDir / "no" / "such" / "dir", "No such file or directory"}}) {
            r = Write(writer, bad);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err.rfind("gravik-cli: " + bad.string() + ": ", 0), 0u) << r.err;
            EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
            EXPECT_EQ(Lines(r.err), 1u) << r.err;
        }
    }
}

}  // namespace

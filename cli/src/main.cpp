// gravik-cli: the headless Gravik tool.

#include <csignal>
#include <cstdio>
#include <cstring>

#include "YKConvertCommand.h"
#include "YKDocumentExport.h"
#include "YKDumpCommand.h"
#include "YKEditCommand.h"
#include "YKExportCommand.h"
#include "YKFilterCommand.h"
#include "YKFiltersCommand.h"
#include "YKFontsCommand.h"
#include "YKFormatsCommand.h"
#include "YKInfoCommand.h"
#include "YKNewCommand.h"
#include "YKRenderCommand.h"
#include "YKTranslatorIO.h"
#include "yk_allocator.h"

namespace {

const char kUsage[] =
    "usage: gravik-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  dump FILE     print the header and every message of a Gravik message file\n"
    "                (documents, preferences, templates)\n"
    "  info FILE [--json]\n"
    "                print a document's canvas, background, frames, id counters and\n"
    "                layer tree (as one JSON object with --json)\n"
    "  new --width W --height H [--background RRGGBBAA] [--name N] -o FILE\n"
    "                create a document of W x H pixels (at most 32768 per side and\n"
    "                268435456 in all) centred on the origin, on an opaque white\n"
    "                background unless given, and save it\n"
    "  render FILE [--frame N | --all] -o OUT.png\n"
    "                render frame N (default 1) as a PNG; --all writes every frame\n"
    "                as OUT_001.png, OUT_002.png, ...\n"
    "  convert IMAGE -o DOC.gr\n"
    "                open an image (PNG, GIF, BMP, TIFF, WebP, ...: see formats) as a\n"
    "                new document and save it; an animated GIF becomes an image\n"
    "                sequence, one frame per image\n"
    "  export FILE -o OUT [--format NAME|EXT] [--frame N | --frames A-B]\n"
    "         [--option KEY=VALUE]... [--colors N] [--palette NAME]\n"
    "         [--quantizer octree|neural|fixed] [--dither] [--loop N] [--quality Q]\n"
    "         [--interlace] [--background RRGGBBAA] [--html] [--estimate] [--json]\n"
    "                export a document through an image writer (animated GIF, PNG,\n"
    "                JPEG, roll-over page, ...: see formats), chosen by name or by\n"
    "                OUT's extension: one frame prefers a still image, a range an\n"
    "                animation; --option sets any field the writer reads, over the\n"
    "                options the document remembers; --estimate prints the size it\n"
    "                would have and writes nothing; for animated WebP, --colors,\n"
    "                --palette, --quantizer and --dither also set webp_palette (the\n"
    "                frames through one GIF-like palette: far smaller lossless files)\n"
    "  edit DOC.gr --script FILE -o OUT.gr\n"
    "                replay a script of tool choices, mouse and key events, undo and\n"
    "                redo on a document (see the README) and save the result; a bad\n"
    "                line is reported with its number and nothing is saved\n"
    "  formats [--json]\n"
    "                list the image formats: id, name, extensions, MIME type, what\n"
    "                they read and write, and the export options they read\n"
    "  filters [--json]\n"
    "                list the loaded filter plug-ins by category, with their\n"
    "                parameters (range, default)\n"
    "  filter IN OUT --name NAME [--param KEY=VALUE]... [--frame N]\n"
    "                run a filter over an image (edge pixels repeat beyond the\n"
    "                border) and write it in the format of OUT's extension\n"
    "  fonts [--json] [--rebuild]\n"
    "                list the installed font families and their styles, from the font\n"
    "                cache in the settings folder (made anew with --rebuild)\n"
    "\n"
    "Options:\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    yk_tune_allocator();
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "-h") == 0 || std::strcmp(command, "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(command, "--version") == 0) {
        std::printf("gravik-cli %s\n", GRAVIK_VERSION);
        return 0;
    }
    // A file-size limit then surfaces as a write error that leaves no partial file, instead of
    // killing the process halfway through a file.
    std::signal(SIGXFSZ, SIG_IGN);
    // Qt's image formats join the registry before any command looks for a format.
    YKTranslatorIO::RegisterAll();
    // Palette files join the writers' fixed palettes before any command exports.
    YKDocumentExport().LoadPalettes();
    if (std::strcmp(command, "dump") == 0) {
        if (argc != 3) {
            std::fputs("gravik-cli: dump takes exactly one FILE\n", stderr);
            return 2;
        }
        return YKDumpCommand(stdout).Run(argv[2]);
    }
    if (std::strcmp(command, "info") == 0) {
        return YKInfoCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "new") == 0) {
        return YKNewCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "render") == 0) {
        return YKRenderCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "convert") == 0) {
        return YKConvertCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "filters") == 0) {
        return YKFiltersCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "filter") == 0) {
        return YKFilterCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "export") == 0) {
        return YKExportCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "edit") == 0) {
        return YKEditCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "fonts") == 0) {
        return YKFontsCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "formats") == 0) {
        return YKFormatsCommand(stdout, stderr).Run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "gravik-cli: unknown command \"%s\" (see gravik-cli --help)\n", command);
    return 2;
}

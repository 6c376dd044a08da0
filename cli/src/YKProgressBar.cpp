#include "YKProgressBar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr size_t kBarWidth = 24;

// The terminal's width; 80 when it does not say. One column is kept free so that the line never
// wraps.
size_t Columns(int fd) {
    winsize size{};
    const size_t columns = ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    return columns - 1;
}

// `text` cut to `columns` characters of UTF-8 (never inside one), then padded with spaces.
std::string Fitted(const std::string& text, size_t columns) {
    std::string line;
    size_t used = 0;
    for (const char c : text) {
        const bool starts = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (starts && used == columns) {
            break;
        }
        used += starts ? 1 : 0;
        line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return line + std::string(columns - used, ' ');
}

}  // namespace

YKProgressBar::YKProgressBar(std::FILE* stream)
    : mStream(stream),
      mTerminal(isatty(fileno(stream)) == 1),
      mColumns(mTerminal ? Columns(fileno(stream)) : 0) {}

void YKProgressBar::Show(int32 step, int32 count, const std::string& text) {
    if (!mTerminal || count <= 0) {
        return;
    }
    const int32 shown = std::clamp(step, 0, count);
    const auto done = static_cast<size_t>(shown) * kBarWidth / count;
    std::string bar = "[";
    bar.append(done, '#');
    bar.append(kBarWidth - done, '-');
    bar += "] ";
    bar += std::to_string(shown);
    bar += '/';
    bar += std::to_string(count);
    bar += ' ';
    bar += text;
    std::fprintf(mStream, "\r%s", Fitted(bar, mColumns).c_str());
    std::fflush(mStream);
    mShown = true;
}

void YKProgressBar::Clear() {
    if (!mShown) {
        return;
    }
    std::fprintf(mStream, "\r%s\r", std::string(mColumns, ' ').c_str());
    std::fflush(mStream);
    mShown = false;
}

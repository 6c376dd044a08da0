#include "YKMessagePrinter.h"

#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cstring>

#include "YKMessage.h"

namespace {

// How many bytes of raw data are shown before the listing elides the rest.
constexpr ssize_t kShownDataBytes = 16;

// The shortest text that reads back as the same value.
template <typename T>
std::string Shortest(T value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

template <typename T>
T Read(const void* data) {
    T value;
    std::memcpy(static_cast<void*>(&value), data, sizeof(T));
    return value;
}

const char* TypeName(uint32 type) {
    switch (type) {
        case YK_BOOL_TYPE:
            return "bool";
        case YK_INT8_TYPE:
            return "int8";
        case YK_INT16_TYPE:
            return "int16";
        case YK_INT32_TYPE:
            return "int32";
        case YK_INT64_TYPE:
            return "int64";
        case YK_FLOAT_TYPE:
            return "float";
        case YK_DOUBLE_TYPE:
            return "double";
        case YK_STRING_TYPE:
            return "string";
        case YK_POINT_TYPE:
            return "point";
        case YK_RECT_TYPE:
            return "rect";
        case YK_COLOR_TYPE:
            return "color";
        case YK_POINTER_TYPE:
            return "pointer";
        case YK_MESSAGE_TYPE:
            return "message";
        default:
            return nullptr;
    }
}

}  // namespace

std::string YKMessagePrinter::CodeText(uint32 code) {
    const char bytes[4] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
    bool printable = true;
    for (char c : bytes) {
        printable = printable && std::isprint(static_cast<unsigned char>(c));
    }
    char text[16];
    if (printable) {
        std::snprintf(text, sizeof text, "'%.4s'", bytes);
    } else {
        std::snprintf(text, sizeof text, "0x%08" PRIx32, code);
    }
    return text;
}

void YKMessagePrinter::Indent(int depth) {
    std::fprintf(mStream, "%*s", 2 * depth, "");
}

void YKMessagePrinter::Print(const YKMessage& message, int depth) {
    const int32 count = message.CountNames();
    std::fprintf(mStream, "message %s, %" PRId32 " field%s\n", CodeText(message.what).c_str(),
                 count, count == 1 ? "" : "s");
    for (int32 i = 0; i < count; ++i) {
        PrintField(message, i, depth + 1);
    }
}

void YKMessagePrinter::PrintField(const YKMessage& message, int32 fieldIndex, int depth) {
    const char* name;
    uint32 type;
    int32 count;
    message.GetInfo(fieldIndex, &name, &type, &count);
    Indent(depth);
    const char* typeName = TypeName(type);
    std::fprintf(mStream, "\"%s\" ", name);
    if (typeName != nullptr) {
        std::fprintf(mStream, "%s", typeName);
    } else {
        std::fprintf(mStream, "data %s", CodeText(type).c_str());
    }
    if (count > 1) {
        std::fprintf(mStream, "[%" PRId32 "]", count);
    }
    if (type == YK_MESSAGE_TYPE) {
        std::fprintf(mStream, ":\n");
        for (int32 i = 0; i < count; ++i) {
            YKMessage nested;
            Indent(depth + 1);
            if (count > 1) {
                std::fprintf(mStream, "[%" PRId32 "] ", i);
            }
            if (message.FindMessage(name, i, &nested)) {
                Print(nested, depth + 1);
            } else {
                std::fprintf(mStream, "(unreadable)\n");
            }
        }
        return;
    }
    std::fprintf(mStream, " =");
    for (int32 i = 0; i < count; ++i) {
        const void* data;
        ssize_t size;
        message.FindData(name, type, i, &data, &size);
        std::fprintf(mStream, i == 0 ? " " : ", ");
        PrintValue(type, data, size);
    }
    std::fprintf(mStream, "\n");
}

void YKMessagePrinter::PrintValue(uint32 type, const void* data, ssize_t size) {
    switch (type) {
        case YK_BOOL_TYPE:
            std::fprintf(mStream, "%s", Read<uint8>(data) != 0 ? "true" : "false");
            return;
        case YK_INT8_TYPE:
            std::fprintf(mStream, "%d", int(Read<int8>(data)));
            return;
        case YK_INT16_TYPE:
            std::fprintf(mStream, "%d", int(Read<int16>(data)));
            return;
        case YK_INT32_TYPE:
            std::fprintf(mStream, "%" PRId32, Read<int32>(data));
            return;
        case YK_INT64_TYPE:
            std::fprintf(mStream, "%" PRId64, Read<int64>(data));
            return;
        case YK_FLOAT_TYPE:
            std::fprintf(mStream, "%s", Shortest(Read<float>(data)).c_str());
            return;
        case YK_DOUBLE_TYPE:
            std::fprintf(mStream, "%s", Shortest(Read<double>(data)).c_str());
            return;
        case YK_POINT_TYPE: {
            const auto p = Read<YKPoint<double>>(data);
            std::fprintf(mStream, "(%s, %s)", Shortest(p.x).c_str(), Shortest(p.y).c_str());
            return;
        }
        case YK_RECT_TYPE: {
            const auto r = Read<YKRect<int32>>(data);
            std::fprintf(mStream, "(%" PRId32 ", %" PRId32 ", %" PRId32 ", %" PRId32 ")", r.left,
                         r.top, r.right, r.bottom);
            return;
        }
        case YK_COLOR_TYPE: {
            const auto c = Read<yk_color>(data);
            std::fprintf(mStream, "rgba(%d, %d, %d, %d)", c.red, c.green, c.blue, c.alpha);
            return;
        }
        case YK_POINTER_TYPE:
            std::fprintf(mStream, "0x%" PRIx64, Read<uint64>(data));
            return;
        case YK_STRING_TYPE: {
            std::fputc('"', mStream);
            const auto* s = static_cast<const unsigned char*>(data);
            for (ssize_t i = 0; i + 1 < size; ++i) {
                if (s[i] == '"' || s[i] == '\\') {
                    std::fprintf(mStream, "\\%c", s[i]);
                } else if (std::isprint(s[i]) || s[i] >= 0x80) {
                    std::fputc(s[i], mStream);
                } else {
                    std::fprintf(mStream, "\\x%02x", s[i]);
                }
            }
            std::fputc('"', mStream);
            return;
        }
        default: {
            const auto* bytes = static_cast<const unsigned char*>(data);
            std::fprintf(mStream, "%zd bytes", size);
            for (ssize_t i = 0; i < size && i < kShownDataBytes; ++i) {
                std::fprintf(mStream, i == 0 ? ": %02x" : " %02x", bytes[i]);
            }
            if (size > kShownDataBytes) {
                std::fprintf(mStream, " ...");
            }
            return;
        }
    }
}

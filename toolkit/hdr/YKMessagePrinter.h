#pragma once

#include <cstdio>
#include <string>

#include "yk_types.h"

class YKMessage;

// Writes a readable listing of a message: its what code, then one line per field with its type
// and values; nested messages follow indented beneath their field.
class YKMessagePrinter {
public:
    explicit YKMessagePrinter(FILE* stream) : mStream(stream) {}

    void Print(const YKMessage& message, int depth = 0);

    // A what or type code as 'abcd' when its four bytes are printable, else as 0x hex.
    static std::string CodeText(uint32 code);

private:
    void PrintField(const YKMessage& message, int32 fieldIndex, int depth);
    void PrintValue(uint32 type, const void* data, ssize_t size);
    void Indent(int depth);

    FILE* mStream;
};

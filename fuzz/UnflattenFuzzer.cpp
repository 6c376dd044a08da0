// Feeds arbitrary bytes to YKMessage::Unflatten. Whatever it accepts must flatten back to the
// same bytes and survive a listing (which walks every nested message).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "YKMessage.h"
#include "YKMessagePrinter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    YKMessage message;
    if (!message.Unflatten(reinterpret_cast<const char*>(data), static_cast<ssize_t>(size))) {
        return 0;
    }
    const std::string flat = message.Flatten();
    if (flat.size() > size || std::memcmp(flat.data(), data, flat.size()) != 0) {
        std::abort();
    }
    static FILE* sink = std::fopen("/dev/null", "w");
    YKMessagePrinter(sink).Print(message);
    return 0;
}

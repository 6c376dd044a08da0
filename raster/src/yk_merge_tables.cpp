#include "yk_merge_tables.h"

namespace {

constexpr std::array<uint8, 65536> MakeMergeTables() {
    std::array<uint8, 65536> table{};
    for (uint32 colour = 0; colour < 256; ++colour) {
        for (uint32 alpha = 1; alpha < 256; ++alpha) {
            table[colour * 256 + alpha] = static_cast<uint8>(colour * 255 / alpha);
        }
    }
    return table;
}

}  // namespace

constinit const std::array<uint8, 65536> yk_merge_tables = MakeMergeTables();

#pragma once

// YKClipboard: the clipboard that cut, copy and paste go through. It holds entries of named
// types, each opaque bytes (a flattened message for copied objects). The desktop application
// installs one over the system clipboard; otherwise an in-process one serves.

#include <string>
#include <vector>

class YKClipboard {
public:
    // The type under which copied objects travel, one flattened layer archive per entry.
    static constexpr const char* kVectorClipType = "image/x-gravik-vector-clip";

    YKClipboard() = default;
    YKClipboard(const YKClipboard&) = delete;
    YKClipboard& operator=(const YKClipboard&) = delete;
    virtual ~YKClipboard() = default;

    // Replaces the whole contents with `entries` of `type`, as one change.
    virtual void SetEntries(const char* type, std::vector<std::string> entries) = 0;
    // The entries of `type` in the order they were put; empty when there are none.
    virtual std::vector<std::string> Entries(const char* type) const = 0;

    // The clipboard installed by the application, else the process's in-process one.
    static YKClipboard* Current();
    // Installs a clipboard (not owned); null goes back to the in-process one.
    static void SetCurrent(YKClipboard* clipboard);
};

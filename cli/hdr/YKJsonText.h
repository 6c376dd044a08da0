#pragma once

// Text for the JSON that gravik-cli prints.

#include <string>

// A JSON string literal, quotes included. Names come from files and plug-ins and may hold any
// bytes: one that is not part of well-formed UTF-8 becomes U+FFFD.
std::string YKJsonQuoted(const char* text);

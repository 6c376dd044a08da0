#pragma once

// Text that goes into a generated web page: a quote, an ampersand or an angle bracket in a file
// name or a link address must not end or bend the markup.

#include <string>

std::string YKHtmlEscaped(const std::string& text);

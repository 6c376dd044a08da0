#pragma once

// Sets the options of `gravik-cli export` in the export's view, over the options the document
// remembers for the format, so that the command line and the export window fill one message.

#include <string>

struct YKExportArguments;
class YKRasterIOView;

// Each option must be a field the format reads (or one every export reads: "ra_back_col",
// "ra_hasbackcol", "ra_do_html", "ra_link_url"), its value of the field's type and in its range.
// False with one line in `error` at the first that is not; the view may then hold some of them.
bool YKApplyExportOptions(const YKExportArguments& arguments, YKRasterIOView* view,
                          std::string* error);

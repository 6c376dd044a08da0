#pragma once

// YKJavaScriptGen: the text of a roll-over page: one image inside a link, whose script swaps
// the image while the pointer is over it.

#include <string>
#include <vector>

#include "yk_types.h"

// A mouse event of the page and the image it shows.
struct JSEvent {
    int32 defaultFlag = 0;  // 1: this event's image is the one the page shows first
    std::string name;       // only "onMouseOver" and "onMouseOut" get code in the page
    std::string file;       // the image's file name, as the page refers to it
};

class YKJavaScriptGen {
public:
    // `link` is the address the image links to; it is escaped for the page.
    explicit YKJavaScriptGen(std::string link = "#");

    // Appends; an event with the default flag makes its file the default image.
    void AddEvent(JSEvent event);
    // The whole page, built anew from the events added so far.
    const std::string& GetBuffer();

private:
    void DumpHeader();
    void DumpJSStart();
    void DumpImgDefs();
    void DumpFunctions();
    void DumpJSEnd();
    void DumpBody();

    std::string mLink;
    std::string mDefaultFile;
    std::vector<JSEvent> mEvents;
    std::string mBuffer;
};

// The roll-over page, piece by piece in the order a browser reads it.

#include "YKJavaScriptGen.h"

#include <utility>

#include "YKHtmlText.h"

namespace {

constexpr const char* kOver = "onMouseOver";
constexpr const char* kOut = "onMouseOut";

// An event without a name or a file has nothing to show.
bool Usable(const JSEvent& event) {
    return !event.name.empty() && !event.file.empty();
}

}  // namespace

YKJavaScriptGen::YKJavaScriptGen(std::string link) : mLink(YKHtmlEscaped(link)) {}

void YKJavaScriptGen::AddEvent(JSEvent event) {
    if (event.defaultFlag == 1) {
        mDefaultFile = event.file;
    }
    mEvents.push_back(std::move(event));
}

const std::string& YKJavaScriptGen::GetBuffer() {
    mBuffer.clear();
    DumpHeader();
    DumpJSStart();
    DumpImgDefs();
    DumpFunctions();
    DumpJSEnd();
    DumpBody();
    return mBuffer;
}

// --- Head ---

void YKJavaScriptGen::DumpHeader() {
    mBuffer += "<html>\n";
    mBuffer += "<head>\n";
    mBuffer += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n";
    mBuffer += "<title>Gravik javascript output</title>\n\n";
}

void YKJavaScriptGen::DumpJSStart() {
    mBuffer += "<script LANGUAGE=\"JavaScript\">\n";
    mBuffer += "<!-- Hide from Non JavaScript capable Browsers\n\n";
}

void YKJavaScriptGen::DumpImgDefs() {
    mBuffer +=
        "browser = (((navigator.appName == \"Netscape\") && (parseInt(navigator.appVersion) >= 3 "
        ")) || ((navigator.appName == \"Microsoft Internet Explorer\") && "
        "(parseInt(navigator.appVersion) >= 4 )))\n";
    mBuffer += "if (browser)\n{\nif (document.images) {\n";
    for (const JSEvent& event : mEvents) {
        if (!Usable(event)) {
            continue;
        }
        mBuffer += "// Image definition\n";
        // Preloaded, so that the first roll-over does not wait for the image.
        if (event.name == kOver) {
            mBuffer += "img1over = new Image();\n";
            mBuffer += "img1over.src = \"" + event.file + "\";\n";
        } else if (event.name == kOut) {
            mBuffer += "img1out = new Image();\n";
            mBuffer += "img1out.src = \"" + event.file + "\";\n";
        }
    }
    mBuffer += "}\n}\n\n";
}

void YKJavaScriptGen::DumpFunctions() {
    for (const JSEvent& event : mEvents) {
        if (!Usable(event)) {
            continue;
        }
        if (event.name == kOver) {
            mBuffer += "// Over event function code\n";
            mBuffer += "function YK_imgOver(imgName) {\n";
            mBuffer += "if (document.images) {\n";
            mBuffer += "document[imgName].src = eval(imgName + \"over.src\");\n";
            mBuffer += "}\n}\n\n";
        } else if (event.name == kOut) {
            mBuffer += "// Out event function code\n";
            mBuffer += "function YK_imgOut(imgName) {\n";
            mBuffer += "if (document.images) {\n";
            mBuffer += "document[imgName].src = eval(imgName + \"out.src\");\n";
            mBuffer += "}\n}\n\n";
        }
    }
}

void YKJavaScriptGen::DumpJSEnd() {
    mBuffer += "// Stop Hiding from non JavaScript Capable Browsers --> \n";
    mBuffer += "</script>\n";
    mBuffer += "</head>\n\n";
}

// --- Body: the link around the one image ---

void YKJavaScriptGen::DumpBody() {
    mBuffer += "<body>\n\n";
    mBuffer += "<!-- Http link, image declaration and default value. -->\n";
    mBuffer += "<a ";
    for (const JSEvent& event : mEvents) {
        if (!Usable(event)) {
            continue;
        }
        if (event.name == kOver) {
            mBuffer += std::string(kOver) + "=\"YK_imgOver('img1')\" ";
        } else if (event.name == kOut) {
            mBuffer += std::string(kOut) + "=\"YK_imgOut('img1')\" ";
        }
    }
    mBuffer += "href=\"" + mLink + "\"> <img NAME=\"img1\" src=\"" + mDefaultFile +
               "\" border=\"0\"></a>\n\n";
    mBuffer += "</body>\n";
    mBuffer += "</html>\n";
}

#pragma once

#include <cstdio>

class YKDispatcher;
class YKDocument;

// Opens a document file (or an image, as a new document) for a command. On failure prints the
// load error texts to `err` and returns null. An image that opened despite damage gets one
// warning line per fault on `err`. The dispatcher owns the document.
YKDocument* YKOpenForCommand(const char* path, YKDispatcher* dispatcher, FILE* err);

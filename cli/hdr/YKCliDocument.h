#pragma once

class YKDispatcher;
class YKDocument;

// Opens a document file (or an image, as a new document) for a command. On failure reports the
// real reason in one line (YKCliError): the file is missing, unreadable or no regular file, is
// empty, is no Gravik document, is damaged at a given record, holds an image too large, and so
// on. Returns null then. An image that opened despite damage gets one warning line per fault. The
// dispatcher owns the document.
YKDocument* YKOpenForCommand(const char* path, YKDispatcher* dispatcher);

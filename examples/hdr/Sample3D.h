#pragma once

class YKDispatcher;
class YKDocument;

// Builds the 3D sample as a new document of `dispatcher`, which owns it; null when the document
// cannot be made.
YKDocument* YKBuildSample3D(YKDispatcher* dispatcher);

#pragma once

class YKDispatcher;
class YKDocument;

// Builds the sample banner as a new document of `dispatcher`, which owns it; null when the
// document cannot be made.
YKDocument* YKBuildSampleBanner(YKDispatcher* dispatcher);

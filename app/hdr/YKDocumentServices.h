#pragma once

// YKDocumentServices: what a document asks of the application around it. The dispatcher of the
// desktop application implements it; the command line and the tests supply their own.

#include "YKRect.h"
#include "yk_types.h"

class YKDocument;
class YKDocumentView;
class YKMessage;

class YKDocumentServices {
public:
    // The panels that notifications from the layers are routed to.
    enum class Panel { kLayers, kObjects, kFiller, kToolBar };

    YKDocumentServices() = default;
    YKDocumentServices(const YKDocumentServices&) = delete;
    YKDocumentServices& operator=(const YKDocumentServices&) = delete;
    virtual ~YKDocumentServices() = default;

    // Takes a newly loaded document into the list of open documents (which then owns it).
    virtual void AddDocument(YKDocument* document) = 0;
    // Posts a message to the application ('grOs', 'grDd', 'wMen'); never waits.
    virtual void PostToApplication(const YKMessage& message) = 0;
    // A new document window for view `index`, placed at `frame` (screen coordinates); null
    // where there is no screen.
    virtual YKDocumentView* CreateDocumentWindow(YKDocument* document, int32 index,
                                                 YKRect<int32> frame, bool show) = 0;
    virtual YKRect<int32> ScreenFrame() const = 0;
    // Hands a notification to a panel, locked while it takes it; nothing when the panel does
    // not exist.
    virtual void DeliverToPanel(Panel panel, const YKMessage& message) = 0;
    // The preview mode the preferences give new and loaded documents (0, 1 or 2).
    virtual int32 PreferredPreviewMode() const = 0;
};

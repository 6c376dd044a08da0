#include "YKHandler.h"

#include "YKLooper.h"

YKHandler::YKHandler(const char* name) : mName(name != nullptr ? name : "") {}

YKHandler::~YKHandler() {
    if (YKLooper* looper = mLooper.load()) {
        looper->RemoveHandler(this);
    }
}

// Messages nobody handles are dropped.
void YKHandler::MessageReceived(YKMessage*) {}

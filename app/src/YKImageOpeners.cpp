#include "YKImageOpeners.h"

#include <mutex>
#include <vector>

namespace {

std::mutex gLock;

std::vector<YKImageOpener>& Openers() {
    static std::vector<YKImageOpener> openers;
    return openers;
}

}  // namespace

void YKImageOpeners::Register(YKImageOpener opener) {
    if (opener) {
        std::lock_guard<std::mutex> lock(gLock);
        Openers().push_back(std::move(opener));
    }
}

void YKImageOpeners::Clear() {
    std::lock_guard<std::mutex> lock(gLock);
    Openers().clear();
}

bool YKImageOpeners::Open(const char* path, YKOpenedImage* image) {
    std::vector<YKImageOpener> openers;
    {
        std::lock_guard<std::mutex> lock(gLock);
        openers = Openers();
    }
    for (const YKImageOpener& opener : openers) {
        if (opener(path, image)) {
            return true;
        }
    }
    return false;
}

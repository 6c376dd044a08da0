#include "YKToolContainer.h"

#include <utility>

YKToolContainer::YKToolContainer(int32 id, const char* type, NewLayer create, LoadLayer load)
    : mID(id), mCreate(std::move(create)), mLoad(std::move(load)) {
    SetType(type);
}

YKObjectLayer* YKToolContainer::GetNewObjectLayer(int32 id, const char* name) const {
    return name != nullptr ? mCreate(id, name) : nullptr;
}

YKObjectLayer* YKToolContainer::GetNewObjectLayer(const YKMessage* archive,
                                                  YKEnvelopManager* manager) const {
    return archive != nullptr ? mLoad(archive, manager) : nullptr;
}

void YKToolContainer::SetType(const char* type) {
    mHasType = type != nullptr;
    mType = mHasType ? type : "";
}

#include "YKUserLayer.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "YKMessage.h"

// Sections: construction and archive · name · per view · messages.

// --- Construction and archive ---

YKUserLayer::YKUserLayer(int32 id, const char* name) : YKCacheLayer(id, name) {
    if (name != nullptr) {
        mName = name;
    }
    TouchLayer(true);
}

YKUserLayer::YKUserLayer(const YKMessage* archive) : YKCacheLayer(archive, "YKUserLayer") {
    // The cache layer reported an archive of another class; this layer keeps its defaults too.
    if (IsArchiveOf(archive, "YKUserLayer")) {
        std::string name;
        if (archive->FindString("YKUL:name", &name)) {
            mName = std::move(name);
        }
        archive->FindInt32("YKUL:CopyNumber", &mCopyNumber);
        for (int32 view = 0; view < kViewCount; ++view) {
            archive->FindBool("YKUL:selected", view, &mSelected[view]);
            archive->FindBool("YKUL:hidden", view, &mHidden[view]);
        }
    }
    TouchLayer(true);
}

void YKUserLayer::Archive(YKMessage* message, bool deep) const {
    if (message == nullptr) {
        return;
    }
    YKCacheLayer::Archive(message, deep);
    SetArchiveClass(message, "YKUserLayer");
    if (mName.has_value()) {
        message->AddString("YKUL:name", *mName);
    }
    message->AddInt32("YKUL:CopyNumber", mCopyNumber);
    for (bool selected : mSelected) {
        message->AddBool("YKUL:selected", selected);
    }
    for (bool hidden : mHidden) {
        message->AddBool("YKUL:hidden", hidden);
    }
}

bool YKUserLayer::InheritsFrom(const char* className) const {
    return (className != nullptr && std::strcmp(className, "YKUserLayer") == 0) ||
           YKCacheLayer::InheritsFrom(className);
}

YKLayer* YKUserLayer::Replicate() const {
    YKMessage archive;
    Archive(&archive, true);
    auto* copy = new YKUserLayer(&archive);
    // The archive holds the children only as messages; the tree assignment copies them as
    // layers.
    static_cast<YKLayer&>(*copy) = *this;
    return copy;
}

// --- Name ---

void YKUserLayer::SetName(const char* name) {
    if (name == nullptr) {
        return;
    }
    mName = name;
    mCopyNumber = 0;
    BroadcastLayerMessage('lREN');
}

std::string YKUserLayer::GetFullName() const {
    std::string fullName = mName.has_value() ? *mName : "Unnamed";
    if (mCopyNumber == 1) {
        fullName += " copy";
    } else if (mCopyNumber != 0) {
        fullName += " copy " + std::to_string(mCopyNumber);
    }
    return fullName;
}

// --- Per view ---

void YKUserLayer::SetPerView(bool (&flags)[kViewCount], bool value, int32 view) {
    if (view == kAllViews) {
        std::fill(std::begin(flags), std::end(flags), value);
    } else if (view >= 0 && view < kViewCount) {
        flags[view] = value;
    }
}

bool YKUserLayer::AtView(const bool (&flags)[kViewCount], int32 view) {
    return view >= 0 && view < kViewCount && flags[view];
}

bool YKUserLayer::IsUserLayerSelected(int32 view) const {
    return AtView(mSelected, view);
}

bool YKUserLayer::IsUserLayerHidden(int32 view) const {
    return AtView(mHidden, view);
}

bool YKUserLayer::IsHidden() const {
    return YKCacheLayer::IsHidden() || IsUserLayerHidden(ViewerID());
}

void YKUserLayer::SelectUserLayer(bool selected, int32 view) {
    SetPerView(mSelected, selected, view);
    if (!selected) {
        return;
    }
    bool hidden = IsUserLayerHidden(view);
    if (view == kAllViews) {
        hidden = std::find(std::begin(mHidden), std::end(mHidden), true) != std::end(mHidden);
    }
    // A layer the user picks must be visible where it was picked.
    if (hidden) {
        ShowUserLayer(view);
    }
}

void YKUserLayer::HideUserLayer(int32 view) {
    SetHidden(true, view);
}

void YKUserLayer::ShowUserLayer(int32 view) {
    SetHidden(false, view);
}

void YKUserLayer::SetHidden(bool hidden, int32 view) {
    if (view != kAllViews && (view < 0 || view >= kViewCount)) {
        return;
    }
    SetPerView(mHidden, hidden, view);
    BroadcastLayerMessage(hidden ? 'lHID' : 'lSHW');
    // Only what this layer covers changes.
    InvalidateLayer(Frame(), false, nullptr);
}

// --- Messages ---

void YKUserLayer::BroadcastLayerMessage(uint32 code) {
    YKMessage message(code);
    message.AddPointer("Layer", this);
    BroadcastMessage(&message);
}

void YKUserLayer::MessageReceived(YKMessage* message) {
    if (message == nullptr) {
        return;
    }
    switch (message->what) {
        case 'lHID':
        case 'lSHW': {
            int32 view = kAllViews;
            message->FindInt32("viewer", &view);
            SetHidden(message->what == 'lHID', view);
            return;
        }
        case 'sNAM': {
            std::string name;
            if (message->FindString("name", &name)) {
                SetName(name.c_str());
            }
            return;
        }
        case 'lLNK':
        case 'lULK':
            return;
        default:
            YKCacheLayer::MessageReceived(message);
    }
}

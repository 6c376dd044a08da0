#pragma once

// YKToolContainer: a drawing tool as the tool state registers it. It names the tool (its type,
// which also names new objects and is compared with archived class names) and is the factory of
// the object layer its tool draws, for a new drawing and for a loaded archive. Option panels and
// icons come with the desktop application.

#include <functional>
#include <string>

#include "yk_types.h"

class YKEnvelopManager;
class YKMessage;
class YKObjectLayer;

class YKToolContainer {
public:
    // Interaction kinds of the tools.
    enum Behavior : int32 {
        kSelection = 0,
        kDrawing = 2,
        kViewer = 3,
        kNoBehavior = 5,
    };
    using NewLayer = std::function<YKObjectLayer*(int32 id, const char* name)>;
    using LoadLayer = std::function<YKObjectLayer*(const YKMessage* archive, YKEnvelopManager*)>;

    YKToolContainer(int32 id, const char* type, NewLayer create, LoadLayer load);
    YKToolContainer(const YKToolContainer&) = delete;
    YKToolContainer& operator=(const YKToolContainer&) = delete;
    virtual ~YKToolContainer() = default;

    // A new layer of this tool's kind; null without a name.
    virtual YKObjectLayer* GetNewObjectLayer(int32 id, const char* name) const;
    // The layer an archive describes; null without an archive.
    virtual YKObjectLayer* GetNewObjectLayer(const YKMessage* archive,
                                             YKEnvelopManager* manager) const;
    // Every drawing container draws.
    virtual int32 GetBehavior() const { return kDrawing; }

    void SetID(int32 id) { mID = id; }
    int32 GetID() const { return mID; }
    // A null name leaves the container without one.
    void SetType(const char* type);
    // Null when the container has no name.
    const char* GetType() const { return mHasType ? mType.c_str() : nullptr; }

private:
    int32 mID;
    std::string mType;
    bool mHasType = false;
    NewLayer mCreate;
    LoadLayer mLoad;
};

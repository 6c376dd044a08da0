#pragma once

// YKLayerFactory: builds layers from their archives by the class name stored under "Class".
// Each buildable kind registers a builder under its name; the document's loader asks the
// process-wide factory for every child it reads. Safe to use from several threads.

#include <functional>
#include <map>
#include <mutex>
#include <string>

class YKEnvelopManager;
class YKLayer;
class YKMessage;

class YKLayerFactory {
public:
    // Builds a detached layer from its archive; may return null when the archive is unusable.
    using Builder = std::function<YKLayer*(const YKMessage* archive, YKEnvelopManager* manager)>;

    YKLayerFactory() = default;
    YKLayerFactory(const YKLayerFactory&) = delete;
    YKLayerFactory& operator=(const YKLayerFactory&) = delete;

    // The factory the viewer layer uses.
    static YKLayerFactory& Default();

    // Registers `builder` under `className`, replacing an earlier one of that name. False for a
    // null or empty name or an empty builder.
    bool Register(const char* className, Builder builder);
    // False when nothing was registered under the name.
    bool Unregister(const char* className);
    bool IsRegistered(const char* className) const;

    // The layer built by the builder registered for the archive's "Class"; null for a null
    // archive, a missing "Class" or a name nobody registered.
    YKLayer* Build(const YKMessage* archive, YKEnvelopManager* manager) const;

private:
    mutable std::mutex mLock;
    std::map<std::string, Builder, std::less<>> mBuilders;
};

#include "YKLayerFactory.h"

#include <string_view>

#include "YK3DLayer.h"
#include "YKBitmapLayer.h"
#include "YKCacheLayer.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKPaintLayer.h"
#include "YKRasterLayer.h"

YKLayerFactory& YKLayerFactory::Default() {
    // The engine's own kinds are always there; the others register as their folders start.
    static YKLayerFactory factory;
    static const bool engineKinds = [] {
        factory.Register("YKCacheLayer", [](const YKMessage* archive, YKEnvelopManager*) {
            return static_cast<YKLayer*>(new YKCacheLayer(archive));
        });
        factory.Register("YKObjectLayer", [](const YKMessage* archive, YKEnvelopManager*) {
            return static_cast<YKLayer*>(new YKObjectLayer(archive));
        });
        factory.Register("YKBitmapLayer", [](const YKMessage* archive, YKEnvelopManager*) {
            return static_cast<YKLayer*>(new YKBitmapLayer(archive));
        });
        factory.Register("YK3DLayer", [](const YKMessage* archive, YKEnvelopManager*) {
            return static_cast<YKLayer*>(new YK3DLayer(archive));
        });
        // Paint layers are archived under the paint brush tool's name, earlier files under
        // the class name.
        for (const char* name : {"PaintBrush", "YKPaintLayer"}) {
            factory.Register(name, [](const YKMessage* archive, YKEnvelopManager*) {
                return static_cast<YKLayer*>(new YKPaintLayer(archive));
            });
        }
        // A vector-object layer is archived under its tool's name; files written before that
        // carry its object's class name.
        const auto vectorObject = [](const YKMessage* archive, YKEnvelopManager* manager) {
            return static_cast<YKLayer*>(new YKRasterLayer(archive, manager));
        };
        for (int32 kind = 0; kind < YKRasterLayer::kTypeCount; ++kind) {
            factory.Register(YKRasterLayer::TypeName(kind), vectorObject);
        }
        for (const char* name :
             {"YKRasterLayer", "YKVectorArc", "YKVectorBezier", "YKVectorEllipse",
              "YKVectorFreeHand", "YKVectorPolyline", "YKVectorRectangle", "YKVectorRoundRect"}) {
            factory.Register(name, vectorObject);
        }
        return true;
    }();
    (void)engineKinds;
    return factory;
}

bool YKLayerFactory::Register(const char* className, Builder builder) {
    if (className == nullptr || *className == '\0' || !builder) {
        return false;
    }
    std::lock_guard guard(mLock);
    mBuilders.insert_or_assign(std::string(className), std::move(builder));
    return true;
}

bool YKLayerFactory::Unregister(const char* className) {
    if (className == nullptr) {
        return false;
    }
    std::lock_guard guard(mLock);
    auto found = mBuilders.find(std::string_view(className));
    if (found == mBuilders.end()) {
        return false;
    }
    mBuilders.erase(found);
    return true;
}

bool YKLayerFactory::IsRegistered(const char* className) const {
    if (className == nullptr) {
        return false;
    }
    std::lock_guard guard(mLock);
    return mBuilders.find(std::string_view(className)) != mBuilders.end();
}

YKLayer* YKLayerFactory::Build(const YKMessage* archive, YKEnvelopManager* manager) const {
    const char* className = nullptr;
    if (archive == nullptr || !archive->FindString("Class", &className)) {
        return nullptr;
    }
    Builder builder;
    {
        std::lock_guard guard(mLock);
        auto found = mBuilders.find(std::string_view(className));
        if (found == mBuilders.end()) {
            return nullptr;
        }
        builder = found->second;
    }
    // Built outside the lock: a layer's constructor may itself register or build.
    return builder(archive, manager);
}

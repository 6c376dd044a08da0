#include "YKVectorEntityFactory.h"

#include <memory>

#include "YKMessage.h"
#include "YKVectorArc.h"
#include "YKVectorBezier.h"
#include "YKVectorEllipse.h"
#include "YKVectorFreeHand.h"
#include "YKVectorPolyline.h"
#include "YKVectorRectangle.h"
#include "YKVectorRoundRect.h"
#include "YKVectorText.h"
#include "YKVectorTextBezier.h"

namespace YKVectorEntityFactory {

namespace {

// One constructor call per kind, shared by both ways of making an object.
template <typename Source>
YKVectorEntity* Make(int32 type, const Source& source, int32 id, YKEnvelopManager* manager) {
    switch (type) {
        case YKVectorEntity::kTypeArc:
            return new YKVectorArc(source, id, manager);
        case YKVectorEntity::kTypeBezier:
            return new YKVectorBezier(source, id, manager);
        case YKVectorEntity::kTypeEllipse:
            return new YKVectorEllipse(source, id, manager);
        case YKVectorEntity::kTypeFreeHand:
            return new YKVectorFreeHand(source, id, manager);
        case YKVectorEntity::kTypePolyline:
            return new YKVectorPolyline(source, id, manager);
        case YKVectorEntity::kTypeRectangle:
            return new YKVectorRectangle(source, id, manager);
        case YKVectorEntity::kTypeRoundRect:
            return new YKVectorRoundRect(source, id, manager);
        case YKVectorEntity::kTypeText:
            return new YKVectorText(source, id, manager);
        case YKVectorEntity::kTypeTextBezier:
            return new YKVectorTextBezier(source, id, manager);
        default:
            return nullptr;
    }
}

}  // namespace

YKVectorEntity* Instantiate(const YKMessage* archive, int32 id, YKEnvelopManager* manager) {
    int32 type = 0;
    if (archive == nullptr || !archive->FindInt32("object_type", &type)) {
        return nullptr;
    }
    std::unique_ptr<YKVectorEntity> entity(Make(type, archive, id, manager));
    if (entity == nullptr || !entity->isWellFormed()) {
        return nullptr;
    }
    entity->Awake();
    return entity.release();
}

YKVectorEntity* Create(int32 type, YKPoint<double> start, int32 id, YKEnvelopManager* manager) {
    return Make(type, start, id, manager);
}

}  // namespace YKVectorEntityFactory

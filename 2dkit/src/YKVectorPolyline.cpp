#include "YKVectorPolyline.h"

YKVectorEntity* YKVectorPolyline::endCreationWithTol(double tol) {
    if (YKVectorEntity::endCreationWithTol(tol) == nullptr) {
        return nullptr;
    }
    if (mSegments.size() < 3) {
        dropFill();
    } else {
        closeAtTol(tol);
    }
    return this;
}

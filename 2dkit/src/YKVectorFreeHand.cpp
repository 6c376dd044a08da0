#include "YKVectorFreeHand.h"

YKVectorEntity* YKVectorFreeHand::endCreationWithTol(double tol) {
    if (mSegments.size() < 2 || YKVectorEntity::endCreationWithTol(tol) == nullptr) {
        return nullptr;
    }
    if (mSegments.size() < 3) {
        mFillColorFlag = kColorFlagNotFillable;
    } else {
        closeAtTol(tol);
    }
    return this;
}

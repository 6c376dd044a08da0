#pragma once

// The seven envelope kinds and their key frames, under the names the archives and the rest of
// the system use. They are instantiated once, in YKEnvelopKinds.cpp.

#include "YKEnvelopTraits.h"
#include "YKTypedEnvelop.h"
#include "YKTypedKeyFrame.h"

using YKEnvelopYKPointInt32 = YKTypedEnvelop<YKPointInt32Traits>;
using YKEnvelopYKPointDouble = YKTypedEnvelop<YKPointDoubleTraits>;
using YKEnvelopUint8 = YKTypedEnvelop<YKUint8Traits>;
using YKEnvelopBool = YKTypedEnvelop<YKBoolTraits>;
using YKEnvelopDouble = YKTypedEnvelop<YKDoubleTraits>;
using YKEnvelopInt32 = YKTypedEnvelop<YKInt32Traits>;
using YKEnvelopColor = YKTypedEnvelop<YKColorTraits>;

using YKKeyFrameYKPointInt32 = YKTypedKeyFrame<YKPointInt32Traits>;
using YKKeyFrameYKPointDouble = YKTypedKeyFrame<YKPointDoubleTraits>;
using YKKeyFrameUint8 = YKTypedKeyFrame<YKUint8Traits>;
using YKKeyFrameBool = YKTypedKeyFrame<YKBoolTraits>;
using YKKeyFrameDouble = YKTypedKeyFrame<YKDoubleTraits>;
using YKKeyFrameInt32 = YKTypedKeyFrame<YKInt32Traits>;
using YKKeyFrameColor = YKTypedKeyFrame<YKColorTraits>;

extern template class YKTypedKeyFrame<YKPointInt32Traits>;
extern template class YKTypedKeyFrame<YKPointDoubleTraits>;
extern template class YKTypedKeyFrame<YKUint8Traits>;
extern template class YKTypedKeyFrame<YKBoolTraits>;
extern template class YKTypedKeyFrame<YKDoubleTraits>;
extern template class YKTypedKeyFrame<YKInt32Traits>;
extern template class YKTypedKeyFrame<YKColorTraits>;

extern template class YKTypedEnvelop<YKPointInt32Traits>;
extern template class YKTypedEnvelop<YKPointDoubleTraits>;
extern template class YKTypedEnvelop<YKUint8Traits>;
extern template class YKTypedEnvelop<YKBoolTraits>;
extern template class YKTypedEnvelop<YKDoubleTraits>;
extern template class YKTypedEnvelop<YKInt32Traits>;
extern template class YKTypedEnvelop<YKColorTraits>;

#include "YKEnvelopKinds.h"

template class YKTypedKeyFrame<YKPointInt32Traits>;
template class YKTypedKeyFrame<YKPointDoubleTraits>;
template class YKTypedKeyFrame<YKUint8Traits>;
template class YKTypedKeyFrame<YKBoolTraits>;
template class YKTypedKeyFrame<YKDoubleTraits>;
template class YKTypedKeyFrame<YKInt32Traits>;
template class YKTypedKeyFrame<YKColorTraits>;

template class YKTypedEnvelop<YKPointInt32Traits>;
template class YKTypedEnvelop<YKPointDoubleTraits>;
template class YKTypedEnvelop<YKUint8Traits>;
template class YKTypedEnvelop<YKBoolTraits>;
template class YKTypedEnvelop<YKDoubleTraits>;
template class YKTypedEnvelop<YKInt32Traits>;
template class YKTypedEnvelop<YKColorTraits>;

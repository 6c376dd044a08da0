#pragma once

// Envelopes in the vector objects' archives: each is a sub-message under its key.

#include <memory>

#include "YKEnvelopKinds.h"
#include "YKMessage.h"

namespace yk_archive {

template <typename Envelop>
void WriteEnvelop(YKMessage* archive, const char* key, const Envelop* envelope) {
    YKMessage part;
    if (envelope != nullptr) {
        envelope->Archive(&part);
    }
    archive->AddMessage(key, &part);
}

// The envelope archived under `key`, or a new one holding `fallback` when the key is missing or
// holds no key frame (an envelope without key frames has no value to give).
template <typename Envelop, typename Value>
std::unique_ptr<Envelop> ReadEnvelop(const YKMessage* archive, const char* key, int32 id,
                                     const char* name, const Value& fallback) {
    auto envelope = std::make_unique<Envelop>(id, name);
    YKMessage part;
    if (archive->FindMessage(key, &part)) {
        envelope->UnArchive(&part, id);
        envelope->SetName(name);
    }
    if (envelope->CountKeyFrames() == 0) {
        envelope->SetValue(fallback, 1);
    }
    return envelope;
}

}  // namespace yk_archive

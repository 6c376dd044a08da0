// Loads arbitrary bytes as the archive of a text object (the first byte picks the text at a
// point or the text along a path), measures it, draws it into a small bitmap and archives it.
// Nothing may crash, hang or allocate without bound, and what was written once must reload and
// write back the same bytes.

#include <cstdlib>
#include <memory>
#include <string>

#include "YKBitmap.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "YKVectorEntity.h"
#include "YKVectorEntityFactory.h"
#include "YKZipSketcher.h"

namespace {

std::string Written(const YKVectorEntity& entity) {
    YKMessage archive;
    entity.ArchiveIn(&archive);
    return archive.Flatten();
}

std::unique_ptr<YKVectorEntity> Loaded(const std::string& bytes, YKEnvelopManager* manager) {
    YKMessage archive;
    if (!archive.Unflatten(bytes.data(), static_cast<ssize_t>(bytes.size()))) {
        return nullptr;
    }
    return std::unique_ptr<YKVectorEntity>(
        YKVectorEntityFactory::Instantiate(&archive, 1, manager));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    YKMessage archive;
    if (!archive.Unflatten(reinterpret_cast<const char*>(data + 1),
                           static_cast<ssize_t>(size - 1))) {
        return 0;
    }
    archive.RemoveName("object_type");
    archive.AddInt32("object_type", (data[0] & 1) != 0 ? YKVectorEntity::kTypeTextBezier
                                                       : YKVectorEntity::kTypeText);
    YKEnvelopManager manager;
    std::unique_ptr<YKVectorEntity> text(YKVectorEntityFactory::Instantiate(&archive, 1, &manager));
    if (text == nullptr) {
        return 0;
    }
    text->resetBox();
    text->resetBounds();
    YKBitmap bitmap;
    YKZipSketcher sketcher;
    sketcher.SetBuffer(&bitmap);
    sketcher.SetFrame({0, 0, 63, 63});
    text->drawIn(&sketcher, (data[0] & 2) != 0);

    const std::string first = Written(*text);
    std::unique_ptr<YKVectorEntity> reloaded = Loaded(first, &manager);
    if (reloaded == nullptr) {
        std::abort();
    }
    const std::string second = Written(*reloaded);
    std::unique_ptr<YKVectorEntity> again = Loaded(second, &manager);
    if (again == nullptr || Written(*again) != second) {
        std::abort();
    }
    return 0;
}

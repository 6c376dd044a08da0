#include "YKMessage.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string_view>

#include "YKMessagePrinter.h"

static_assert(
    std::endian::native == std::endian::little,
    "the flattened form stores values in the machine's order, which must be little-endian");

// Sections: byte helpers · validation of flattened bytes · fields and name index ·
// typed access · flattening.

// --- Byte helpers ---

namespace {

constexpr uint32 kMagic = uint32('Y') | uint32('K') << 8 | uint32('M') << 16 | uint32('s') << 24;
constexpr std::size_t kHeaderSize = 16;
// Around a field's name: type and name length before it; a NUL, value count and payload size
// after it.
constexpr std::size_t kFieldHeaderSize = 4 + 2 + 1 + 4 + 4;
// The name's NUL, value count and payload size between the name and the payload.
constexpr std::size_t kNameTrailerSize = 1 + 4 + 4;
// A field below this many fields is found by a plain scan: cheaper than hashing.
constexpr std::size_t kIndexThreshold = 8;
// Payloads stay well inside the 32-bit sizes of the flattened form.
constexpr std::size_t kMaxPayload = std::numeric_limits<uint32>::max() / 2;

uint32 Load32(const char* p) {
    uint32 v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16 Load16(const char* p) {
    uint16 v;
    std::memcpy(&v, p, 2);
    return v;
}

char* Store32(char* p, uint32 v) {
    std::memcpy(p, &v, 4);
    return p + 4;
}

char* Store16(char* p, uint16 v) {
    std::memcpy(p, &v, 2);
    return p + 2;
}

// Size of one value of a fixed-size type, 0 for types whose values carry their own size.
std::size_t FixedSize(uint32 type) {
    switch (type) {
        case YK_BOOL_TYPE:
        case YK_INT8_TYPE:
            return 1;
        case YK_INT16_TYPE:
            return 2;
        case YK_INT32_TYPE:
        case YK_FLOAT_TYPE:
            return 4;
        case YK_INT64_TYPE:
        case YK_DOUBLE_TYPE:
        case YK_POINTER_TYPE:
        case YK_COLOR_TYPE:
            return 8;
        case YK_POINT_TYPE:
        case YK_RECT_TYPE:
            return 16;
        default:
            return 0;
    }
}

// --- Validation of flattened bytes ---

bool CheckMessage(const char* data, std::size_t size, int depth);

// Whether `size` bytes are one valid value of `type`; messages are checked at `depth`.
bool CheckValue(uint32 type, const char* data, std::size_t size, int depth) {
    if (const std::size_t fixed = FixedSize(type); fixed != 0) {
        return size == fixed;
    }
    if (type == YK_STRING_TYPE) {
        return size >= 1 && std::memchr(data, 0, size) == data + size - 1;
    }
    if (type == YK_MESSAGE_TYPE) {
        return CheckMessage(data, size, depth);
    }
    return true;
}

// Whether a payload holds exactly `count` valid values of `type`.
bool CheckPayload(uint32 type, uint32 count, const char* payload, std::size_t size, int depth) {
    if (count == 0) {
        return false;
    }
    if (const std::size_t fixed = FixedSize(type); fixed != 0) {
        return uint64(count) * fixed == size;
    }
    // Every variable value costs at least its 4-byte size word.
    if (count > size / 4) {
        return false;
    }
    std::size_t pos = 0;
    for (uint32 i = 0; i < count; ++i) {
        if (size - pos < 4) {
            return false;
        }
        const uint32 length = Load32(payload + pos);
        pos += 4;
        if (length > size - pos || !CheckValue(type, payload + pos, length, depth + 1)) {
            return false;
        }
        pos += length;
    }
    return pos == size;
}

// A field of flattened bytes as the walker sees it. `bytes` starts at the name and runs to the
// end of the payload: the layout YKMessage::Field keeps.
struct FieldView {
    uint32 type;
    uint16 nameLength;
    uint32 count;
    const char* bytes;
    std::size_t size;
};

// Checks a flattened message of exactly `size` bytes and hands each field to `visit`.
template <typename Visit>
bool WalkMessage(const char* data, std::size_t size, int depth, uint32* what, uint32* fieldCount,
                 Visit&& visit) {
    if (depth > YKMessage::kMaxNestingDepth || size < kHeaderSize || Load32(data) != kMagic ||
        Load32(data + 12) != size) {
        return false;
    }
    *what = Load32(data + 4);
    *fieldCount = Load32(data + 8);
    // The smallest field is its header and a one-byte name.
    if (*fieldCount > (size - kHeaderSize) / (kFieldHeaderSize + 1)) {
        return false;
    }
    std::size_t pos = kHeaderSize;
    for (uint32 i = 0; i < *fieldCount; ++i) {
        if (size - pos < kFieldHeaderSize) {
            return false;
        }
        FieldView field;
        field.type = Load32(data + pos);
        field.nameLength = Load16(data + pos + 4);
        pos += 6;
        field.bytes = data + pos;
        if (field.nameLength == 0 || field.nameLength > YKMessage::kMaxNameLength ||
            size - pos < field.nameLength + kNameTrailerSize ||
            std::memchr(field.bytes, 0, field.nameLength + 1u) != field.bytes + field.nameLength) {
            return false;
        }
        pos += field.nameLength + kNameTrailerSize;
        field.count = Load32(data + pos - 8);
        const uint32 payloadSize = Load32(data + pos - 4);
        if (payloadSize > size - pos ||
            !CheckPayload(field.type, field.count, data + pos, payloadSize, depth)) {
            return false;
        }
        pos += payloadSize;
        field.size = data + pos - field.bytes;
        visit(field);
    }
    return pos == size;
}

bool CheckMessage(const char* data, std::size_t size, int depth) {
    uint32 what;
    uint32 fieldCount;
    return WalkMessage(data, size, depth, &what, &fieldCount, [](const FieldView&) {});
}

std::size_t HashName(const char* name, std::size_t length) {
    return std::hash<std::string_view>{}(std::string_view(name, length));
}

}  // namespace

// --- Fields and name index ---

YKMessage::Field::Field(const Field& other) {
    *this = other;
}

YKMessage::Field& YKMessage::Field::operator=(const Field& other) {
    if (this == &other) {
        return *this;
    }
    type = other.type;
    count = other.count;
    nameLength = other.nameLength;
    own = other.own ? std::make_unique<std::string>(*other.own) : nullptr;
    bytes = own ? own->data() : other.bytes;
    size = other.size;
    return *this;
}

std::string& YKMessage::Field::Own() {
    if (!own) {
        own = std::make_unique<std::string>(bytes, size);
    }
    return *own;
}

void YKMessage::Field::Sync() {
    char* p = own->data() + nameLength + 1;
    p = Store32(p, count);
    Store32(p, static_cast<uint32>(own->size() - nameLength - kNameTrailerSize));
    bytes = own->data();
    size = static_cast<uint32>(own->size());
}

// Copies start without cursors; moves take them along.
YKMessage::YKMessage(const YKMessage& other)
    : what(other.what), mFields(other.mFields), mArena(other.mArena), mIndex(other.mIndex) {}

YKMessage& YKMessage::operator=(const YKMessage& other) {
    if (this != &other) {
        DropCursors();
        what = other.what;
        mFields = other.mFields;
        mArena = other.mArena;
        mIndex = other.mIndex;
    }
    return *this;
}

YKMessage::YKMessage(YKMessage&& other) noexcept
    : what(other.what),
      mFields(std::move(other.mFields)),
      mArena(std::move(other.mArena)),
      mIndex(std::move(other.mIndex)),
      mCursors(other.mCursors.exchange(nullptr)) {}

YKMessage& YKMessage::operator=(YKMessage&& other) noexcept {
    if (this != &other) {
        DropCursors();
        what = other.what;
        mFields = std::move(other.mFields);
        mArena = std::move(other.mArena);
        mIndex = std::move(other.mIndex);
        mCursors.store(other.mCursors.exchange(nullptr));
    }
    return *this;
}

YKMessage::~YKMessage() {
    DropCursors();
}

std::atomic<uint64>* YKMessage::Cursors() const {
    std::atomic<uint64>* cursors = mCursors.load(std::memory_order_acquire);
    if (cursors != nullptr) {
        return cursors;
    }
    // Readers on several threads may race to make them; one array wins, the others go.
    auto* made = new std::atomic<uint64>[mFields.size()]();
    if (mCursors.compare_exchange_strong(cursors, made, std::memory_order_acq_rel)) {
        return made;
    }
    delete[] made;
    return cursors;
}

void YKMessage::DropCursors() {
    delete[] mCursors.exchange(nullptr);
}

int32 YKMessage::FieldIndex(const char* name, std::size_t length) const {
    const auto matches = [&](const Field& f) {
        return f.nameLength == length && std::memcmp(f.Name(), name, length) == 0;
    };
    if (mIndex.empty()) {
        for (std::size_t i = 0; i < mFields.size(); ++i) {
            if (matches(mFields[i])) {
                return static_cast<int32>(i);
            }
        }
        return -1;
    }
    const std::size_t mask = mIndex.size() - 1;
    for (std::size_t slot = HashName(name, length) & mask;; slot = (slot + 1) & mask) {
        const uint32 entry = mIndex[slot];
        if (entry == 0) {
            return -1;
        }
        if (matches(mFields[entry - 1])) {
            return static_cast<int32>(entry - 1);
        }
    }
}

YKMessage::Field* YKMessage::FindField(const char* name) {
    return const_cast<Field*>(static_cast<const YKMessage*>(this)->FindField(name));
}

const YKMessage::Field* YKMessage::FindField(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    const int32 i = FieldIndex(name, std::strlen(name));
    return i < 0 ? nullptr : &mFields[i];
}

void YKMessage::IndexInsert(int32 fieldIndex) {
    // Keep the table at most half full so probes stay short.
    if (mIndex.size() < 3 * mFields.size() / 2) {
        Reindex();
        return;
    }
    const Field& field = mFields[fieldIndex];
    const std::size_t mask = mIndex.size() - 1;
    std::size_t slot = HashName(field.Name(), field.nameLength) & mask;
    while (mIndex[slot] != 0) {
        slot = (slot + 1) & mask;
    }
    mIndex[slot] = static_cast<uint32>(fieldIndex + 1);
}

bool YKMessage::Reindex() {
    mIndex.clear();
    if (mFields.size() <= kIndexThreshold) {
        for (std::size_t i = 1; i < mFields.size(); ++i) {
            if (FieldIndex(mFields[i].Name(), mFields[i].nameLength) != static_cast<int32>(i)) {
                return false;
            }
        }
        return true;
    }
    mIndex.assign(std::bit_ceil(2 * mFields.size()), 0);
    const std::size_t mask = mIndex.size() - 1;
    for (std::size_t i = 0; i < mFields.size(); ++i) {
        const Field& field = mFields[i];
        std::size_t slot = HashName(field.Name(), field.nameLength) & mask;
        for (; mIndex[slot] != 0; slot = (slot + 1) & mask) {
            const Field& other = mFields[mIndex[slot] - 1];
            if (other.nameLength == field.nameLength &&
                std::memcmp(other.Name(), field.Name(), field.nameLength) == 0) {
                return false;
            }
        }
        mIndex[slot] = static_cast<uint32>(i + 1);
    }
    return true;
}

bool YKMessage::AddValue(const char* name, uint32 type, const void* data, ssize_t size) {
    if (size < 0 || (data == nullptr && size > 0) ||
        !CheckValue(type, static_cast<const char*>(data), size, 1)) {
        return false;
    }
    return AppendValue(name, type, size, [data, size](char* out) {
        std::memcpy(out, data, static_cast<std::size_t>(size));
        return true;
    });
}

bool YKMessage::AppendValue(const char* name, uint32 type, ssize_t size,
                            const std::function<bool(char*)>& write) {
    DropCursors();
    if (name == nullptr || size < 0) {
        return false;
    }
    const std::size_t nameLength = std::strlen(name);
    if (nameLength == 0 || nameLength > kMaxNameLength) {
        return false;
    }
    const bool fixed = FixedSize(type) != 0;
    const int32 i = FieldIndex(name, nameLength);
    if (i >= 0 && (mFields[i].type != type || mFields[i].PayloadSize() + size + 4 > kMaxPayload)) {
        return false;
    }
    if (i < 0 && std::size_t(size) + 4 > kMaxPayload) {
        return false;
    }
    Field& field = i >= 0 ? mFields[i] : mFields.emplace_back();
    std::string& bytes = field.Own();
    if (i < 0) {
        field.type = type;
        field.nameLength = static_cast<uint16>(nameLength);
        bytes.reserve(nameLength + kNameTrailerSize + (fixed ? 0 : 4) + size);
        bytes.append(name, nameLength);
        bytes.append(kNameTrailerSize, '\0');
    }
    const std::size_t before = bytes.size();
    const std::size_t at = before + (fixed ? 0 : 4);
    const std::size_t needed = at + static_cast<std::size_t>(size);
    // The value may come from these very bytes, so when they must move they are copied into a
    // larger string first and the old one lives until the value is written.
    std::string grown;
    if (bytes.capacity() < needed) {
        grown.reserve(std::max(needed, 2 * bytes.capacity()));
        grown.append(bytes);
        bytes.swap(grown);
    }
    if (!fixed) {
        char word[4];
        Store32(word, static_cast<uint32>(size));
        bytes.append(word, 4);
    }
    bytes.resize(needed);
    if (!write(bytes.data() + at)) {
        if (i >= 0) {
            bytes.resize(before);
            field.Sync();
        } else {
            mFields.pop_back();
        }
        return false;
    }
    ++field.count;
    field.Sync();
    if (i < 0 && mFields.size() > kIndexThreshold) {
        IndexInsert(static_cast<int32>(mFields.size() - 1));
    }
    return true;
}

// The bytes of the value at `index`, or null when there is none of that type.
const char* YKMessage::ValueAt(const char* name, uint32 type, int32 index, ssize_t* size) const {
    const Field* field = FindField(name);
    if (field == nullptr || field->type != type || index < 0 || uint32(index) >= field->count) {
        return nullptr;
    }
    const char* payload = field->Payload();
    if (const std::size_t fixed = FixedSize(type); fixed != 0) {
        *size = static_cast<ssize_t>(fixed);
        return payload + fixed * index;
    }
    // Values of variable size are found by walking their size words, from the last value read
    // when that lies before this one.
    if (index == 0) {
        *size = Load32(payload);
        return payload + 4;
    }
    std::atomic<uint64>& cursor = Cursors()[field - mFields.data()];
    const uint64 hint = cursor.load(std::memory_order_relaxed);
    int32 i = static_cast<int32>(hint >> 32);
    std::size_t pos = static_cast<uint32>(hint);
    if (i > index) {
        i = 0;
        pos = 0;
    }
    for (; i < index; ++i) {
        pos += 4 + Load32(payload + pos);
    }
    cursor.store(uint64(uint32(index)) << 32 | pos, std::memory_order_relaxed);
    *size = Load32(payload + pos);
    return payload + pos + 4;
}

bool YKMessage::ReplaceValue(const char* name, uint32 type, int32 index, const void* data,
                             ssize_t size) {
    ssize_t oldSize;
    const char* old = ValueAt(name, type, index, &oldSize);
    if (old == nullptr || size < 0 || (data == nullptr && size > 0) ||
        !CheckValue(type, static_cast<const char*>(data), size, 1)) {
        return false;
    }
    Field& field = *FindField(name);
    if (FixedSize(type) == 0 && field.PayloadSize() - oldSize + size > kMaxPayload) {
        return false;
    }
    const std::size_t offset = old - field.bytes;
    std::string& bytes = field.Own();
    if (FixedSize(type) != 0) {
        std::memcpy(bytes.data() + offset, data, size);
    } else {
        Store32(bytes.data() + offset - 4, static_cast<uint32>(size));
        bytes.replace(offset, oldSize, static_cast<const char*>(data), size);
    }
    field.Sync();
    DropCursors();
    return true;
}

bool YKMessage::RemoveName(const char* name) {
    DropCursors();
    const Field* field = FindField(name);
    if (field == nullptr) {
        return false;
    }
    mFields.erase(mFields.begin() + (field - mFields.data()));
    Reindex();
    return true;
}

void YKMessage::MakeEmpty() {
    DropCursors();
    mFields.clear();
    mIndex.clear();
    mArena.reset();
}

// --- Typed access ---

namespace {

// Values of class types are stored as their bytes.
template <typename T>
bool ReadValue(const char* bytes, T* out) {
    if (bytes == nullptr || out == nullptr) {
        return false;
    }
    std::memcpy(static_cast<void*>(out), bytes, sizeof(T));
    return true;
}

}  // namespace

#define YK_FIXED_ACCESS(Name, Type, Code)                                        \
    bool YKMessage::Add##Name(const char* name, Type value) {                    \
        return AddValue(name, Code, &value, sizeof(Type));                       \
    }                                                                            \
    bool YKMessage::Find##Name(const char* name, int32 index, Type* out) const { \
        ssize_t size;                                                            \
        return ReadValue(ValueAt(name, Code, index, &size), out);                \
    }                                                                            \
    bool YKMessage::Replace##Name(const char* name, int32 index, Type value) {   \
        return ReplaceValue(name, Code, index, &value, sizeof(Type));            \
    }

YK_FIXED_ACCESS(Int8, int8, YK_INT8_TYPE)
YK_FIXED_ACCESS(Int16, int16, YK_INT16_TYPE)
YK_FIXED_ACCESS(Int32, int32, YK_INT32_TYPE)
YK_FIXED_ACCESS(Int64, int64, YK_INT64_TYPE)
YK_FIXED_ACCESS(Float, float, YK_FLOAT_TYPE)
YK_FIXED_ACCESS(Double, double, YK_DOUBLE_TYPE)
YK_FIXED_ACCESS(Point, YKPoint<double>, YK_POINT_TYPE)
YK_FIXED_ACCESS(Rect, YKRect<int32>, YK_RECT_TYPE)

#undef YK_FIXED_ACCESS

bool YKMessage::AddBool(const char* name, bool value) {
    const uint8 byte = value ? 1 : 0;
    return AddValue(name, YK_BOOL_TYPE, &byte, 1);
}

bool YKMessage::FindBool(const char* name, int32 index, bool* out) const {
    ssize_t size;
    uint8 byte;
    if (!ReadValue(ValueAt(name, YK_BOOL_TYPE, index, &size), &byte) || out == nullptr) {
        return false;
    }
    *out = byte != 0;
    return true;
}

bool YKMessage::ReplaceBool(const char* name, int32 index, bool value) {
    const uint8 byte = value ? 1 : 0;
    return ReplaceValue(name, YK_BOOL_TYPE, index, &byte, 1);
}

bool YKMessage::AddColor(const char* name, const yk_color* value) {
    return value != nullptr && AddValue(name, YK_COLOR_TYPE, value, sizeof(yk_color));
}

bool YKMessage::FindColor(const char* name, int32 index, yk_color* out) const {
    ssize_t size;
    return ReadValue(ValueAt(name, YK_COLOR_TYPE, index, &size), out);
}

bool YKMessage::ReplaceColor(const char* name, int32 index, const yk_color* value) {
    return value != nullptr && ReplaceValue(name, YK_COLOR_TYPE, index, value, sizeof(yk_color));
}

bool YKMessage::AddPointer(const char* name, const void* value) {
    const uint64 bits = reinterpret_cast<std::uintptr_t>(value);
    return AddValue(name, YK_POINTER_TYPE, &bits, sizeof bits);
}

bool YKMessage::FindPointer(const char* name, int32 index, void** out) const {
    ssize_t size;
    uint64 bits;
    if (!ReadValue(ValueAt(name, YK_POINTER_TYPE, index, &size), &bits) || out == nullptr) {
        return false;
    }
    *out = reinterpret_cast<void*>(static_cast<std::uintptr_t>(bits));
    return true;
}

bool YKMessage::ReplacePointer(const char* name, int32 index, const void* value) {
    const uint64 bits = reinterpret_cast<std::uintptr_t>(value);
    return ReplaceValue(name, YK_POINTER_TYPE, index, &bits, sizeof bits);
}

bool YKMessage::AddString(const char* name, const char* value) {
    return value != nullptr && AddValue(name, YK_STRING_TYPE, value, std::strlen(value) + 1);
}

bool YKMessage::AddString(const char* name, const std::string& value) {
    // A string with an inner NUL cannot come back whole; CheckValue refuses it.
    return AddValue(name, YK_STRING_TYPE, value.c_str(), value.size() + 1);
}

bool YKMessage::FindString(const char* name, int32 index, const char** out) const {
    ssize_t size;
    const char* value = ValueAt(name, YK_STRING_TYPE, index, &size);
    if (value == nullptr || out == nullptr) {
        return false;
    }
    *out = value;
    return true;
}

bool YKMessage::FindString(const char* name, int32 index, std::string* out) const {
    ssize_t size;
    const char* value = ValueAt(name, YK_STRING_TYPE, index, &size);
    if (value == nullptr || out == nullptr) {
        return false;
    }
    out->assign(value, size - 1);
    return true;
}

bool YKMessage::ReplaceString(const char* name, int32 index, const char* value) {
    return value != nullptr &&
           ReplaceValue(name, YK_STRING_TYPE, index, value, std::strlen(value) + 1);
}

bool YKMessage::AddMessage(const char* name, const YKMessage* value) {
    if (value == nullptr) {
        return false;
    }
    if (value == this) {
        // Its fields change while it is added: the copy is taken first.
        const std::string flat = value->Flatten();
        return !flat.empty() && AddValue(name, YK_MESSAGE_TYPE, flat.data(), flat.size());
    }
    // Flattened straight into the field: a message holding an image is not copied twice. Its
    // depth is checked on the bytes, as for any other message value.
    const ssize_t size = value->FlattenedSize();
    return AppendValue(name, YK_MESSAGE_TYPE, size, [value, size](char* out) {
        ssize_t written = size;
        return value->Flatten(out, &written) && written == size &&
               CheckValue(YK_MESSAGE_TYPE, out, static_cast<std::size_t>(size), 1);
    });
}

bool YKMessage::FindMessage(const char* name, int32 index, YKMessage* out) const {
    ssize_t size;
    const char* value = ValueAt(name, YK_MESSAGE_TYPE, index, &size);
    if (value == nullptr || out == nullptr) {
        return false;
    }
    // A message that is most of the bytes read from a file (a layer holding an image) shares
    // them instead of copying them; a smaller one is copied, so that it never keeps more than
    // twice its size alive.
    if (!FindField(name)->own && mArena != nullptr &&
        2 * static_cast<std::size_t>(size) >= mArenaSize) {
        if (!out->Unflatten(std::shared_ptr<const char[]>(mArena, value), size)) {
            return false;
        }
        out->mArenaSize = mArenaSize;
        return true;
    }
    return out->Unflatten(value, size);
}

bool YKMessage::ReplaceMessage(const char* name, int32 index, const YKMessage* value) {
    if (value == nullptr) {
        return false;
    }
    const std::string flat = value->Flatten();
    return !flat.empty() && ReplaceValue(name, YK_MESSAGE_TYPE, index, flat.data(), flat.size());
}

bool YKMessage::AddData(const char* name, uint32 type, const void* data, ssize_t size) {
    return AddValue(name, type, data, size);
}

bool YKMessage::FindData(const char* name, uint32 type, int32 index, const void** data,
                         ssize_t* size) const {
    ssize_t length;
    const char* value = ValueAt(name, type, index, &length);
    if (value == nullptr || data == nullptr || size == nullptr) {
        return false;
    }
    *data = value;
    *size = length;
    return true;
}

bool YKMessage::ReplaceData(const char* name, uint32 type, int32 index, const void* data,
                            ssize_t size) {
    return ReplaceValue(name, type, index, data, size);
}

bool YKMessage::Has(const char* name, uint32 type, int32 index) const {
    ssize_t size;
    return ValueAt(name, type, index, &size) != nullptr;
}

bool YKMessage::GetInfo(const char* name, uint32* type, int32* count) const {
    const Field* field = FindField(name);
    if (field == nullptr) {
        return false;
    }
    if (type != nullptr) {
        *type = field->type;
    }
    if (count != nullptr) {
        *count = static_cast<int32>(field->count);
    }
    return true;
}

bool YKMessage::GetInfo(int32 index, const char** name, uint32* type, int32* count) const {
    if (index < 0 || std::size_t(index) >= mFields.size()) {
        return false;
    }
    const Field& field = mFields[index];
    if (name != nullptr) {
        *name = field.Name();
    }
    if (type != nullptr) {
        *type = field.type;
    }
    if (count != nullptr) {
        *count = static_cast<int32>(field.count);
    }
    return true;
}

// --- Flattening ---

ssize_t YKMessage::FlattenedSize() const {
    std::size_t size = kHeaderSize;
    for (const Field& field : mFields) {
        size += 6 + field.size;
    }
    return static_cast<ssize_t>(size);
}

bool YKMessage::Flatten(char* buffer, ssize_t* size) const {
    const ssize_t needed = FlattenedSize();
    if (buffer == nullptr || size == nullptr || *size < needed ||
        needed > std::numeric_limits<uint32>::max()) {
        return false;
    }
    char* p = Store32(buffer, kMagic);
    p = Store32(p, what);
    p = Store32(p, static_cast<uint32>(mFields.size()));
    p = Store32(p, static_cast<uint32>(needed));
    for (const Field& field : mFields) {
        p = Store32(p, field.type);
        p = Store16(p, field.nameLength);
        std::memcpy(p, field.bytes, field.size);
        p += field.size;
    }
    *size = needed;
    return true;
}

std::string YKMessage::Flatten() const {
    std::string flat(FlattenedSize(), '\0');
    ssize_t size = static_cast<ssize_t>(flat.size());
    if (!Flatten(flat.data(), &size)) {
        flat.clear();
    }
    return flat;
}

namespace {

// The size word of a flattened message, when `size` bytes can hold its header and all of it.
bool FlattenedTotal(const char* buffer, ssize_t size, uint32* total) {
    if (buffer == nullptr || size < ssize_t(kHeaderSize)) {
        return false;
    }
    *total = Load32(buffer + 12);
    return *total <= std::size_t(size);
}

}  // namespace

bool YKMessage::Unflatten(const char* buffer, ssize_t size) {
    uint32 total;
    if (!FlattenedTotal(buffer, size, &total)) {
        return false;
    }
    // The fields point into one copy of the input: a single allocation and copy however many
    // fields there are.
    std::shared_ptr<char[]> arena = std::make_shared_for_overwrite<char[]>(total);
    std::memcpy(arena.get(), buffer, total);
    return Adopt(std::move(arena), total);
}

bool YKMessage::Unflatten(std::shared_ptr<const char[]> bytes, ssize_t size) {
    uint32 total;
    return FlattenedTotal(bytes.get(), size, &total) && Adopt(std::move(bytes), total);
}

bool YKMessage::Adopt(std::shared_ptr<const char[]> bytes, std::size_t total) {
    YKMessage result;
    uint32 fieldCount = 0;
    const bool valid =
        WalkMessage(bytes.get(), total, 0, &result.what, &fieldCount, [&](const FieldView& view) {
            if (result.mFields.empty()) {
                result.mFields.reserve(fieldCount);
            }
            Field& field = result.mFields.emplace_back();
            field.type = view.type;
            field.count = view.count;
            field.nameLength = view.nameLength;
            field.bytes = view.bytes;
            field.size = static_cast<uint32>(view.size);
        });
    if (!valid || !result.Reindex()) {
        return false;
    }
    result.mArena = std::move(bytes);
    result.mArenaSize = total;
    *this = std::move(result);
    return true;
}

void YKMessage::PrintToStream() const {
    YKMessagePrinter(stdout).Print(*this);
}

#pragma once

// YKMessage: a what code and named fields, each name holding an ordered array of values of one
// type. Every persistent object archives itself into one and is rebuilt from one; the flattened
// form is what document and settings files store.
//
// Flattened form (little-endian):
//   header  : magic "YKMs" (u32), what (u32), field count (u32), total size in bytes (u32)
//   field   : type code (u32), name length n (u16, 1..kMaxNameLength), name (n bytes) and a NUL,
//             value count (u32), payload size (u32), payload
//   payload : fixed-size types: the values back to back;
//             strings, data, messages: per value its size (u32) then its bytes
//             (strings keep their terminating NUL; a message value is its own flattened form).
// Unflatten checks every size against the bytes it was given and caps nesting depth.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "YKPoint.h"
#include "YKRect.h"
#include "yk_color.h"
#include "yk_types.h"

// Type codes of the typed fields. Any other code is raw data added with AddData.
enum yk_type_code : uint32 {
    YK_BOOL_TYPE = 'BOOL',
    YK_INT8_TYPE = 'BYTE',
    YK_INT16_TYPE = 'SHRT',
    YK_INT32_TYPE = 'LONG',
    YK_INT64_TYPE = 'LLNG',
    YK_FLOAT_TYPE = 'FLOT',
    YK_DOUBLE_TYPE = 'DBLE',
    YK_STRING_TYPE = 'CSTR',
    YK_POINT_TYPE = 'BPNT',
    YK_RECT_TYPE = 'RECT',
    YK_COLOR_TYPE = 'RGBC',
    YK_POINTER_TYPE = 'PNTR',
    YK_MESSAGE_TYPE = 'MSGG',
    YK_RAW_TYPE = 'RAWT',
};

class YKMessage {
public:
    static constexpr int32 kMaxNameLength = 255;
    static constexpr int32 kMaxNestingDepth = 64;

    uint32 what = 0;

    YKMessage() = default;
    explicit YKMessage(uint32 whatCode) : what(whatCode) {}
    YKMessage(const YKMessage& other);
    YKMessage& operator=(const YKMessage& other);
    YKMessage(YKMessage&& other) noexcept;
    YKMessage& operator=(YKMessage&& other) noexcept;
    virtual ~YKMessage();

    // --- Adding: appends a value under the name. False for a null or over-long name, or when
    //     the name already holds values of another type.
    bool AddBool(const char* name, bool value);
    bool AddInt8(const char* name, int8 value);
    bool AddInt16(const char* name, int16 value);
    bool AddInt32(const char* name, int32 value);
    bool AddInt64(const char* name, int64 value);
    bool AddFloat(const char* name, float value);
    bool AddDouble(const char* name, double value);
    bool AddString(const char* name, const char* value);  // copied; false for null
    bool AddString(const char* name, const std::string& value);
    bool AddPoint(const char* name, YKPoint<double> value);
    bool AddRect(const char* name, YKRect<int32> value);
    bool AddColor(const char* name, const yk_color* value);
    bool AddPointer(const char* name, const void* value);       // not owned
    bool AddMessage(const char* name, const YKMessage* value);  // copied
    // Bytes under a type code, copied. Typed codes must carry a valid value of their type.
    bool AddData(const char* name, uint32 type, const void* data, ssize_t size);

    // --- Finding: true and the value at `index` (0 when absent) if it exists with that type;
    //     otherwise false and `out` unchanged.
    bool FindBool(const char* name, bool* out) const { return FindBool(name, 0, out); }
    bool FindBool(const char* name, int32 index, bool* out) const;
    bool FindInt8(const char* name, int8* out) const { return FindInt8(name, 0, out); }
    bool FindInt8(const char* name, int32 index, int8* out) const;
    bool FindInt16(const char* name, int16* out) const { return FindInt16(name, 0, out); }
    bool FindInt16(const char* name, int32 index, int16* out) const;
    bool FindInt32(const char* name, int32* out) const { return FindInt32(name, 0, out); }
    bool FindInt32(const char* name, int32 index, int32* out) const;
    bool FindInt64(const char* name, int64* out) const { return FindInt64(name, 0, out); }
    bool FindInt64(const char* name, int32 index, int64* out) const;
    bool FindFloat(const char* name, float* out) const { return FindFloat(name, 0, out); }
    bool FindFloat(const char* name, int32 index, float* out) const;
    bool FindDouble(const char* name, double* out) const { return FindDouble(name, 0, out); }
    bool FindDouble(const char* name, int32 index, double* out) const;
    // The string stays valid until this message changes.
    bool FindString(const char* name, const char** out) const { return FindString(name, 0, out); }
    bool FindString(const char* name, int32 index, const char** out) const;
    bool FindString(const char* name, std::string* out) const { return FindString(name, 0, out); }
    bool FindString(const char* name, int32 index, std::string* out) const;
    bool FindPoint(const char* name, YKPoint<double>* out) const { return FindPoint(name, 0, out); }
    bool FindPoint(const char* name, int32 index, YKPoint<double>* out) const;
    bool FindRect(const char* name, YKRect<int32>* out) const { return FindRect(name, 0, out); }
    bool FindRect(const char* name, int32 index, YKRect<int32>* out) const;
    bool FindColor(const char* name, yk_color* out) const { return FindColor(name, 0, out); }
    bool FindColor(const char* name, int32 index, yk_color* out) const;
    bool FindPointer(const char* name, void** out) const { return FindPointer(name, 0, out); }
    bool FindPointer(const char* name, int32 index, void** out) const;
    bool FindMessage(const char* name, YKMessage* out) const { return FindMessage(name, 0, out); }
    bool FindMessage(const char* name, int32 index, YKMessage* out) const;
    // The bytes stay valid until this message changes.
    bool FindData(const char* name, uint32 type, const void** data, ssize_t* size) const {
        return FindData(name, type, 0, data, size);
    }
    bool FindData(const char* name, uint32 type, int32 index, const void** data,
                  ssize_t* size) const;

    // --- Asking
    bool Has(const char* name, uint32 type, int32 index = 0) const;
    bool HasBool(const char* name, int32 index = 0) const { return Has(name, YK_BOOL_TYPE, index); }
    bool HasInt8(const char* name, int32 index = 0) const { return Has(name, YK_INT8_TYPE, index); }
    bool HasInt16(const char* name, int32 index = 0) const {
        return Has(name, YK_INT16_TYPE, index);
    }
    bool HasInt32(const char* name, int32 index = 0) const {
        return Has(name, YK_INT32_TYPE, index);
    }
    bool HasInt64(const char* name, int32 index = 0) const {
        return Has(name, YK_INT64_TYPE, index);
    }
    bool HasFloat(const char* name, int32 index = 0) const {
        return Has(name, YK_FLOAT_TYPE, index);
    }
    bool HasDouble(const char* name, int32 index = 0) const {
        return Has(name, YK_DOUBLE_TYPE, index);
    }
    bool HasString(const char* name, int32 index = 0) const {
        return Has(name, YK_STRING_TYPE, index);
    }
    bool HasPoint(const char* name, int32 index = 0) const {
        return Has(name, YK_POINT_TYPE, index);
    }
    bool HasRect(const char* name, int32 index = 0) const { return Has(name, YK_RECT_TYPE, index); }
    bool HasColor(const char* name, int32 index = 0) const {
        return Has(name, YK_COLOR_TYPE, index);
    }
    bool HasPointer(const char* name, int32 index = 0) const {
        return Has(name, YK_POINTER_TYPE, index);
    }
    bool HasMessage(const char* name, int32 index = 0) const {
        return Has(name, YK_MESSAGE_TYPE, index);
    }
    bool HasData(const char* name, uint32 type, int32 index = 0) const {
        return Has(name, type, index);
    }
    // The type and value count of a name; false when the name is absent.
    bool GetInfo(const char* name, uint32* type, int32* count) const;
    // The name, type and value count of the field at `index` in the order fields were added.
    bool GetInfo(int32 index, const char** name, uint32* type, int32* count) const;
    int32 CountNames() const { return static_cast<int32>(mFields.size()); }
    bool IsEmpty() const { return mFields.empty(); }

    // --- Changing: Replace... sets the value at `index` (0 when absent), which must exist.
    bool ReplaceBool(const char* name, bool value) { return ReplaceBool(name, 0, value); }
    bool ReplaceBool(const char* name, int32 index, bool value);
    bool ReplaceInt8(const char* name, int8 value) { return ReplaceInt8(name, 0, value); }
    bool ReplaceInt8(const char* name, int32 index, int8 value);
    bool ReplaceInt16(const char* name, int16 value) { return ReplaceInt16(name, 0, value); }
    bool ReplaceInt16(const char* name, int32 index, int16 value);
    bool ReplaceInt32(const char* name, int32 value) { return ReplaceInt32(name, 0, value); }
    bool ReplaceInt32(const char* name, int32 index, int32 value);
    bool ReplaceInt64(const char* name, int64 value) { return ReplaceInt64(name, 0, value); }
    bool ReplaceInt64(const char* name, int32 index, int64 value);
    bool ReplaceFloat(const char* name, float value) { return ReplaceFloat(name, 0, value); }
    bool ReplaceFloat(const char* name, int32 index, float value);
    bool ReplaceDouble(const char* name, double value) { return ReplaceDouble(name, 0, value); }
    bool ReplaceDouble(const char* name, int32 index, double value);
    bool ReplaceString(const char* name, const char* value) {
        return ReplaceString(name, 0, value);
    }
    bool ReplaceString(const char* name, int32 index, const char* value);
    bool ReplacePoint(const char* name, YKPoint<double> value) {
        return ReplacePoint(name, 0, value);
    }
    bool ReplacePoint(const char* name, int32 index, YKPoint<double> value);
    bool ReplaceRect(const char* name, YKRect<int32> value) { return ReplaceRect(name, 0, value); }
    bool ReplaceRect(const char* name, int32 index, YKRect<int32> value);
    bool ReplaceColor(const char* name, const yk_color* value) {
        return ReplaceColor(name, 0, value);
    }
    bool ReplaceColor(const char* name, int32 index, const yk_color* value);
    bool ReplacePointer(const char* name, const void* value) {
        return ReplacePointer(name, 0, value);
    }
    bool ReplacePointer(const char* name, int32 index, const void* value);
    bool ReplaceMessage(const char* name, const YKMessage* value) {
        return ReplaceMessage(name, 0, value);
    }
    bool ReplaceMessage(const char* name, int32 index, const YKMessage* value);
    bool ReplaceData(const char* name, uint32 type, int32 index, const void* data, ssize_t size);

    // Removes every value of the name; false when it was absent.
    bool RemoveName(const char* name);
    // Removes every field; the what code stays.
    void MakeEmpty();

    // --- Flattened form
    ssize_t FlattenedSize() const;
    // Writes the flattened form. `*size` holds the buffer's capacity on entry and the bytes
    // written on return; false (nothing promised about the buffer) when it does not fit.
    bool Flatten(char* buffer, ssize_t* size) const;
    std::string Flatten() const;
    // Rebuilds this message from `size` bytes. On failure (truncated, corrupt or hostile bytes)
    // returns false and leaves the message unchanged.
    bool Unflatten(const char* buffer, ssize_t size);
    // The same from bytes the message may keep: its fields point into them instead of into a
    // copy, which saves copying large archives.
    bool Unflatten(std::shared_ptr<const char[]> bytes, ssize_t size);

    // Prints the message, one field per line, nested messages indented.
    void PrintToStream() const;

private:
    // One name with its values, held as it is flattened from the name on: the name, a NUL,
    // the value count, the payload size and the payload, so flattening is a copy. Fields read by
    // Unflatten point into the message's shared arena; a field that changes moves to bytes of its
    // own first.
    struct Field {
        const char* bytes = nullptr;
        std::unique_ptr<std::string> own;
        uint32 size = 0;
        uint32 type = 0;
        uint32 count = 0;
        uint16 nameLength = 0;

        Field() = default;
        Field(const Field& other);
        Field& operator=(const Field& other);
        Field(Field&&) noexcept = default;
        Field& operator=(Field&&) noexcept = default;

        const char* Name() const { return bytes; }
        const char* Payload() const { return bytes + nameLength + 9; }
        std::size_t PayloadSize() const { return size - nameLength - 9; }
        // The field's own bytes, copied out of the arena on first use; call Sync() after
        // changing them or the count.
        std::string& Own();
        void Sync();
    };

    int32 FieldIndex(const char* name, std::size_t length) const;
    Field* FindField(const char* name);
    const Field* FindField(const char* name) const;
    const char* ValueAt(const char* name, uint32 type, int32 index, ssize_t* size) const;
    bool AddValue(const char* name, uint32 type, const void* data, ssize_t size);
    // Appends one value of `size` bytes that `write` puts in place; when it returns false the
    // message is left as it was.
    bool AppendValue(const char* name, uint32 type, ssize_t size,
                     const std::function<bool(char*)>& write);
    bool ReplaceValue(const char* name, uint32 type, int32 index, const void* data, ssize_t size);
    void IndexInsert(int32 fieldIndex);
    bool Reindex();
    bool Adopt(std::shared_ptr<const char[]> bytes, std::size_t total);
    // The cursor of each field, made on the first read that needs one.
    std::atomic<uint64>* Cursors() const;
    // Called by every change to the fields: cursors point at the bytes as they were.
    void DropCursors();

    std::vector<Field> mFields;
    // Name and payload bytes of the fields read by Unflatten; shared by copies, never changed.
    std::shared_ptr<const char[]> mArena;
    // The size of the whole block mArena belongs to.
    std::size_t mArenaSize = 0;
    // Open-addressed name index (slots hold field index + 1), kept once there are many fields.
    std::vector<uint32> mIndex;
    // Where the last value read by index lies in each field (index in the high half, offset in
    // the low), so that reading every value of a long field in turn is not quadratic. Kept
    // beside the fields, and only once such a read happens, so that reading a message allocates
    // no more than its fields. A hint only.
    mutable std::atomic<std::atomic<uint64>*> mCursors{nullptr};
};

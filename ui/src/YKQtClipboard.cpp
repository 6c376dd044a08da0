#include "YKQtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

void PutLength(QByteArray* bytes, uint32 value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes->append(static_cast<char>(value >> shift & 0xff));
    }
}

bool TakeLength(const QByteArray& bytes, qsizetype* at, uint32* value) {
    if (bytes.size() - *at < 4) {
        return false;
    }
    *value = 0;
    for (int i = 0; i < 4; ++i) {
        *value |= static_cast<uint32>(static_cast<uint8>(bytes[*at + i])) << (8 * i);
    }
    *at += 4;
    return true;
}

}  // namespace

void YKQtClipboard::Install() {
    static YKQtClipboard clipboard;
    YKClipboard::SetCurrent(&clipboard);
}

QByteArray YKQtClipboard::Encode(const std::vector<std::string>& entries) {
    QByteArray bytes;
    PutLength(&bytes, static_cast<uint32>(entries.size()));
    for (const std::string& entry : entries) {
        PutLength(&bytes, static_cast<uint32>(entry.size()));
        bytes.append(entry.data(), static_cast<qsizetype>(entry.size()));
    }
    return bytes;
}

bool YKQtClipboard::Decode(const QByteArray& bytes, std::vector<std::string>* entries) {
    entries->clear();
    qsizetype at = 0;
    uint32 count = 0;
    if (!TakeLength(bytes, &at, &count)) {
        return false;
    }
    // Each entry needs at least its length: a larger count cannot be true.
    if (count > static_cast<uint64>(bytes.size() - at) / 4) {
        return false;
    }
    for (uint32 i = 0; i < count; ++i) {
        uint32 length = 0;
        if (!TakeLength(bytes, &at, &length) || length > static_cast<uint64>(bytes.size() - at)) {
            entries->clear();
            return false;
        }
        entries->emplace_back(bytes.constData() + at, length);
        at += length;
    }
    return at == bytes.size() || (entries->clear(), false);
}

void YKQtClipboard::SetEntries(const char* type, std::vector<std::string> entries) {
    mType = QString::fromLatin1(type);
    mEncoded = Encode(entries);
    auto* data = new QMimeData;
    data->setData(mType, mEncoded);
    QGuiApplication::clipboard()->setMimeData(data);
}

std::vector<std::string> YKQtClipboard::Entries(const char* type) const {
    std::vector<std::string> entries;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data != nullptr) {
        Decode(data->data(QString::fromLatin1(type)), &entries);
    }
    return entries;
}

void YKQtClipboard::SetPicture(const QImage& picture) {
    const QMimeData* current = QGuiApplication::clipboard()->mimeData();
    if (current == nullptr || current->data(mType) != mEncoded) {
        return;
    }
    auto* data = new QMimeData;
    data->setData(mType, mEncoded);
    data->setImageData(picture);
    QGuiApplication::clipboard()->setMimeData(data);
}

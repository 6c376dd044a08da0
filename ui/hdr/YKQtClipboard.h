#pragma once

// YKQtClipboard: the clipboard of the desktop, under the system's clipboard. Copied objects
// travel as one "image/x-gravik-vector-clip" item holding every entry; a picture of them may go
// along as an image, for programs that do not know our objects.

#include <QImage>
#include <QString>
#include <string>
#include <vector>

#include "YKClipboard.h"
#include "yk_types.h"

class YKQtClipboard : public YKClipboard {
public:
    // Installs the one instance as the current clipboard (again and again is harmless).
    static void Install();

    void SetEntries(const char* type, std::vector<std::string> entries) override;
    // Entries that some other program put under our type and that do not hold together give
    // none.
    std::vector<std::string> Entries(const char* type) const override;
    // Offers `picture` beside the entries last set, as long as the system clipboard still holds
    // them.
    void SetPicture(const QImage& picture);

    // The entries as one item: a count, then each entry's length and bytes, lengths as 4-byte
    // little-endian numbers. Decode gives false for bytes that do not hold together.
    static QByteArray Encode(const std::vector<std::string>& entries);
    static bool Decode(const QByteArray& bytes, std::vector<std::string>* entries);

private:
    QString mType;
    QByteArray mEncoded;
};

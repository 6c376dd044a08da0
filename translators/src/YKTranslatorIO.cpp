// The formats Qt's image I/O offers, one object per file type, and their registration.

#include "YKTranslatorIO.h"

#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QMimeDatabase>
#include <algorithm>
#include <map>
#include <mutex>
#include <set>

#include "YKRasterFilters.h"

namespace {

// The system's own coders: Qt's would be a second writer of the same files.
constexpr const char* kOwnTypes[] = {"image/gif", "image/png", "image/jpeg", "image/x-tga"};

// Formats that keep partial transparency when Qt writes them; the others (BMP, the portable
// maps, XPM …) lose alpha or keep only an on/off mask.
constexpr const char* kAlphaFormats[] = {"cur", "icns", "ico", "tif", "tiff", "webp"};

// Names as people write them, where that is not just the format in capitals.
const std::map<std::string, std::string> kMenuNames = {
    {"tif", "TIFF"}, {"tiff", "TIFF"}, {"webp", "WebP"}};

struct FileType {
    std::set<std::string> formats;
    uint32 capabilities = 0;
};

// The file type of a Qt format: the MIME database's type for its extension, which tells
// aliases (tif, tiff) from formats that Qt lists under one type but that differ (ico, cur);
// failing that the type Qt lists it under, or one made from its name.
std::string TypeOf(const QMimeDatabase& database, const QByteArray& format) {
    const QMimeType type = database.mimeTypeForFile(
        QStringLiteral("x.") + QString::fromLatin1(format), QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault()) {
        return type.name().toStdString();
    }
    for (const QByteArray& listed : QImageReader::supportedMimeTypes()) {
        if (QImageReader::imageFormatsForMimeType(listed).contains(format)) {
            return listed.toStdString();
        }
    }
    return "image/x-" + format.toStdString();
}

bool IsOwnType(const std::string& type) {
    return std::find(std::begin(kOwnTypes), std::end(kOwnTypes), type) != std::end(kOwnTypes);
}

std::string MenuNameOf(const std::set<std::string>& formats) {
    const auto known = kMenuNames.find(*formats.begin());
    if (known != kMenuNames.end()) {
        return known->second;
    }
    std::string name = *formats.begin();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

bool HoldsAlpha(const std::set<std::string>& formats) {
    return std::any_of(formats.begin(), formats.end(), [](const std::string& format) {
        return std::find(std::begin(kAlphaFormats), std::end(kAlphaFormats), format) !=
               std::end(kAlphaFormats);
    });
}

}  // namespace

YKTranslatorIO::YKTranslatorIO(std::string menuName, std::vector<std::string> formats,
                               std::string mimeType, uint32 capabilities, bool keepsAlpha)
    : mMenuName(std::move(menuName)),
      mFormats(std::move(formats)),
      mMimeType(std::move(mimeType)),
      mCapabilities(capabilities),
      mKeepsAlpha(keepsAlpha) {
    for (const std::string& format : mFormats) {
        mExtension += (mExtension.empty() ? "." : ";.") + format;
    }
}

bool YKTranslatorIO::Owns(const std::string& format) const {
    return std::find(mFormats.begin(), mFormats.end(), format) != mFormats.end();
}

std::vector<std::unique_ptr<YKTranslatorIO>> YKTranslatorIO::InstantiateMultiple() {
    const QMimeDatabase database;
    std::map<std::string, FileType> types;
    const auto add = [&](const QList<QByteArray>& formats, uint32 capability) {
        for (const QByteArray& format : formats) {
            const std::string type = TypeOf(database, format);
            if (!IsOwnType(type)) {
                types[type].formats.insert(format.toLower().toStdString());
                types[type].capabilities |= capability;
            }
        }
    };
    add(QImageReader::supportedImageFormats(), kReadsStills);
    add(QImageWriter::supportedImageFormats(), kWritesStills);

    // Menus list them by name; the objects are made in that order so that their ids follow it.
    std::vector<std::pair<std::string, const std::string*>> named;
    for (const auto& [type, fileType] : types) {
        named.emplace_back(MenuNameOf(fileType.formats), &type);
    }
    std::sort(named.begin(), named.end());
    std::vector<std::unique_ptr<YKTranslatorIO>> ios;
    for (const auto& [name, type] : named) {
        const FileType& fileType = types.at(*type);
        ios.push_back(std::make_unique<YKTranslatorIO>(
            name, std::vector<std::string>(fileType.formats.begin(), fileType.formats.end()), *type,
            fileType.capabilities, HoldsAlpha(fileType.formats)));
    }
    return ios;
}

void YKTranslatorIO::RegisterAll() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        // A file Qt's plug-ins cannot read reaches the user as the reader's error text; what
        // the plug-ins would print besides is noise (QT_LOGGING_RULES can still show it).
        QLoggingCategory::setFilterRules(
            QStringLiteral("qt.gui.imageio*=false\nqt.imageformats.*=false"));
        YKRasterFilters* filters = YKRasterFilters::Instantiate();
        for (std::unique_ptr<YKTranslatorIO>& io : InstantiateMultiple()) {
            if (io->Capabilities() != 0) {
                filters->AddFilter(std::move(io));
            }
        }
    });
}

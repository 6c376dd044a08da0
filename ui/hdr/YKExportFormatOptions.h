#pragma once

// YKExportFormatOptions: the "Export Options" group: the controls of the fields a format's
// writer reads ("GIF Options": interlace, loop, speed; "JPEG Options": progressive, quality;
// "PNG Options"; "Targa Options"; ...), or the text that the format has none. Each control
// sets its field in the export's option message at once, or when editing of a number ends.

#include <QGroupBox>
#include <functional>

class YKRasterIOView;

class YKExportFormatOptions : public QGroupBox {
    Q_OBJECT

public:
    // `changed` runs after every change of a field.
    YKExportFormatOptions(YKRasterIOView* view, std::function<void()> changed,
                          QWidget* parent = nullptr);

    // "GIF Options" for both GIF formats, else the format's name and "Options".
    static QString Title(const char* menuName);

private:
    void AddCheck(const char* field, const QString& label, bool byDefault);
    void AddNumber(const char* field, const QString& label, int low, int high, int byDefault,
                   const QString& unit = {});
    void AddLoop();
    void AddSpeed();
    void AddColorType();
    void AddLink();

    YKRasterIOView* mView;
    std::function<void()> mChanged;
    class QFormLayout* mForm;
};

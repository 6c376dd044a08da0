#pragma once

// YKSetting: a message that knows its file in the user's settings folder, loads itself from it
// and saves itself to it. A subclass archives its values into the message and reads them back
// in CreateFrom; the base adds the version that decides whether a file can be loaded.

#include <string>

#include "YKMessage.h"
#include "yk_types.h"

class YKSetting : public YKMessage {
public:
    // What code given to an archive that has none yet.
    static constexpr uint32 kSettingWhat = 'Pref';

    explicit YKSetting(const char* fileName);
    // Reads the archive through YKSetting::CreateFrom; a subclass reads its own values itself.
    YKSetting(const YKMessage* archive, const char* fileName);
    ~YKSetting() override;

    // Reads the file's first message; false (nothing changed) when the file is missing,
    // unreadable or of a version this class cannot load.
    virtual bool Load();
    // Archives this object into itself and writes it as the file's only record. A new file
    // replaces the old one only once it is complete.
    virtual bool Save();
    // Sets the what code when there is none and adds "pref_version".
    virtual bool Archive(YKMessage* archive) const;
    // Needs "pref_version" and a version CanLoadVersion accepts.
    virtual bool CreateFrom(const YKMessage* archive);
    virtual int32 CurrentVersion() const;
    // Versions up to the current one.
    virtual bool CanLoadVersion(int32 version) const;
    using YKMessage::PrintToStream;
    virtual void PrintToStream(const char* label) const;

    const char* FileName() const { return mFileName.c_str(); }
    void SetFileName(const char* name);
    // Where the file lives; false when there is no user settings folder.
    bool FilePath(std::string* path) const;

private:
    std::string mFileName;
};

// Reads and writes values of INI-syntax files the way the classic private-profile calls do:
// every call goes to the file itself (nothing is cached between calls), section and key
// names match whatever their case, and every line the call does not change - comments,
// unknown sections, unknown keys, odd bytes - is written back exactly as it was.
//
// Writes replace the file atomically (a temporary file in the same folder, renamed over the
// old one, keeping its permissions; a symbolic link is written through to its target), so a
// crash or a full disk never leaves half a file behind. A write that cannot be made throws
// SettingsWriteError with the text "Unable to write to <file>".
#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace orvello {

inline constexpr const char* SettingsFileName = "WINORVEL.INI";
inline constexpr const char* DescriptionFileName = "Gamez.DSC";

// Texts read back are cut to this many characters.
inline constexpr int MaxProfileText = 1023;

class SettingsWriteError : public std::runtime_error {
  public:
    explicit SettingsWriteError(const QString& fileName);
    const QString& Text() const { return text_; }

  private:
    QString text_;
};

class IniFile {
  public:
    // Makes a settings object for the file; nothing is read or created yet.
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& FileName() const { return path_; }

    // The stored text (at most MaxProfileText characters), or the default when the file,
    // the section or the key is missing.
    QString ReadText(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x"/"0X" when the text is longer than two characters;
    // anything that is no number gives the default.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // Read as an integer with default 1 or 0; any value but 0 is true.
    bool ReadBoolean(const QString& section, const QString& key, bool def) const;

    // Each writes one key to the file at once, adding the section or the key when missing.
    void WriteText(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBoolean(const QString& section, const QString& key, bool value);

  private:
    QString path_;
};

// The value text as an integer, with the hexadecimal rule of ReadInteger.
int ProfileInteger(const QString& text, int def);

// The per-user settings folder where both files live (~/.config/Orvello for the application
// name "Orvello").
QString DefaultSettingsFolder();

}  // namespace orvello

#include "core/app/Settings.h"

#include "core/app/Folders.h"
#include "core/app/IniFile.h"
#include "core/app/Product.h"

#include <variant>

namespace {

struct SettingKey {
    const char* section;
    const char* key;
    std::variant<bool Settings::*, int Settings::*, QString Settings::*> field;
    bool limited = false; // cut to kSettingTextMax characters when read
};

// Every key of the file, in the order they are written: a new file lists them in this order.
const SettingKey kKeys[] = {
    {"Properties", "FirstLaunch", &Settings::firstLaunch},
    {"Properties", "TestMdac", &Settings::testMdac},
    {"Properties", "Splash", &Settings::splash},
    {"Properties", "ShowUI", &Settings::showUi},
    {"Properties", "ShowCalendar", &Settings::showCalendar},
    {"Properties", "HideBigFontMsg", &Settings::hideBigFontMsg},
    {"Scan", "TwainSource", &Settings::twainSource},
    {"Scan", "ShowTwainUI", &Settings::showTwainUi},
    {"Scan", "MaxWidth", &Settings::maxWidth},
    {"Scan", "JpegQuality", &Settings::jpegQuality},
    {"SMTP", "Name", &Settings::smtpName, true},
    {"SMTP", "Email", &Settings::smtpEmail, true},
    {"SMTP", "Host", &Settings::smtpHost, true},
    {"SMTP", "Port", &Settings::smtpPort},
    {"Windows", "Left", &Settings::windowLeft},
    {"Windows", "Top", &Settings::windowTop},
    {"Windows", "Width", &Settings::windowWidth},
    {"Windows", "Height", &Settings::windowHeight},
    {"Windows", "State", &Settings::windowState, true},
    {"Windows", "Style", &Settings::windowStyle},
};

Settings g_settings;

} // namespace

QString LimitSettingText(const QString& text) {
    if (text.size() <= kSettingTextMax) return text;
    qsizetype length = kSettingTextMax;
    if (text.at(length - 1).isHighSurrogate()) --length;
    return text.left(length);
}

Settings& CurrentSettings() {
    return g_settings;
}

QString SettingsFilePath() {
    return DataDir() + Product::SettingsFileName();
}

Settings ReadSettings(const IniFile& ini) {
    Settings settings; // every field starts at its default
    for (const SettingKey& entry : kKeys) {
        const QString section = QString::fromLatin1(entry.section);
        const QString key = QString::fromLatin1(entry.key);
        if (auto field = std::get_if<bool Settings::*>(&entry.field))
            settings.** field = ini.readBool(section, key, settings.**field);
        else if (auto field = std::get_if<int Settings::*>(&entry.field))
            settings.** field = ini.readInteger(section, key, settings.**field);
        else if (auto field = std::get_if<QString Settings::*>(&entry.field)) {
            const QString value = ini.readString(section, key, settings.**field);
            settings.** field = entry.limited ? LimitSettingText(value) : value;
        }
    }
    return settings;
}

void WriteSettings(const Settings& settings, IniFile& ini) {
    for (const SettingKey& entry : kKeys) {
        const QString section = QString::fromLatin1(entry.section);
        const QString key = QString::fromLatin1(entry.key);
        if (auto field = std::get_if<bool Settings::*>(&entry.field))
            ini.writeBool(section, key, settings.**field);
        else if (auto field = std::get_if<int Settings::*>(&entry.field))
            ini.writeInteger(section, key, settings.**field);
        else if (auto field = std::get_if<QString Settings::*>(&entry.field))
            ini.writeString(section, key, settings.**field);
    }
}

void LoadSettings() {
    LoadSettings(SettingsFilePath());
}

void LoadSettings(const QString& path) {
    g_settings = ReadSettings(IniFile(path));
}

bool SaveSettings(QString* error) {
    return SaveSettings(SettingsFilePath(), error);
}

bool SaveSettings(const QString& path, QString* error) {
    IniFile ini(path);
    WriteSettings(g_settings, ini);
    return ini.save(error);
}

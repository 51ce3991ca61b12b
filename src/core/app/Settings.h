#pragma once

#include <QString>

class IniFile;

// The user's preferences, held in memory while the program runs and kept in the settings file of the
// data folder. Each field is one key of the file: [section] Key in the comment.
struct Settings {
    bool firstLaunch = true;     // [Properties] FirstLaunch: false once the main window has been created
    bool testMdac = false;       // [Properties] TestMdac: check the data-access components at start-up
    bool splash = true;          // [Properties] Splash: show the splash window during start-up
    bool showUi = true;          // [Properties] ShowUI: kept and saved
    bool showCalendar = false;   // [Properties] ShowCalendar: show the tear-off calendar and the clock
    bool hideBigFontMsg = false; // [Properties] HideBigFontMsg: kept and saved

    QString twainSource;      // [Scan] TwainSource: scanner to use; empty for the default one
    bool showTwainUi = false; // [Scan] ShowTwainUI: the scanner shows its own window while scanning
    int maxWidth = 5000;      // [Scan] MaxWidth: largest width and height in pixels of a stored picture
    int jpegQuality = 100;    // [Scan] JpegQuality: quality of every JPEG the program writes

    QString smtpName;  // [SMTP] Name: sender name (at most kSettingTextMax characters)
    QString smtpEmail; // [SMTP] Email: sender address (at most kSettingTextMax characters)
    QString smtpHost;  // [SMTP] Host: server name (at most kSettingTextMax characters)
    int smtpPort = 25; // [SMTP] Port

    int windowLeft = -1;      // [Windows] Left: main window placement
    int windowTop = -1;       // [Windows] Top
    int windowWidth = -1;     // [Windows] Width: client width; negative when never saved
    int windowHeight = -1;    // [Windows] Height: client height
    QString windowState;      // [Windows] State: "wsNormal", "wsMinimized" or "wsMaximized" (at most kSettingTextMax)
    bool windowStyle = false; // [Windows] Style: native window frames for dialogs

    bool operator==(const Settings&) const = default;
};

// The longest SMTP texts and window state the settings hold; longer ones are cut when read or typed.
constexpr int kSettingTextMax = 255;
// The text cut to kSettingTextMax characters (never in the middle of a surrogate pair).
QString LimitSettingText(const QString& text);

// The settings of the running program.
Settings& CurrentSettings();

// DataDir() + the settings file name.
QString SettingsFilePath();

// Replaces CurrentSettings() by the content of the settings file; missing keys (or file) give the defaults.
void LoadSettings();
void LoadSettings(const QString& path);
// Writes every key of CurrentSettings() into the settings file, in a fixed order, keeping the file's other lines.
bool SaveSettings(QString* error = nullptr);
bool SaveSettings(const QString& path, QString* error = nullptr);

// The same on an INI file already open.
Settings ReadSettings(const IniFile& ini);
void WriteSettings(const Settings& settings, IniFile& ini);

#include "core/app/Settings.h"

#include "core/app/Folders.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every key with its default value, in the order a new settings file lists them.
const QByteArray kDefaultFile = "[Properties]\r\n"
                                "FirstLaunch=1\r\n"
                                "TestMdac=0\r\n"
                                "Splash=1\r\n"
                                "ShowUI=1\r\n"
                                "ShowCalendar=0\r\n"
                                "HideBigFontMsg=0\r\n"
                                "\r\n"
                                "[Scan]\r\n"
                                "TwainSource=\r\n"
                                "ShowTwainUI=0\r\n"
                                "MaxWidth=5000\r\n"
                                "JpegQuality=100\r\n"
                                "\r\n"
                                "[SMTP]\r\n"
                                "Name=\r\n"
                                "Email=\r\n"
                                "Host=\r\n"
                                "Port=25\r\n"
                                "\r\n"
                                "[Windows]\r\n"
                                "Left=-1\r\n"
                                "Top=-1\r\n"
                                "Width=-1\r\n"
                                "Height=-1\r\n"
                                "State=\r\n"
                                "Style=0\r\n";

struct TextKey {
    const char* section;
    const char* key;
    QString Settings::*field;
};

const TextKey kTextKeys[] = {
    {"SMTP", "Name", &Settings::smtpName},           {"SMTP", "Email", &Settings::smtpEmail},
    {"SMTP", "Host", &Settings::smtpHost},           {"Windows", "State", &Settings::windowState},
    {"Scan", "TwainSource", &Settings::twainSource},
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init() { CurrentSettings() = Settings(); }
    void noFileGivesEveryDefault();
    void newFileListsEveryKeyInOrder();
    void roundTripKeepsForeignLines();
    void unreadableValuesGiveDefaults();
    void longTextsAreCut_data();
    void longTextsAreCut();
    void defaultPathIsInDataFolder();

private:
    QTemporaryDir m_dir;
};

void TestSettings::noFileGivesEveryDefault() {
    // Start from values that are all different from the defaults, so that each field must be reset.
    Settings& s = CurrentSettings();
    s = {false, true, false, false, true, true, "x", true, 1, 2, "n", "e", "h", 3, 4, 5, 6, 7, "wsMaximized", true};
    LoadSettings(m_dir.filePath(QStringLiteral("absent.ini")));

    QCOMPARE(s.firstLaunch, true);
    QCOMPARE(s.testMdac, false);
    QCOMPARE(s.splash, true);
    QCOMPARE(s.showUi, true);
    QCOMPARE(s.showCalendar, false);
    QCOMPARE(s.hideBigFontMsg, false);
    QCOMPARE(s.twainSource, QString());
    QCOMPARE(s.showTwainUi, false);
    QCOMPARE(s.maxWidth, 5000);
    QCOMPARE(s.jpegQuality, 100);
    QCOMPARE(s.smtpName, QString());
    QCOMPARE(s.smtpEmail, QString());
    QCOMPARE(s.smtpHost, QString());
    QCOMPARE(s.smtpPort, 25);
    QCOMPARE(s.windowLeft, -1);
    QCOMPARE(s.windowTop, -1);
    QCOMPARE(s.windowWidth, -1);
    QCOMPARE(s.windowHeight, -1);
    QCOMPARE(s.windowState, QString());
    QCOMPARE(s.windowStyle, false);
}

void TestSettings::newFileListsEveryKeyInOrder() {
    const QString path = m_dir.filePath(QStringLiteral("new.ini"));
    QString error;
    QVERIFY2(SaveSettings(path, &error), qPrintable(error));
    QCOMPARE(ReadBytes(path), kDefaultFile);
}

void TestSettings::roundTripKeepsForeignLines() {
    const QString path = m_dir.filePath(QStringLiteral("roundtrip.ini"));
    WriteBytes(path, "; kept\r\n[Scan]\r\nmaxwidth=1200\r\nBrightness=3\r\n[Other]\r\nKey=value\r\n");
    const Settings saved = {false,
                            true,
                            false,
                            false,
                            true,
                            true,
                            QStringLiteral("Canon & Co — LiDE"),
                            true,
                            1600,
                            75,
                            QStringLiteral("Jean Dupont"),
                            QStringLiteral("jean@example.org"),
                            QStringLiteral("smtp.example.org"),
                            587,
                            10,
                            20,
                            800,
                            600,
                            QStringLiteral("wsMaximized"),
                            true};
    CurrentSettings() = saved;
    QString error;
    QVERIFY2(SaveSettings(path, &error), qPrintable(error));

    CurrentSettings() = Settings();
    LoadSettings(path);
    QCOMPARE(CurrentSettings(), saved);

    const QByteArray text = ReadBytes(path);
    QVERIFY(text.startsWith("; kept\r\n[Scan]\r\nmaxwidth=1600\r\nBrightness=3\r\n"));
    QVERIFY(text.contains("[Other]\r\nKey=value\r\n"));
    QVERIFY(text.contains("[Properties]\r\nFirstLaunch=0\r\nTestMdac=1\r\n"));
    QCOMPARE(text.count("MaxWidth="), 0); // rewritten under its existing spelling, not added twice
}

void TestSettings::unreadableValuesGiveDefaults() {
    QByteArray content = kDefaultFile;
    for (const char* key : {"FirstLaunch=1", "TestMdac=0", "Splash=1", "MaxWidth=5000", "JpegQuality=100", "Port=25",
                            "Left=-1", "Style=0"}) {
        const QByteArray line(key);
        content.replace(line, line.left(line.indexOf('=') + 1) + "12abc");
    }
    const QString path = m_dir.filePath(QStringLiteral("garbage.ini"));
    WriteBytes(path, content);
    CurrentSettings().smtpPort = 1;
    LoadSettings(path);
    QCOMPARE(CurrentSettings(), Settings());
}

void TestSettings::longTextsAreCut_data() {
    QTest::addColumn<int>("keyIndex");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    const QString long300 = QString(300, QLatin1Char('a'));
    const QString cut = QString(255, QLatin1Char('a'));
    for (int i = 0; i < 4; ++i)
        QTest::newRow(kTextKeys[i].key) << i << long300 << cut;
    QTest::newRow("Name of exactly 255") << 0 << cut << cut;
    // Never half a character: a pair that would straddle the limit goes as a whole.
    QTest::newRow("Host ending in an emoji")
        << 2 << QString(254, QLatin1Char('b')) + QStringLiteral("😀z") << QString(254, QLatin1Char('b'));
    QTest::newRow("TwainSource is not limited") << 4 << long300 << long300;
}

void TestSettings::longTextsAreCut() {
    QFETCH(int, keyIndex);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    const TextKey& key = kTextKeys[keyIndex];
    const QString path = m_dir.filePath(QStringLiteral("long.ini"));
    WriteBytes(path, QByteArray("[") + key.section + "]\r\n" + key.key + "=" + stored.toUtf8() + "\r\n");
    LoadSettings(path);
    QCOMPARE(CurrentSettings().*key.field, expected);
}

void TestSettings::defaultPathIsInDataFolder() {
    QTemporaryDir dataDir;
    SetDataDir(dataDir.path());
    CurrentSettings().smtpPort = 2525;
    QString error;
    QVERIFY2(SaveSettings(&error), qPrintable(error));
    QVERIFY(QFile::exists(dataDir.filePath(QStringLiteral("quorvel.ini"))));
    CurrentSettings() = Settings();
    LoadSettings();
    QCOMPARE(CurrentSettings().smtpPort, 2525);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"

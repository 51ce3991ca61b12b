#include "core/app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs the operation as an ordinary user: file permissions do not stop root, and the tests run as root
// in some build environments. Returns the operation's result; its error message goes into *error.
bool RunUnprivileged(const std::function<bool(QString*)>& operation, QString* error) {
    if (geteuid() != 0) return operation(error);
    int channel[2];
    if (pipe(channel) != 0) return true;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        QString message;
        const bool ok = operation(&message);
        const QByteArray bytes = message.toUtf8();
        if (write(channel[1], bytes.constData(), bytes.size()) < 0) _exit(2);
        _exit(ok ? 0 : 1);
    }
    close(channel[1]);
    QByteArray bytes;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    *error = QString::fromUtf8(bytes);
    // An operation that could not run at all counts as a success, so that the test fails.
    return !WIFEXITED(status) || WEXITSTATUS(status) != 1;
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void missingFile();
    void rewritesInPlaceAndKeepsOtherLines();
    void newFileListsKeysInWritingOrder();
    void legacyCodePageFileIsSavedAsUtf8();
    void valuesReadBackAsWritten_data();
    void valuesReadBackAsWritten();
    void saveIntoReadOnlyFolderKeepsOldFile();
    void unreadableFileIsNeverOverwritten();

private:
    QTemporaryDir m_dir;
};

void TestIniFile::reading_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("defaultValue"); // its type chooses readString, readInteger or readBool
    QTest::addColumn<QVariant>("expected");

    const QVariant noText(QStringLiteral("<default>"));
    auto row = [](const char* name, const QByteArray& content, const char* section, const char* key,
                  const QVariant& defaultValue, const QVariant& expected) {
        QTest::newRow(name) << content << QString::fromUtf8(section) << QString::fromUtf8(key) << defaultValue
                            << expected;
    };

    // Strings
    row("case of section and key", "[SMTP]\r\nHost=mail.example\r\n", "smtp", "HOST", noText, "mail.example");
    row("blanks around trimmed", "[S]\n  Key  =   some value  \n", "S", "Key", noText, "some value");
    row("blanks around section name", "  [ S ]  \nKey=v\n", "S", "Key", noText, "v");
    row("text after the first equals", "[S]\nUrl=a=b=c\n", "S", "Url", noText, "a=b=c");
    row("double quotes removed", "[S]\nK=\"  quoted \"\n", "S", "K", noText, "  quoted ");
    row("single quotes removed", "[S]\nK='x'\n", "S", "K", noText, "x");
    row("unmatched quotes kept", "[S]\nK=\"x'\n", "S", "K", noText, "\"x'");
    row("inner quotes kept", "[S]\nK=say \"hi\"\n", "S", "K", noText, "say \"hi\"");
    row("empty value is not the default", "[S]\nK=\n", "S", "K", noText, "");
    row("missing key", "[S]\nOther=1\n", "S", "K", noText, noText);
    row("missing section", "[T]\nK=1\n", "S", "K", noText, noText);
    row("key of the next section", "[S]\n[T]\nK=1\n", "S", "K", noText, noText);
    row("key before any section", "K=1\n[S]\n", "S", "K", noText, noText);
    row("first duplicated key wins", "[S]\nK=first\nk=second\n", "S", "K", noText, "first");
    row("first duplicated section wins", "[S]\nK=first\n[T]\n[s]\nK=second\n", "S", "K", noText, "first");
    row("commented key", "[S]\n;K=commented\n", "S", "K", noText, noText);
    row("comment before the key", "[S]\n; K=commented\nK=real\n", "S", "K", noText, "real");
    row("line without equals", "[S]\nK\n", "S", "K", noText, noText);
    row("no final line end", "[S]\nK=last", "S", "K", noText, "last");
    row("backslashes kept", "[Path]\nAppDataDir=C:\\Data\\\n", "Path", "AppDataDir", noText, "C:\\Data\\");
    row("UTF-8", "[S]\nK=Andr\xc3\xa9\n", "S", "K", noText, QStringLiteral("André"));
    row("UTF-8 with byte-order mark", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", noText, "v");
    row("Windows-1252", "[S]\nK=Andr\xe9 \x80 \x9c\n", "S", "K", noText, QStringLiteral("André € œ"));
    row("Windows-1252 section name", "[Param\xe8tres]\nK=v\n", QByteArray("Param\xc3\xa8tres").constData(), "K", noText,
        "v");

    // Integers
    row("integer", "[S]\nN=12\n", "S", "N", 7, 12);
    row("negative integer", "[S]\nN=-1\n", "S", "N", 7, -1);
    row("integer with blanks", "[S]\nN =  42 \n", "S", "N", 7, 42);
    row("quoted integer", "[S]\nN=\"42\"\n", "S", "N", 7, 42);
    row("text in an integer key", "[S]\nN=abc\n", "S", "N", 7, 7);
    row("digits then text", "[S]\nN=12abc\n", "S", "N", 7, 7);
    row("empty integer", "[S]\nN=\n", "S", "N", 7, 7);
    row("integer too large", "[S]\nN=99999999999\n", "S", "N", 7, 7);
    row("missing integer", "[S]\n", "S", "N", 7, 7);

    // Booleans
    row("0 is false", "[S]\nB=0\n", "S", "B", true, false);
    row("1 is true", "[S]\nB=1\n", "S", "B", false, true);
    row("any other integer is true", "[S]\nB=2\n", "S", "B", false, true);
    row("negative is true", "[S]\nB=-1\n", "S", "B", false, true);
    row("text keeps default true", "[S]\nB=false\n", "S", "B", true, true);
    row("text keeps default false", "[S]\nB=true\n", "S", "B", false, false);
    row("empty keeps the default", "[S]\nB=\n", "S", "B", true, true);
    row("missing boolean", "[S]\n", "S", "B", true, true);
}

void TestIniFile::reading() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QVariant, defaultValue);
    QFETCH(QVariant, expected);

    const QString path = m_dir.filePath(QStringLiteral("reading.ini"));
    WriteBytes(path, content);
    const IniFile ini(path);
    QVERIFY(ini.exists());
    switch (defaultValue.typeId()) {
    case QMetaType::Bool:
        QCOMPARE(ini.readBool(section, key, defaultValue.toBool()), expected.toBool());
        break;
    case QMetaType::Int:
        QCOMPARE(ini.readInteger(section, key, defaultValue.toInt()), expected.toInt());
        break;
    default:
        QCOMPARE(ini.readString(section, key, defaultValue.toString()), expected.toString());
    }
}

void TestIniFile::missingFile() {
    const IniFile ini(m_dir.filePath(QStringLiteral("absent.ini")));
    QVERIFY(!ini.exists());
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")), QStringLiteral("d"));
    QCOMPARE(ini.readInteger(QStringLiteral("S"), QStringLiteral("K"), 25), 25);
    QCOMPARE(ini.readBool(QStringLiteral("S"), QStringLiteral("K"), true), true);
}

void TestIniFile::rewritesInPlaceAndKeepsOtherLines() {
    const QString path = m_dir.filePath(QStringLiteral("edited.ini"));
    WriteBytes(path, "; written by hand\n"
                     "[Scan]\n"
                     "; the scanner\n"
                     "twainsource = Old scanner\n"
                     "MaxWidth=abc\n"
                     "garbage line\n"
                     "\n"
                     "[SMTP]\n"
                     "Host=old\n"
                     "Host=duplicate\n");
    IniFile ini(path);
    ini.writeString(QStringLiteral("SCAN"), QStringLiteral("TwainSource"), QStringLiteral("New scanner"));
    ini.writeInteger(QStringLiteral("Scan"), QStringLiteral("JpegQuality"), 80);
    ini.writeString(QStringLiteral("smtp"), QStringLiteral("host"), QStringLiteral("mail.example"));
    ini.writeBool(QStringLiteral("SMTP"), QStringLiteral("Secure"), false);
    ini.writeInteger(QStringLiteral("Windows"), QStringLiteral("Left"), -1);
    ini.writeBool(QStringLiteral("Windows"), QStringLiteral("Style"), true);
    QString error;
    QVERIFY2(ini.save(&error), qPrintable(error));

    // Line ends of the file (LF) kept; existing keys keep their spelling and place; new keys go after the
    // last line of their section, a new section at the end.
    QCOMPARE(ReadBytes(path), QByteArray("; written by hand\n"
                                         "[Scan]\n"
                                         "; the scanner\n"
                                         "twainsource=New scanner\n"
                                         "MaxWidth=abc\n"
                                         "garbage line\n"
                                         "JpegQuality=80\n"
                                         "\n"
                                         "[SMTP]\n"
                                         "Host=mail.example\n"
                                         "Host=duplicate\n"
                                         "Secure=0\n"
                                         "\n"
                                         "[Windows]\n"
                                         "Left=-1\n"
                                         "Style=1\n"));
    const IniFile reread(path);
    QCOMPARE(reread.readString(QStringLiteral("SMTP"), QStringLiteral("Host"), QString()),
             QStringLiteral("mail.example"));
}

void TestIniFile::newFileListsKeysInWritingOrder() {
    const QString path = m_dir.filePath(QStringLiteral("new.ini"));
    IniFile ini(path);
    QVERIFY(!ini.exists());
    ini.writeBool(QStringLiteral("Properties"), QStringLiteral("Splash"), true);
    ini.writeString(QStringLiteral("Scan"), QStringLiteral("TwainSource"), QString());
    ini.writeInteger(QStringLiteral("Properties"), QStringLiteral("Count"), 3);
    ini.writeBool(QStringLiteral("Properties"), QStringLiteral("Splash"), false);
    QString error;
    QVERIFY2(ini.save(&error), qPrintable(error));
    QCOMPARE(ReadBytes(path), QByteArray("[Properties]\r\nSplash=0\r\nCount=3\r\n\r\n[Scan]\r\nTwainSource=\r\n"));
}

void TestIniFile::legacyCodePageFileIsSavedAsUtf8() {
    const QString path = m_dir.filePath(QStringLiteral("legacy.ini"));
    WriteBytes(path, "; Param\xe8tres\r\n[SMTP]\r\nName=Andr\xe9\r\n");
    IniFile ini(path);
    ini.writeString(QStringLiteral("SMTP"), QStringLiteral("Host"), QStringLiteral("hôte"));
    QString error;
    QVERIFY2(ini.save(&error), qPrintable(error));
    QCOMPARE(ReadBytes(path), QByteArray("; Param\xc3\xa8tres\r\n[SMTP]\r\nName=Andr\xc3\xa9\r\nHost=h\xc3\xb4te\r\n"));
}

void TestIniFile::valuesReadBackAsWritten_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "Jean Dupont"
                           << "Jean Dupont";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("equals sign") << "a=b"
                                 << "a=b";
    QTest::newRow("semicolon") << ";not a comment"
                               << ";not a comment";
    QTest::newRow("blanks at the ends") << "  padded "
                                        << "  padded ";
    QTest::newRow("wrapped in double quotes") << "\"quoted\""
                                              << "\"quoted\"";
    QTest::newRow("wrapped in single quotes") << "'quoted'"
                                              << "'quoted'";
    QTest::newRow("accents") << QStringLiteral("Hélène Œuvre") << QStringLiteral("Hélène Œuvre");
    // A line break would end the value and let the rest be read as another key.
    QTest::newRow("line breaks") << "one\r\nTwo=2\nthree\rfour"
                                 << "one Two=2 three four";
}

void TestIniFile::valuesReadBackAsWritten() {
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(QStringLiteral("values.ini"));
    QFile::remove(path);
    IniFile ini(path);
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), value);
    ini.writeString(QStringLiteral("S"), QStringLiteral("After"), QStringLiteral("x"));
    QString error;
    QVERIFY2(ini.save(&error), qPrintable(error));

    const IniFile reread(path);
    QCOMPARE(reread.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("<missing>")), expected);
    QCOMPARE(reread.readString(QStringLiteral("S"), QStringLiteral("Two"), QStringLiteral("<missing>")),
             QStringLiteral("<missing>"));
    QCOMPARE(reread.readString(QStringLiteral("S"), QStringLiteral("After"), QString()), QStringLiteral("x"));
}

void TestIniFile::saveIntoReadOnlyFolderKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    const QByteArray old("[S]\r\nK=old\r\n");
    WriteBytes(path, old);
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);

    IniFile ini(path);
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new"));
    QString error;
    const bool saved = RunUnprivileged([&ini](QString* message) { return ini.save(message); }, &error);
    chmod(QFile::encodeName(dir.path()).constData(), 0700);

    QVERIFY(!saved);
    QVERIFY2(error.startsWith(QStringLiteral("Impossible d'enregistrer le fichier \"") + path + QLatin1Char('"')),
             qPrintable(error));
    QCOMPARE(ReadBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("settings.ini")});
}

void TestIniFile::unreadableFileIsNeverOverwritten() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    const QByteArray old("[S]\r\nK=old\r\nOther=kept\r\n");
    WriteBytes(path, old);
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
    // The file is the user's and writable, but not readable.
    if (geteuid() == 0) QVERIFY(chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
    QVERIFY(chmod(QFile::encodeName(path).constData(), 0200) == 0);

    QString error;
    const bool saved = RunUnprivileged(
        [&path](QString* message) {
            IniFile ini(path);
            if (!ini.exists()) return true; // the file must be seen, even though it cannot be read
            ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new"));
            return ini.save(message);
        },
        &error);
    chmod(QFile::encodeName(path).constData(), 0600);
    chmod(QFile::encodeName(dir.path()).constData(), 0700);

    QVERIFY(!saved);
    QVERIFY2(error.startsWith(QStringLiteral("Impossible de lire le fichier")), qPrintable(error));
    QCOMPARE(ReadBytes(path), old);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "TestIniFile.moc"

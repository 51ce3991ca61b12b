// The update engine on the starting database: keywords and arguments, tests and their blocks, data commands with
// their log lines, errors that are logged and errors that end the run, the picture migrations, the backup.
#include "core/app/DateRoutines.h"
#include "core/app/Folders.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/FieldTypes.h"
#include "core/db/UpdateLog.h"
#include "core/db/UpdateScript.h"
#include "core/db/UpdateScriptText.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/WindowsBitmap.h"
#include "support/FixtureDatabase.h"
#include "support/PictureFixtures.h"
#include "support/RecordingMessages.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kStamp = QStringLiteral("25/12/2008-14:30:05 : ");
const QString kBanner = QStringLiteral("********************* MISE A JOUR TERMINE *********************");
const QString kAlreadyDone = QStringLiteral("*** Mise à jour déjà effectuée ***");
const QString kScript = QStringLiteral("test.maj");

// A data folder with db.ini and a copy of the starting database, open on the main connection; the clock stopped.
class UpdateSandbox {
public:
    UpdateSandbox() {
        SetProgramDir(m_root.path() + QStringLiteral("/program/"));
        SetDataDir(m_root.path() + QStringLiteral("/data/"));
        QDir().mkpath(ProgramDir());
        QDir().mkpath(DataDir());
        QString error;
        ok = LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                  QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\"), &error) &&
             QDir().mkpath(DbDir() + QStringLiteral("Access")) && CopyStartingDatabase(DatabaseFile(), &error) &&
             OpenDatabase(kMainConnection, &error);
        if (!ok) qWarning() << error;
        SetClockForTesting(QDateTime(QDate(2008, 12, 25), QTime(14, 30, 5)));
    }
    ~UpdateSandbox() {
        CloseDatabase(kMainConnection);
        SetClockForTesting(QDateTime());
    }

    bool ok = false;

private:
    QTemporaryDir m_root;
};

UpdateScriptOptions MainOptions() {
    UpdateScriptOptions options;
    options.connectionName = kMainConnection;
    options.databaseFolder = DbDir();
    return options;
}

bool RunScript(const QByteArray& script, QString* error = nullptr, const UpdateScriptOptions& options = MainOptions()) {
    WriteTestFile(DataDir() + kScript, script);
    return RunUpdateScript(DataDir(), kScript, options, error);
}

QStringList LogLines() {
    QStringList lines = QString::fromUtf8(ReadWholeFile(UpdateLogFile())).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QStringList Stamped(const QStringList& messages) {
    QStringList lines;
    for (const QString& message : messages)
        lines << (message.isEmpty() ? message : kStamp + message);
    return lines;
}

// The colours of the four quadrants, read at their centres, where JPEG compression keeps them close.
bool SameQuadrantColours(const QImage& picture) {
    const QImage original = QuadrantBitmap(picture.width(), picture.height());
    for (const QPoint centre : {QPoint(1, 1), QPoint(3, 1), QPoint(1, 3), QPoint(3, 3)}) {
        const int x = centre.x() * picture.width() / 4;
        const int y = centre.y() * picture.height() / 4;
        const QByteArray a = PixelBytes(picture, x, y);
        const QByteArray b = PixelBytes(original, x, y);
        for (int channel = 0; channel < 3; ++channel)
            if (qAbs(int(uchar(a[channel])) - int(uchar(b[channel]))) > 8) return false;
    }
    return true;
}

QSqlQuery Select(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(statement)) qWarning() << statement << query.lastError().text();
    query.next();
    return query;
}

QVariant Value(const QString& statement) {
    return Select(statement).value(0);
}

bool Exec(const QString& statement, const QVariantList& values = {}) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    query.prepare(statement);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec()) return true;
    qWarning() << statement << query.lastError().text();
    return false;
}

bool TableExists(const QString& table) {
    return Value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name='%1'").arg(table)).toInt() == 1;
}

QByteArray BitmapBytes(int width, int height) {
    return WriteBitmapData(QuadrantBitmap(width, height));
}

bool AddPersonPicture(qint64 id, const QString& column, const QVariant& picture) {
    return Exec(QStringLiteral("INSERT INTO PERSON (Id, Name, %1) VALUES (?, ?, ?)").arg(column),
                {id, QStringLiteral("P%1").arg(id), picture});
}

QImage StoredBitmap(qint64 id, const QString& column) {
    QImage bitmap;
    ReadBitmapData(Value(QStringLiteral("SELECT %1 FROM PERSON WHERE Id=%2").arg(column).arg(id)).toByteArray(),
                   &bitmap);
    return bitmap;
}

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}

} // namespace

class TestUpdateScript : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_sandbox = std::make_unique<UpdateSandbox>();
        QVERIFY(m_sandbox->ok);
    }
    void cleanup() { m_sandbox.reset(); }

    void keywordsAreTestedInTheTablesOrder_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("command");
        QTest::newRow("not field exists before field exists")
            << "NotFieldExists(PERSON.Size)" << int(ScriptCommand::NotFieldExists);
        QTest::newRow("field exists") << "FieldExists(PERSON.Size)" << int(ScriptCommand::FieldExists);
        QTest::newRow("not table exists before table exists")
            << "NotTableExists(PERSON)" << int(ScriptCommand::NotTableExists);
        QTest::newRow("a keyword anywhere in the line")
            << "  -- then TableEmpty(PERSON)" << int(ScriptCommand::TableEmpty);
        QTest::newRow("a test word inside an SqlExe makes it a test")
            << "SqlExe{UPDATE T SET C='TableExists(X)'}" << int(ScriptCommand::TableExists);
        QTest::newRow("copy variant") << "ExtractImageToJpegCopy('A','B','C')"
                                      << int(ScriptCommand::ExtractImageToJpeg);
        QTest::newRow("white rectangle variant")
            << "ResizeBitmapInDataBase('A','B','1','2') ResizeBitmapDataBaseInWhiteRect"
            << int(ScriptCommand::ResizeBitmapInDataBase);
        QTest::newRow("compact before sql") << "CompactDataBase(X) SqlExe{}" << int(ScriptCommand::CompactDataBase);
        QTest::newRow("case-sensitive") << "sqlexe{DROP TABLE PERSON}" << int(ScriptCommand::None);
        QTest::newRow("END line") << "END" << int(ScriptCommand::None);
    }

    void keywordsAreTestedInTheTablesOrder() {
        QFETCH(QString, line);
        QFETCH(int, command);
        QCOMPARE(int(FindScriptCommand(line)), command);
    }

    void argumentsUseTheFirstDelimiters_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("replace") << "ReplaceStringInStatScript('Poids','Masse')" << true
                                 << QStringList{"Poids", "Masse"};
        QTest::newRow("replace with empty new text")
            << "ReplaceStringInQueryScript('x','')" << true << QStringList{"x", ""};
        QTest::newRow("replace without comma") << "ReplaceStringInStatScript('x')" << false << QStringList{};
        QTest::newRow("quoted") << "ExtractImageToJpeg('PERSON','Img1','People')" << true
                                << QStringList{"PERSON", "Img1", "People"};
        QTest::newRow("quoted, wrong count") << "ExtractImageToJpeg('PERSON','Img1')" << false << QStringList{};
    }

    void argumentsUseTheFirstDelimiters() {
        QFETCH(QString, line);
        QFETCH(bool, parsed);
        QFETCH(QStringList, arguments);
        QStringList found;
        if (line.startsWith(QLatin1String("Replace"))) {
            QString oldText;
            QString newText;
            QCOMPARE(ReplaceArguments(line, &oldText, &newText), parsed);
            if (parsed) found = {oldText, newText};
        } else {
            QCOMPARE(QuotedArguments(line, 3, &found), parsed);
        }
        if (parsed) QCOMPARE(found, arguments);
    }

    void commentsOnlyScriptLogsEachCommentThenTheBanner() {
        QVERIFY(RunScript("// Mise a jour 1.13\r\n//\r\n// fin"));
        // The comment is the rest of the line after "//", its blank included.
        QCOMPARE(LogLines(), Stamped({" Mise a jour 1.13", "", " fin", kBanner, ""}));
    }

    void emptyScriptLogsOnlyTheBanner() {
        QVERIFY(RunScript(""));
        QCOMPARE(LogLines(), Stamped({kBanner, ""}));
    }

    void scriptTextIsDecoded_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("Windows-1252, CR LF") << QByteArray("// Mise \xe0 jour d\xe9j\xe0 pr\xeate\r\n// \x80\r\n");
        QTest::newRow("UTF-8, LF") << Utf8("// Mise à jour déjà prête\n// €\n");
        QTest::newRow("UTF-8 with byte-order mark, CR") << Utf8("\xef\xbb\xbf// Mise à jour déjà prête\r// €");
    }

    void scriptTextIsDecoded() {
        QFETCH(QByteArray, script);
        QVERIFY(RunScript(script));
        QCOMPARE(LogLines(), Stamped({" Mise à jour déjà prête", " €", kBanner, ""}));
    }

    void logOfAnOlderInstallationBecomesUtf8() {
        WriteTestFile(UpdateLogFile(), "01/01/2004-10:00:00 : Base mise \xe0 jour\r\n\r\n");
        QVERIFY(RunScript("//Déjà"));
        QCOMPARE(LogLines(), QStringList{"01/01/2004-10:00:00 : Base mise à jour"} + QStringList{""} +
                                 Stamped({"Déjà", kBanner, ""}));
    }

    void testsDecideWhetherTheirBlockRuns_data() {
        QTest::addColumn<QString>("test");
        QTest::addColumn<bool>("blockRuns");
        QTest::newRow("NotTableExists, table there (other case)") << "NotTableExists(person)" << false;
        QTest::newRow("NotTableExists, table missing") << "NotTableExists(PATIENT)" << true;
        QTest::newRow("NotTableExists, quoted name") << "NotTableExists([Size])" << false;
        QTest::newRow("NotTableExists, system table") << "NotTableExists(sqlite_sequence)" << true;
        QTest::newRow("TableExists, table there") << "TableExists(PERSON)" << true;
        QTest::newRow("TableExists, table missing") << "TableExists(PATIENT)" << false;
        QTest::newRow("NotFieldExists, column there (other case)") << "NotFieldExists(PERSON.birthday_date)" << false;
        QTest::newRow("NotFieldExists, column missing") << "NotFieldExists(PERSON.Email)" << true;
        QTest::newRow("FieldExists, column there") << "FieldExists(PERSON.Name)" << true;
        QTest::newRow("FieldExists, column missing") << "FieldExists(PERSON.Email)" << false;
        QTest::newRow("TableEmpty, a row") << "TableEmpty(COMBOITEMS)" << false;
        QTest::newRow("TableEmpty, no row") << "TableEmpty(PERSON)" << true;
        QTest::newRow("NotFieldType autoincrement") << "NotFieldType(PERSON.Id,ftAutoInc)" << false;
        QTest::newRow("NotFieldType SMALLINT") << "NotFieldType(PERSON.Id_File,ftSmallint)" << false;
        QTest::newRow("NotFieldType SMALLINT is no integer") << "NotFieldType(PERSON.Id_File,ftInteger)" << true;
        QTest::newRow("NotFieldType INTEGER") << "NotFieldType(LST_ANALYSIS.Id_File,ftInteger)" << false;
        QTest::newRow("NotFieldType BIGINT") << "NotFieldType(EVENT.Id_Ref,ftLargeInt)" << false;
        QTest::newRow("NotFieldType VARCHAR") << "NotFieldType(PERSON.Name,ftWideString)" << false;
        QTest::newRow("NotFieldType VARCHAR is no ftString") << "NotFieldType(PERSON.Name,ftString)" << true;
        QTest::newRow("NotFieldType TEXT as ftWideMemo") << "NotFieldType(PERSON.Org_Secu,ftWideMemo)" << false;
        QTest::newRow("NotFieldType TEXT as ftMemo") << "NotFieldType(PERSON.Org_Secu,ftMemo)" << false;
        QTest::newRow("NotFieldType VARCHAR is no memo") << "NotFieldType(PERSON.Name,ftMemo)" << true;
        QTest::newRow("NotFieldType BLOB") << "NotFieldType(PERSON.Img1,ftBlob)" << false;
        QTest::newRow("NotFieldType DOUBLE") << "NotFieldType(PERSON.BirthDay_Weight,ftFloat)" << false;
        QTest::newRow("NotFieldType DATE") << "NotFieldType(EVENT.Date_Event,ftDateTime)" << false;
        QTest::newRow("NotFieldType RowKey") << "NotFieldType(EVENT.RowKey,ftAutoInc)" << false;
        QTest::newRow("NotFieldType unknown name") << "NotFieldType(PERSON.Name,ftNothing)" << true;
    }

    void testsDecideWhetherTheirBlockRuns() {
        QFETCH(QString, test);
        QFETCH(bool, blockRuns);
        QVERIFY(RunScript(Utf8(test + "\r\nSqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (77)}\r\nEND\r\n"
                                      "SqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (78)}\r\n")));
        QCOMPARE(Value("SELECT count(*) FROM COMBOITEMS WHERE Id_File=77").toInt(), blockRuns ? 1 : 0);
        QCOMPARE(Value("SELECT count(*) FROM COMBOITEMS WHERE Id_File=78").toInt(), 1);
        const QStringList log = LogLines();
        QCOMPARE(log.contains(kStamp + kAlreadyDone), !blockRuns);
        QCOMPARE(log.contains(kStamp + "SQL:INSERT INTO COMBOITEMS (Id_File) VALUES (77) (Ok)"), blockRuns);
    }

    void notTableExistsSkipsTheCreation() {
        QVERIFY(RunScript("// Table des personnes\r\nNotTableExists(PERSON)\r\n"
                          "SqlExe{CREATE TABLE PERSON (Id INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(128))}\r\n"
                          "SqlExe{DROP TABLE EVENT}\r\nEND\r\n"));
        QCOMPARE(LogLines(), Stamped({" Table des personnes", kAlreadyDone, kBanner, ""}));
        QVERIFY(TableExists("EVENT"));
    }

    void fieldTypeNamesHaveTheirCodes() {
        QCOMPARE(FieldTypeCode("ftUnknown"), 0);
        QCOMPARE(FieldTypeCode("ftSmallint"), 2);
        QCOMPARE(FieldTypeCode("ftAutoInc"), 14);
        QCOMPARE(FieldTypeCode("ftFixedChar"), 23);
        QCOMPARE(FieldTypeCode("ftWideString"), 24);
        QCOMPARE(FieldTypeCode("ftGuid"), 35);
        QCOMPARE(FieldTypeCode("ftWideMemo"), 39);
        QCOMPARE(FieldTypeCode("ftwidememo"), 0);
        QCOMPARE(FieldTypeCode("ftFMTBcd"), 0);
    }

    void missingEndEndsTheRunWithTheBanner() {
        QVERIFY(RunScript("SqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (1)}\r\nNotTableExists(PERSON)\r\n"
                          "SqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (2)}\r\n// fin\r\n"));
        const QStringList log = LogLines();
        QCOMPARE(log.size(), 5);
        QCOMPARE(log[0], kStamp + "SQL:INSERT INTO COMBOITEMS (Id_File) VALUES (1) (Ok)");
        QCOMPARE(log[1], kStamp + kAlreadyDone);
        QVERIFY2(log[2].startsWith(kStamp + "***") && log[2].contains("END"), qPrintable(log[2]));
        QCOMPARE(log.mid(3), Stamped({kBanner, ""}));
        QCOMPARE(Value("SELECT count(*) FROM COMBOITEMS WHERE Id_File IN (1, 2)").toInt(), 1);
    }

    void blockWithoutEndRunsToTheEndOfTheScript() {
        QVERIFY(RunScript("NotTableExists(NOTES)\r\nSqlExe{CREATE TABLE NOTES (Id INTEGER)}\r\n"
                          "SqlExe{INSERT INTO NOTES (Id) VALUES (1)}"));
        QCOMPARE(Value("SELECT count(*) FROM NOTES").toInt(), 1);
    }

    void failingSqlExeIsLoggedAndTheNextLineRuns_data() {
        QTest::addColumn<bool>("inBlock");
        QTest::newRow("outside a block") << false;
        QTest::newRow("inside a block") << true;
    }

    void failingSqlExeIsLoggedAndTheNextLineRuns() {
        QFETCH(bool, inBlock);
        const QByteArray body = "SqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (1)}\r\n"
                                "SqlExe{ALTER TABLE PERSON ADD COLUMN Name VARCHAR(10)}\r\n"
                                "SqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (2)}\r\n";
        QVERIFY(RunScript(inBlock ? "TableExists(PERSON)\r\n" + body + "END\r\n" : body));
        QCOMPARE(LogLines(), Stamped({"SQL:INSERT INTO COMBOITEMS (Id_File) VALUES (1) (Ok)",
                                      "SQL:ALTER TABLE PERSON ADD COLUMN Name VARCHAR(10) (error : duplicate column "
                                      "name: Name)",
                                      "SQL:INSERT INTO COMBOITEMS (Id_File) VALUES (2) (Ok)", kBanner, ""}));
        QCOMPARE(Value("SELECT count(*) FROM COMBOITEMS WHERE Id_File IN (1, 2)").toInt(), 2);
    }

    void sqlExeIsCutAt255Characters() {
        const QString head = QStringLiteral("INSERT INTO COMBOITEMS (Id_File, Misc01) VALUES (5, '");
        const QString statement = head + QString(255 - head.size() - 2, QLatin1Char('a')) + QStringLiteral("')");
        QCOMPARE(statement.size(), 255);
        // What lies beyond would make the statement fail if it were kept.
        QVERIFY(RunScript(Utf8("SqlExe{" + statement + " AND NONSENSE}\r\n")));
        QCOMPARE(LogLines().value(0), kStamp + "SQL:" + statement + " (Ok)");
        QCOMPARE(Value("SELECT length(Misc01) FROM COMBOITEMS WHERE Id_File=5").toInt(), 255 - head.size() - 2);
    }

    void testErrorEndsTheRunAndUndoesItsBlock_data() {
        QTest::addColumn<QString>("test");
        QTest::newRow("column test on a missing table") << "NotFieldExists(PATIENT.Name)";
        QTest::newRow("type test on a missing column") << "NotFieldType(PERSON.Email,ftWideString)";
        QTest::newRow("TableEmpty on a missing table") << "TableEmpty(PATIENT)";
        QTest::newRow("malformed test") << "NotFieldExists(PERSON)";
    }

    void testErrorEndsTheRunAndUndoesItsBlock() {
        QFETCH(QString, test);
        UpdateScriptOptions options = MainOptions();
        options.deleteScript = true;
        QString error;
        QVERIFY(!RunScript(Utf8("SqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (1)}\r\n"
                                "NotTableExists(NOTES)\r\nSqlExe{CREATE TABLE NOTES (Id INTEGER)}\r\n" +
                                test + "\r\nSqlExe{INSERT INTO NOTES (Id) VALUES (1)}\r\nEND\r\n"),
                           &error, options));
        QVERIFY(!error.isEmpty());
        // The line before the block stays done; the block is undone whole; the script stays to run again.
        QCOMPARE(Value("SELECT count(*) FROM COMBOITEMS WHERE Id_File=1").toInt(), 1);
        QVERIFY(!TableExists("NOTES"));
        QVERIFY(QFileInfo::exists(DataDir() + kScript));
        const QStringList log = LogLines();
        QVERIFY(!log.contains(kStamp + kBanner));
        QCOMPARE(log.last(), kStamp + test + " (error : " + error + ")");
        // The connection is usable afterwards.
        QVERIFY(Exec("INSERT INTO COMBOITEMS (Id_File) VALUES (3)"));
    }

    void scriptIsDeletedOnlyWhenAsked() {
        QVERIFY(RunScript("// a"));
        QVERIFY(QFileInfo::exists(DataDir() + kScript));
        UpdateScriptOptions options = MainOptions();
        options.deleteScript = true;
        QVERIFY(RunScript("// a", nullptr, options));
        QVERIFY(!QFileInfo::exists(DataDir() + kScript));
    }

    void compactDataBaseLeavesNoCopyBehind() {
        QVERIFY(Exec("INSERT INTO PERSON (Id, Name) VALUES (1, 'Durand')"));
        QVERIFY(RunScript("TableExists(PERSON)\r\nSqlExe{INSERT INTO PERSON (Id, Name) VALUES (2, 'Roux')}\r\n"
                          "CompactDataBase(KESTOVRAN.MDB)\r\n"
                          "SqlExe{INSERT INTO PERSON (Id, Name) VALUES (3, 'Blanc')}\r\nEND\r\n"));
        QCOMPARE(LogLines().value(1), kStamp + "Compactage de la base de données (Ok)");
        QVERIFY(!QFileInfo::exists(DbDir() + "Access/KESTOVRAN~.MDB"));
        QVERIFY(QSqlDatabase::database(kMainConnection).isOpen());
        QCOMPARE(Value("SELECT group_concat(Name, ',') FROM (SELECT Name FROM PERSON ORDER BY Id)").toString(),
                 QStringLiteral("Durand,Roux,Blanc"));
    }

    // A script compacts the databases of the database folder's Access/ only: a path out of it is refused, and the
    // file there is left as it was (not rewritten, not renamed).
    void compactionStaysInTheDatabaseFolder_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("up two folders") << "..\\..\\victime.db";
        QTest::newRow("up one folder") << "../victime.db";
    }
    void compactionStaysInTheDatabaseFolder() {
        QFETCH(QString, name);
        const QString victim = QDir::cleanPath(DbDir() + QStringLiteral("Access/") + ToSlashes(name));
        QVERIFY(!victim.startsWith(DbDir() + QStringLiteral("Access/")));
        {
            QFile::remove(victim);
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("victim"));
            db.setDatabaseName(victim);
            QVERIFY(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE t (x)"));
            QSqlQuery(db).exec(QStringLiteral("INSERT INTO t VALUES (randomblob(20000))"));
            QSqlQuery(db).exec(QStringLiteral("DELETE FROM t"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("victim"));
        const QByteArray before = ReadWholeFile(victim);

        QVERIFY(RunScript(("CompactDataBase(" + name + ")").toUtf8()));
        const QStringList log = LogLines();
        QVERIFY2(log.value(0).startsWith(kStamp + "Compactage de la base de données (error : "),
                 qPrintable(log.value(0)));
        QCOMPARE(ReadWholeFile(victim), before);
        QFile::remove(victim);
    }

    void compactionOfAMissingFileIsLogged() {
        QVERIFY(RunScript("CompactDataBase(ABSENT.MDB)\r\nSqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (4)}"));
        const QStringList log = LogLines();
        QVERIFY2(log.value(0).startsWith(kStamp + "Compactage de la base de données (error : "), qPrintable(log[0]));
        QCOMPARE(Value("SELECT count(*) FROM COMBOITEMS WHERE Id_File=4").toInt(), 1);
    }

    void extractImageToJpegKeepsAnExistingFileButClearsTheColumn() {
        QByteArray earlier;
        QVERIFY(JpegEncodeBitmap(QuadrantBitmap(16, 16), 50, &earlier));
        QVERIFY(AddPersonPicture(1, "Img1", BitmapBytes(32, 32)));
        QVERIFY(AddPersonPicture(2, "Img1", BitmapBytes(64, 32)));
        QVERIFY(AddPersonPicture(3, "Img1", QVariant()));
        const QString images = DbDir() + QStringLiteral("Images/");
        WriteTestFile(images + "People1.jpg", earlier);

        QVERIFY(RunScript("ExtractImageToJpeg('PERSON','Img1','People')"));
        QCOMPARE(LogLines(), Stamped({"OPTIMISATION:Extraction des images au format jpeg de la table PERSON",
                                      "Conversion de l'image : " + images + "People1.jpg",
                                      "Conversion de l'image : " + images + "People2.jpg", "", kBanner, ""}));
        QCOMPARE(ReadWholeFile(images + "People1.jpg"), earlier);
        QImage extracted;
        QVERIFY(JpegLoadBitmap(&extracted, images + "People2.jpg"));
        QCOMPARE(extracted.size(), QSize(64, 32));
        QVERIFY(SameQuadrantColours(extracted));
        QVERIFY(!QFileInfo::exists(images + "People3.jpg"));
        QCOMPARE(Value("SELECT count(*) FROM PERSON WHERE Img1 IS NOT NULL").toInt(), 0);
        QVERIFY(!QFileInfo::exists(images + "Temp.Bmp"));
    }

    void extractImageToJpegCopyKeepsTheColumn() {
        QVERIFY(AddPersonPicture(1, "Img2", BitmapBytes(16, 16)));
        QVERIFY(RunScript("ExtractImageToJpegCopy('PERSON','Img2','People')"));
        QVERIFY(QFileInfo::exists(DbDir() + "Images/People1.jpg"));
        QCOMPARE(Value("SELECT Img2 FROM PERSON WHERE Id=1").toByteArray(), BitmapBytes(16, 16));
    }

    void pictureCommandsOnAnEmptyTable_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("closing");
        QTest::newRow("extract") << "ExtractImageToJpeg('PERSON','Img1','People')"
                                 << "Pas d'images dans la base";
        QTest::newRow("extract jpeg") << "ExtractJpegImage('PERSON','Img1','People')"
                                      << "Pas d'images dans la base";
        QTest::newRow("resize") << "ResizeBitmapInDataBase('PERSON','ImgMini1','10','10')"
                                << "Pas d'images dans la table";
        QTest::newRow("convert") << "ConvertBitmapToJpegInDataBase('PERSON','Img1')"
                                 << "Pas d'images dans la table";
    }

    void pictureCommandsOnAnEmptyTable() {
        QFETCH(QString, line);
        QFETCH(QString, closing);
        QVERIFY(RunScript(Utf8(line)));
        QCOMPARE(LogLines().value(1), kStamp + closing);
    }

    void extractJpegImageWritesTheBytesUnchanged() {
        QByteArray jpeg;
        QVERIFY(JpegEncodeBitmap(QuadrantBitmap(16, 16), 80, &jpeg));
        QVERIFY(AddPersonPicture(7, "Img3", jpeg));
        const QString target = DbDir() + QStringLiteral("Images/Doc7.jpg");
        WriteTestFile(target, "an older file");
        QVERIFY(RunScript("ExtractJpegImage('PERSON','Img3','Doc')"));
        QCOMPARE(LogLines().value(1), kStamp + "Extraction de l'image : " + target);
        QCOMPARE(ReadWholeFile(target), jpeg);
        QVERIFY(Value("SELECT Img3 FROM PERSON WHERE Id=7").isNull());
    }

    void resizeBitmapInDataBase_data() {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("picture");
        QTest::newRow("shrunk") << "" << QSize(40, 20) << QSize(40, 20);
        QTest::newRow("white rectangle") << " ResizeBitmapDataBaseInWhiteRect" << QSize(40, 30) << QSize(40, 20);
    }

    void resizeBitmapInDataBase() {
        QFETCH(QString, variant);
        QFETCH(QSize, size);
        QFETCH(QSize, picture);
        QVERIFY(AddPersonPicture(3, "ImgMini1", BitmapBytes(160, 80)));
        QVERIFY(AddPersonPicture(4, "ImgMini1", BitmapBytes(20, 10)));
        QVERIFY(RunScript(Utf8("ResizeBitmapInDataBase('PERSON','ImgMini1','40','30')" + variant)));
        QCOMPARE(LogLines().mid(0, 3),
                 Stamped({"OPTIMISATION:Redimensionne les images Bitmap de la table PERSON",
                          "Redimensionnement de l'image : 3.jpg", "Redimensionnement de l'image : 4.jpg"}));
        const QImage stored = StoredBitmap(3, "ImgMini1");
        QCOMPARE(stored.size(), size);
        const int top = (size.height() - picture.height()) / 2;
        // Red in the top left quadrant of the picture, white above it in the padded variant.
        QCOMPARE(PixelBytes(stored, 2, top + 2), QByteArray("\x00\x00\xff", 3));
        if (top > 0) QCOMPARE(PixelBytes(stored, 2, top - 1), QByteArray("\xff\xff\xff", 3));
        // Never enlarged.
        const QImage small = StoredBitmap(4, "ImgMini1");
        QCOMPARE(small.size(), variant.isEmpty() ? QSize(20, 10) : size);
    }

    void convertBitmapToJpegInDataBase() {
        QVERIFY(AddPersonPicture(5, "ImgMini2", BitmapBytes(64, 32)));
        QVERIFY(RunScript("ConvertBitmapToJpegInDataBase('PERSON','ImgMini2')"));
        QCOMPARE(LogLines().value(1), kStamp + "Conversion de l'image : 5.jpg");
        QImage decoded;
        QVERIFY(JpegDecodeBitmap(Value("SELECT ImgMini2 FROM PERSON WHERE Id=5").toByteArray(), &decoded));
        QCOMPARE(decoded.size(), QSize(64, 32));
        QVERIFY(SameQuadrantColours(decoded));
        QVERIFY(!QFileInfo::exists(DbDir() + "Images/temp.jpg"));
    }

    void failedPictureCommandLeavesItsTableAsItWas() {
        QVERIFY(AddPersonPicture(1, "Img1", BitmapBytes(16, 16)));
        QVERIFY(AddPersonPicture(2, "Img1", QByteArray("BM not a bitmap at all")));
        QVERIFY(RunScript("ExtractImageToJpeg('PERSON','Img1','People')\r\n"
                          "SqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (6)}"));
        const QStringList log = LogLines();
        QVERIFY2(log.value(3).startsWith(kStamp + " (error : "), qPrintable(log.value(3)));
        QCOMPARE(Value("SELECT count(*) FROM PERSON WHERE Img1 IS NOT NULL").toInt(), 2);
        QCOMPARE(Value("SELECT count(*) FROM COMBOITEMS WHERE Id_File=6").toInt(), 1);
    }

    void convertAndReplaceLegacyTrees() {
        const QString stat = ProgramDir() + QStringLiteral("Stat/");
        WriteTestFile(stat + "StatTree.def", "Poids;0\r\n\tPoids moyen  ;1\r\n\tSans fichier;1\r\nTaille;0\r\n");
        WriteTestFile(stat + "Poids moyen  .stq", "[Stat]\r\nSELECT AVG(Poids) FROM PERSON\r\nfin \xe9t\xe9\r\n");
        const QString query = ProgramDir() + QStringLiteral("Query/");
        WriteTestFile(query + "QueryTree.def", "\tListe;1\r\n");
        WriteTestFile(query + "Liste.req", "SELECT Poids\nFROM PERSON");
        QVERIFY(Exec("DELETE FROM STAT_TREE") && Exec("DELETE FROM STAT_QUERY") && Exec("DELETE FROM SQL_TREE") &&
                Exec("DELETE FROM SQL_QUERY"));

        QVERIFY(RunScript("ConvertStatScript{Graph=1}\r\nConvertQueryScript\r\n"
                          "ReplaceStringInStatScript('Poids','Weight')\r\n"
                          "ReplaceStringInQueryScript('PERSON','PERSONNE')\r\n"));
        QCOMPARE(LogLines().mid(0, 4),
                 Stamped({"CONVERSION:Statistiques (Ok)", "CONVERSION:Requêtes (Ok)",
                          "MODIFICATION:Statistiques(Poids) (Ok)", "MODIFICATION:Requêtes(PERSON) (Ok)"}));

        QSqlQuery tree = Select("SELECT group_concat(Id_File || '|' || NodeTitle || '|' || NodeLevel || '|' || "
                                "NodePos || '|' || NodeType, ';') FROM (SELECT * FROM STAT_TREE ORDER BY Id)");
        QCOMPARE(tree.value(0).toString(),
                 QStringLiteral("-1|Poids|0|0|1;-1|Poids moyen|1|1|2;-1|Sans fichier|1|2|2;-1|Taille|0|3|1"));
        QCOMPARE(
            Value("SELECT Query FROM STAT_QUERY WHERE Id_Tree=(SELECT Id FROM STAT_TREE WHERE NodePos=1)").toString(),
            QStringLiteral("[Stat]\r\nSELECT AVG(Weight) FROM PERSON{Graph=1}\r\nfin été"));
        QCOMPARE(Value("SELECT count(*) FROM STAT_QUERY").toInt(), 1);
        QCOMPARE(Value("SELECT NodeTitle || NodeType FROM SQL_TREE").toString(), QStringLiteral("Liste2"));
        QCOMPARE(Value("SELECT Query FROM SQL_QUERY WHERE Id_Tree=(SELECT Id FROM SQL_TREE)").toString(),
                 QStringLiteral("SELECT Poids\r\nFROM PERSONNE"));
    }

    void backupIsOfferedAndNamedAfterTheDatabase_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void backupIsOfferedAndNamedAfterTheDatabase() {
        QFETCH(bool, answer);
        QVERIFY(Exec("INSERT INTO PERSON (Id, Name) VALUES (1, 'Durand')"));
        RecordingMessages messages;
        messages.answers = {answer};
        UpdateScriptOptions options = MainOptions();
        options.backup = UpdateBackup::Ask;
        QVERIFY(RunScript("SqlExe{DELETE FROM PERSON}", nullptr, options));
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].text, QStringLiteral("Souhaitez-vous effectuer une sauvegarde de la base de "
                                                           "données avant la mise à jour ?"));
        const QString backup = DataDir() + "Backup/Maj/KESTOVRAN_ACCESS_BACKUP_MAJ_25122008143005.bkp";
        QCOMPARE(QFileInfo::exists(backup), answer);
        QCOMPARE(Value("SELECT count(*) FROM PERSON").toInt(), 0);
        if (!answer) return;
        // The copy is the database as it was before the update.
        QVERIFY(OpenDatabaseFile(QStringLiteral("backup"), backup));
        QSqlQuery saved(QSqlDatabase::database(QStringLiteral("backup")));
        QVERIFY(saved.exec("SELECT Name FROM PERSON") && saved.next());
        QCOMPARE(saved.value(0).toString(), QStringLiteral("Durand"));
        saved.finish();
        CloseDatabase(QStringLiteral("backup"));
    }

    void failedBackupEndsTheRun() {
        // A folder where the copy should go.
        QVERIFY(QDir().mkpath(DataDir() + "Backup/Maj/KESTOVRAN_ACCESS_BACKUP_MAJ_25122008143005.bkp/x"));
        UpdateScriptOptions options = MainOptions();
        options.backup = UpdateBackup::Always;
        QString error;
        QVERIFY(!RunScript("SqlExe{DELETE FROM COMBOITEMS}", &error, options));
        QVERIFY(!error.isEmpty());
        QCOMPARE(Value("SELECT count(*) FROM COMBOITEMS").toInt(), 1);
        QVERIFY(QSqlDatabase::database(kMainConnection).isOpen());
    }

private:
    std::unique_ptr<UpdateSandbox> m_sandbox;
};

QTEST_GUILESS_MAIN(TestUpdateScript)
#include "TestUpdateScript.moc"

// Pictures tied to rows: storing (JPEG copied as it is, bitmaps limited and encoded, thumbnails in the row), clearing,
// failures that must leave the previous picture whole, and saving a copy through a scripted dialog.
#include "core/app/Folders.h"
#include "core/app/Settings.h"
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/TDataModule1.h"
#include "core/documents/StoredPictures.h"
#include "core/imaging/Bitmaps.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/WindowsBitmap.h"

#include "support/FixtureDatabase.h"
#include "support/PictureFixtures.h"
#include "support/RecordingMessages.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A column of a row as the database holds it, read past the dataset.
QVariant Stored(const QString& table, const QString& column, qint64 id) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(QStringLiteral("SELECT %1 FROM %2 WHERE Id=%3").arg(column, table).arg(id)) || !query.next())
        return QStringLiteral("<no row>");
    return query.value(0);
}

// True when every pixel outside the rectangle is white and no pixel inside it is.
bool WhiteExactlyOutside(const QImage& bitmap, const QRect& picture) {
    const QByteArray white(3, char(255));
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if ((PixelBytes(bitmap, x, y) == white) == picture.contains(x, y)) return false;
    return true;
}

class ScriptedChooser final : public SaveFileChooser {
public:
    QString chooseSaveFile(const QString& title, const QString& filter, const QString& defaultExtension,
                           const QString& proposedName) override {
        ++calls;
        this->title = title;
        this->filter = filter;
        this->defaultExtension = defaultExtension;
        this->proposedName = proposedName;
        return answer;
    }

    QString answer;
    int calls = 0;
    QString title, filter, defaultExtension, proposedName;
};

} // namespace

class TestStoredPictures : public QObject {
    Q_OBJECT
    FixtureDatabase m_fixture;
    QTemporaryDir m_work;
    QString m_dbDir;
    QString m_sources;
    TDataModule1* m_module = nullptr;
    QString m_previousDbDir;

    // A picture file in the sources folder: a JPEG written by us or a Windows bitmap, after its name.
    QString source(const QString& name, const QImage& picture) {
        const QString path = m_sources + name;
        if (name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
            WriteBytes(path, WriteBitmapData(picture));
        } else {
            QByteArray jpeg;
            if (!JpegEncodeBitmap(picture, 90, &jpeg)) qFatal("cannot encode %s", qPrintable(name));
            WriteBytes(path, jpeg);
        }
        return path;
    }

    Dataset& documents() {
        Dataset& images = *m_module->DocumentImg;
        images.close();
        images.setSqlLine(1, QStringLiteral("WHERE ID_REF=%1").arg(Fixture::kDupont));
        if (!images.open() || !images.locate(1)) qFatal("no image document 1");
        return images;
    }

    Dataset& persons() {
        Dataset& person = *m_module->Person;
        person.close();
        if (!person.open() || !person.locate(Fixture::kMartin)) qFatal("no person");
        return person;
    }

    QStringList imageFolder() const { return QDir(m_dbDir + QStringLiteral("Images/")).entryList(QDir::Files); }

private slots:
    void initTestCase() {
        QString error;
        QVERIFY2(m_fixture.build(&error), qPrintable(error));
        m_previousDbDir = DbDir();
    }

    void init() {
        m_dbDir = m_work.filePath(QString::fromLatin1(QTest::currentTestFunction())) + QStringLiteral("/");
        QString dataTag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
        if (!dataTag.isEmpty()) m_dbDir += dataTag + QStringLiteral("/");
        m_sources = m_dbDir + QStringLiteral("sources/");
        QVERIFY(QDir().mkpath(m_dbDir + QStringLiteral("Access")));
        QVERIFY(QDir().mkpath(m_dbDir + QStringLiteral("Images")));
        QVERIFY(QDir().mkpath(m_sources));
        const QString database = m_dbDir + QStringLiteral("Access/KESTOVRAN.MDB");
        QString error;
        QVERIFY2(m_fixture.copyTo(database, &error), qPrintable(error));
        SetDbDir(m_dbDir);
        CurrentSettings() = Settings();
        m_module = new TDataModule1;
        QVERIFY2(OpenDatabaseFile(kMainConnection, database, &error), qPrintable(error));
    }

    void cleanup() {
        delete m_module;
        m_module = nullptr;
        QSqlDatabase::removeDatabase(kMainConnection);
        SetDbDir(m_previousDbDir);
    }

    void storesPictureAndThumbnail_data() {
        QTest::addColumn<QString>("sourceName");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("person");
        QTest::addColumn<QRect>("thumbnailPicture");

        QTest::newRow("small JPEG centred unscaled") << "scan.jpg" << QSize(60, 40) << false << QRect(15, 25, 60, 40);
        QTest::newRow("lying JPEG, upper-case extension")
            << "scan.JPEG" << QSize(300, 150) << false << QRect(0, 22, 90, 45);
        QTest::newRow("small bitmap") << "scan.bmp" << QSize(60, 40) << false << QRect(15, 25, 60, 40);
        QTest::newRow("person photo, upright bitmap")
            << "photo.BMP" << QSize(100, 400) << true << QRect(43, 0, 28, 115);
    }

    // A JPEG keeps its bytes; a bitmap is encoded at its own size; the row gets a bitmap blob of the box size with the
    // picture fitted and centred on white, written to the database.
    void storesPictureAndThumbnail() {
        QFETCH(QString, sourceName);
        QFETCH(QSize, size);
        QFETCH(bool, person);
        QFETCH(QRect, thumbnailPicture);
        Dataset& row = person ? persons() : documents();
        const qint64 id = person ? Fixture::kMartin : 1;
        const QString target = person ? PersonPhotoFile(id) : DocumentImageFile(id);
        const QString column = person ? QStringLiteral("ImgMini1") : QStringLiteral("ImgMini");
        const int box = person ? kPersonThumbnailSize : kDocumentThumbnailSize;
        const QString sourceFile = source(sourceName, QuadrantBitmap(size.width(), size.height()));

        QString error;
        QVERIFY2(StoreImage(row, sourceFile, target, column, box, box, &error), qPrintable(error));

        const QByteArray stored = ReadWholeFile(target);
        if (sourceName.contains(QStringLiteral(".jpg"), Qt::CaseInsensitive) ||
            sourceName.endsWith(QStringLiteral(".JPEG")))
            QCOMPARE(stored, ReadWholeFile(sourceFile));
        JpegInfo info;
        QVERIFY2(JpegReadInfo(stored, &info, &error), qPrintable(error));
        QCOMPARE(QSize(info.width, info.height), size);

        QCOMPARE(row.state(), Dataset::State::Browse);
        QCOMPARE(row.asInteger(QStringLiteral("Id")), id);
        const QByteArray blob =
            Stored(person ? QStringLiteral("PERSON") : QStringLiteral("DOCUMENTIMG"), column, id).toByteArray();
        QCOMPARE(row.asBytes(column), blob);
        QImage thumbnail;
        QVERIFY2(ReadBitmapData(blob, &thumbnail, &error), qPrintable(error));
        QCOMPARE(thumbnail.size(), QSize(box, box));
        QVERIFY(WhiteExactlyOutside(thumbnail, thumbnailPicture));
        // The top-left quadrant is red.
        const QByteArray corner = PixelBytes(thumbnail, thumbnailPicture.left() + 1, thumbnailPicture.top() + 1);
        QVERIFY2(uchar(corner[2]) > 200 && uchar(corner[1]) < 60 && uchar(corner[0]) < 60, corner.toHex().constData());
        QCOMPARE(imageFolder(), QStringList{QFileInfo(target).fileName()});
    }

    void bitmapsAreLimitedToMaxWidth_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<QSize>("expected");

        QTest::newRow("6000 x 3000 at the default 5000") << QSize(6000, 3000) << 5000 << QSize(5000, 2500);
        QTest::newRow("upright over the limit") << QSize(200, 300) << 100 << QSize(66, 100);
        QTest::newRow("within the limit") << QSize(80, 60) << 100 << QSize(80, 60);
    }

    void bitmapsAreLimitedToMaxWidth() {
        QFETCH(QSize, size);
        QFETCH(int, maxWidth);
        QFETCH(QSize, expected);
        CurrentSettings().maxWidth = maxWidth;
        QImage bitmap = NewBitmap24(size.width(), size.height());
        bitmap.fill(QColor(30, 120, 200));
        const QString sourceFile = source(QStringLiteral("big.bmp"), bitmap);
        bitmap = QImage();

        QString error;
        QVERIFY2(StoreImage(documents(), sourceFile, DocumentImageFile(1), QStringLiteral("ImgMini"),
                            kDocumentThumbnailSize, kDocumentThumbnailSize, &error),
                 qPrintable(error));
        JpegInfo info;
        QVERIFY2(JpegReadInfo(ReadWholeFile(DocumentImageFile(1)), &info, &error), qPrintable(error));
        QCOMPARE(QSize(info.width, info.height), expected);
        QCOMPARE(info.channels, 3);
    }

    // A CMYK JPEG (printers', some scanners') is stored unchanged, with a thumbnail in its colours.
    void cmykJpegGetsItsThumbnail() {
        const QString sourceFile = m_sources + QStringLiteral("cmyk.jpg");
        RunRequiredTool(QStringLiteral("convert"),
                        {QStringLiteral("-size"), QStringLiteral("32x16"), QStringLiteral("xc:orange"),
                         QStringLiteral("-colorspace"), QStringLiteral("CMYK"), sourceFile});
        QString error;
        Dataset& row = documents();
        QVERIFY2(StoreImage(row, sourceFile, DocumentImageFile(1), QStringLiteral("ImgMini"), 90, 90, &error),
                 qPrintable(error));
        QCOMPARE(ReadWholeFile(DocumentImageFile(1)), ReadWholeFile(sourceFile));
        QImage thumbnail;
        QVERIFY(ReadBitmapData(row.asBytes(QStringLiteral("ImgMini")), &thumbnail));
        QCOMPARE(thumbnail.size(), QSize(90, 90));
        // 32 x 16 is not enlarged: centred in the box.
        QVERIFY(WhiteExactlyOutside(thumbnail, QRect(29, 37, 32, 16)));
        const QByteArray middle = PixelBytes(thumbnail, 45, 45); // blue, green, red
        QVERIFY2(uchar(middle[2]) > 230 && qAbs(int(uchar(middle[1])) - 165) < 25 && uchar(middle[0]) < 40,
                 middle.toHex().constData());
    }

    void failedStoreKeepsPreviousPicture_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("damaged bitmap") << "damaged";
        // A JPEG is stored as it is: it must decode whole first, or a grey block would replace a good picture.
        QTest::newRow("JPEG cut short") << "cut";
        QTest::newRow("text named .jpg") << "text";
        QTest::newRow("missing source") << "missing";
        QTest::newRow("unknown thumbnail column") << "column";
        QTest::newRow("row that cannot be written") << "read-only";
    }

    void failedStoreKeepsPreviousPicture() {
        QFETCH(QString, failure);
        QString error;
        const QString target = DocumentImageFile(1);
        QVERIFY2(StoreImage(documents(), source(QStringLiteral("first.jpg"), QuadrantBitmap(64, 32)), target,
                            QStringLiteral("ImgMini"), 90, 90, &error),
                 qPrintable(error));
        const QByteArray previousFile = ReadWholeFile(target);
        const QByteArray previousThumbnail =
            Stored(QStringLiteral("DOCUMENTIMG"), QStringLiteral("ImgMini"), 1).toByteArray();

        QString sourceFile = source(QStringLiteral("second.bmp"), QuadrantBitmap(32, 64));
        QString column = QStringLiteral("ImgMini");
        Dataset readOnly(QStringLiteral("ReadOnly"));
        Dataset* row = &documents();
        if (failure == QLatin1String("damaged")) {
            WriteBytes(sourceFile, ReadWholeFile(sourceFile).left(60));
        } else if (failure == QLatin1String("cut")) {
            sourceFile = source(QStringLiteral("second.jpg"), QuadrantBitmap(320, 240));
            WriteBytes(sourceFile, ReadWholeFile(sourceFile).chopped(ReadWholeFile(sourceFile).size() / 3));
        } else if (failure == QLatin1String("text")) {
            sourceFile = m_sources + QStringLiteral("second.jpg");
            WriteBytes(sourceFile, "une lettre, pas une image");
        } else if (failure == QLatin1String("missing")) {
            QFile::remove(sourceFile);
        } else if (failure == QLatin1String("column")) {
            column = QStringLiteral("NoSuchColumn");
        } else {
            // Rows read through a join are read-only: the post fails after the picture has been encoded.
            readOnly.setConnectionName(kMainConnection);
            readOnly.setSql({QStringLiteral("SELECT d.Id, d.ImgMini, p.Name FROM DOCUMENTIMG d, PERSON p "
                                            "WHERE p.Id = d.Id_Ref AND d.Id = 1")});
            QVERIFY(readOnly.open());
            row = &readOnly;
        }

        error.clear();
        QVERIFY(!StoreImage(*row, sourceFile, target, column, 90, 90, &error));
        QVERIFY(!error.isEmpty());
        if (failure == QLatin1String("cut") || failure == QLatin1String("text"))
            QVERIFY2(error.contains(QStringLiteral("\"") + sourceFile + QStringLiteral("\"")), qPrintable(error));
        QCOMPARE(ReadWholeFile(target), previousFile);
        QCOMPARE(Stored(QStringLiteral("DOCUMENTIMG"), QStringLiteral("ImgMini"), 1).toByteArray(), previousThumbnail);
        if (row->isOpen() && !row->isEditing()) QCOMPARE(row->asBytes(QStringLiteral("ImgMini")), previousThumbnail);
        // No temporary file is left beside the picture.
        QCOMPARE(imageFolder(), QStringList{QFileInfo(target).fileName()});
    }

    void clearsColumnsAndFile_data() {
        QTest::addColumn<bool>("fileExists");
        QTest::newRow("with its file") << true;
        QTest::newRow("file already gone") << false;
    }

    void clearsColumnsAndFile() {
        QFETCH(bool, fileExists);
        const QString target = DocumentImageFile(2);
        if (fileExists) WriteBytes(target, "picture");
        QVERIFY(!Stored(QStringLiteral("DOCUMENTIMG"), QStringLiteral("ImgMini"), 2).isNull());
        QSqlQuery(QSqlDatabase::database(kMainConnection))
            .exec(QStringLiteral("UPDATE DOCUMENTIMG SET Img=x'01' WHERE Id=2"));
        Dataset& row = documents();
        QVERIFY(row.locate(2));
        QVERIFY(row.edit()); // an edit in progress is posted first
        QVERIFY(row.setValue(QStringLiteral("Title"), QStringLiteral("Radio du genou droit")));

        QString error;
        QVERIFY2(ClearStoredImage(row, QStringLiteral("Img"), target, QStringLiteral("ImgMini"), &error),
                 qPrintable(error));
        QVERIFY(!QFile::exists(target));
        QVERIFY(Stored(QStringLiteral("DOCUMENTIMG"), QStringLiteral("ImgMini"), 2).isNull());
        QVERIFY(Stored(QStringLiteral("DOCUMENTIMG"), QStringLiteral("Img"), 2).isNull());
        QCOMPARE(Stored(QStringLiteral("DOCUMENTIMG"), QStringLiteral("Title"), 2).toString(),
                 QStringLiteral("Radio du genou droit"));
        QCOMPARE(row.asInteger(QStringLiteral("Id")), 2);
        QVERIFY(row.isNull(QStringLiteral("ImgMini")));
        QCOMPARE(row.state(), Dataset::State::Browse);
        // The other documents keep theirs.
        QCOMPARE(Stored(QStringLiteral("DOCUMENTIMG"), QStringLiteral("ImgMini"), 1).toByteArray(),
                 Fixture::kThumbnailBytes);
    }

    void clearKeepsFileWhenRowCannotBeWritten() {
        const QString target = DocumentImageFile(1);
        WriteBytes(target, "picture");
        Dataset readOnly(QStringLiteral("ReadOnly"));
        readOnly.setConnectionName(kMainConnection);
        readOnly.setSql({QStringLiteral("SELECT d.Id, d.Img, d.ImgMini, p.Name FROM DOCUMENTIMG d, PERSON p "
                                        "WHERE p.Id = d.Id_Ref AND d.Id = 1")});
        QVERIFY(readOnly.open());
        QString error;
        QVERIFY(!ClearStoredImage(readOnly, QStringLiteral("Img"), target, QStringLiteral("ImgMini"), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadWholeFile(target), QByteArray("picture"));
        QCOMPARE(readOnly.asBytes(QStringLiteral("ImgMini")), Fixture::kThumbnailBytes);
    }

    void deletesImageFileOnlyWhenThere() {
        const QString file = DocumentImageFile(3);
        QVERIFY(DeleteImageFile(file));
        WriteBytes(file, "x");
        QVERIFY(DeleteImageFile(file));
        QVERIFY(!QFile::exists(file));
    }

    void savesCopyAs_data() {
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("answer");   // relative to the copies folder; empty to cancel
        QTest::addColumn<QString>("expected"); // the copy made, relative to the copies folder

        QTest::newRow("plain") << "Radio du genou"
                               << "Radio du genou"
                               << "radio.jpg"
                               << "radio.jpg";
        QTest::newRow("forbidden characters in the proposed name") << "Radio: genou/gauche? \"vue\" <1>|*\\"
                                                                   << "Radio_ genou_gauche_ _vue_ _1____"
                                                                   << "a.jpg"
                                                                   << "a.jpg";
        QTest::newRow("name without extension") << "Radio"
                                                << "Radio"
                                                << "copie"
                                                << "copie.jpg";
        QTest::newRow("chosen name cleaned, folder kept") << "Radio"
                                                          << "Radio"
                                                          << "x:y*z.jpg"
                                                          << "x_y_z.jpg";
        QTest::newRow("existing file replaced") << "Radio"
                                                << "Radio"
                                                << "existing.jpg"
                                                << "existing.jpg";
        QTest::newRow("cancelled") << "Radio"
                                   << "Radio"
                                   << ""
                                   << "";
    }

    void savesCopyAs() {
        QFETCH(QString, suggested);
        QFETCH(QString, proposed);
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        const QString stored = DocumentImageFile(1);
        const QByteArray picture = ReadWholeFile(source(QStringLiteral("s.jpg"), QuadrantBitmap(32, 16)));
        WriteBytes(stored, picture);
        const QString copies = m_dbDir + QStringLiteral("copies/");
        QVERIFY(QDir().mkpath(copies));
        WriteBytes(copies + QStringLiteral("existing.jpg"), "older content");

        RecordingMessages messages;
        ScriptedChooser chooser;
        chooser.answer = answer.isEmpty() ? QString() : copies + answer;
        QString error = QStringLiteral("stale");
        QCOMPARE(SaveImageCopyAs(stored, suggested, chooser, &error), !expected.isEmpty());
        QVERIFY(error.isEmpty());
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(chooser.calls, 1);
        QCOMPARE(chooser.proposedName, proposed);
        QCOMPARE(chooser.title, QStringLiteral("Enregistrer l'image sous ..."));
        QCOMPARE(chooser.filter, QStringLiteral("Image Jpeg (*.jpg)"));
        QCOMPARE(chooser.defaultExtension, QStringLiteral("jpg"));

        QStringList made = QDir(copies).entryList(QDir::Files);
        made.removeOne(QStringLiteral("existing.jpg"));
        if (expected.isEmpty()) {
            QVERIFY(made.isEmpty());
            QCOMPARE(ReadWholeFile(copies + QStringLiteral("existing.jpg")), QByteArray("older content"));
        } else {
            made.removeOne(expected);
            QCOMPARE(made, QStringList());
            QCOMPARE(ReadWholeFile(copies + expected), picture);
        }
        QCOMPARE(ReadWholeFile(stored), picture);
    }

    void saveCopyOfMissingPictureIsReported() {
        RecordingMessages messages;
        ScriptedChooser chooser;
        chooser.answer = m_dbDir + QStringLiteral("copy.jpg");
        const QString stored = DocumentImageFile(4);
        QString error;
        QVERIFY(!SaveImageCopyAs(stored, QStringLiteral("Radio"), chooser, &error));
        QCOMPARE(chooser.calls, 0);
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].icon, MessageIcon::Error);
        QCOMPARE(messages.messages[0].text,
                 QStringLiteral("IMPOSSIBLE DE TROUVER L'IMAGE !\nLe fichier \"%1\" a sans doute été supprimé "
                                "manuellement et n'est plus accessible.")
                     .arg(stored));
        QCOMPARE(error, messages.messages[0].text);
        QVERIFY(!QFile::exists(chooser.answer));
    }

    void failedCopyIsReported() {
        const QString stored = DocumentImageFile(1);
        WriteBytes(stored, "picture");
        RecordingMessages messages;
        ScriptedChooser chooser;
        chooser.answer = m_dbDir + QStringLiteral("no/such/folder/copy.jpg");
        QString error;
        QVERIFY(!SaveImageCopyAs(stored, QStringLiteral("Radio"), chooser, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].text, error);
    }
};

QTEST_GUILESS_MAIN(TestStoredPictures)
#include "TestStoredPictures.moc"

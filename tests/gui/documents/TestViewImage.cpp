// The simple picture window: a missing or unreadable file is reported and nothing opens; a picture that fits is
// shown at its own size in the middle, a larger one reduced to the window less its margins, again after a resize.
#include "core/imaging/JpegFiles.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/documents/TViewImage.h"
#include "support/ModalDialogs.h"
#include "support/PictureFixtures.h"
#include "support/Screenshots.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestViewImage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        MessageBoxService::install();
        MessageBoxService::setTestMode(true);
    }
    void init() { MessageBoxService::clearRecordedMessages(); }

    void refusedFiles_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("missing") << QByteArray() << "IMPOSSIBLE DE VISUALISER L'IMAGE !";
        QTest::newRow("not a picture") << QByteArray("\xff\xd8 not really a JPEG") << "";
    }

    void refusedFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QString, firstLine);
        const QString path = m_folder.path() + QStringLiteral("/People7.jpg");
        QFile::remove(path);
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        bool opened = false;
        QTimer* watching = WhenModalOpens<TViewImage>([&](TViewImage*) { opened = true; });
        const bool shown = ShowImageFile(path);
        QTest::qWait(30);
        delete watching;
        QVERIFY(!shown);
        QVERIFY(!opened);
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().icon, MessageIcon::Error);
        QVERIFY2(messages.first().text.contains(path), qPrintable(messages.first().text));
        if (!firstLine.isEmpty()) {
            QCOMPARE(messages.first().text.section(QLatin1Char('\n'), 0, 0), firstLine);
            QVERIFY(messages.first().text.endsWith(
                QStringLiteral("a sans doute été supprimé manuellement et n'est plus accessible.")));
        }
    }

    // Where the picture lands: 10 pixels of margin, never enlarged, reduced proportionally, centred.
    void layout_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("drawn");
        QTest::newRow("small, first size") << QSize(100, 80) << QSize(492, 473) << QRect(196, 196, 100, 80);
        QTest::newRow("wide, first size") << QSize(1000, 500) << QSize(492, 473) << QRect(10, 118, 472, 236);
        QTest::newRow("tall, first size") << QSize(400, 1600) << QSize(492, 473) << QRect(189, 10, 113, 453);
        QTest::newRow("wide, resized") << QSize(1000, 500) << QSize(300, 300) << QRect(10, 80, 280, 140);
        QTest::newRow("exactly the inside") << QSize(472, 453) << QSize(492, 473) << QRect(10, 10, 472, 453);
    }

    void layout() {
        QFETCH(QSize, picture);
        QFETCH(QSize, window);
        QFETCH(QRect, drawn);
        const QString path = m_folder.path() + QStringLiteral("/picture.jpg");
        QVERIFY(JpegSaveBitmap(QuadrantBitmap(picture.width(), picture.height()), path, 90));
        QRect shown;
        QSize firstSize;
        QImage loaded;
        WhenModalOpens<TViewImage>([&](TViewImage* viewer) {
            firstSize = viewer->size();
            loaded = viewer->picture();
            viewer->resize(window);
            QTest::qWait(1);
            shown = viewer->pictureRect();
            if (window == QSize(300, 300)) SaveScreenshot(viewer, QStringLiteral("view-image"));
            // The grip cannot make it smaller than 201 x 201.
            viewer->resize(150, 150);
            QVERIFY(viewer->width() >= TViewImage::kMinimumSide && viewer->height() >= TViewImage::kMinimumSide);
        });
        QVERIFY(ShowImageFile(path));
        QCOMPARE(firstSize, QSize(TViewImage::kInitialWidth, TViewImage::kInitialHeight));
        QCOMPARE(loaded.size(), picture);
        QCOMPARE(shown, drawn);
        QVERIFY(MessageBoxService::recordedMessages().isEmpty());
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(TestViewImage)
#include "TestViewImage.moc"

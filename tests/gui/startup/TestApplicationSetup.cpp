// What every window gets from the start-up: Qt's own dialogs in French, and the program's icon.
#include "gui/startup/ApplicationSetup.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QtTest>

class TestApplicationSetup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareApplication(*qApp); }

    // The file chooser is Qt's own here (no desktop to lend its own): its buttons read French.
    void fileDialogSpeaksFrench() {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QStringList texts;
        for (QAbstractButton* button : buttons->buttons())
            texts << button->text().remove(QLatin1Char('&'));
        texts.sort();
        QCOMPARE(texts, (QStringList{QStringLiteral("Annuler"), QStringLiteral("Ouvrir")}));
    }

    void everyWindowHasTheProgramsIcon() {
        QVERIFY(!QApplication::windowIcon().isNull());
        QVERIFY(!QApplication::windowIcon().pixmap(32).isNull());
        QDialog dialog;
        QVERIFY(!dialog.windowIcon().isNull());
        QCOMPARE(dialog.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        // The desktop finds the icon of its entry for the windows too.
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("quorvel"));
    }
};

QTEST_MAIN(TestApplicationSetup)
#include "TestApplicationSetup.moc"

#include "gui/app/TProperties.h"

#include "core/app/Settings.h"
#include "gui/controls/NumberEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

template <typename T> T* Child(QWidget* dialog, const char* name) {
    T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qWarning("no %s", name);
    return widget;
}

// Runs the action on the settings dialog once EditSettings has opened it; a dialog the action leaves
// open is cancelled so that the test cannot hang.
void WhenDialogOpens(const std::function<void(TProperties*)>& action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* dialog = qobject_cast<TProperties*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
        if (dialog->isVisible()) {
            qWarning("the dialog stayed open");
            dialog->reject();
        }
    });
    timer->start();
}

void Retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->del();
    // Key clicks are ASCII only; other texts come in as a paste would.
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        QTest::keyClicks(edit, text);
    else
        edit->insert(text);
}

Settings SampleSettings() {
    Settings s;
    s.twainSource = QStringLiteral("Epson Perfection");
    s.showTwainUi = true;
    s.maxWidth = 1600;
    s.jpegQuality = 75;
    s.smtpName = QStringLiteral("Jean Dupont");
    s.smtpEmail = QStringLiteral("jean@example.org");
    s.smtpHost = QStringLiteral("smtp.example.org");
    s.smtpPort = 587;
    s.windowLeft = 10;
    s.windowState = QStringLiteral("wsMaximized");
    return s;
}

QStringList VisibleTexts(QWidget* dialog) {
    QStringList texts;
    for (auto* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    for (auto* group : dialog->findChildren<QGroupBox*>())
        texts << group->title();
    for (auto* button : dialog->findChildren<QAbstractButton*>())
        texts << button->text();
    for (auto* tabs : dialog->findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    return texts;
}

} // namespace

class TestPropertiesDialog : public QObject {
    Q_OBJECT
private slots:
    void fillShowsSettings();
    void numberFieldsRefuseBadEntries_data();
    void numberFieldsRefuseBadEntries();
    void pastedTextIsRefused();
    void okRaisesLowValues_data();
    void okRaisesLowValues();
    void valueAboveMaximumShowsMaximum();
    void okCopiesTheEightValues();
    void closingWithoutOkChangesNothing_data();
    void closingWithoutOkChangesNothing();
    void scannerListReplacesSource_data();
    void scannerListReplacesSource();
    void noScannerShowsNoList();
};

void TestPropertiesDialog::fillShowsSettings() {
    TProperties dialog;
    dialog.fillFrom(SampleSettings());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Propriétés"));
    QCOMPARE(Child<QLineEdit>(&dialog, "Ed_TwainSource")->text(), QStringLiteral("Epson Perfection"));
    QVERIFY(Child<QCheckBox>(&dialog, "Chk_ShowTwainUI")->isChecked());
    QCOMPARE(Child<QLineEdit>(&dialog, "Ed_MaxWidth")->text(), QStringLiteral("1600"));
    QCOMPARE(Child<QLineEdit>(&dialog, "Ed_JpegQuality")->text(), QStringLiteral("75"));
    QCOMPARE(Child<QLineEdit>(&dialog, "Ed_SmtpName")->text(), QStringLiteral("Jean Dupont"));
    QCOMPARE(Child<QLineEdit>(&dialog, "Ed_SmtpEmail")->text(), QStringLiteral("jean@example.org"));
    QCOMPARE(Child<QLineEdit>(&dialog, "Ed_SmtpHost")->text(), QStringLiteral("smtp.example.org"));
    QCOMPARE(Child<QLineEdit>(&dialog, "Ed_SmtpPort")->text(), QStringLiteral("587"));

    auto* tabs = Child<QTabWidget>(&dialog, "Tab_Properties");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Général"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Serveur SMTP"));
    const QStringList texts = VisibleTexts(&dialog);
    for (const QString& caption :
         {QStringLiteral(" Paramètrage du scanner "), QStringLiteral("Source TWAIN"),
          QStringLiteral("Afficher la fenêtre du pilote"), QStringLiteral("Largeur maximale (pixel)"),
          QStringLiteral("Taux de compression Jpeg"),
          QStringLiteral(" Paramètres pour l'envoi de documents (images ou fichiers) par emails "),
          QStringLiteral("Nom"), QStringLiteral("Email"), QStringLiteral("Serveur SMTP"), QStringLiteral("Port SMTP"),
          QStringLiteral(" &Ok"), QStringLiteral(" &Annuler")})
        QVERIFY2(texts.contains(caption), qPrintable(caption));

    // Each field sits on the page of its tab.
    QVERIFY(tabs->widget(0)->isAncestorOf(Child<QWidget>(&dialog, "Ed_JpegQuality")));
    QVERIFY(tabs->widget(1)->isAncestorOf(Child<QWidget>(&dialog, "Ed_SmtpPort")));

    const QString folder = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        const QStringList names = {QStringLiteral("TProperties-General.png"), QStringLiteral("TProperties-Smtp.png")};
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QVERIFY(dialog.grab().save(QDir(folder).filePath(names[i])));
        }
    }
}

void TestPropertiesDialog::numberFieldsRefuseBadEntries_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("maxDigits");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("value");
    QTest::newRow("width: letters refused") << "Ed_MaxWidth" << 4 << "1a2-3. "
                                            << "123" << 123;
    QTest::newRow("width: at most 5000") << "Ed_MaxWidth" << 4 << "5001"
                                         << "500" << 500;
    QTest::newRow("width: 5000 accepted") << "Ed_MaxWidth" << 4 << "5000"
                                          << "5000" << 5000;
    QTest::newRow("width: at most 4 digits") << "Ed_MaxWidth" << 4 << "00123"
                                             << "0012" << 12;
    QTest::newRow("width: empty is 0") << "Ed_MaxWidth" << 4 << ""
                                       << "" << 0;
    QTest::newRow("quality: letters refused") << "Ed_JpegQuality" << 4 << "x9e0"
                                              << "90" << 90;
    QTest::newRow("quality: at most 5000") << "Ed_JpegQuality" << 4 << "9999"
                                           << "999" << 999;
    QTest::newRow("port: at most 5000") << "Ed_SmtpPort" << 6 << "5870"
                                        << "587" << 587;
    QTest::newRow("port: six digits") << "Ed_SmtpPort" << 6 << "0000250"
                                      << "000025" << 25;
}

void TestPropertiesDialog::numberFieldsRefuseBadEntries() {
    QFETCH(QString, field);
    QFETCH(int, maxDigits);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(int, value);

    TProperties dialog;
    dialog.show();
    auto* edit = dialog.findChild<NumberEdit*>(field);
    QVERIFY(edit);
    QCOMPARE(edit->maxLength(), maxDigits);
    Retype(edit, typed);
    QCOMPARE(edit->text(), expected);
    QCOMPARE(edit->value(), value);
}

void TestPropertiesDialog::pastedTextIsRefused() {
    TProperties dialog;
    dialog.fillFrom(SampleSettings());
    dialog.show();
    auto* edit = Child<QLineEdit>(&dialog, "Ed_JpegQuality");
    edit->end(false);
    for (const QString& refused : {QStringLiteral("5x"), QStringLiteral("٥"), QStringLiteral("-1")}) {
        QApplication::clipboard()->setText(refused);
        edit->paste();
        QCOMPARE(edit->text(), QStringLiteral("75"));
    }
    QApplication::clipboard()->setText(QStringLiteral("0"));
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("750"));
}

void TestPropertiesDialog::okRaisesLowValues_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("quality");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("savedWidth");
    QTest::addColumn<int>("savedQuality");
    QTest::addColumn<int>("savedPort");
    QTest::newRow("100 and 5") << "100"
                               << "5"
                               << "25" << 500 << 10 << 25;
    QTest::newRow("just below") << "499"
                                << "9"
                                << "2525" << 500 << 10 << 2525;
    QTest::newRow("at the limits") << "500"
                                   << "10"
                                   << "465" << 500 << 10 << 465;
    QTest::newRow("above") << "4999"
                           << "100"
                           << "587" << 4999 << 100 << 587;
    QTest::newRow("empty fields") << ""
                                  << ""
                                  << "" << 500 << 10 << 0;
}

void TestPropertiesDialog::okRaisesLowValues() {
    QFETCH(QString, width);
    QFETCH(QString, quality);
    QFETCH(QString, port);
    QFETCH(int, savedWidth);
    QFETCH(int, savedQuality);
    QFETCH(int, savedPort);

    Settings settings = SampleSettings();
    WhenDialogOpens([&](TProperties* dialog) {
        Retype(Child<QLineEdit>(dialog, "Ed_MaxWidth"), width);
        Retype(Child<QLineEdit>(dialog, "Ed_JpegQuality"), quality);
        Retype(Child<QLineEdit>(dialog, "Ed_SmtpPort"), port);
        QTest::mouseClick(Child<QPushButton>(dialog, "Btn_Ok"), Qt::LeftButton);
    });
    QVERIFY(TProperties::EditSettings(nullptr, settings));
    QCOMPARE(settings.maxWidth, savedWidth);
    QCOMPARE(settings.jpegQuality, savedQuality);
    QCOMPARE(settings.smtpPort, savedPort);
}

void TestPropertiesDialog::valueAboveMaximumShowsMaximum() {
    Settings settings = SampleSettings();
    settings.maxWidth = 8000;
    settings.jpegQuality = -3;
    QString shownWidth;
    QString shownQuality;
    WhenDialogOpens([&](TProperties* dialog) {
        shownWidth = Child<QLineEdit>(dialog, "Ed_MaxWidth")->text();
        shownQuality = Child<QLineEdit>(dialog, "Ed_JpegQuality")->text();
        QTest::mouseClick(Child<QPushButton>(dialog, "Btn_Ok"), Qt::LeftButton);
    });
    QVERIFY(TProperties::EditSettings(nullptr, settings));
    QCOMPARE(shownWidth, QStringLiteral("5000"));
    QCOMPARE(settings.maxWidth, 5000);
    QCOMPARE(shownQuality, QStringLiteral("0"));
    QCOMPARE(settings.jpegQuality, 10);
}

void TestPropertiesDialog::okCopiesTheEightValues() {
    Settings settings = SampleSettings();
    WhenDialogOpens([](TProperties* dialog) {
        Retype(Child<QLineEdit>(dialog, "Ed_TwainSource"), QStringLiteral("Canon LiDE"));
        Child<QCheckBox>(dialog, "Chk_ShowTwainUI")->setChecked(false);
        Retype(Child<QLineEdit>(dialog, "Ed_MaxWidth"), QStringLiteral("2048"));
        Retype(Child<QLineEdit>(dialog, "Ed_JpegQuality"), QStringLiteral("90"));
        Retype(Child<QLineEdit>(dialog, "Ed_SmtpName"), QStringLiteral("Hélène"));
        Retype(Child<QLineEdit>(dialog, "Ed_SmtpEmail"), QString(300, QLatin1Char('e')));
        Retype(Child<QLineEdit>(dialog, "Ed_SmtpHost"), QStringLiteral("mail.example.net"));
        Retype(Child<QLineEdit>(dialog, "Ed_SmtpPort"), QStringLiteral("2525"));
        QTest::mouseClick(Child<QPushButton>(dialog, "Btn_Ok"), Qt::LeftButton);
    });
    Settings expected = settings;
    expected.twainSource = QStringLiteral("Canon LiDE");
    expected.showTwainUi = false;
    expected.maxWidth = 2048;
    expected.jpegQuality = 90;
    expected.smtpName = QStringLiteral("Hélène");
    expected.smtpEmail = QString(255, QLatin1Char('e'));
    expected.smtpHost = QStringLiteral("mail.example.net");
    expected.smtpPort = 2525;
    QVERIFY(TProperties::EditSettings(nullptr, settings));
    QCOMPARE(settings, expected);
}

void TestPropertiesDialog::closingWithoutOkChangesNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Annuler") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("title bar") << "close";
}

void TestPropertiesDialog::closingWithoutOkChangesNothing() {
    QFETCH(QString, how);
    Settings settings = SampleSettings();
    const Settings before = settings;
    WhenDialogOpens([&](TProperties* dialog) {
        Retype(Child<QLineEdit>(dialog, "Ed_TwainSource"), QStringLiteral("Other"));
        Child<QCheckBox>(dialog, "Chk_ShowTwainUI")->setChecked(false);
        Retype(Child<QLineEdit>(dialog, "Ed_MaxWidth"), QStringLiteral("100"));
        Retype(Child<QLineEdit>(dialog, "Ed_SmtpName"), QStringLiteral("Other"));
        Retype(Child<QLineEdit>(dialog, "Ed_SmtpPort"), QStringLiteral("26"));
        if (how == QLatin1String("button"))
            QTest::mouseClick(Child<QPushButton>(dialog, "Btn_Cancel"), Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->close();
    });
    QVERIFY(!TProperties::EditSettings(nullptr, settings));
    QCOMPARE(settings, before);
}

void TestPropertiesDialog::scannerListReplacesSource_data() {
    QTest::addColumn<int>("key"); // 0: the browse button
    QTest::newRow("browse button") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

void TestPropertiesDialog::scannerListReplacesSource() {
    QFETCH(int, key);
    TProperties dialog;
    dialog.setScannerSourceLister([] {
        return QStringList{QStringLiteral("Zebra Scan"), QStringLiteral("Fujitsu & Co fi-7160")};
    });
    dialog.fillFrom(SampleSettings());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* source = Child<QLineEdit>(&dialog, "Ed_TwainSource");

    if (key == 0)
        QTest::mouseClick(Child<QPushButton>(&dialog, "Btn_TwainBrowse"), Qt::LeftButton);
    else
        QTest::keyClick(source, Qt::Key(key));
    QTRY_VERIFY(dialog.findChild<QMenu*>(QStringLiteral("Popup_TwainSources")));
    auto* list = dialog.findChild<QMenu*>(QStringLiteral("Popup_TwainSources"));
    QTRY_VERIFY(list->isVisible());
    QVERIFY(dialog.isVisible()); // Enter did not close the dialog
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    // Unsorted, as listed, under the field.
    const QList<QAction*> actions = list->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), QStringLiteral("Zebra Scan"));
    QCOMPARE(actions[1]->text(), QStringLiteral("Fujitsu && Co fi-7160"));
    QCOMPARE(list->pos(), source->mapToGlobal(QPoint(0, source->height())));

    actions[1]->trigger();
    QCOMPARE(source->text(), QStringLiteral("Fujitsu & Co fi-7160"));
}

void TestPropertiesDialog::noScannerShowsNoList() {
    TProperties dialog; // the scanner service lists nothing yet
    dialog.fillFrom(SampleSettings());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(Child<QPushButton>(&dialog, "Btn_TwainBrowse"), Qt::LeftButton);
    QTest::keyClick(Child<QLineEdit>(&dialog, "Ed_TwainSource"), Qt::Key_Return);
    QTest::qWait(50);
    QVERIFY(!dialog.findChild<QMenu*>());
    QVERIFY(dialog.isVisible());
    QCOMPARE(Child<QLineEdit>(&dialog, "Ed_TwainSource")->text(), QStringLiteral("Epson Perfection"));
}

QTEST_MAIN(TestPropertiesDialog)
#include "TestPropertiesDialog.moc"

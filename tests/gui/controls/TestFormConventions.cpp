#include "gui/controls/FormConventions.h"

#include <QAction>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QSizeGrip>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

// A window designed with its own title bar, the way the program's windows are drawn:
// a 24-pixel "TitleBar" panel holding the "Title" label and the images asked for.
std::unique_ptr<QWidget> DesignedWindow(const QString& title, const QStringList& images = {},
                                        QWidget* owner = nullptr) {
    auto window = std::make_unique<QDialog>(owner, Qt::Dialog | Qt::FramelessWindowHint);
    window->resize(300, 200);
    auto* titleBar = new QFrame(window.get());
    titleBar->setObjectName(QStringLiteral("TitleBar"));
    titleBar->setGeometry(0, 0, 300, 24);
    auto* label = new QLabel(title, titleBar);
    label->setObjectName(QStringLiteral("Title"));
    label->setGeometry(4, 4, 200, 16);
    int left = 220;
    for (const QString& name : images) {
        QWidget* image = name == QLatin1String("RezisePad") ? static_cast<QWidget*>(new QSizeGrip(window.get()))
                                                            : new QToolButton(titleBar);
        image->setObjectName(name);
        if (image->parentWidget() == titleBar) image->setGeometry(left, 2, 20, 20);
        left += 24;
    }
    return window;
}

} // namespace

class TestFormConventions : public QObject {
    Q_OBJECT
private slots:
    void captionFromTitleLabel_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("leading blanks") << "  Saisie d'une personne"
                                        << "Saisie d'une personne";
        QTest::newRow("one blank") << " Information"
                                   << "Information";
        QTest::newRow("only blanks") << "   "
                                     << " ";
        QTest::newRow("doubled apostrophe") << "  Liste d''analyses"
                                            << "Liste d'analyses";
        QTest::newRow("inner blanks kept") << "  Historique  des sauvegardes "
                                           << "Historique  des sauvegardes ";
    }
    void captionFromTitleLabel() {
        QFETCH(QString, title);
        QFETCH(QString, caption);
        auto window = DesignedWindow(title);
        PrepareForm(window.get());
        QCOMPARE(window->windowTitle(), caption);
    }

    void windowWithoutTitleLabelKeepsItsCaption() {
        QDialog window;
        window.setWindowTitle(QStringLiteral("Impression"));
        PrepareForm(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Impression"));
        QVERIFY(window.testAttribute(Qt::WA_AlwaysShowToolTips));
    }

    void captionFollowsTitleWhenShown() {
        auto window = DesignedWindow(QStringLiteral("  Saisie"));
        PrepareForm(window.get());
        FindComponentByName<QLabel>(window.get(), QStringLiteral("Title"))->setText(QStringLiteral("  Modification"));
        window->show();
        QCOMPARE(window->windowTitle(), QStringLiteral("Modification"));
    }

    void systemFrameReplacesTitleBar() {
        auto window = DesignedWindow(QStringLiteral("  Saisie"), {QStringLiteral("SysExitBtn")});
        PrepareForm(window.get());
        auto* titleBar = FindComponentByName<QWidget>(window.get(), QStringLiteral("TitleBar"));
        QVERIFY(titleBar->isHidden());
        QVERIFY(!(window->windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(window->testAttribute(Qt::WA_AlwaysShowToolTips));
        // The window no longer shows the bar, nor keeps its height.
        QCOMPARE(window->size(), QSize(300, 176));
    }

    void frameButtonsFollowTheImages_data() {
        QTest::addColumn<QStringList>("images");
        QTest::addColumn<bool>("close");
        QTest::addColumn<bool>("minimise");
        QTest::addColumn<bool>("maximise");
        QTest::newRow("none") << QStringList{} << false << false << false;
        QTest::newRow("exit") << QStringList{"SysExitBtn"} << true << false << false;
        QTest::newRow("Exit") << QStringList{"Exit"} << true << false << false;
        QTest::newRow("all") << QStringList{"SysMiniBtn", "SysMaxiBtn", "SysExitBtn"} << true << true << true;
    }
    void frameButtonsFollowTheImages() {
        QFETCH(QStringList, images);
        QFETCH(bool, close);
        QFETCH(bool, minimise);
        QFETCH(bool, maximise);
        auto window = DesignedWindow(QStringLiteral("  Saisie"), images);
        PrepareForm(window.get());
        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(bool(flags & Qt::WindowCloseButtonHint), close);
        QCOMPARE(bool(flags & Qt::WindowMinimizeButtonHint), minimise);
        QCOMPARE(bool(flags & Qt::WindowMaximizeButtonHint), maximise);
    }

    void sizeIsFixedWithoutSizingGrip_data() {
        QTest::addColumn<bool>("grip");
        QTest::newRow("no grip") << false;
        QTest::newRow("grip") << true;
    }
    void sizeIsFixedWithoutSizingGrip() {
        QFETCH(bool, grip);
        auto window =
            DesignedWindow(QStringLiteral("  Saisie"), grip ? QStringList{QStringLiteral("RezisePad")} : QStringList{});
        PrepareForm(window.get());
        window->show();
        QCOMPARE(window->minimumSize() == window->maximumSize(), !grip);
    }

    void ownLookIsKept_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tag");
        QTest::newRow("splash") << "Splash" << 0;
        QTest::newRow("about") << "About" << 0;
        QTest::newRow("tag -1") << "Wait" << -1;
    }
    void ownLookIsKept() {
        QFETCH(QString, name);
        QFETCH(int, tag);
        auto window = DesignedWindow(QStringLiteral("  A propos"));
        window->setObjectName(name);
        window->setProperty("tag", tag);
        PrepareForm(window.get());
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!FindComponentByName<QWidget>(window.get(), QStringLiteral("TitleBar"))->isHidden());
        QCOMPARE(window->size(), QSize(300, 200));
    }

    void centredOver_data() {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("even") << QRect(100, 50, 800, 600) << QSize(300, 200) << QPoint(350, 250);
        QTest::newRow("odd difference truncated") << QRect(0, 0, 800, 600) << QSize(277, 65) << QPoint(261, 267);
        QTest::newRow("owner smaller, toward zero") << QRect(-101, 10, 100, 40) << QSize(277, 65) << QPoint(-189, -2);
    }
    void centredOver() {
        QFETCH(QRect, owner);
        QFETCH(QSize, size);
        QFETCH(QPoint, place);
        QCOMPARE(CentredOver(owner, size), place);
    }

    void dialogOpensCentredOnOwner() {
        QWidget owner;
        owner.setGeometry(100, 60, 801, 600);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        auto dialog = DesignedWindow(QStringLiteral("  Saisie"), {}, &owner);
        PrepareForm(dialog.get());
        dialog->show();
        const QRect ownerFrame = owner.frameGeometry();
        const QRect frame = dialog->frameGeometry();
        QCOMPARE(frame.left(), ownerFrame.left() + (ownerFrame.width() - frame.width()) / 2);
        QCOMPARE(frame.top(), ownerFrame.top() + (ownerFrame.height() - frame.height()) / 2);
        QVERIFY(frame.left() > ownerFrame.left());
    }

    void mainWindowIsNotMovedToItsOwner() {
        QWidget owner;
        owner.setGeometry(100, 60, 801, 600);
        owner.show();
        QWidget main(&owner, Qt::Window);
        main.setObjectName(QStringLiteral("MainForm"));
        main.setGeometry(20, 30, 200, 100);
        PrepareForm(&main);
        main.show();
        QCOMPARE(main.geometry().topLeft(), QPoint(20, 30));
    }

    void findComponentByName() {
        QWidget window;
        auto* first = new QLabel(&window);
        first->setObjectName(QStringLiteral("Lab_Misc01"));
        auto* panel = new QFrame(&window);
        auto* nested = new QLabel(panel);
        nested->setObjectName(QStringLiteral("Lab_Misc01"));
        auto* action = new QAction(&window);
        action->setObjectName(QStringLiteral("Popup_Delete"));

        QCOMPARE(FindComponentByName(&window, QStringLiteral("Lab_Misc01")), nested);
        QCOMPARE(FindComponentByName(&window, QStringLiteral("Popup_Delete")), action);
        QCOMPARE(FindComponentByName(&window, QStringLiteral("lab_misc01")), nullptr);
        QCOMPARE(FindComponentByName(&window, QStringLiteral("Lab_Misc0")), nullptr);
        QCOMPARE(FindComponentByName(&window, QString()), nullptr);
        QCOMPARE(FindComponentByName<QLabel>(&window, QStringLiteral("Popup_Delete")), nullptr);
    }
};

QTEST_MAIN(TestFormConventions)
#include "TestFormConventions.moc"

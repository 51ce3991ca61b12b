#include "records/TMainForm.h"

#include "app/MessageService.h"
#include "app/Product.h"
#include "app/Settings.h"
#include "app/TProperties.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QMenuBar>

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(Product::kName);
    setMinimumSize(640, 480);

    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fileMenu->addAction(QStringLiteral("&Propriétés"), this, &TMainForm::editProperties);
    fileMenu->addSeparator();
    fileMenu->addAction(QStringLiteral("&Quitter"), this, &QWidget::close);

    restorePlacement();
    CurrentSettings().firstLaunch = false;
}

void TMainForm::editProperties()
{
    if (!TProperties::EditSettings(this, CurrentSettings())) return;
    QString error;
    if (!SaveSettings(&error)) Messages().show(MessageIcon::Error, Product::kName, error);
}

void TMainForm::restorePlacement()
{
    const Settings& settings = CurrentSettings();
    if (settings.windowWidth > 0 && settings.windowHeight > 0) {
        resize(settings.windowWidth, settings.windowHeight);
        move(settings.windowLeft, settings.windowTop);
    } else {
        // Never placed yet: a comfortable size in the middle of the screen.
        resize(1000, 700);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
        }
    }
    if (settings.windowState == QLatin1String("wsMaximized")) setWindowState(Qt::WindowMaximized);
}

void TMainForm::savePlacement()
{
    Settings& settings = CurrentSettings();
    settings.windowState = isMaximized()   ? QStringLiteral("wsMaximized")
                           : isMinimized() ? QStringLiteral("wsMinimized")
                                           : QStringLiteral("wsNormal");
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    settings.windowLeft = normal.left();
    settings.windowTop = normal.top();
    settings.windowWidth = normal.width();
    settings.windowHeight = normal.height();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    savePlacement();
    QString error;
    if (!SaveSettings(&error)) Messages().show(MessageIcon::Error, Product::kName, error);
    event->accept();
}

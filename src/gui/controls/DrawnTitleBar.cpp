#include "gui/controls/DrawnTitleBar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

QFrame* MakeDrawnTitleBar(QWidget* window, const QString& title, std::function<void()> onExit,
                          const QList<QWidget*>& beforeExit) {
    auto* titleBar = new QFrame(window);
    titleBar->setObjectName(QStringLiteral("TitleBar"));
    auto* caption = new QLabel(title, titleBar);
    caption->setObjectName(QStringLiteral("Title"));
    auto* exit = new QToolButton(titleBar);
    exit->setObjectName(QStringLiteral("SysExitBtn"));
    exit->setToolTip(QStringLiteral("Quitter"));
    QObject::connect(exit, &QToolButton::clicked, window, [onExit = std::move(onExit)] { onExit(); });
    auto* layout = new QHBoxLayout(titleBar);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->addWidget(caption, 1);
    for (QWidget* button : beforeExit)
        layout->addWidget(button);
    layout->addWidget(exit);
    return titleBar;
}

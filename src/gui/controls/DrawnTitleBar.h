#pragma once

#include <QList>
#include <QString>

#include <functional>

class QFrame;
class QWidget;

// The panel "TitleBar" a window is designed with: the label "Title" and, at the right, the image "SysExitBtn"
// ("Quitter") whose click runs onExit. Buttons given in beforeExit sit between the label and it. PrepareForm hides
// the panel and gives its caption and buttons to the system frame.
QFrame* MakeDrawnTitleBar(QWidget* window, const QString& title, std::function<void()> onExit,
                          const QList<QWidget*>& beforeExit = {});

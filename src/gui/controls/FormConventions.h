#pragma once

#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

// The conventions every window of the program follows; each window calls PrepareForm once it
// has built its controls.
//
// Windows may be designed with a panel "TitleBar" holding a label "Title" and the images
// "SysMiniBtn", "SysMaxiBtn", "SysExitBtn" or "Exit", and a sizing grip "RezisePad". Here every
// window has the system's frame: the panel is hidden (the window loses its height), the caption
// comes from the "Title" label, the frame's buttons follow the images that are visible, and a
// window with such a panel but no "RezisePad" keeps the size it is first shown with.
// Tooltips show even in inactive windows; a window that has an owner (other than the main
// window "MainForm") opens centred on it. A window whose "tag" property is -1, and the windows
// named "Splash" and "About", keep their own look.
void PrepareForm(QWidget* window);

// The last object of the window (at any depth) whose object name is exactly name; nullptr when
// there is none or the name is empty.
QObject* FindComponentByName(const QObject* window, const QString& name);

template <class T> T* FindComponentByName(const QObject* window, const QString& name) {
    return qobject_cast<T*>(FindComponentByName(window, name));
}

// Applies the texts of a keyed section to the window. The program's texts are its French
// defaults, so the window keeps the captions and texts it was designed with.
void TranslateForm(QWidget* window, const QString& section);

// Position that centres a box of the given size over an owner, each coordinate truncated toward
// zero: left = owner left + (owner width - width) / 2, and likewise for the top.
QPoint CentredOver(const QRect& owner, const QSize& size);

#include "core/app/BusyCursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

BusyCursor::BusyCursor() : m_shown(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (m_shown) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor() {
    if (m_shown) QGuiApplication::restoreOverrideCursor();
}

#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>
#include <QtTest>

// Pictures of what the tests show, for a reviewer: written as NAME.png into the folder QUORVEL_SCREENSHOTS names,
// nothing when it is not set.

inline QString ScreenshotFolder() {
    return qEnvironmentVariable("QUORVEL_SCREENSHOTS");
}

inline void SaveScreenshot(const QImage& image, const QString& name) {
    const QString folder = ScreenshotFolder();
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    QVERIFY(image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
}

inline void SaveScreenshot(QWidget* widget, const QString& name) {
    if (!ScreenshotFolder().isEmpty()) SaveScreenshot(widget->grab().toImage(), name);
}

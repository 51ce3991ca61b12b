#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;

// The start-up window: borderless, centred on the screen, the program's picture and title, its
// version, its maker with the current year, an info line and a thin progress bar (0 to 8).
// The start-up works without an event loop, so every change is painted at once.
class TSplash : public QFrame {
    Q_OBJECT
public:
    static constexpr int kProgressMaximum = 8;

    explicit TSplash(QWidget* parent = nullptr);

    void setProgress(int position);
    int progress() const;
    void setInfo(const QString& text);
    QString info() const;

    // Shows the window centred on the screen and lets it paint before the start-up goes on.
    void showAndPaint();
    void centreOnScreen();

private:
    void paintNow(QWidget* changed);

    QLabel* m_version;
    QLabel* m_maker;
    QLabel* m_info;
    QProgressBar* m_progress;
};

#pragma once

#include <QLabel>
#include <QTime>

class QTimer;

// The digital clock of the main window's left bar: "hh:mm" in lit digits on a dark face, read from
// the program's clock once a second, the colon blanked on every other tick.
class ClockLabelWidget : public QLabel {
    Q_OBJECT
public:
    explicit ClockLabelWidget(QWidget* parent = nullptr);

    // The clock's text for a time: "hh:mm", or "hh mm" when the colon is blanked.
    static QString ClockText(const QTime& time, bool colonBlanked);

    // One tick: toggles the blink and shows the time again (the timer calls it every second).
    void tick();
    bool colonBlanked() const { return m_colonBlanked; }

private:
    QTimer* m_timer;
    bool m_colonBlanked = false;
};

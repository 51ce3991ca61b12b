#include "gui/controls/ClockLabelWidget.h"

#include "core/app/DateRoutines.h"

#include <QTimer>

ClockLabelWidget::ClockLabelWidget(QWidget* parent) : QLabel(parent), m_timer(new QTimer(this)) {
    setAlignment(Qt::AlignCenter);
    QFont face(QStringLiteral("DejaVu Sans Mono"));
    face.setStyleHint(QFont::Monospace);
    face.setPixelSize(14);
    face.setBold(true);
    setFont(face);
    setStyleSheet(QStringLiteral("QLabel { background-color: rgb(24, 28, 24); color: rgb(80, 255, 96);"
                                 " border: 1px solid rgb(90, 90, 90); border-radius: 3px; }"));
    setText(ClockText(Now().time(), false));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &ClockLabelWidget::tick);
    m_timer->start();
}

QString ClockLabelWidget::ClockText(const QTime& time, bool colonBlanked) {
    QString text = time.toString(kTimeFormat).left(5);
    if (colonBlanked && text.size() >= 3) text[2] = QLatin1Char(' ');
    return text;
}

void ClockLabelWidget::tick() {
    m_colonBlanked = !m_colonBlanked;
    setText(ClockText(Now().time(), m_colonBlanked));
}

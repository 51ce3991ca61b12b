#include "gui/app/TWait.h"

#include "gui/controls/FormConventions.h"
#include "gui/controls/Gauge.h"
#include "gui/controls/ProgramPicture.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>

TWait::TWait(QWidget* owner)
    : QFrame(owner, Qt::Window | Qt::FramelessWindowHint), m_picture(new QLabel(this)), m_task(new QLabel(this)),
      m_message(new QLabel(this)), m_gauge(new Gauge(this)) {
    setObjectName(QStringLiteral("Wait"));
    // It appears by itself over the main window and must not take the keyboard from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);

    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setGeometry(8, 9, 30, 30);
    m_picture->setPixmap(ProgramEmblemPixmap(30));

    m_task->setObjectName(QStringLiteral("Lab_Task"));
    m_task->setGeometry(46, 6, kWidth - 46 - 6, 22);
    QFont taskFont = m_task->font();
    taskFont.setPointSize(10);
    taskFont.setBold(true);
    m_task->setFont(taskFont);

    m_message->setObjectName(QStringLiteral("Lab_Msg"));
    m_message->setGeometry(46, 28, kWidth - 46 - 6, 17);

    m_gauge->setObjectName(QStringLiteral("Gauge"));
    m_gauge->setGeometry((kWidth - kGaugeWidth) / 2, 51, kGaugeWidth, kGaugeHeight);

    // Borderless by design: the conventions must not give it a frame.
    setProperty("tag", -1);
    PrepareForm(this);
}

void TWait::setTask(const QString& task) {
    m_task->setText(task);
    paintNow(m_task);
}

void TWait::setMessage(const QString& message) {
    m_message->setText(message);
    paintNow(m_message);
}

void TWait::setProgress(int count, int total) {
    m_gauge->setProgress(count, total);
    paintNow(m_gauge);
}

void TWait::setVisible(bool visible) {
    const bool showing = visible && !isVisible();
    QFrame::setVisible(visible);
    if (showing) {
        raise();
        paintNow(this);
    }
}

void TWait::setGaugeVisible(bool visible) {
    m_gauge->setVisible(visible);
}

QString TWait::task() const {
    return m_task->text();
}
QString TWait::message() const {
    return m_message->text();
}
int TWait::count() const {
    return m_gauge->count();
}
int TWait::total() const {
    return m_gauge->total();
}
int TWait::gaugeFilledWidth() const {
    return m_gauge->filledWidth();
}

void TWait::centreInWorkArea() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    move(CentredOver(screen->availableGeometry(), size()));
}

void TWait::centreOver(const QWidget* window) {
    if (!window) return;
    move(CentredOver(window->frameGeometry(), size()));
}

void TWait::paintNow(QWidget* changed) {
    if (!isVisible()) return;
    changed->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

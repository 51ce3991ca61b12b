#include "gui/controls/MessageBoxService.h"

#include "core/app/Product.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>

namespace {

struct ServiceState {
    bool mainWindowExists = false;
    bool testMode = false;
    QQueue<bool> answers;
    QList<MessageBoxService::RecordedMessage> recorded;
};

ServiceState& State() {
    static ServiceState state;
    return state;
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The box opens over the window the user is working in, so that it stays in front of it.
QWidget* BoxParent() {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    return parent;
}

void PrepareBox(QMessageBox& box, MessageIcon icon, const QString& caption, const QString& text) {
    box.setIcon(BoxIcon(icon));
    box.setWindowTitle(caption);
    // Messages quote paths and user data: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

} // namespace

MessageBoxService& MessageBoxService::instance() {
    static MessageBoxService service;
    return service;
}

void MessageBoxService::install() {
    SetMessageService(&instance());
}

void MessageBoxService::setMainWindowExists(bool exists) {
    State().mainWindowExists = exists;
}
bool MessageBoxService::mainWindowExists() {
    return State().mainWindowExists;
}

void MessageBoxService::setTestMode(bool on) {
    State().testMode = on;
    if (!on) clearRecordedMessages();
}
bool MessageBoxService::testMode() {
    return State().testMode;
}

void MessageBoxService::queueAnswerForTesting(bool yes) {
    State().answers.enqueue(yes);
}

QList<MessageBoxService::RecordedMessage> MessageBoxService::recordedMessages() {
    return State().recorded;
}

void MessageBoxService::clearRecordedMessages() {
    State().recorded.clear();
    State().answers.clear();
}

QString MessageBoxService::captionFor(const QString& title) {
    return title.isEmpty() ? Product::kName : title;
}

void MessageBoxService::show(MessageIcon icon, const QString& title, const QString& text) {
    const QString caption = captionFor(title);
    ServiceState& state = State();
    if (!state.mainWindowExists) WriteMessageToStderr(icon, caption, text);
    if (state.testMode) {
        state.recorded.append({icon, caption, text, false, false});
        return;
    }
    QMessageBox box(BoxParent());
    PrepareBox(box, icon, caption, text);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

bool MessageBoxService::ask(const QString& title, const QString& text) {
    const QString caption = captionFor(title);
    ServiceState& state = State();
    if (!state.mainWindowExists) WriteMessageToStderr(MessageIcon::Question, caption, text);
    if (state.testMode) {
        const bool answer = state.answers.isEmpty() ? false : state.answers.dequeue();
        state.recorded.append({MessageIcon::Question, caption, text, true, answer});
        return answer;
    }
    QMessageBox box(BoxParent());
    PrepareBox(box, MessageIcon::Question, caption, text);
    QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

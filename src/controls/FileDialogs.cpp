#include "controls/FileDialogs.h"

#include <QFileDialog>
#include <QQueue>

namespace {

struct TestAnswers {
    QQueue<QString> answers;
    QList<FileDialogs::Question> questions;
};

TestAnswers& Testing() {
    static TestAnswers state;
    return state;
}

QString Ask(QWidget* owner, const FileDialogs::Question& question) {
    TestAnswers& testing = Testing();
    if (!testing.answers.isEmpty()) {
        testing.questions.append(question);
        return testing.answers.dequeue();
    }
    QFileDialog dialog(owner, question.title, QString(), question.filter);
    dialog.setObjectName(question.save ? QStringLiteral("SaveDialog") : QStringLiteral("OpenDialog"));
    dialog.setAcceptMode(question.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(question.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(question.defaultSuffix);
    if (!question.proposedName.isEmpty()) dialog.selectFile(question.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

} // namespace

QString FileDialogs::askOpenFile(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& defaultSuffix) {
    return Ask(owner, {false, title, filter, defaultSuffix, QString()});
}

QString FileDialogs::askSaveFile(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& defaultSuffix, const QString& proposedName) {
    return Ask(owner, {true, title, filter, defaultSuffix, proposedName});
}

void FileDialogs::queueAnswerForTesting(const QString& path) {
    Testing().answers.enqueue(path);
}

QList<FileDialogs::Question> FileDialogs::questionsForTesting() {
    return Testing().questions;
}

void FileDialogs::clearForTesting() {
    Testing().answers.clear();
    Testing().questions.clear();
}

QString DialogSaveFileChooser::chooseSaveFile(const QString& title, const QString& filter,
                                              const QString& defaultExtension, const QString& proposedName) {
    return FileDialogs::askSaveFile(m_owner, title, filter, defaultExtension, proposedName);
}

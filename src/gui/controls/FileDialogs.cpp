#include "gui/controls/FileDialogs.h"

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
    const bool save = question.kind == FileDialogs::Kind::Save;
    QFileDialog dialog(owner, question.title, question.folder, question.filter);
    switch (question.kind) {
    case FileDialogs::Kind::Open:
        dialog.setObjectName(QStringLiteral("OpenDialog"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileDialogs::Kind::Save:
        dialog.setObjectName(QStringLiteral("SaveDialog"));
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    case FileDialogs::Kind::Folder:
        dialog.setObjectName(QStringLiteral("FolderDialog"));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(question.defaultSuffix);
    if (!question.proposedName.isEmpty()) dialog.selectFile(question.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

} // namespace

QString FileDialogs::askOpenFile(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& defaultSuffix, const QString& folder) {
    return Ask(owner, {Kind::Open, title, filter, defaultSuffix, QString(), folder});
}

QString FileDialogs::askSaveFile(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& defaultSuffix, const QString& proposedName, const QString& folder) {
    return Ask(owner, {Kind::Save, title, filter, defaultSuffix, proposedName, folder});
}

QString FileDialogs::askFolder(QWidget* owner, const QString& title, const QString& folder) {
    return Ask(owner, {Kind::Folder, title, QString(), QString(), QString(), folder});
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

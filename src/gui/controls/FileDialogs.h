#pragma once

#include "core/documents/StoredPictures.h"

#include <QList>
#include <QString>

class QWidget;

// The open, save and folder dialogs of every window. Tests answer them: while answers are queued, each dialog takes
// the next one instead of showing ("" is Cancel), and what it would have asked is recorded.
class FileDialogs {
public:
    enum class Kind { Open, Save, Folder };
    struct Question {
        Kind kind = Kind::Open;
        QString title;
        QString filter; // in the dialog's form: "Name (*.a *.b);;Other (*.c)"
        QString defaultSuffix;
        QString proposedName;
        QString folder; // the folder the dialog starts in; empty for the dialog's own choice
    };

    // The chosen existing file; empty when the user cancelled.
    static QString askOpenFile(QWidget* owner, const QString& title, const QString& filter,
                               const QString& defaultSuffix, const QString& folder = {});
    // The chosen file name to write; empty when the user cancelled.
    static QString askSaveFile(QWidget* owner, const QString& title, const QString& filter,
                               const QString& defaultSuffix, const QString& proposedName, const QString& folder = {});
    // The chosen existing folder; empty when the user cancelled.
    static QString askFolder(QWidget* owner, const QString& title, const QString& folder = {});

    static void queueAnswerForTesting(const QString& path);
    static QList<Question> questionsForTesting();
    static void clearForTesting();
};

// The save dialog behind SaveImageCopyAs.
class DialogSaveFileChooser final : public SaveFileChooser {
public:
    explicit DialogSaveFileChooser(QWidget* owner) : m_owner(owner) {}
    QString chooseSaveFile(const QString& title, const QString& filter, const QString& defaultExtension,
                           const QString& proposedName) override;

private:
    QWidget* m_owner;
};

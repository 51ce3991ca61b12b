#pragma once

#include <QList>
#include <QPixmap>
#include <QStringList>

#include <functional>

class QWidget;

// Opens the mail dialog modally over parent with the attachments prepared by a document command: one
// record per attachment ("000012%&a%path%&b%type%&c%size Ko%&d%") and one icon per record, in the
// same order. Returns once the dialog is closed.
void OpenMailDialog(QWidget* parent, const QStringList& attachmentRecords, const QList<QPixmap>& icons);

// Tests see what a document command hands the dialog; an empty function restores the dialog.
using MailDialogOpener = std::function<void(QWidget*, const QStringList&, const QList<QPixmap>&)>;
void SetMailDialogOpenerForTesting(MailDialogOpener opener);

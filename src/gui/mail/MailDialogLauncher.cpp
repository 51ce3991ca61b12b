#include "gui/mail/MailDialogLauncher.h"

namespace {
MailDialogOpener& OpenerForTesting() {
    static MailDialogOpener opener;
    return opener;
}
} // namespace

void OpenMailDialog(QWidget* parent, const QStringList& attachmentRecords, const QList<QPixmap>& icons) {
    if (OpenerForTesting()) {
        OpenerForTesting()(parent, attachmentRecords, icons);
        return;
    }
    // The mail dialog (TSendEmail) is not part of the program yet: the document commands prepare their
    // copy and attachment record and stop here.
}

void SetMailDialogOpenerForTesting(MailDialogOpener opener) {
    OpenerForTesting() = std::move(opener);
}

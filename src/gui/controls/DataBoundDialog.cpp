#include "gui/controls/DataBoundDialog.h"

#include "core/app/MessageService.h"
#include "core/db/Dataset.h"
#include "gui/controls/FieldBinding.h"

#include <QPushButton>

DataBoundDialog::DataBoundDialog(Dataset& row, QWidget* owner) : QDialog(owner), m_row(row) {}

void DataBoundDialog::setButtons(QPushButton* ok, QPushButton* cancel) {
    m_ok = ok;
    connect(ok, &QPushButton::clicked, this, &DataBoundDialog::Btn_OkClick);
    connect(cancel, &QPushButton::clicked, this, &DataBoundDialog::Btn_CancelClick);
}

void DataBoundDialog::Btn_OkClick() {
    if (!m_ok->isEnabled()) return;
    QString error;
    if (!PostBoundRow(this, m_row, &error)) {
        Messages().show(MessageIcon::Error, QString(), error);
        return;
    }
    rowPosted();
    m_closing = true;
    accept();
}

void DataBoundDialog::Btn_CancelClick() {
    reject();
}

void DataBoundDialog::reject() {
    // Once posted, the row is no longer the dialog's to cancel.
    if (!m_closing && m_row.isEditing()) m_row.cancel();
    m_closing = true;
    QDialog::reject();
}

#include "gui/records/CustomLabelsUi.h"

#include "core/app/MessageService.h"
#include "core/db/TDataModule1.h"
#include "core/records/CustomLabels.h"
#include "gui/records/TEnterStr.h"

#include <QLabel>

namespace {

void ShowError(const QString& error) {
    Messages().show(MessageIcon::Error, QString(), error);
}

} // namespace

void LoadCustomLabels(const QList<QLabel*>& labels) {
    TDataModule1* data = DataModule1();
    if (!data) return;
    QStringList texts;
    QString error;
    if (!ReadCustomLabels(*data->Query, &texts, &error)) {
        ShowError(error);
        return;
    }
    for (int index = 0; index < labels.size() && index < texts.size(); ++index)
        if (labels[index]) labels[index]->setText(texts[index]);
}

bool RenameCustomLabel(QLabel* label) {
    TDataModule1* data = DataModule1();
    if (!label || !data) return false;
    QString text = label->text();
    if (!TEnterStr::EnterString(label->window(), QStringLiteral("Modifiez le libellé"), &text, kCustomLabelMaxLength))
        return false;
    QString error;
    if (!StoreCustomLabel(*data->Query, CustomLabelColumnOfName(label->objectName()), text, &error)) {
        ShowError(error);
        return false;
    }
    label->setText(text);
    return true;
}

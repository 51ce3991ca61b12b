#include "gui/controls/DialogButtons.h"

#include <QHBoxLayout>
#include <QPushButton>

DialogButtons MakeDialogButtons(QWidget* dialog) {
    auto* ok = new QPushButton(QStringLiteral(" &Ok"), dialog);
    ok->setObjectName(QStringLiteral("Btn_Ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral(" &Annuler"), dialog);
    cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    cancel->setAutoDefault(false);
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    bar->addWidget(ok);
    bar->addWidget(cancel);
    return {ok, cancel, bar};
}

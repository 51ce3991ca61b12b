#pragma once

class QHBoxLayout;
class QPushButton;
class QWidget;

// " &Ok" "Btn_Ok" (the default button) and " &Annuler" "Btn_Cancel" at the right of a bar. The caller connects them;
// without a dialog, they belong to the dialog whose layout takes the bar.
struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QHBoxLayout* bar;
};
DialogButtons MakeDialogButtons(QWidget* dialog);

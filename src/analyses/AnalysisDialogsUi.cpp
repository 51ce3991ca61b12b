#include "analyses/AnalysisDialogsUi.h"

#include "analyses/ValueFormat.h"
#include "controls/FieldBinding.h"
#include "db/Dataset.h"
#include "db/TDataModule1.h"
#include "records/TComboList.h"
#include "records/TPickList.h"

#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace {

const QString kUnitList = QStringLiteral("Analysis_Unit");
const QString kDecimalsEntries = QStringLiteral("0\r1\r2\r3");

class DoubleClickFilter final : public QObject {
public:
    DoubleClickFilter(QWidget* field, std::function<void()> action) : QObject(field), m_action(std::move(action)) {
        field->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            m_action();
            return true;
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

} // namespace

QToolButton* FieldButton(QWidget* parent, const QString& name, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(QStringLiteral("..."));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(22, 22);
    return button;
}

QHBoxLayout* FieldWithButton(QWidget* field, QToolButton* button) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(field, 1);
    row->addWidget(button);
    return row;
}

void AttachFieldPicker(QLineEdit* field, QToolButton* button, std::function<void()> open) {
    if (!field) return;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), field);
        shortcut->setContext(Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, field, open);
    }
    if (button) QObject::connect(button, &QToolButton::clicked, field, open);
}

void OnDoubleClick(QWidget* field, std::function<void()> action) {
    if (field) new DoubleClickFilter(field, std::move(action));
}

void LimitMemoLength(QPlainTextEdit* memo, int maxLength) {
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, maxLength] {
        const QString text = memo->toPlainText();
        if (text.size() <= maxLength) return;
        QTextCursor cursor = memo->textCursor();
        const int position = qMin(cursor.position(), maxLength);
        memo->setPlainText(text.left(maxLength));
        cursor = memo->textCursor();
        cursor.setPosition(position);
        memo->setTextCursor(cursor);
    });
}

void AttachUnitAndDecimalsPickers(QDialog* dialog, QLineEdit* unit, QToolButton* unitButton, QLineEdit* decimals,
                                  QToolButton* decimalsButton, Dataset* row) {
    const QPointer<Dataset> target(row);
    AttachFieldPicker(unit, unitButton, [unit, target] {
        TDataModule1* data = DataModule1();
        if (!target || !data) return;
        ShowPickList(unit, true, QString(), target, QStringLiteral("Unit"), data->ComboItems, kUnitList);
    });
    AttachFieldPicker(decimals, decimalsButton, [decimals, target] {
        if (!target) return;
        ShowPickList(decimals, true, kDecimalsEntries, target, QStringLiteral("Decimal"), nullptr, QString());
    });
    OnDoubleClick(unit, [dialog] {
        if (TDataModule1* data = DataModule1())
            EditPickList(dialog, QStringLiteral("Unités"), kUnitList, data->ComboItems);
    });
}

void FollowBoundPatterns(QWidget* dialog, Dataset* row, QLineEdit* minimum, QLineEdit* maximum) {
    const QPointer<Dataset> source(row);
    const auto apply = [source, minimum, maximum] {
        if (!source || !source->isOpen() || source->recNo() < 0) return;
        const ValuePatterns patterns = AnalysisValuePatterns(source->value(QStringLiteral("Decimal")).toInt(),
                                                             source->asString(QStringLiteral("Unit")));
        for (QLineEdit* field : {minimum, maximum})
            if (FieldBinding* binding = FieldBinding::Of(field)) {
                if (binding->editPattern() != patterns.edit || binding->displayPattern() != patterns.display)
                    binding->setPatterns(patterns.edit, patterns.display);
            }
    };
    apply();
    if (row) QObject::connect(row, &Dataset::dataChanged, dialog, apply);
}

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

void RemoveCloseButton(QDialog* dialog) {
    dialog->setWindowFlags((dialog->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                           ~Qt::WindowCloseButtonHint & ~Qt::WindowContextHelpButtonHint);
}

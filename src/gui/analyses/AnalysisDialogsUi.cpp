#include "gui/analyses/AnalysisDialogsUi.h"

#include "core/analyses/ValueFormat.h"
#include "core/db/Dataset.h"
#include "core/db/TDataModule1.h"
#include "gui/controls/FieldBinding.h"
#include "gui/records/TComboList.h"
#include "gui/records/TPickList.h"

#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QShortcut>
#include <QToolButton>

namespace {

const QString kUnitList = QStringLiteral("Analysis_Unit");
const QString kDecimalsEntries = QStringLiteral("0\r1\r2\r3");
// What Description and Remark1 hold.
constexpr int kRemarksLength = 255;

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

AnalysisEntryFields MakeAnalysisEntryFields(QDialog* dialog, Dataset* row, const QString& remarksName,
                                            const QString& remarksColumn) {
    AnalysisEntryFields fields;
    fields.unit = new QLineEdit(dialog);
    fields.unitButton = FieldButton(dialog, QStringLiteral("Btn_Unit"));
    fields.decimals = new QLineEdit(dialog);
    fields.decimalsButton = FieldButton(dialog, QStringLiteral("Btn_Decimal"));
    fields.minimum = new QLineEdit(dialog);
    fields.maximum = new QLineEdit(dialog);
    fields.remarks = new QPlainTextEdit(dialog);

    fields.unit->setObjectName(QStringLiteral("Ed_Unit"));
    fields.unit->setReadOnly(true);
    fields.unit->setToolTip(QStringLiteral("Double-cliquer pour enrichir"));
    fields.decimals->setObjectName(QStringLiteral("Ed_Decimal"));
    fields.decimals->setReadOnly(true);
    fields.minimum->setObjectName(QStringLiteral("Ed_Value_Min"));
    fields.maximum->setObjectName(QStringLiteral("Ed_Value_Max"));
    for (QLineEdit* bound : {fields.minimum, fields.maximum})
        bound->setAlignment(Qt::AlignRight);
    fields.remarks->setObjectName(remarksName);
    fields.remarks->setTabChangesFocus(true);
    fields.remarks->setFixedHeight(80);
    LimitMemoLength(fields.remarks, kRemarksLength);

    FieldBinding::Bind(fields.unit, row, QStringLiteral("Unit"));
    FieldBinding::Bind(fields.decimals, row, QStringLiteral("Decimal"));
    FieldBinding::Bind(fields.minimum, row, QStringLiteral("Value_Min"), FieldBinding::Kind::Number);
    FieldBinding::Bind(fields.maximum, row, QStringLiteral("Value_Max"), FieldBinding::Kind::Number);
    FieldBinding::Bind(fields.remarks, row, remarksColumn);
    FollowBoundPatterns(dialog, row, fields.minimum, fields.maximum);
    AttachUnitAndDecimalsPickers(dialog, fields.unit, fields.unitButton, fields.decimals, fields.decimalsButton, row);
    return fields;
}

void AddAnalysisEntryRows(QGridLayout* grid, const AnalysisEntryFields& fields) {
    grid->addWidget(BuddyLabel(QStringLiteral("Unité"), fields.unit), 1, 0);
    grid->addLayout(FieldWithButton(fields.unit, fields.unitButton), 1, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("Décimal"), fields.decimals), 1, 2);
    grid->addLayout(FieldWithButton(fields.decimals, fields.decimalsButton), 1, 3);
    grid->addWidget(BuddyLabel(QStringLiteral("Valeur minimale"), fields.minimum), 2, 0);
    grid->addWidget(fields.minimum, 2, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("Valeur maximale"), fields.maximum), 2, 2);
    grid->addWidget(fields.maximum, 2, 3);
    grid->addWidget(BuddyLabel(QStringLiteral("Remarques"), fields.remarks), 3, 0, Qt::AlignTop);
    grid->addWidget(fields.remarks, 3, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
    // Parentless: the grid's dialog takes it when the grid is laid out.
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

void RemoveCloseButton(QDialog* dialog) {
    dialog->setWindowFlags((dialog->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                           ~Qt::WindowCloseButtonHint & ~Qt::WindowContextHelpButtonHint);
}

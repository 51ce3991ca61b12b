#include "gui/controls/FieldBinding.h"

#include "core/app/DateRoutines.h"
#include "core/app/NumberFormat.h"
#include "core/db/Dataset.h"
#include "gui/controls/MaskEdit.h"

#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

namespace {

// A date field holds nothing when only its separators and blanks are left.
bool IsBlankDateText(const QString& text) {
    for (const QChar c : text)
        if (c != QLatin1Char('/') && c != QLatin1Char(' ') && c != QLatin1Char('_')) return false;
    return true;
}

QString PlainNumberText(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

} // namespace

FieldBinding::FieldBinding(QWidget* field, Dataset* row, const QString& column, Kind kind)
    : QObject(field), m_line(qobject_cast<QLineEdit*>(field)), m_memo(qobject_cast<QPlainTextEdit*>(field)), m_row(row),
      m_column(column), m_kind(kind) {
    setObjectName(QStringLiteral("Binding_") + column);
    if (m_line) connect(m_line, &QLineEdit::textEdited, this, &FieldBinding::userEdited);
    if (m_memo)
        connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
            if (!m_showing) userEdited();
        });
    field->installEventFilter(this);
    if (m_row) {
        connect(m_row, &Dataset::dataChanged, this, &FieldBinding::rowDataChanged);
        connect(m_row, &Dataset::reset, this, &FieldBinding::refresh);
    }
    refresh();
}

FieldBinding* FieldBinding::Bind(QLineEdit* field, Dataset* row, const QString& column, Kind kind) {
    return field ? new FieldBinding(field, row, column, kind) : nullptr;
}

FieldBinding* FieldBinding::Bind(QPlainTextEdit* memo, Dataset* row, const QString& column) {
    return memo ? new FieldBinding(memo, row, column, Kind::Text) : nullptr;
}

FieldBinding* FieldBinding::Of(const QWidget* field) {
    return field ? field->findChild<FieldBinding*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QWidget* FieldBinding::field() const {
    if (m_line) return m_line;
    return m_memo;
}

void FieldBinding::setPatterns(const QString& editPattern, const QString& displayPattern) {
    m_editPattern = editPattern;
    m_displayPattern = displayPattern;
    if (!m_pending) refresh();
}

QString FieldBinding::fieldText() const {
    if (m_line) return FieldText(m_line);
    return m_memo ? m_memo->toPlainText() : QString();
}

void FieldBinding::showText(const QString& text) {
    m_showing = true;
    if (m_line) {
        if (FieldText(m_line) != text) SetFieldText(m_line, text);
    } else if (m_memo && m_memo->toPlainText() != text) {
        m_memo->setPlainText(text);
    }
    m_showing = false;
    m_shownRow = m_row ? m_row->recNo() : -1;
}

QString FieldBinding::columnText(bool editing) const {
    if (!m_row || !m_row->isOpen() || m_row->recNo() < 0 || m_row->isNull(m_column)) return {};
    switch (m_kind) {
    case Kind::Text:
    case Kind::DateText:
        return m_row->asString(m_column);
    case Kind::Date: {
        const QDate date = m_row->asDate(m_column);
        return date.isValid() ? DateToText(date) : m_row->asString(m_column);
    }
    case Kind::Number: {
        const double value = m_row->asDouble(m_column);
        const QString& pattern = editing ? m_editPattern : m_displayPattern;
        return pattern.isEmpty() ? PlainNumberText(value) : FormatFloatPattern(pattern, value);
    }
    }
    return {};
}

void FieldBinding::refresh() {
    m_pending = false;
    const QWidget* widget = field();
    showText(columnText(m_kind == Kind::Number && widget && widget->hasFocus()));
}

void FieldBinding::userEdited() {
    if (m_showing || !m_row || !m_row->isOpen()) return;
    if (!m_row->isEditing() && !m_row->edit()) return;
    m_shownRow = m_row->recNo();
    if (m_kind != Kind::Text) {
        m_pending = true;
        return;
    }
    const QString text = fieldText();
    m_writing = true;
    m_row->setValue(m_column, text.isEmpty() ? QVariant() : QVariant(text));
    m_writing = false;
}

void FieldBinding::rowDataChanged() {
    if (m_writing || !m_row) return;
    // Another field's change leaves what is being typed here; a move to another row or the end of the
    // editing does not.
    if (m_pending && m_row->isEditing() && m_row->recNo() == m_shownRow) return;
    refresh();
}

bool FieldBinding::commit(QString* error) {
    if (!m_pending || !m_row) return true;
    const QString text = fieldText();
    QVariant value;
    if ((m_kind == Kind::Date || m_kind == Kind::DateText) && !IsBlankDateText(text)) {
        bool ok = false;
        const QDate date = TextToDate(text.trimmed(), &ok);
        if (!ok || !date.isValid()) {
            if (error) *error = QStringLiteral("'%1' n'est pas une date correcte").arg(text.trimmed());
            return false;
        }
        value = m_kind == Kind::Date ? QVariant(date) : QVariant(text.trimmed());
    } else if (m_kind == Kind::Number && !text.trimmed().isEmpty()) {
        double number = 0;
        if (!ReadDecimalText(text, &number)) {
            if (error)
                *error = QStringLiteral("'%1' n'est pas une valeur en virgule flottante correcte").arg(text.trimmed());
            return false;
        }
        value = number;
    }
    if (!m_row->isEditing() && !m_row->edit()) return true;
    m_writing = true;
    m_row->setValue(m_column, value);
    m_writing = false;
    m_pending = false;
    return true;
}

bool FieldBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field() && m_kind != Kind::Text) {
        if (event->type() == QEvent::FocusIn && !m_pending && m_kind == Kind::Number) {
            showText(columnText(true));
        } else if (event->type() == QEvent::FocusOut) {
            // A text that does not convert stays as typed; the dialog's Ok reports it.
            if (commit() && m_kind == Kind::Number) showText(columnText(false));
        }
    }
    return QObject::eventFilter(watched, event);
}

bool CommitBoundFields(QWidget* window, QString* error) {
    if (!window) return true;
    for (FieldBinding* binding : window->findChildren<FieldBinding*>()) {
        QString message;
        if (binding->commit(&message)) continue;
        if (QWidget* field = binding->field()) field->setFocus();
        if (error) *error = message;
        return false;
    }
    return true;
}

bool PostBoundRow(QWidget* window, Dataset& row, QString* error) {
    if (!CommitBoundFields(window, error)) return false;
    return !row.isEditing() || row.post(error);
}

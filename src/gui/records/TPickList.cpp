#include "gui/records/TPickList.h"

#include "core/app/MessageService.h"
#include "core/db/DatasetRoutines.h"
#include "core/records/PickListEntries.h"
#include "gui/controls/MaskEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QColor kListBackground(255, 255, 242);

QColor Darkened(const QColor& colour, int by) {
    return QColor(qMax(0, colour.red() - by), qMax(0, colour.green() - by), qMax(0, colour.blue() - by));
}

void ShowError(const QString& error) {
    if (!error.isEmpty()) Messages().show(MessageIcon::Error, QString(), error);
}

// The text of a COMBOITEMS column, read from its first row; false with the error when it cannot be read.
bool ReadListColumn(Dataset& lists, const QString& column, QString* text, QString* error) {
    lists.close();
    if (!lists.open(error)) return false;
    const bool known = lists.hasField(column);
    if (known && !lists.isEmpty()) *text = lists.asString(column);
    lists.close();
    if (!known && error) *error = QStringLiteral("Champ '%1' non trouvé").arg(column);
    return known;
}

class PickListView final : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void()> onEnter;
    std::function<void()> onEscape;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (onEnter) onEnter();
            return;
        case Qt::Key_Escape:
            if (onEscape) onEscape();
            return;
        default:
            QListWidget::keyPressEvent(event);
        }
    }
};

} // namespace

TPickList::TPickList(QWidget* owner) : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("PickList"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* view = new PickListView(this);
    view->onEnter = [this] { choose(selectedIndex()); };
    view->onEscape = [this] { close(); };
    m_list = view;
    m_list->setObjectName(QStringLiteral("List"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The list's height is its entries', however few.
    m_list->setMinimumSize(1, 1);
    QPalette colours = m_list->palette();
    colours.setColor(QPalette::Base, kListBackground);
    colours.setColor(QPalette::Window, kListBackground);
    m_list->setPalette(colours);
    setPalette(colours);
    setAutoFillBackground(true);
    // A click released on an entry chooses it.
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { choose(m_list->row(item)); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(m_list);
}

QStringList TPickList::entries() const {
    QStringList texts;
    for (int row = 0; row < m_list->count(); ++row)
        texts << m_list->item(row)->text();
    return texts;
}

int TPickList::selectedIndex() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.first());
}

int TPickList::entryHeight() const {
    return m_list->fontMetrics().height() + 3;
}

void TPickList::setEntries(const QStringList& entries, const QString& fieldText) {
    m_list->clear();
    const int height = entryHeight();
    for (const QString& text : entries) {
        auto* item = new QListWidgetItem(text, m_list);
        item->setSizeHint(QSize(0, height));
    }
    const int selected = PickListInitialSelection(entries, fieldText);
    if (selected >= 0) {
        m_list->setCurrentRow(selected);
        m_list->scrollToItem(m_list->item(selected));
    }
}

void TPickList::choose(int index) {
    if (index >= 0 && index < m_list->count() && m_field) {
        const QString text = m_list->item(index)->text();
        m_field->setProperty("tag", index);
        SetFieldText(m_field, text);
        if (m_row && !m_rowColumn.isEmpty() && EnsureEditing(*m_row))
            m_row->setValue(m_rowColumn, text.isEmpty() ? QVariant() : QVariant(text));
        m_field->setFocus();
        m_field->selectAll();
        emit picked(index, text);
    }
    close();
}

void TPickList::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Darkened(kListBackground, 35));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

TPickList* ShowPickList(QLineEdit* field, bool sorted, const QString& fixedEntries, Dataset* row,
                        const QString& rowColumn, Dataset* lists, const QString& listColumn) {
    if (!field) return nullptr;
    if (row) EnsureEditing(*row);
    QStringList entries;
    if (!listColumn.isEmpty()) {
        QString text;
        QString error;
        if (!lists || !ReadListColumn(*lists, listColumn, &text, &error)) {
            ShowError(error);
            return nullptr;
        }
        entries = PickListEntries(text, sorted, true);
    } else {
        entries = PickListEntries(fixedEntries, sorted, false);
    }

    auto* pickList = new TPickList(field->window());
    pickList->m_field = field;
    pickList->m_row = row;
    pickList->m_rowColumn = rowColumn;
    pickList->setEntries(entries, FieldText(field));
    const QRect fieldOnScreen(field->mapToGlobal(QPoint(0, 0)), field->size());
    const QScreen* screen = field->screen();
    const QRect usable = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 16, 1 << 16);
    pickList->setGeometry(
        PickListGeometry(fieldOnScreen, static_cast<int>(entries.size()), pickList->entryHeight(), usable));
    field->setFocus();
    field->selectAll();
    pickList->show();
    pickList->m_list->setFocus();
    return pickList;
}

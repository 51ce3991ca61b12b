#include "gui/controls/FieldButtons.h"

#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace {

QIcon CalendarIcon() {
    QPixmap page(16, 16);
    page.fill(Qt::transparent);
    QPainter painter(&page);
    painter.setPen(QColor(70, 90, 130));
    painter.setBrush(Qt::white);
    painter.drawRect(1, 2, 13, 12);
    painter.fillRect(2, 3, 12, 3, QColor(200, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 90, 130));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            painter.drawRect(3 + column * 3, 7 + row * 2, 1, 1);
    painter.end();
    return QIcon(page);
}

QToolButton* FieldButton(QWidget* parent, const QString& name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    const int side = QLineEdit().sizeHint().height();
    button->setFixedSize(side, side);
    return button;
}

} // namespace

QToolButton* DateButton(QWidget* parent, const QString& name) {
    QToolButton* button = FieldButton(parent, name);
    button->setIcon(CalendarIcon());
    button->setToolTip(QStringLiteral("Choisir une date"));
    return button;
}

QToolButton* PickListButton(QWidget* parent, const QString& name) {
    QToolButton* button = FieldButton(parent, name);
    button->setArrowType(Qt::DownArrow);
    button->setToolTip(QStringLiteral("Choisir dans la liste"));
    return button;
}

#include "gui/records/TAbout.h"

#include "core/app/DateRoutines.h"
#include "core/app/Product.h"
#include "core/db/DatabaseSettings.h"
#include "gui/controls/FormConventions.h"
#include "gui/controls/ProgramPicture.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Line(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("A propos de ") + Product::kName);

    auto* emblem = new QLabel(this);
    emblem->setObjectName(QStringLiteral("Img_Emblem"));
    emblem->setPixmap(ProgramEmblemPixmap(64));

    QLabel* product = Line(this, QStringLiteral("Lab_Product"), Product::kName);
    QFont large = product->font();
    large.setPointSize(large.pointSize() + 6);
    large.setBold(true);
    product->setFont(large);

    auto* text = new QVBoxLayout;
    text->addWidget(product);
    text->addWidget(Line(this, QStringLiteral("Lab_Version"), QStringLiteral("Version ") + Product::kVersion));
    text->addWidget(
        Line(this, QStringLiteral("Lab_Dsn"), QStringLiteral("DSN: ") + CurrentDatabaseSettings().odbcName));
    text->addSpacing(8);
    text->addWidget(
        Line(this, QStringLiteral("Lab_Maker"),
             QStringLiteral("© ") + QString::number(CurrentYear()) + QLatin1Char(' ') + Product::kMakerName));
    text->addWidget(Line(this, QStringLiteral("Lab_WebSite"), Product::kWebSite));

    auto* top = new QHBoxLayout;
    top->addWidget(emblem, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral(" &Ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Btn_Ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    PrepareForm(this);
}

#include "gui/app/TProperties.h"

#include "core/app/Settings.h"
#include "core/documents/ScannerSources.h"
#include "gui/controls/DialogButtons.h"
#include "gui/controls/NumberEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("  Propriétés");

constexpr int kMinMaxWidth = 500;
constexpr int kMinJpegQuality = 10;

QString WithoutLeadingBlanks(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && text.at(first).isSpace())
        ++first;
    return text.mid(first);
}

QLabel* FieldLabel(const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    return label;
}

NumberEdit* NewNumberEdit(const QString& name, int maxDigits, int maxValue) {
    auto* edit = new NumberEdit(maxDigits, maxValue);
    edit->setObjectName(name);
    // Wide enough for its digits and a little margin, not stretched over the whole row.
    const QFontMetrics metrics(edit->font());
    edit->setFixedWidth(metrics.horizontalAdvance(QString(maxDigits + 2, QLatin1Char('0'))) + 12);
    return edit;
}

QLineEdit* NewTextEdit(const QString& name, int maxLength = 0) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    if (maxLength > 0) edit->setMaxLength(maxLength);
    return edit;
}

} // namespace

TProperties::TProperties(QWidget* parent) : QDialog(parent), m_listSources(&ListScannerSources) {
    setObjectName(QStringLiteral("TProperties"));
    setWindowTitle(WithoutLeadingBlanks(kTitle));
    setModal(true);

    // "Général": the scanner.
    m_twainSource = NewTextEdit(QStringLiteral("Ed_TwainSource"));
    m_twainSource->installEventFilter(this);
    m_twainBrowse = new QPushButton(QStringLiteral("..."));
    m_twainBrowse->setObjectName(QStringLiteral("Btn_TwainBrowse"));
    m_twainBrowse->setAutoDefault(false);
    m_twainBrowse->setFixedWidth(m_twainBrowse->sizeHint().height() + 8);
    m_showTwainUi = new QCheckBox(QStringLiteral("Afficher la fenêtre du pilote"));
    m_showTwainUi->setObjectName(QStringLiteral("Chk_ShowTwainUI"));
    m_maxWidth = NewNumberEdit(QStringLiteral("Ed_MaxWidth"), 4, 5000);
    m_jpegQuality = NewNumberEdit(QStringLiteral("Ed_JpegQuality"), 4, 5000);

    auto* scannerGroup = new QGroupBox(QStringLiteral(" Paramètrage du scanner "));
    scannerGroup->setObjectName(QStringLiteral("Group_Scanner"));
    auto* scannerGrid = new QGridLayout(scannerGroup);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->setSpacing(2);
    sourceRow->addWidget(m_twainSource, 1);
    sourceRow->addWidget(m_twainBrowse);
    scannerGrid->addWidget(FieldLabel(QStringLiteral("Source TWAIN"), m_twainSource), 0, 0);
    scannerGrid->addLayout(sourceRow, 0, 1);
    scannerGrid->addWidget(m_showTwainUi, 1, 1);
    scannerGrid->addWidget(FieldLabel(QStringLiteral("Largeur maximale (pixel)"), m_maxWidth), 2, 0);
    scannerGrid->addWidget(m_maxWidth, 2, 1, Qt::AlignLeft);
    scannerGrid->addWidget(FieldLabel(QStringLiteral("Taux de compression Jpeg"), m_jpegQuality), 3, 0);
    scannerGrid->addWidget(m_jpegQuality, 3, 1, Qt::AlignLeft);
    scannerGrid->setColumnStretch(1, 1);

    auto* generalPage = new QWidget;
    generalPage->setObjectName(QStringLiteral("Page_General"));
    auto* generalLayout = new QVBoxLayout(generalPage);
    generalLayout->addWidget(scannerGroup);
    generalLayout->addStretch(1);

    // "Serveur SMTP": the sender and the server of outgoing mail.
    m_smtpName = NewTextEdit(QStringLiteral("Ed_SmtpName"), kSettingTextMax);
    m_smtpEmail = NewTextEdit(QStringLiteral("Ed_SmtpEmail"), kSettingTextMax);
    m_smtpHost = NewTextEdit(QStringLiteral("Ed_SmtpHost"), kSettingTextMax);
    m_smtpPort = NewNumberEdit(QStringLiteral("Ed_SmtpPort"), 6, 5000);

    auto* smtpGroup =
        new QGroupBox(QStringLiteral(" Paramètres pour l'envoi de documents (images ou fichiers) par emails "));
    smtpGroup->setObjectName(QStringLiteral("Group_Smtp"));
    auto* smtpGrid = new QGridLayout(smtpGroup);
    smtpGrid->addWidget(FieldLabel(QStringLiteral("Nom"), m_smtpName), 0, 0);
    smtpGrid->addWidget(m_smtpName, 0, 1);
    smtpGrid->addWidget(FieldLabel(QStringLiteral("Email"), m_smtpEmail), 1, 0);
    smtpGrid->addWidget(m_smtpEmail, 1, 1);
    smtpGrid->addWidget(FieldLabel(QStringLiteral("Serveur SMTP"), m_smtpHost), 2, 0);
    smtpGrid->addWidget(m_smtpHost, 2, 1);
    smtpGrid->addWidget(FieldLabel(QStringLiteral("Port SMTP"), m_smtpPort), 3, 0);
    smtpGrid->addWidget(m_smtpPort, 3, 1, Qt::AlignLeft);
    smtpGrid->setColumnStretch(1, 1);

    auto* smtpPage = new QWidget;
    smtpPage->setObjectName(QStringLiteral("Page_Smtp"));
    auto* smtpLayout = new QVBoxLayout(smtpPage);
    smtpLayout->addWidget(smtpGroup);
    smtpLayout->addStretch(1);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("Tab_Properties"));
    m_tabs->addTab(generalPage, QStringLiteral("Général"));
    m_tabs->addTab(smtpPage, QStringLiteral("Serveur SMTP"));

    // Parentless like the pages: the layout adopts them after the tabs, which keeps the tab order.
    const DialogButtons buttons = MakeDialogButtons(nullptr);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons.bar);

    connect(m_twainBrowse, &QPushButton::clicked, this, &TProperties::Btn_TwainBrowseClick);
    connect(buttons.ok, &QPushButton::clicked, this, &TProperties::Btn_OkClick);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TProperties::EditSettings(QWidget* owner, Settings& settings) {
    TProperties dialog(owner);
    dialog.fillFrom(settings);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.copyTo(settings);
    return true;
}

void TProperties::fillFrom(const Settings& settings) {
    m_twainSource->setText(settings.twainSource);
    m_showTwainUi->setChecked(settings.showTwainUi);
    m_maxWidth->setValue(settings.maxWidth);
    m_jpegQuality->setValue(settings.jpegQuality);
    m_smtpName->setText(settings.smtpName);
    m_smtpEmail->setText(settings.smtpEmail);
    m_smtpHost->setText(settings.smtpHost);
    m_smtpPort->setValue(settings.smtpPort);
}

void TProperties::copyTo(Settings& settings) const {
    settings.twainSource = m_twainSource->text();
    settings.showTwainUi = m_showTwainUi->isChecked();
    settings.maxWidth = m_maxWidth->value();
    settings.jpegQuality = m_jpegQuality->value();
    settings.smtpName = LimitSettingText(m_smtpName->text());
    settings.smtpEmail = LimitSettingText(m_smtpEmail->text());
    settings.smtpHost = LimitSettingText(m_smtpHost->text());
    settings.smtpPort = m_smtpPort->value();
}

bool TProperties::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the source field lists the scanners instead of closing the dialog.
    if (watched == m_twainSource && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Btn_TwainBrowseClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TProperties::Btn_TwainBrowseClick() {
    const QStringList sources = m_listSources ? m_listSources() : QStringList();
    if (sources.isEmpty()) return;

    if (m_sourceList) m_sourceList->deleteLater();
    m_sourceList = new QMenu(this);
    m_sourceList->setObjectName(QStringLiteral("Popup_TwainSources"));
    m_sourceList->setAttribute(Qt::WA_DeleteOnClose);
    m_sourceList->setMinimumWidth(m_twainSource->width());
    for (const QString& source : sources) {
        // "&" in a product name would otherwise be taken for a shortcut marker.
        QAction* action = m_sourceList->addAction(QString(source).replace(QLatin1Char('&'), QLatin1String("&&")));
        connect(action, &QAction::triggered, this, [this, source] { m_twainSource->setText(source); });
    }
    m_sourceList->popup(m_twainSource->mapToGlobal(QPoint(0, m_twainSource->height())));
}

void TProperties::Btn_OkClick() {
    if (m_maxWidth->value() < kMinMaxWidth) m_maxWidth->setValue(kMinMaxWidth);
    if (m_jpegQuality->value() < kMinJpegQuality) m_jpegQuality->setValue(kMinJpegQuality);
    accept();
}

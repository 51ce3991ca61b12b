#include "gui/records/TEnterPerson.h"

#include "core/app/MessageService.h"
#include "core/app/TextRoutines.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TDataModule1.h"
#include "core/documents/StoredPictures.h"
#include "core/imaging/WindowsBitmap.h"
#include "core/records/CustomLabels.h"
#include "core/records/PersonRecords.h"
#include "gui/controls/DialogButtons.h"
#include "gui/controls/DrawnTitleBar.h"
#include "gui/controls/FieldBinding.h"
#include "gui/controls/FieldButtons.h"
#include "gui/controls/FileDialogs.h"
#include "gui/controls/FormConventions.h"
#include "gui/controls/MaskEdit.h"
#include "gui/documents/TViewImage.h"
#include "gui/records/CustomLabelsUi.h"
#include "gui/records/TComboList.h"
#include "gui/records/TPickList.h"
#include "gui/records/TSelectDate.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("  Saisie d'une personne");
const QString kEnrichHint = QStringLiteral("Double-cliquer pour enrichir");
const QString kRenameHint = QStringLiteral("Double-cliquez\npour modifier");
const QString kDeletePhotoQuestion = QStringLiteral("Désirez-vous supprimer cette photo ?");
constexpr int kTextMaxLength = 128;
constexpr int kFreeFieldCount = 12;
constexpr int kFreeFieldsWithList = 10;

QLabel* FieldLabel(const QString& caption, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(field);
    return label;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool stretch = false) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    if (stretch) row->addStretch(1);
    return row;
}

int TextWidth(const QWidget* widget, const QString& sample) {
    return widget->fontMetrics().horizontalAdvance(sample) + 14;
}

} // namespace

TEnterPerson::TEnterPerson(TDataModule1& data, bool isNew, QWidget* owner)
    : QDialog(owner), m_data(data), m_person(*data.Person), m_isNew(isNew) {
    setObjectName(QStringLiteral("TEnterPerson"));
    setModal(true);

    QFrame* titleBar = MakeDrawnTitleBar(this, kTitle, [this] { reject(); });

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("Tab_Person"));
    m_pages->setTabPosition(QTabWidget::South);
    m_pages->addTab(buildGeneralPage(), QStringLiteral("Général"));
    m_pages->addTab(buildCustomPage(), QStringLiteral("Personnalisé"));

    const DialogButtons buttons = MakeDialogButtons(this);
    m_ok = buttons.ok;
    connect(m_ok, &QPushButton::clicked, this, &TEnterPerson::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &TEnterPerson::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleBar);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons.bar);

    connect(m_name, &QLineEdit::textChanged, this, &TEnterPerson::updateButtons);
    connect(m_blood, &QLineEdit::textChanged, this, &TEnterPerson::updateBloodBadge);
    // The photo follows the row: it changes when a picture is stored or cleared, and when the query is read again.
    connect(&m_person, &Dataset::dataChanged, this, &TEnterPerson::showPhoto);
    connect(&m_person, &Dataset::reset, this, &TEnterPerson::showPhoto);

    PrepareForm(this);
    LoadCustomLabels(m_customLabels);
    showPhoto();
    updateBloodBadge();
    updateButtons();
}

QLineEdit* TEnterPerson::textField(const QString& column, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("Ed_") + column);
    field->setMaxLength(kTextMaxLength);
    FieldBinding::Bind(field, &m_person, column);
    return field;
}

QPlainTextEdit* TEnterPerson::memoField(const QString& column, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QStringLiteral("Ed_") + column);
    memo->setTabChangesFocus(true);
    FieldBinding::Bind(memo, &m_person, column);
    return memo;
}

QWidget* TEnterPerson::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Page_General"));

    m_name = textField(QStringLiteral("Name"), page);
    QLineEdit* foreName = textField(QStringLiteral("ForeName"), page);

    auto* number = new MaskEdit(MaskEdit::kSocialSecurityMask, page);
    number->setObjectName(QStringLiteral("Ed_No"));
    number->setFixedWidth(TextWidth(number, QStringLiteral("0 00 00 00 000 000 000")));
    FieldBinding::Bind(number, &m_person, QStringLiteral("No"));

    auto* birthDate = new MaskEdit(MaskEdit::kDateMask, page);
    birthDate->setObjectName(QStringLiteral("Ed_BirthDay_Date"));
    birthDate->setFixedWidth(TextWidth(birthDate, QStringLiteral("00/00/00000")));
    // The birth date is a text column: a real date is kept as typed, an impossible one refused.
    FieldBinding::Bind(birthDate, &m_person, QStringLiteral("BirthDay_Date"), FieldBinding::Kind::DateText);
    QToolButton* birthDateButton = DateButton(page, QStringLiteral("Btn_BirthDay_Date"));
    AttachDatePicker(birthDate, birthDateButton, &m_person, QStringLiteral("BirthDay_Date"),
                     TSelectDate::ColumnKind::Text);
    auto* birthTime = new MaskEdit(MaskEdit::kTimeMask, page);
    birthTime->setObjectName(QStringLiteral("Ed_BirthDay_Time"));
    birthTime->setFixedWidth(TextWidth(birthTime, QStringLiteral("00:000")));
    FieldBinding::Bind(birthTime, &m_person, QStringLiteral("BirthDay_Time"));

    auto* weight = new QLineEdit(page);
    weight->setObjectName(QStringLiteral("Ed_BirthDay_Weight"));
    weight->setAlignment(Qt::AlignRight);
    weight->setFixedWidth(TextWidth(weight, QStringLiteral("000000,000 Kg")));
    FieldBinding::Bind(weight, &m_person, QStringLiteral("BirthDay_Weight"), FieldBinding::Kind::Number)
        ->setPatterns(QString(), QStringLiteral("#######0.000 Kg"));
    auto* size = new QLineEdit(page);
    size->setObjectName(QStringLiteral("Ed_BirthDay_Size"));
    size->setAlignment(Qt::AlignRight);
    size->setFixedWidth(TextWidth(size, QStringLiteral("000000,00 cm")));
    FieldBinding::Bind(size, &m_person, QStringLiteral("BirthDay_Size"), FieldBinding::Kind::Number)
        ->setPatterns(QString(), QStringLiteral("#######0.00 cm"));

    QLineEdit* city = textField(QStringLiteral("BirthDay_City"), page);
    city->setToolTip(kEnrichHint);
    QToolButton* cityButton = PickListButton(page, QStringLiteral("Btn_BirthDay_City"));
    attachPickList(city, cityButton, [] { return QStringLiteral("Lieu de naissance"); });

    m_blood = textField(QStringLiteral("Blood"), page);
    // Set only from its pick list.
    m_blood->setReadOnly(true);
    m_blood->setToolTip(kEnrichHint);
    m_blood->setFixedWidth(TextWidth(m_blood, QStringLiteral("AB positif")));
    QToolButton* bloodButton = PickListButton(page, QStringLiteral("Btn_Blood"));
    attachPickList(m_blood, bloodButton, [] { return QStringLiteral("Groupe sanguin"); });
    m_bloodBadge = new QLabel(page);
    m_bloodBadge->setObjectName(QStringLiteral("Lab_Blood"));
    m_bloodBadge->setAlignment(Qt::AlignCenter);
    m_bloodBadge->setMinimumWidth(TextWidth(m_bloodBadge, QStringLiteral("AB NEGATIF")) + 10);
    m_bloodBadge->setStyleSheet(
        QStringLiteral("#Lab_Blood { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgb(230, 60, 60),"
                       " stop:1 rgb(170, 20, 20)); color: white; font-weight: bold; border: 1px solid rgb(120, 0, 0);"
                       " border-radius: 9px; padding: 2px 8px; }"));
    // Without a blood group the badge is hidden rather than an empty red pill; its place is kept.
    QSizePolicy badgePolicy = m_bloodBadge->sizePolicy();
    badgePolicy.setRetainSizeWhenHidden(true);
    m_bloodBadge->setSizePolicy(badgePolicy);

    auto* identity = new QGridLayout;
    identity->setHorizontalSpacing(8);
    int row = 0;
    identity->addWidget(FieldLabel(QStringLiteral("Nom"), m_name, page), row, 0);
    identity->addWidget(m_name, row++, 1);
    identity->addWidget(FieldLabel(QStringLiteral("Prénom"), foreName, page), row, 0);
    identity->addWidget(foreName, row++, 1);
    identity->addWidget(FieldLabel(QStringLiteral("N° de sécurité social"), number, page), row, 0);
    identity->addLayout(Row({number}, true), row++, 1);
    identity->addWidget(FieldLabel(QStringLiteral("Date et heure de naissance"), birthDate, page), row, 0);
    auto* birth = Row({birthDate, birthDateButton});
    birth->addSpacing(8);
    birth->addWidget(birthTime);
    birth->addStretch(1);
    identity->addLayout(birth, row++, 1);
    identity->addWidget(FieldLabel(QStringLiteral("Poids"), weight, page), row, 0);
    auto* measures = Row({weight});
    measures->addSpacing(12);
    measures->addWidget(FieldLabel(QStringLiteral("Taille"), size, page));
    measures->addSpacing(4);
    measures->addWidget(size);
    measures->addStretch(1);
    identity->addLayout(measures, row++, 1);
    identity->addWidget(FieldLabel(QStringLiteral("Lieu de naissance"), city, page), row, 0);
    identity->addLayout(Row({city, cityButton}), row++, 1);
    identity->addWidget(FieldLabel(QStringLiteral("Groupe sanguin"), m_blood, page), row, 0);
    auto* blood = Row({m_blood, bloodButton});
    blood->addSpacing(12);
    blood->addWidget(m_bloodBadge);
    blood->addStretch(1);
    identity->addLayout(blood, row++, 1);
    identity->setColumnStretch(1, 1);

    // The photo: its thumbnail, the select and delete buttons, and the context menu of the picture.
    auto* photoGroup = new QGroupBox(QStringLiteral("Photo"), page);
    photoGroup->setObjectName(QStringLiteral("Group_Photo"));
    m_photo = new QLabel(photoGroup);
    m_photo->setObjectName(QStringLiteral("ImgDB_Photo_Mini"));
    m_photo->setFixedSize(kPersonThumbnailSize + 2, kPersonThumbnailSize + 2);
    m_photo->setFrameShape(QFrame::Box);
    m_photo->setAlignment(Qt::AlignCenter);
    m_photo->setStyleSheet(QStringLiteral("#ImgDB_Photo_Mini { background: white; color: rgb(150, 150, 150);"
                                          " border: 1px solid rgb(180, 180, 180); }"));
    m_photo->setContextMenuPolicy(Qt::CustomContextMenu);
    m_photo->installEventFilter(this);
    auto* select = new QToolButton(photoGroup);
    select->setObjectName(QStringLiteral("Btn_Select_Img"));
    select->setText(QStringLiteral("Sélectionner"));
    select->setToolTip(QStringLiteral("Sélectionner une image"));
    m_deletePhoto = new QToolButton(photoGroup);
    m_deletePhoto->setObjectName(QStringLiteral("Btn_Delete_Img"));
    m_deletePhoto->setText(QStringLiteral("Supprimer"));
    m_deletePhoto->setToolTip(QStringLiteral("Supprimer cette image"));
    connect(select, &QToolButton::clicked, this, &TEnterPerson::selectPhoto);
    connect(m_deletePhoto, &QToolButton::clicked, this, &TEnterPerson::deletePhoto);

    m_photoMenu = new QMenu(this);
    m_photoMenu->setObjectName(QStringLiteral("Popup_Photo"));
    const auto photoAction = [this](const QString& name, const QString& text, void (TEnterPerson::*command)()) {
        QAction* action = m_photoMenu->addAction(text);
        action->setObjectName(name);
        if (command) connect(action, &QAction::triggered, this, command);
        return action;
    };
    photoAction(QStringLiteral("Menu_Photo_Select"), QStringLiteral("&Sélectionner une image"),
                &TEnterPerson::selectPhoto);
    photoAction(QStringLiteral("Menu_Photo_View"), QStringLiteral("&Visualiser la image"), &TEnterPerson::viewPhoto);
    // Printing the photo comes with the image preview window.
    photoAction(QStringLiteral("Menu_Photo_Print"), QStringLiteral("&Imprimer la image"), nullptr);
    photoAction(QStringLiteral("Menu_Photo_Save"), QStringLiteral("&Enregistrer l'image sous .."),
                &TEnterPerson::savePhotoCopy);
    m_photoMenu->addSeparator();
    photoAction(QStringLiteral("Menu_Photo_Delete"), QStringLiteral("Su&pprimer cette image"),
                &TEnterPerson::deletePhoto);
    connect(m_photoMenu, &QMenu::aboutToShow, this, &TEnterPerson::updatePhotoMenu);
    connect(m_photo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_photoMenu->popup(m_photo->mapToGlobal(at)); });

    auto* photoLayout = new QVBoxLayout(photoGroup);
    photoLayout->addWidget(m_photo, 0, Qt::AlignHCenter);
    auto* photoButtons = Row({select, m_deletePhoto});
    photoLayout->addLayout(photoButtons);

    auto* top = new QHBoxLayout;
    top->addLayout(identity, 1);
    top->addSpacing(8);
    top->addWidget(photoGroup, 0, Qt::AlignTop);

    // The insurers and the family history, several lines each.
    auto* memos = new QGridLayout;
    memos->setHorizontalSpacing(8);
    int column = 0;
    for (const auto& [field, caption] :
         {std::pair{"Org_Secu", "Organisme de sécurité social"}, std::pair{"Org_Comp", "Organisme complémentaire"},
          std::pair{"Previous", "Antécédants familiaux"}}) {
        QPlainTextEdit* memo = memoField(QLatin1String(field), page);
        memo->setMinimumHeight(72);
        memos->addWidget(FieldLabel(QString::fromUtf8(caption), memo, page), 0, column);
        memos->addWidget(memo, 1, column++);
    }

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addSpacing(4);
    layout->addLayout(memos, 1);
    return page;
}

QWidget* TEnterPerson::buildCustomPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Page_Custom"));
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    for (int number = 1; number <= kFreeFieldCount; ++number) {
        const QString column = CustomLabelColumn(number);
        // The design-time captions, until the stored ones are read.
        auto* label = new QLabel(QStringLiteral("Divers %1").arg(number), page);
        label->setObjectName(QStringLiteral("Lab_") + column);
        label->setTextFormat(Qt::PlainText);
        label->setToolTip(kRenameHint);
        label->installEventFilter(this);
        m_customLabels << label;
        if (number <= kFreeFieldsWithList) {
            QLineEdit* field = textField(column, page);
            field->setToolTip(kEnrichHint);
            QToolButton* button = PickListButton(page, QStringLiteral("Btn_") + column);
            // The list editor is titled with the label as it reads when it opens.
            attachPickList(field, button, [label] { return label->text(); });
            // Two columns of five.
            const int row = (number - 1) % 5;
            const int side = (number - 1) / 5;
            fields->addWidget(label, row, side * 2);
            fields->addLayout(Row({field, button}), row, side * 2 + 1);
        }
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto* memos = new QGridLayout;
    memos->setHorizontalSpacing(8);
    for (int number = kFreeFieldsWithList + 1; number <= kFreeFieldCount; ++number) {
        QPlainTextEdit* memo = memoField(CustomLabelColumn(number), page);
        const int column = number - kFreeFieldsWithList - 1;
        memos->addWidget(m_customLabels[number - 1], 0, column);
        memos->addWidget(memo, 1, column);
    }

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(memos, 1);
    return page;
}

void TEnterPerson::attachPickList(QLineEdit* field, QToolButton* button, std::function<QString()> title) {
    // The field, its button, its list and its column share one name: Ed_Misc07, Btn_Misc07, column Misc07.
    const QString column = field->objectName().mid(3);
    const auto open = [this, field, column] {
        ShowPickList(field, true, QString(), &m_person, column, m_data.ComboItems, column);
    };
    connect(button, &QToolButton::clicked, field, open);
    // Enter in the field opens the list rather than pressing Ok.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), field);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, field, open);
    }
    m_listTitles.insert(field, std::move(title));
    field->installEventFilter(this);
}

void TEnterPerson::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The keyboard goes to the name, selected and ready to be typed over, rather than to the tab bar.
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_name->setFocus(Qt::TabFocusReason);
    }
    updateButtons();
}

qint64 TEnterPerson::personId() const {
    return m_person.asInteger(QStringLiteral("Id"));
}

QString TEnterPerson::photoFile() const {
    return PersonPhotoFile(personId());
}

void TEnterPerson::updateButtons() {
    m_ok->setEnabled(!m_name->text().isEmpty());
    m_deletePhoto->setEnabled(m_hasPhoto);
}

void TEnterPerson::updateBloodBadge() {
    m_bloodBadge->setText(RemoveAccents(m_blood->text()).toUpper());
    m_bloodBadge->setVisible(!m_bloodBadge->text().isEmpty());
}

void TEnterPerson::updatePhotoMenu() {
    for (const char* name : {"Menu_Photo_View", "Menu_Photo_Save", "Menu_Photo_Delete"})
        if (auto* action = m_photoMenu->findChild<QAction*>(QLatin1String(name))) action->setEnabled(m_hasPhoto);
    // Stays off until the photo can be printed.
    if (auto* print = m_photoMenu->findChild<QAction*>(QStringLiteral("Menu_Photo_Print"))) print->setEnabled(false);
}

void TEnterPerson::showPhoto() {
    const QByteArray thumbnail =
        m_person.isOpen() && m_person.recNo() >= 0 ? m_person.asBytes(QStringLiteral("ImgMini1")) : QByteArray();
    // Typing changes the row at every keystroke; the picture is decoded only when its bytes change.
    if (m_thumbnailShown && thumbnail == m_shownThumbnail) return;
    m_thumbnailShown = true;
    m_shownThumbnail = thumbnail;
    QImage picture;
    m_hasPhoto = !thumbnail.isEmpty() && ReadBitmapData(thumbnail, &picture) && picture.width() > 0;
    if (m_hasPhoto) {
        m_photo->setPixmap(QPixmap::fromImage(picture));
    } else {
        m_photo->setPixmap(QPixmap());
        m_photo->setText(QStringLiteral("(pas de photo)"));
    }
    updateButtons();
}

bool TEnterPerson::commitFields() {
    QString error;
    if (CommitBoundFields(this, &error)) return true;
    Messages().show(MessageIcon::Error, QString(), error);
    return false;
}

void TEnterPerson::selectPhoto() {
    // The row is posted before the picture is stored: what is typed must be in it, or refused now.
    if (!commitFields()) return;
    const QString file = FileDialogs::askOpenFile(this, QStringLiteral("Sélectionnez une image"),
                                                  PhotoSelectionFilter(), QStringLiteral("jpg"));
    if (file.isEmpty()) return;
    QString error;
    if (!StoreImage(m_person, file, photoFile(), QStringLiteral("ImgMini1"), kPersonThumbnailSize, kPersonThumbnailSize,
                    &error))
        Messages().show(MessageIcon::Error, QString(), error);
    showPhoto();
    updateButtons();
}

void TEnterPerson::viewPhoto() {
    if (!m_hasPhoto) return;
    ShowImageFile(photoFile(), this);
}

void TEnterPerson::savePhotoCopy() {
    if (!m_hasPhoto) return;
    const QString name = m_name->text();
    DialogSaveFileChooser chooser(this);
    SaveImageCopyAs(photoFile(), name.isEmpty() ? QStringLiteral("*.jpg") : name + QStringLiteral(".jpg"), chooser);
}

void TEnterPerson::deletePhoto() {
    if (!m_hasPhoto) return;
    if (!Messages().ask(QString(), kDeletePhotoQuestion)) return;
    if (!commitFields()) return;
    QString error;
    if (!ClearStoredImage(m_person, QStringLiteral("Img1"), photoFile(), QStringLiteral("ImgMini1"), &error))
        Messages().show(MessageIcon::Error, QString(), error);
    showPhoto();
    updateButtons();
}

void TEnterPerson::accept() {
    if (!m_ok->isEnabled()) return;
    QString error;
    if (!PostBoundRow(this, m_person, &error)) {
        Messages().show(MessageIcon::Error, QString(), error);
        return;
    }
    QDialog::accept();
}

void TEnterPerson::reject() {
    if (m_isNew) {
        QString error;
        if (!DeleteCurrentPersonRow(m_data, &error)) {
            Messages().show(MessageIcon::Error, QString(), error);
            EnsureEditing(m_person);
            return;
        }
    } else {
        m_person.cancel();
    }
    QDialog::reject();
}

bool TEnterPerson::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == m_photo) {
            viewPhoto();
            return true;
        }
        if (auto* label = qobject_cast<QLabel*>(watched); label && m_customLabels.contains(label)) {
            RenameCustomLabel(label);
            return true;
        }
        if (auto* field = qobject_cast<QLineEdit*>(watched); field && m_listTitles.contains(field)) {
            EditPickList(this, m_listTitles.value(field)(), field->objectName().mid(3), m_data.ComboItems);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool ShowPersonEditor(QWidget* owner, TDataModule1& data, bool isNew) {
    TEnterPerson editor(data, isNew, owner);
    return editor.exec() == QDialog::Accepted;
}

#include "gui/documents/DocumentsPageWidget.h"

#include "core/app/MessageService.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetModel.h"
#include "core/db/DatasetRoutines.h"
#include "core/imaging/WindowsBitmap.h"
#include "gui/controls/ButtonGlyphs.h"
#include "gui/documents/DocumentFileIconDelegate.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* PanelButton(QWidget* parent, const QString& name, const QString& hint, ButtonGlyph icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(ButtonGlyphIcon(icon));
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setFixedSize(32, 32);
    return button;
}

// A panel: its spaced-out caption on top, the content with its button column beside it.
QWidget* Panel(QWidget* parent, const QString& name, const QString& caption, QWidget* content,
               const QList<QToolButton*>& buttons) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    auto* title = new QLabel(caption, panel);
    title->setObjectName(name + QStringLiteral("_Title"));
    title->setStyleSheet(QStringLiteral("QLabel { color: rgb(30, 64, 121); font-weight: bold; }"));
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    for (QToolButton* button : buttons)
        column->addWidget(button);
    column->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(content, 1);
    row->addLayout(column);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    layout->addLayout(row, 1);
    return panel;
}

// A context menu entry that runs a panel button and takes its state when the menu opens.
QAction* MenuEntry(QMenu* menu, const QString& name, const QString& text, QToolButton* button) {
    QAction* entry = menu->addAction(text);
    entry->setObjectName(name);
    QObject::connect(entry, &QAction::triggered, button, &QToolButton::click);
    return entry;
}

QString WhereClauseOf(const QString& prefix, qint64 personId) {
    return prefix + QString::number(personId);
}

void OpenShowingErrors(Dataset& query) {
    QString error;
    if (!query.open(&error)) Messages().show(MessageIcon::Error, QString(), error);
}

} // namespace

DocumentsPageWidget::DocumentsPageWidget(Dataset* images, Dataset* files, QWidget* parent)
    : QWidget(parent), m_images(images), m_files(files),
      m_fileModel(new DatasetModel(files,
                                   {{QStringLiteral("FileIcon"), QString()},
                                    {QStringLiteral("FileName"), QStringLiteral("Nom")},
                                    {QStringLiteral("FileType"), QStringLiteral("Type")},
                                    {QStringLiteral("FileSize"), QStringLiteral("Taille")}},
                                   this)),
      m_sheet(new QListWidget(this)), m_fileGrid(new QTableView(this)) {
    setObjectName(QStringLiteral("Page_Documents"));
    setWindowTitle(kCaption);

    m_sheet->setObjectName(QStringLiteral("ListView_Document_Img"));
    m_sheet->setViewMode(QListView::IconMode);
    m_sheet->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    m_sheet->setGridSize(QSize(kThumbnailSide + 30, kThumbnailSide + 40));
    m_sheet->setMovement(QListView::Static);
    m_sheet->setResizeMode(QListView::Adjust);
    m_sheet->setWordWrap(true);
    m_sheet->setSelectionMode(QAbstractItemView::SingleSelection);
    m_sheet->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_sheet, &QListWidget::itemSelectionChanged, this, &DocumentsPageWidget::commandStatesChanged);

    const QList<QToolButton*> imageButtons{
        PanelButton(this, QStringLiteral("Btn_Document_Img_Add"), QStringLiteral("Ajouter une image"),
                    ButtonGlyph::Add),
        PanelButton(this, QStringLiteral("Btn_Document_Img_Edit"), QStringLiteral("Modifier cette image"),
                    ButtonGlyph::Edit),
        PanelButton(this, QStringLiteral("Btn_Document_Img_Delete"), QStringLiteral("Supprimer cette image"),
                    ButtonGlyph::Delete),
        PanelButton(this, QStringLiteral("Btn_Document_Img_Exe"), QStringLiteral("Visualiser"), ButtonGlyph::View),
        PanelButton(this, QStringLiteral("Btn_Document_Img_Save"), QStringLiteral("Visualiser"), ButtonGlyph::Save),
        PanelButton(this, QStringLiteral("Btn_Document_Img_Email"), QStringLiteral("Visualiser"), ButtonGlyph::Mail)};

    m_fileGrid->setObjectName(QStringLiteral("Grid_Document_File"));
    m_fileGrid->setModel(m_fileModel);
    m_fileGrid->setItemDelegateForColumn(0, new DocumentFileIconDelegate(m_fileGrid));
    m_fileGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fileGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fileGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileGrid->verticalHeader()->hide();
    m_fileGrid->verticalHeader()->setDefaultSectionSize(18);
    m_fileGrid->horizontalHeader()->setStretchLastSection(true);
    m_fileGrid->setColumnWidth(0, 18);
    m_fileGrid->setColumnWidth(1, 220);
    m_fileGrid->setColumnWidth(2, 160);
    m_fileGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    // The grid's selected row is the query's current row.
    connect(m_fileGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && m_files->isOpen() && !m_files->isEditing()) m_files->moveTo(current.row());
            });

    const QList<QToolButton*> fileButtons{
        PanelButton(this, QStringLiteral("Btn_Document_File_Add"), QStringLiteral("Ajouter une image"),
                    ButtonGlyph::Add),
        PanelButton(this, QStringLiteral("Btn_Document_File_Delete"), QStringLiteral("Supprimer cette image"),
                    ButtonGlyph::Delete),
        PanelButton(this, QStringLiteral("Btn_Document_File_Exe"), QStringLiteral("Visualiser"), ButtonGlyph::Run),
        PanelButton(this, QStringLiteral("Btn_Document_File_Save"), QStringLiteral("Visualiser"), ButtonGlyph::Save),
        PanelButton(this, QStringLiteral("Btn_Document_File_Email"), QStringLiteral("Visualiser"), ButtonGlyph::Mail)};

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(
        Panel(this, QStringLiteral("Panel_Document_Img"), QStringLiteral("I M A G E S"), m_sheet, imageButtons), 3);
    layout->addWidget(
        Panel(this, QStringLiteral("Panel_Document_File"), QStringLiteral("F I C H I E R S"), m_fileGrid, fileButtons),
        2);

    QMenu* imageMenu = buildImageMenu();
    connect(m_sheet, &QWidget::customContextMenuRequested, this,
            [this, imageMenu](const QPoint& at) { imageMenu->popup(m_sheet->viewport()->mapToGlobal(at)); });
    QMenu* fileMenu = buildFileMenu();
    connect(m_fileGrid, &QWidget::customContextMenuRequested, this,
            [this, fileMenu](const QPoint& at) { fileMenu->popup(m_fileGrid->viewport()->mapToGlobal(at)); });
}

QMenu* DocumentsPageWidget::buildImageMenu() {
    const auto button = [this](const char* name) { return findChild<QToolButton*>(QLatin1String(name)); };
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("Popup_Document_Img"));
    QAction* add = MenuEntry(menu, QStringLiteral("Popup_Document_Img_Add"), QStringLiteral("&Ajouter un document"),
                             button("Btn_Document_Img_Add"));
    QAction* edit = MenuEntry(menu, QStringLiteral("Popup_Document_Img_Edit"), QStringLiteral("&Modifier ce document"),
                              button("Btn_Document_Img_Edit"));
    QAction* remove = MenuEntry(menu, QStringLiteral("Popup_Document_Img_Delete"),
                                QStringLiteral("&Supprimer ce document"), button("Btn_Document_Img_Delete"));
    QAction* separator = menu->addSeparator();
    MenuEntry(menu, QStringLiteral("Popup_Document_Img_Exe"), QStringLiteral("&Visualiser  et imprimer"),
              button("Btn_Document_Img_Exe"));
    menu->addSeparator();
    MenuEntry(menu, QStringLiteral("Popup_Document_Img_Save"), QStringLiteral("&Enregistrer le document sous .."),
              button("Btn_Document_Img_Save"));
    MenuEntry(menu, QStringLiteral("Popup_Document_Img_Email"), QStringLiteral("Envoyer par e&mail"),
              button("Btn_Document_Img_Email"));
    connect(menu, &QMenu::aboutToShow, this, [this, menu, add, edit, remove, separator, button] {
        emit commandStatesChanged();
        // Each entry takes the state of the button of the same name; the editing entries show only
        // while the Delete button does.
        for (QAction* entry : menu->actions()) {
            if (entry->isSeparator()) continue;
            const QString buttonName = entry->objectName().replace(QStringLiteral("Popup_"), QStringLiteral("Btn_"));
            if (QToolButton* source = findChild<QToolButton*>(buttonName)) entry->setEnabled(source->isEnabled());
        }
        const bool editable = !button("Btn_Document_Img_Delete")->isHidden();
        for (QAction* entry : {add, edit, remove, separator})
            entry->setVisible(editable);
    });
    return menu;
}

QMenu* DocumentsPageWidget::buildFileMenu() {
    const auto button = [this](const char* name) { return findChild<QToolButton*>(QLatin1String(name)); };
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("Popup_Document_File"));
    QAction* add = MenuEntry(menu, QStringLiteral("Popup_Document_File_Add"), QStringLiteral("&Ajouter un fichier"),
                             button("Btn_Document_File_Add"));
    // Changing a file is not offered: a file is replaced by deleting it and attaching the new one.
    QAction* modify = menu->addAction(QStringLiteral("&Modifier ce fichier"));
    modify->setObjectName(QStringLiteral("Popup_Document_File_Edit"));
    modify->setVisible(false);
    QAction* remove = MenuEntry(menu, QStringLiteral("Popup_Document_File_Delete"),
                                QStringLiteral("&Supprimer ce fichier"), button("Btn_Document_File_Delete"));
    QAction* run = MenuEntry(menu, QStringLiteral("Popup_Document_File_Exe"), QStringLiteral("&Exécuter"),
                             button("Btn_Document_File_Exe"));
    QAction* save = MenuEntry(menu, QStringLiteral("Popup_Document_File_Save"),
                              QStringLiteral("&Enregistrer le document sous .."), button("Btn_Document_File_Save"));
    QAction* email = MenuEntry(menu, QStringLiteral("Popup_Document_File_Email"), QStringLiteral("Envoyer par e&mail"),
                               button("Btn_Document_File_Email"));
    connect(menu, &QMenu::aboutToShow, this, [this, add, remove, run, save, email, button] {
        emit commandStatesChanged();
        const bool editable = !button("Btn_Document_File_Delete")->isHidden();
        add->setVisible(editable);
        remove->setVisible(editable);
        add->setEnabled(button("Btn_Document_File_Add")->isEnabled());
        const bool rows = button("Btn_Document_File_Delete")->isEnabled();
        for (QAction* entry : {remove, run, save})
            entry->setEnabled(rows);
        email->setEnabled(button("Btn_Document_File_Email")->isEnabled());
    });
    return menu;
}

void DocumentsPageWidget::refreshPage(qint64 personId) {
    loadFileDocuments(personId);
    loadImageDocuments(personId);
}

void DocumentsPageWidget::loadFileDocuments(qint64 personId) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_fileGrid->setUpdatesEnabled(false);
    m_files->close();
    ReplaceWhereLine(*m_files, WhereClauseOf(QStringLiteral("WHERE DOCUMENTFILE.DoType=1 AND DOCUMENTFILE.Id_Ref="),
                                             personId < 0 ? -1 : personId));
    OpenShowingErrors(*m_files);
    if (!m_files->isEmpty()) m_fileGrid->setCurrentIndex(m_fileModel->index(0, 1));
    m_fileGrid->setUpdatesEnabled(true);
    QGuiApplication::restoreOverrideCursor();
}

void DocumentsPageWidget::loadImageDocuments(qint64 personId) {
    m_sheet->clear();
    m_images->close();
    ReplaceWhereLine(*m_images, personId < 0 ? QStringLiteral("WHERE DocumentImg.Id_Ref=-1")
                                             : WhereClauseOf(QStringLiteral("WHERE DocumentImg.DoType=1 and "
                                                                            "DocumentImg.Id_Ref="),
                                                             personId));
    OpenShowingErrors(*m_images);
    const int idColumn = m_images->fieldIndex(QStringLiteral("Id"));
    const int titleColumn = m_images->fieldIndex(QStringLiteral("Title"));
    const int thumbnailColumn = m_images->fieldIndex(QStringLiteral("ImgMini"));
    for (int row = 0; row < m_images->recordCount(); ++row) {
        auto* entry = new QListWidgetItem(m_images->valueAt(row, titleColumn).toString(), m_sheet);
        entry->setData(Qt::UserRole, m_images->valueAt(row, idColumn).toLongLong());
        // A thumbnail that cannot be read leaves the entry without a picture; loading goes on.
        QImage thumbnail;
        if (ReadBitmapData(m_images->valueAt(row, thumbnailColumn).toByteArray(), &thumbnail))
            entry->setIcon(QPixmap::fromImage(thumbnail));
    }
    m_images->close();
}

void DocumentsPageWidget::releaseData() {
    m_sheet->clear();
}

bool DocumentsPageWidget::hasSelectedImage() const {
    return m_sheet->count() > 0 && !m_sheet->selectedItems().isEmpty();
}

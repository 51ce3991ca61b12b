#pragma once

#include <QWidget>

class Dataset;
class DatasetModel;
class QListWidget;
class QMenu;
class QTableView;

// The "Documents" page: the "I M A G E S" panel, a sheet of 90 x 90 thumbnails of the current
// person's image documents, and the "F I C H I E R S" panel, the grid of the files attached to the
// person, each panel with its buttons and context menu.
class DocumentsPageWidget : public QWidget {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Documents");
    static constexpr int kThumbnailSide = 90;

    DocumentsPageWidget(Dataset* images, Dataset* files, QWidget* parent = nullptr);

    // Reads the person's file documents, then the image documents (personId -1: none).
    void refreshPage(qint64 personId);
    void loadFileDocuments(qint64 personId);
    void loadImageDocuments(qint64 personId);
    // Leaving the page: the sheet and its pictures are emptied.
    void releaseData();

    // The sheet has entries and one of them is selected.
    bool hasSelectedImage() const;
    QListWidget* imageSheet() const { return m_sheet; }
    QTableView* fileGrid() const { return m_fileGrid; }

signals:
    void commandStatesChanged();

private:
    QMenu* buildImageMenu();
    QMenu* buildFileMenu();

    Dataset* m_images;
    Dataset* m_files;
    DatasetModel* m_fileModel;
    QListWidget* m_sheet;
    QTableView* m_fileGrid;
};

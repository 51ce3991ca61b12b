#pragma once

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QList>

#include <functional>

class Dataset;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class TDataModule1;

// The record editor: the current row of the Person query, field by field, on two pages ("Général" and
// "Personnalisé"). The caller has put the row into edit state; for a new person (isNew) the row already exists in
// the database, and Annuler or the close button delete it again with everything it received (its photo). Otherwise
// Annuler cancels the row's pending changes. Ok posts the row, and is usable only while the name is not empty.
// The photo commands write to the database and the disk at once.
class TEnterPerson : public QDialog {
    Q_OBJECT
public:
    TEnterPerson(TDataModule1& data, bool isNew, QWidget* owner = nullptr);

    bool isNewPerson() const { return m_isNew; }
    // A photo exists when the row's thumbnail decodes to a picture.
    bool hasPhoto() const { return m_hasPhoto; }
    QMenu* photoMenu() const { return m_photoMenu; }

    // The photo commands (buttons, context menu, double-click on the picture).
    void selectPhoto();
    void viewPhoto();
    void savePhotoCopy();
    void deletePhoto();

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildCustomPage();
    QLineEdit* textField(const QString& column, QWidget* parent);
    QPlainTextEdit* memoField(const QString& column, QWidget* parent);
    // The button and Enter open the field's pick list; a double click edits the list, titled by title().
    void attachPickList(QLineEdit* field, QToolButton* button, std::function<QString()> title);

    void updateButtons();
    void updateBloodBadge();
    void updatePhotoMenu();
    void showPhoto();
    bool commitFields();
    qint64 personId() const;
    QString photoFile() const;

    TDataModule1& m_data;
    Dataset& m_person;
    const bool m_isNew;
    bool m_hasPhoto = false;
    QByteArray m_shownThumbnail;
    bool m_thumbnailShown = false;
    bool m_shownOnce = false;

    QTabWidget* m_pages = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_blood = nullptr;
    QLabel* m_bloodBadge = nullptr;
    QLabel* m_photo = nullptr;
    QToolButton* m_deletePhoto = nullptr;
    QMenu* m_photoMenu = nullptr;
    QPushButton* m_ok = nullptr;
    QList<QLabel*> m_customLabels;
    QHash<QLineEdit*, std::function<QString()>> m_listTitles;
};

// Shows the record editor modally on the current Person row; true when it was closed with Ok.
bool ShowPersonEditor(QWidget* owner, TDataModule1& data, bool isNew);

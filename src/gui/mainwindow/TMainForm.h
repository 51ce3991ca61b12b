#pragma once

#include "core/db/TDataModule1.h"
#include "core/records/PersonList.h"

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>

#include <functional>

class ClockLabelWidget;
struct MainWindowSteps;
class TMiniCalendar;
class DocumentsPageWidget;
class EventsPageWidget;
class GeneralPageWidget;
class PersonListDelegate;
class PersonListModel;
class QStackedWidget;
class QTabBar;
class QTableView;
class QLabel;

// The main window: the person list on the left, the pages of the current person on the right, the
// toolbar and the left button bar that open every other function. The current person is the
// current row of the data module's Person query; choosing a row of the list makes it current, and
// every change of that row reloads the active page and the enabled state of the commands.
// The data module must exist before the window is created.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    enum Page { GeneralPage = 0, DocumentsPage = 1, EventsPage = 2 };

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Rebuilds the person list from the database and selects the entry of selectId (the first one
    // when selectId is -1 or no longer exists), which makes that person current.
    void ReloadPersonList(qint64 selectId);
    // Reloads the data of the active page for the current person.
    void RefreshCurrentPage();
    // Sets the enabled state of every command after the current data.
    void UpdateCommandStates();
    // Shows the record editor on the current Person row; true when it was closed with Ok.
    bool ShowRecordEditor(bool isNew);

    const PersonList& personList() const { return m_personList; }
    // The selected row of the person list; -1 when none.
    int selectedPersonRow() const;
    // The Id of the current person, -1 when there is none.
    qint64 currentPersonId() const;
    qint64 currentPersonAnalysis() const;
    void setCurrentPersonAnalysis(qint64 id);
    // True while a new person is being entered.
    bool addInProgress() const { return m_addInProgress; }
    int activePage() const { return m_activePage; }
    // Shows a page as a click on its tab does: the page left releases its data, the new one reads it.
    void showPage(Page page);
    // The printer chosen with "Imprimante"; printing uses it.
    QPrinter& printer() { return m_printer; }

    GeneralPageWidget* generalPage() const { return m_general; }
    DocumentsPageWidget* documentsPage() const { return m_documents; }
    EventsPageWidget* eventsPage() const { return m_events; }

    // Commands of the menus.
    void Menu_ListClick();
    void editProperties();
    void choosePrinter();
    void showAbout();

    // Tests put their own record editor and deletion in place of the real ones.
    void setRecordEditorForTesting(std::function<bool(bool isNew)> editor);
    void setPersonDeletionForTesting(std::function<bool(QString* error)> deletion);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();
    QWidget* buildLeftBar();
    QWidget* buildPersonPanel();
    QWidget* buildPagesPanel();
    void collectCommands();

    void restorePlacement();
    void savePlacement();
    void layoutLeftBar();
    void layoutPersonButtons();

    void selectPersonRow(int row);
    void personRowSelected(int row);
    void personDataChanged();
    void personPosted();
    void Tab_MainChange(int index);
    void releasePage(int page);

    // What the backup, restoration and compaction ask of the window.
    MainWindowSteps databaseCommandSteps();

    void Btn_Main_PriorClick();
    void Btn_Main_NextClick();
    void Btn_Main_AddClick();
    void Btn_Main_EditClick();
    void Btn_Main_DeleteClick();

    QPointer<TDataModule1> m_data;
    PersonList m_personList;
    PersonListModel* m_personModel = nullptr;
    PersonListDelegate* m_personDelegate = nullptr;
    QTableView* m_grid = nullptr;
    QWidget* m_personButtons = nullptr;
    QWidget* m_personButtonsCentre = nullptr;
    QWidget* m_leftBar = nullptr;
    TMiniCalendar* m_calendarPlace = nullptr;
    ClockLabelWidget* m_clock = nullptr;
    QList<QWidget*> m_leftButtons;
    QTabBar* m_tabs = nullptr;
    QStackedWidget* m_notebook = nullptr;
    GeneralPageWidget* m_general = nullptr;
    DocumentsPageWidget* m_documents = nullptr;
    EventsPageWidget* m_events = nullptr;
    QLabel* m_bottomLabel = nullptr;
    QHash<QString, QWidget*> m_commands;
    QPrinter m_printer;

    int m_activePage = GeneralPage;
    // The person the active page was last read for.
    qint64 m_pagePersonId = -1;
    bool m_addInProgress = false;
    bool m_selectingRow = false;
    bool m_shownOnce = false;
    bool m_aboutShowing = false;
    bool m_personDetached = false;
    std::function<bool(bool)> m_recordEditor;
    std::function<bool(QString*)> m_personDeletion;
};

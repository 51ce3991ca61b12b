#pragma once

#include <QMainWindow>

// The main window. For now it holds the menu of the program's settings and remembers its
// placement; the record list and its pages come next.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);

    // Opens the settings dialog; on Ok the settings file is written at once.
    void editProperties();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void restorePlacement();
    void savePlacement();
};

#pragma once

#include <QDialog>

class QTextBrowser;

// Tells the user that the database driver the program needs is missing and how to install it:
// shows ProgramDir() + "html/mdac.htm", closed with " &Fermer". Shown modally at start-up;
// the start-up goes on once it is closed.
class TMdacNotice : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 400;
    static constexpr int kMinimumHeight = 200;

    explicit TMdacNotice(QWidget* parent = nullptr);

    // The page shown.
    static QString PagePath();

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

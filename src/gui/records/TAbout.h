#pragma once

#include <QDialog>

// The about box: the program's emblem and name, "Version " and the version, "DSN: " and the data
// source name of db.ini, and the maker with the current year.
class TAbout : public QDialog {
    Q_OBJECT
public:
    explicit TAbout(QWidget* parent = nullptr);
};

#pragma once

#include <QDialog>
#include <QMenu>
#include <QPointer>

#include <functional>

struct Settings;
class NumberEdit;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

// The settings dialog: scanner and mail values of the settings. The caller fills it, and copies the
// values back only when it was closed with " &Ok".
class TProperties : public QDialog {
    Q_OBJECT
public:
    explicit TProperties(QWidget* parent = nullptr);

    // Opens the dialog on the eight values it edits; on " &Ok" copies them back into settings and
    // returns true. The caller saves the settings.
    static bool EditSettings(QWidget* owner, Settings& settings);

    void fillFrom(const Settings& settings);
    void copyTo(Settings& settings) const;

    // Where the browse button takes the scanner names from (tests give their own list).
    void setScannerSourceLister(std::function<QStringList()> lister) { m_listSources = std::move(lister); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Btn_TwainBrowseClick();
    void Btn_OkClick();

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_twainSource = nullptr;
    QPushButton* m_twainBrowse = nullptr;
    QCheckBox* m_showTwainUi = nullptr;
    NumberEdit* m_maxWidth = nullptr;
    NumberEdit* m_jpegQuality = nullptr;
    QLineEdit* m_smtpName = nullptr;
    QLineEdit* m_smtpEmail = nullptr;
    QLineEdit* m_smtpHost = nullptr;
    NumberEdit* m_smtpPort = nullptr;
    QPointer<QMenu> m_sourceList; // the open scanner list, if any
    std::function<QStringList()> m_listSources;
};

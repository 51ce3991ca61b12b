#include "gui/app/TMdacNotice.h"

#include "core/app/Folders.h"
#include "gui/controls/DrawnTitleBar.h"
#include "gui/controls/FormConventions.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSizeGrip>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

TMdacNotice::TMdacNotice(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("MdacNotice"));
    setModal(true);

    // Designed with its own title bar; PrepareForm trades it for the system frame.
    QFrame* titleBar = MakeDrawnTitleBar(this, QStringLiteral(" Information"), [this] { reject(); });
    auto* exit = titleBar->findChild<QToolButton*>(QStringLiteral("SysExitBtn"));
    exit->setText(QStringLiteral("×"));
    exit->setAutoRaise(true);

    m_browser->setObjectName(QStringLiteral("WebBrowser"));
    m_browser->setOpenExternalLinks(true);

    auto* close = new QPushButton(QStringLiteral(" &Fermer"), this);
    close->setObjectName(QStringLiteral("Btn_Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* grip = new QSizeGrip(this);
    grip->setObjectName(QStringLiteral("RezisePad"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    buttons->addWidget(grip, 0, Qt::AlignBottom | Qt::AlignRight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(titleBar);
    layout->addWidget(m_browser, 1);
    layout->addLayout(buttons);

    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(560, 380);
    PrepareForm(this);
    TranslateForm(this, QStringLiteral("[MdacNotice]"));

    m_browser->setSource(QUrl::fromLocalFile(PagePath()));
}

QString TMdacNotice::PagePath() {
    return ProgramDir() + QStringLiteral("html/mdac.htm");
}

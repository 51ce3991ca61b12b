#include "gui/documents/TViewImage.h"

#include "core/app/Localisation.h"
#include "core/app/MessageService.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/PictureLoading.h"
#include "gui/controls/DrawnTitleBar.h"
#include "gui/controls/FormConventions.h"

#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <QScreen>
#include <QSizeGrip>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("  Visualisation");
constexpr int kMargin = 10;

} // namespace

TViewImage::TViewImage(QWidget* owner) : QDialog(owner), m_image(new QLabel(this)) {
    setObjectName(QStringLiteral("TViewImage"));
    setModal(true);

    // Designed with its own title bar (maximise and close) and grip; the system frame takes their place.
    auto* maximise = new QToolButton;
    maximise->setObjectName(QStringLiteral("SysMaxiBtn"));
    maximise->setToolTip(QStringLiteral("Agrandir"));
    QFrame* titleBar = MakeDrawnTitleBar(this, kTitle, [this] { reject(); }, {maximise});
    titleBar->setGeometry(0, 0, kInitialWidth, titleBar->sizeHint().height());

    auto* grip = new QSizeGrip(this);
    grip->setObjectName(QStringLiteral("RezisePad"));
    grip->resize(grip->sizeHint());

    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setScaledContents(true);

    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    setMinimumSize(kMinimumSide, kMinimumSide);
    resize(kInitialWidth, kInitialHeight);
    PrepareForm(this);
    // PrepareForm takes the title bar's height off a window given a size; this one's client area is its size.
    resize(kInitialWidth, kInitialHeight);
}

void TViewImage::setPicture(const QImage& picture) {
    m_picture = picture;
    m_image->setPixmap(QPixmap::fromImage(picture));
    layoutPicture();
}

QRect TViewImage::pictureRect() const {
    return m_image->isHidden() ? QRect() : m_image->geometry();
}

void TViewImage::layoutPicture() {
    if (m_picture.isNull()) {
        m_image->hide();
        return;
    }
    // Stretched into the rectangle when it had to be reduced, at its own size otherwise.
    const FitRect fit =
        FitImageRect(width() - 2 * kMargin, height() - 2 * kMargin, m_picture.width(), m_picture.height());
    m_image->setGeometry(fit.left + kMargin, fit.top + kMargin, fit.width, fit.height);
    m_image->show();
    if (auto* grip = findChild<QSizeGrip*>(QStringLiteral("RezisePad"))) {
        grip->move(width() - grip->width(), height() - grip->height());
        grip->setVisible(!isMaximized());
        grip->raise();
    }
}

void TViewImage::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutPicture();
}

void TViewImage::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen, not on the window that opened it.
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(CentredOver(area, frameGeometry().size()));
    }
    layoutPicture();
}

bool ShowImageFile(const QString& path, QWidget* owner) {
    if (!QFileInfo(path).isFile()) {
        Messages().show(MessageIcon::Error, QString(),
                        LangString(QStringLiteral("Lib_Bd_Gfx"), QStringLiteral("Message1"),
                                   QStringLiteral("IMPOSSIBLE DE VISUALISER L'IMAGE !{CR}Le fichier \"%1\" a sans "
                                                  "doute été supprimé manuellement et n'est plus accessible."))
                            .arg(path));
        return false;
    }
    QImage picture;
    QString error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool loaded = LoadPictureFile(&picture, path, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!loaded || picture.isNull()) {
        Messages().show(MessageIcon::Error, QString(),
                        error.isEmpty() ? QStringLiteral("L'image \"%1\" est illisible.").arg(path) : error);
        return false;
    }
    TViewImage window(owner);
    window.setPicture(picture);
    window.exec();
    return true;
}

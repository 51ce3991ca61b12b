#include "gui/app/TSplash.h"

#include "core/app/Product.h"
#include "gui/controls/FormConventions.h"
#include "gui/controls/ProgramPicture.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProgressBar>
#include <QRadialGradient>
#include <QScreen>

namespace {

constexpr int kSplashWidth = 420;
constexpr int kSplashHeight = 246;
constexpr int kPictureHeight = 158;

// The program picture and title, drawn: a blue gradient, the emblem and the name.
class TitlePicture final : public QWidget {
public:
    explicit TitlePicture(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF area = rect();

        QLinearGradient sky(area.topLeft(), area.bottomRight());
        sky.setColorAt(0.0, QColor(0x0b, 0x2a, 0x52));
        sky.setColorAt(0.55, QColor(0x17, 0x5a, 0x9e));
        sky.setColorAt(1.0, QColor(0x3f, 0x9b, 0xd6));
        painter.fillRect(area, sky);

        // A soft light behind the emblem, and a thin line closing the picture.
        QRadialGradient glow(QPointF(area.width() * 0.2, area.height() * 0.5), area.height() * 0.8);
        glow.setColorAt(0.0, QColor(255, 255, 255, 60));
        glow.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.fillRect(area, glow);
        painter.fillRect(QRectF(0, area.height() - 3, area.width(), 3), QColor(0xff, 0xd2, 0x5a));

        const qreal emblemSide = 84;
        DrawProgramEmblem(painter, QRectF(30, (area.height() - emblemSide) / 2 - 2, emblemSide, emblemSide));

        QFont nameFont(QStringLiteral("Liberation Sans"));
        nameFont.setPixelSize(50);
        nameFont.setBold(true);
        painter.setFont(nameFont);
        const QRectF nameBox(138, 0, area.width() - 148, area.height() - 3);
        painter.setPen(QColor(0, 0, 0, 70));
        painter.drawText(nameBox.translated(2, 2), Qt::AlignVCenter | Qt::AlignLeft, Product::kName);
        painter.setPen(Qt::white);
        painter.drawText(nameBox, Qt::AlignVCenter | Qt::AlignLeft, Product::kName);
    }
};

} // namespace

TSplash::TSplash(QWidget* parent)
    : QFrame(parent, Qt::Window | Qt::FramelessWindowHint), m_version(new QLabel(this)), m_maker(new QLabel(this)),
      m_info(new QLabel(this)), m_progress(new QProgressBar(this)) {
    setObjectName(QStringLiteral("Splash"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFixedSize(kSplashWidth, kSplashHeight);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, QColor(0x20, 0x2a, 0x36));
    setPalette(colours);

    auto* picture = new TitlePicture(this);
    picture->setObjectName(QStringLiteral("Image_Title"));
    picture->setGeometry(1, 1, kSplashWidth - 2, kPictureHeight);

    const int margin = 16;
    const int inner = kSplashWidth - 2 * margin;
    m_version->setObjectName(QStringLiteral("Lab_Version"));
    m_version->setText(QStringLiteral("Version ") + Product::kVersion);
    const int versionWidth = 110;
    m_version->setGeometry(margin, kPictureHeight + 10, versionWidth, 18);
    QFont versionFont = m_version->font();
    versionFont.setBold(true);
    m_version->setFont(versionFont);

    m_maker->setObjectName(QStringLiteral("Lab_Maker"));
    m_maker->setText(Product::kMakerName + QLatin1Char(' ') + QString::number(QDate::currentDate().year()));
    m_maker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_maker->setGeometry(margin + versionWidth, kPictureHeight + 10, inner - versionWidth, 18);

    m_info->setObjectName(QStringLiteral("Lab_Info"));
    m_info->setGeometry(margin, kPictureHeight + 40, inner, 18);

    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setRange(0, kProgressMaximum);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(margin, kPictureHeight + 66, inner, 6);

    PrepareForm(this);
    centreOnScreen();
}

void TSplash::setProgress(int position) {
    m_progress->setValue(qBound(0, position, kProgressMaximum));
    paintNow(m_progress);
}

int TSplash::progress() const {
    return m_progress->value();
}

void TSplash::setInfo(const QString& text) {
    m_info->setText(text);
    paintNow(m_info);
}

QString TSplash::info() const {
    return m_info->text();
}

void TSplash::showAndPaint() {
    centreOnScreen();
    show();
    raise();
    paintNow(this);
}

void TSplash::centreOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) move(CentredOver(screen->geometry(), size()));
}

void TSplash::paintNow(QWidget* changed) {
    if (!isVisible()) return;
    changed->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

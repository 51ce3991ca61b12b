#include "gui/controls/FormConventions.h"

#include "core/app/TextRoutines.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace {

const char* const kPreparedProperty = "quorvelFormPrepared";

bool IsShownImage(const QWidget* window, const char* name) {
    const auto* image = qobject_cast<const QWidget*>(FindComponentByName(window, QLatin1String(name)));
    return image && !image->isHidden();
}

void SetCaptionFromTitleLabel(QWidget* window) {
    if (const auto* title = FindComponentByName<QLabel>(window, QStringLiteral("Title")))
        window->setWindowTitle(FormCaptionFromTitle(title->text()));
}

bool KeepsOwnLook(const QWidget* window) {
    const QVariant tag = window->property("tag");
    if (tag.isValid() && tag.toInt() == -1) return true;
    const QString name = window->objectName();
    return name == QLatin1String("Splash") || name == QLatin1String("About");
}

// Applies what can only be decided once the window has its final size: the caption (its title
// label may have changed since creation), the fixed size and the place over the owner.
class ShowHandler final : public QObject {
public:
    ShowHandler(QWidget* window, bool fixedSize) : QObject(window), m_window(window), m_fixedSize(fixedSize) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show && !event->spontaneous()) {
            SetCaptionFromTitleLabel(m_window);
            if (!m_shownOnce) {
                m_shownOnce = true;
                if (m_fixedSize) m_window->setFixedSize(m_window->size());
                centreOnOwner();
            }
        }
        return false;
    }

private:
    void centreOnOwner() {
        if (m_window->objectName() == QLatin1String("MainForm")) return;
        QWidget* parent = m_window->parentWidget();
        if (!parent) return;
        const QWidget* owner = parent->window();
        QPoint place = CentredOver(owner->frameGeometry(), m_window->frameGeometry().size());
        // A window larger than its owner must not open with its frame above or left of the
        // screen, where the user could no longer take it.
        if (const QScreen* screen = owner->screen()) {
            const QRect area = screen->availableGeometry();
            place.setX(qMax(place.x(), area.left()));
            place.setY(qMax(place.y(), area.top()));
        }
        m_window->move(place);
    }

    QWidget* m_window;
    bool m_fixedSize;
    bool m_shownOnce = false;
};

} // namespace

QPoint CentredOver(const QRect& owner, const QSize& size) {
    // Integer division truncates toward zero, as positions always have been computed.
    return QPoint(owner.left() + (owner.width() - size.width()) / 2,
                  owner.top() + (owner.height() - size.height()) / 2);
}

void PrepareForm(QWidget* window) {
    if (!window || window->property(kPreparedProperty).toBool()) return;
    window->setProperty(kPreparedProperty, true);
    window->setAttribute(Qt::WA_AlwaysShowToolTips);

    const bool systemFrame = !KeepsOwnLook(window);
    auto* titleBar = systemFrame ? FindComponentByName<QWidget>(window, QStringLiteral("TitleBar")) : nullptr;
    bool fixedSize = false;
    SetCaptionFromTitleLabel(window);
    if (systemFrame) {
        Qt::WindowFlags flags = window->windowFlags() & ~Qt::FramelessWindowHint;
        if (titleBar) {
            // The frame offers what the drawn title bar offered, and nothing more.
            flags &= ~(Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
            flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
            if (IsShownImage(window, "SysExitBtn") || IsShownImage(window, "Exit"))
                flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (IsShownImage(window, "SysMiniBtn")) flags |= Qt::WindowMinimizeButtonHint;
            if (IsShownImage(window, "SysMaxiBtn")) flags |= Qt::WindowMaximizeButtonHint;
            fixedSize = !FindComponentByName(window, QStringLiteral("RezisePad"));
        }
        if (flags != window->windowFlags()) window->setWindowFlags(flags);
        window->setWindowIcon(QApplication::windowIcon());

        if (titleBar && !titleBar->isHidden()) {
            if (QLayout* layout = window->layout()) layout->activate();
            const int titleHeight = titleBar->height();
            titleBar->hide();
            // A window laid out by size hints shrinks by itself; one given a size loses the
            // height of the bar it no longer shows.
            if (window->testAttribute(Qt::WA_Resized))
                window->resize(window->width(), qMax(0, window->height() - titleHeight));
        }
    }
    new ShowHandler(window, fixedSize);
}

QObject* FindComponentByName(const QObject* window, const QString& name) {
    if (!window || name.isEmpty()) return nullptr;
    const QList<QObject*> found = window->findChildren<QObject*>(name);
    return found.isEmpty() ? nullptr : found.last();
}

void TranslateForm(QWidget*, const QString&) {}

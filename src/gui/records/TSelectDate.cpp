#include "gui/records/TSelectDate.h"

#include "core/app/DateRoutines.h"
#include "core/app/Localisation.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "gui/controls/MaskEdit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLocale LocaleOfLanguage(int language) {
    switch (ResolveLanguage(language)) {
    case 2:
        return QLocale(QLocale::German, QLocale::Germany);
    case 3:
        return QLocale(QLocale::French, QLocale::France);
    case 4:
        return QLocale(QLocale::Italian, QLocale::Italy);
    case 5:
        return QLocale(QLocale::Spanish, QLocale::Spain);
    default:
        return QLocale(QLocale::English, QLocale::UnitedKingdom);
    }
}

QToolButton* StepButton(const QString& name, const QString& glyph, const QString& hint, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(glyph);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    // The calendar keeps the keyboard: Escape and the arrows go on working after a step.
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(20, 20);
    return button;
}

QLabel* BandLabel(const QString& name, int width, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedWidth(width);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TSelectDate::TSelectDate(QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_languageName(DatePickerLanguageName()) {
    setObjectName(QStringLiteral("SelectDate"));
    setAttribute(Qt::WA_DeleteOnClose);

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, kDatePickerBackground);
    windowPalette.setColor(QPalette::Base, kDatePickerBackground);
    windowPalette.setColor(QPalette::AlternateBase, kDatePickerBackground);
    windowPalette.setColor(QPalette::WindowText, Qt::black);
    windowPalette.setColor(QPalette::Text, Qt::black);
    // The days of the months before and after are drawn in the disabled text colour.
    windowPalette.setColor(QPalette::Disabled, QPalette::Text, QColor(150, 150, 150));
    windowPalette.setColor(QPalette::ButtonText, Qt::black);
    setPalette(windowPalette);
    setAutoFillBackground(true);

    // The calendar: a title band with the year and the month and their stepping buttons, over the month.
    auto* band = new QWidget(this);
    band->setObjectName(QStringLiteral("TitleBand"));
    QPalette bandPalette = windowPalette;
    bandPalette.setColor(QPalette::Window, kDatePickerTitleBand);
    bandPalette.setColor(QPalette::Button, kDatePickerTitleBand);
    band->setPalette(bandPalette);
    band->setAutoFillBackground(true);
    auto* yearMinus =
        StepButton(QStringLiteral("Btn_YearMinus"), QStringLiteral("\u00AB"), QStringLiteral("Année précédente"), band);
    m_year = BandLabel(QStringLiteral("Lab_Year"), 44, band);
    auto* yearPlus =
        StepButton(QStringLiteral("Btn_YearPlus"), QStringLiteral("\u00BB"), QStringLiteral("Année suivante"), band);
    auto* monthMinus =
        StepButton(QStringLiteral("Btn_MonthMinus"), QStringLiteral("\u2039"), QStringLiteral("Mois précédent"), band);
    m_month = BandLabel(QStringLiteral("Lab_Month"), 96, band);
    auto* monthPlus =
        StepButton(QStringLiteral("Btn_MonthPlus"), QStringLiteral("\u203A"), QStringLiteral("Mois suivant"), band);
    auto* bandLayout = new QHBoxLayout(band);
    bandLayout->setContentsMargins(4, 2, 4, 2);
    bandLayout->setSpacing(0);
    bandLayout->addWidget(yearMinus);
    bandLayout->addWidget(m_year);
    bandLayout->addWidget(yearPlus);
    bandLayout->addStretch(1);
    bandLayout->addWidget(monthMinus);
    bandLayout->addWidget(m_month);
    bandLayout->addWidget(monthPlus);
    connect(yearMinus, &QToolButton::clicked, this, [this] { step(DateStep::YearMinus); });
    connect(yearPlus, &QToolButton::clicked, this, [this] { step(DateStep::YearPlus); });
    connect(monthMinus, &QToolButton::clicked, this, [this] { step(DateStep::MonthMinus); });
    connect(monthPlus, &QToolButton::clicked, this, [this] { step(DateStep::MonthPlus); });

    // Around the month the calendar is white.
    auto* monthArea = new QWidget(this);
    monthArea->setObjectName(QStringLiteral("MonthArea"));
    QPalette outsidePalette = windowPalette;
    outsidePalette.setColor(QPalette::Window, kDatePickerOutsideMonth);
    monthArea->setPalette(outsidePalette);
    monthArea->setAutoFillBackground(true);
    m_calendar = new QCalendarWidget(monthArea);
    m_calendar->setObjectName(QStringLiteral("Calendar"));
    m_calendar->setLocale(LocaleOfLanguage(LanguageNumber(m_languageName)));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setNavigationBarVisible(false);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    m_calendar->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    m_calendar->setGridVisible(false);
    // Digits typed in the calendar would open its own date line, which only Enter closes.
    m_calendar->setDateEditEnabled(false);
    m_calendar->setDateRange(QDate(1900, 1, 1), QDate(2099, 12, 31));
    m_calendar->setPalette(windowPalette);
    // Week-ends look like the other days.
    m_calendar->setWeekdayTextFormat(Qt::Saturday, QTextCharFormat());
    m_calendar->setWeekdayTextFormat(Qt::Sunday, QTextCharFormat());
    QTextCharFormat header;
    header.setForeground(QColor(96, 96, 96));
    header.setBackground(kDatePickerBackground);
    m_calendar->setHeaderTextFormat(header);
    m_calendar->installEventFilter(this);
    if (auto* view = m_calendar->findChild<QAbstractItemView*>()) view->installEventFilter(this);
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, &TSelectDate::showPageLabels);
    auto* monthLayout = new QVBoxLayout(monthArea);
    monthLayout->setContentsMargins(3, 3, 3, 3);
    monthLayout->addWidget(m_calendar);

    // The Ok row.
    auto* clear = new QToolButton(this);
    clear->setObjectName(QStringLiteral("Btn_Clear"));
    clear->setToolTip(QStringLiteral("Effacer la date"));
    clear->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
    clear->setAutoRaise(true);
    clear->setFixedSize(25, 25);
    auto* ok = new QPushButton(QStringLiteral(" &Ok"), this);
    ok->setObjectName(QStringLiteral("Btn_Ok"));
    auto* cancel = new QPushButton(QStringLiteral(" &Annuler"), this);
    cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    for (QPushButton* button : {ok, cancel}) {
        button->setAutoDefault(false);
        button->setFixedSize(75, 25);
    }
    connect(clear, &QToolButton::clicked, this, &TSelectDate::clearDate);
    connect(ok, &QPushButton::clicked, this, &TSelectDate::accept);
    connect(cancel, &QPushButton::clicked, this, &TSelectDate::reject);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(4, 4, 4, 4);
    buttonRow->setSpacing(4);
    buttonRow->addWidget(clear);
    buttonRow->addStretch(1);
    buttonRow->addWidget(ok);
    buttonRow->addWidget(cancel);

    // The one-pixel border is painted; the window is the calendar and the Ok row.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(band);
    layout->addWidget(monthArea);
    layout->addLayout(buttonRow);
    setFixedSize(sizeHint());
}

void TSelectDate::setTarget(QLineEdit* field, Dataset* row, const QString& column, ColumnKind kind) {
    m_field = field;
    m_row = row;
    m_column = column;
    m_kind = kind;
}

void TSelectDate::setWorkingDateText(const QString& text) {
    m_working = text.left(10);
    if (isVisible()) displayWorkingDate();
}

QDate TSelectDate::selectedDate() const {
    return m_calendar->selectedDate();
}

void TSelectDate::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_working = OpeningDateText(m_working);
    displayWorkingDate();
    m_calendar->setFocus();
}

void TSelectDate::displayWorkingDate() {
    const QDate date = TextToDate(m_working);
    if (!date.isValid()) return;
    m_calendar->setSelectedDate(date);
    m_calendar->setCurrentPage(date.year(), date.month());
    showPageLabels(date.year(), date.month());
}

// The labels name the month the calendar shows: the working date's, unless the keyboard moved the calendar on.
void TSelectDate::showPageLabels(int year, int month) {
    const QDate first(year, month, 1);
    m_year->setText(DatePickerYearText(first));
    m_month->setText(DatePickerMonthText(first, m_languageName));
}

void TSelectDate::step(DateStep step) {
    m_working = StepDateText(OpeningDateText(m_working), step);
    displayWorkingDate();
}

void TSelectDate::accept() {
    finish(Result::Ok);
}

void TSelectDate::reject() {
    finish(Result::Cancel);
}

void TSelectDate::clearDate() {
    m_working.clear();
    finish(Result::Ok);
}

void TSelectDate::finish(Result result) {
    if (m_finished) return;
    m_result = result;
    if (result == Result::Ok && !m_working.isEmpty()) m_working = DateToText(m_calendar->selectedDate());
    close();
}

void TSelectDate::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (m_finished) return;
    m_finished = true;
    if (m_result == Result::Ok) writeBack();
    emit finished(m_result);
}

void TSelectDate::writeBack() {
    if (!m_field) return;
    SetFieldText(m_field, m_working);
    if (m_row && !m_column.isEmpty()) {
        EnsureEditing(*m_row);
        if (m_working.isEmpty())
            m_row->clearField(m_column);
        else if (m_kind == ColumnKind::Date)
            m_row->setValue(m_column, TextToDate(m_working));
        else
            m_row->setValue(m_column, m_working);
    }
    m_field->setFocus();
    m_field->selectAll();
}

void TSelectDate::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TSelectDate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
        // Enter in the calendar does nothing: only the buttons end the picker.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSelectDate::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(DatePickerBorderColour());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

TSelectDate* ShowDatePicker(QLineEdit* field, Dataset* row, const QString& column, TSelectDate::ColumnKind kind) {
    if (!field) return nullptr;
    if (row) EnsureEditing(*row);
    auto* picker = new TSelectDate(field->window());
    picker->setTarget(field, row, column, kind);
    picker->setWorkingDateText(FieldText(field));
    const QRect fieldOnScreen(field->mapToGlobal(QPoint(0, 0)), field->size());
    const QScreen* screen = field->screen();
    const QRect screenRect = screen ? screen->geometry() : QRect(QPoint(0, 0), picker->size());
    picker->move(DatePickerPosition(fieldOnScreen, picker->size(), screenRect));
    field->setFocus();
    field->selectAll();
    picker->show();
    return picker;
}

void AttachDatePicker(QLineEdit* field, QAbstractButton* button, Dataset* row, const QString& column,
                      TSelectDate::ColumnKind kind) {
    if (!field) return;
    const QPointer<Dataset> boundRow(row);
    const auto open = [field, boundRow, row, column, kind] {
        // A row that was destroyed in the meantime is not written to.
        if (row && !boundRow) return;
        ShowDatePicker(field, boundRow.data(), column, kind);
    };
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), field);
        shortcut->setContext(Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, field, open);
    }
    if (button) QObject::connect(button, &QAbstractButton::clicked, field, open);
}

#pragma once

// What the analysis window tests share: rows written straight into the tables of a MainFormFixture's database,
// typing into fields as the user does, answering the modal dialogs that a command opens, and finding the drop-down
// list a picker opened.

#include "gui/records/TPickList.h"
#include "support/MainFormFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <functional>

namespace AnalysisFixture {

inline QVariant Number(std::optional<double> value) {
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}

inline void AddCatalogueEntry(qint64 id, const QString& title, const QString& unit, int decimals,
                              std::optional<double> minimum, std::optional<double> maximum) {
    MainFormFixture::Exec(QStringLiteral("INSERT INTO LST_ANALYSIS (Id, Title, Unit, \"Decimal\", Value_Min, "
                                         "Value_Max) VALUES (?, ?, ?, ?, ?, ?)"),
                          {id, title, unit, decimals, Number(minimum), Number(maximum)});
}

// A person-analysis with the catalogue entry's unit, decimals and bounds copied, as attaching makes it.
inline void Attach(qint64 id, qint64 personId, qint64 catalogueId) {
    MainFormFixture::Exec(QStringLiteral("INSERT INTO L_ANALYSIS (Id, Id_File, Id_Ref, Id_Analysis, Unit, \"Decimal\", "
                                         "Value_Min, Value_Max) SELECT ?, -1, ?, Id, Unit, \"Decimal\", Value_Min, "
                                         "Value_Max FROM LST_ANALYSIS WHERE Id=?"),
                          {id, personId, catalogueId});
}

inline void AddResult(qint64 personAnalysisId, const QString& isoDate, std::optional<double> value,
                      std::optional<double> minimum, std::optional<double> maximum, const QString& remark = {}) {
    MainFormFixture::Exec(QStringLiteral("INSERT INTO ANALYSIS (Id_Ref, Date_Analysis, Value_Analysis, Value_Min, "
                                         "Value_Max, Remark1) VALUES (?, ?, ?, ?, ?, ?)"),
                          {personAnalysisId, isoDate, Number(value), Number(minimum), Number(maximum),
                           remark.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(remark)});
}

// Types text as keys, accented letters included.
inline void Keys(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Replaces a field's text as the user does.
inline void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    Keys(field, text);
}

inline QVariant Stored(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection, false));
    if (!query.exec(statement) || !query.next()) return QStringLiteral("<no row>");
    return query.value(0);
}

inline qint64 Count(const QString& statement) {
    return Stored(statement).toLongLong();
}

// Runs action on the next modal dialog of type T once it is shown (the command that opens it is running exec()).
// A dialog of that type that does not come within five seconds is reported, and whatever modal window is showing
// then is closed, so that the test ends instead of hanging.
template <class T> void OnNextDialog(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
            return;
        }
        if (++*ticks > 1000) {
            timer->stop();
            timer->deleteLater();
            qWarning("the expected dialog %s did not open", T::staticMetaObject.className());
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        }
    });
    timer->start();
}

// The drop-down list that a picker has just opened; nullptr when none is open.
inline TPickList* OpenPickList() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* list = qobject_cast<TPickList*>(widget); list && list->isVisible()) return list;
    return nullptr;
}

} // namespace AnalysisFixture

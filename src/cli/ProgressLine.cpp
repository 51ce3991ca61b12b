#include "cli/ProgressLine.h"

#include <QTextStream>

void ProgressLine::setMessage(const QString& message) {
    m_message = message;
}

void ProgressLine::setProgress(int count, int total) {
    m_count = count;
    m_total = total;
    if (count > 0) print();
}

void ProgressLine::print() {
    m_stream << m_task << " : " << m_message;
    if (m_total > 0) m_stream << " (" << qMin(m_count, m_total) << '/' << m_total << ')';
    m_stream << Qt::endl;
}

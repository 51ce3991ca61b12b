#pragma once

#include "core/app/ProgressReporter.h"

class QTextStream;

// Progress of a long operation as lines on the error stream: "task : message (count/total)".
class ProgressLine final : public ProgressReporter {
public:
    explicit ProgressLine(QTextStream& stream) : m_stream(stream) {}
    void setTask(const QString& task) override { m_task = task; }
    void setMessage(const QString& message) override;
    void setProgress(int count, int total) override;
    void setVisible(bool) override {}

private:
    void print();
    QTextStream& m_stream;
    QString m_task;
    QString m_message;
    int m_count = 0;
    int m_total = 0;
};

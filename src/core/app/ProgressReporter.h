#pragma once

#include <QString>

// Progress of a long operation: a task line, a message line and a step count out of a total.
// The windows turn it into the progress window, the command-line tool into a progress line.
class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;
    virtual void setTask(const QString& task) = 0;
    virtual void setMessage(const QString& message) = 0;
    virtual void setProgress(int count, int total) = 0;
    // Hidden progress is still kept up to date, so that showing it later shows the right state.
    virtual void setVisible(bool visible) = 0;
    // Some steps of a task show their count as a gauge; a reporter without one ignores this.
    virtual void setGaugeVisible(bool) {}
};

// Reports nothing; for callers that have no one to tell.
class SilentProgress final : public ProgressReporter {
public:
    void setTask(const QString&) override {}
    void setMessage(const QString&) override {}
    void setProgress(int, int) override {}
    void setVisible(bool) override {}
};

// Filled width of a gauge: count / total of the full width, truncated toward zero, kept within
// 0..width whatever the count (a count past the total fills the gauge, a total of 0 leaves it empty).
int GaugeFilledWidth(int count, int total, int fullWidth);

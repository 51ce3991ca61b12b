#pragma once

#include "core/app/ProgressReporter.h"

#include <QFrame>

class Gauge;
class QLabel;

// The progress window: borderless, 277 x 65 pixels, a picture, a task line (Lab_Task), a message
// line (Lab_Msg) and a 251-pixel gauge. It keeps its state while hidden, so that a caller may
// update it before deciding to show it. Changes are painted at once: the window is used while
// the program works without returning to its event loop.
class TWait : public QFrame, public ProgressReporter {
    Q_OBJECT
public:
    static constexpr int kWidth = 277;
    static constexpr int kHeight = 65;
    static constexpr int kGaugeWidth = 251;
    static constexpr int kGaugeHeight = 5;

    explicit TWait(QWidget* owner = nullptr);

    void setTask(const QString& task) override;
    void setMessage(const QString& message) override;
    void setProgress(int count, int total) override;
    void setVisible(bool visible) override;
    // Some uses show no gauge (a transfer without a known size).
    void setGaugeVisible(bool visible) override;

    QString task() const;
    QString message() const;
    int count() const;
    int total() const;
    int gaugeFilledWidth() const;

    // Centred in the desktop work area (used before the main window exists).
    void centreInWorkArea();
    // Centred over a window: left = its left + (its width - 277) / 2, truncated; likewise the top.
    void centreOver(const QWidget* window);

private:
    // Paints what changed now and lets the window system show it, without handling user input.
    void paintNow(QWidget* changed);

    QLabel* m_picture;
    QLabel* m_task;
    QLabel* m_message;
    Gauge* m_gauge;
};

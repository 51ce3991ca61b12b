#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a signal delivered on the event loop, so that a request to end
// the program closes it the way the user would (saving the settings) instead of killing it.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* m_notifier = nullptr;
};

#pragma once
// Turns SIGTERM, SIGINT and SIGHUP (a log-out) into a Qt signal on the GUI thread, so that the
// program saves and ends as it does when its window is closed.
#include <QObject>

class QSocketNotifier;

class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    // The number of the signal that asked the program to end, or 0.
    int received() const { return last; }

signals:
    void signal_quit(int number);

private:
    void readPipe();

    QSocketNotifier *notifier = nullptr;
    int last = 0;
};

#ifndef TORVEX_SERVER_KTSIGNALWATCHER_H
#define TORVEX_SERVER_KTSIGNALWATCHER_H

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a signal of the event loop, so a headless program can stop
// cleanly instead of dying inside whatever it was doing.
class KTSignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit KTSignalWatcher(QObject* parent = nullptr);
    ~KTSignalWatcher() override;

signals:
    void stopRequested(int signalNumber);

private slots:
    void slotActivated();

private:
    QSocketNotifier* m_notifier = nullptr;
};

#endif

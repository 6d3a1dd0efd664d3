#include "server/ktsignalwatcher.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// One watcher per process: the handler can only reach it through plain static data.
int signalPipe[2] = {-1, -1};

void onSignal(int number)
{
    // Only async-signal-safe work here: one byte into the pipe.
    const char byte = char(number);
    const ssize_t written = ::write(signalPipe[0], &byte, 1);
    (void)written;
}

} // namespace

KTSignalWatcher::KTSignalWatcher(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &KTSignalWatcher::slotActivated);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

KTSignalWatcher::~KTSignalWatcher()
{
    if (signalPipe[0] < 0)
        return;
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void KTSignalWatcher::slotActivated()
{
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) == 1)
        emit stopRequested(int(byte));
}

#else

KTSignalWatcher::KTSignalWatcher(QObject* parent)
    : QObject(parent)
{
}

KTSignalWatcher::~KTSignalWatcher() = default;

void KTSignalWatcher::slotActivated()
{
}

#endif

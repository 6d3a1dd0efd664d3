#include "server/ktpeerresetwatch.h"

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

KTPeerResetWatch::~KTPeerResetWatch()
{
    release();
}

void KTPeerResetWatch::watch(qintptr descriptor)
{
    release();
#ifdef Q_OS_LINUX
    if (descriptor >= 0)
        m_descriptor = ::fcntl(int(descriptor), F_DUPFD_CLOEXEC, 0);
#else
    Q_UNUSED(descriptor)
#endif
}

bool KTPeerResetWatch::wasReset() const
{
#ifdef Q_OS_LINUX
    if (m_descriptor < 0)
        return false;
    tcp_info info = {};
    socklen_t size = sizeof(info);
    if (::getsockopt(m_descriptor, IPPROTO_TCP, TCP_INFO, &info, &size) != 0)
        return false;
    // An orderly close by the peer leaves the connection half open (CLOSE_WAIT); a reset ends it.
    return info.tcpi_state == TCP_CLOSE;
#else
    return false;
#endif
}

void KTPeerResetWatch::release()
{
#ifdef Q_OS_LINUX
    if (m_descriptor >= 0)
        ::close(m_descriptor);
#endif
    m_descriptor = -1;
}

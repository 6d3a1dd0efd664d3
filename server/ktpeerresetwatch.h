#ifndef TORVEX_SERVER_KTPEERRESETWATCH_H
#define TORVEX_SERVER_KTPEERRESETWATCH_H

#include <QtGlobal>

// Tells a data connection that ended by a reset from one that ended by the peer's orderly close.
//
// Qt reports both as RemoteHostClosedError and closes its descriptor at once, so an upload cut
// by a reset would look complete. The watch keeps a second descriptor of the same socket, which
// keeps the kernel's view of the connection readable after Qt has let go of it.
class KTPeerResetWatch
{
public:
    KTPeerResetWatch() = default;
    ~KTPeerResetWatch();
    KTPeerResetWatch(const KTPeerResetWatch&) = delete;
    KTPeerResetWatch& operator=(const KTPeerResetWatch&) = delete;

    void watch(qintptr descriptor);
    // Whether the peer reset the connection (or it failed otherwise) before now.
    bool wasReset() const;
    // Lets the socket go; the connection's final close happens here when Qt closed first.
    void release();

private:
    int m_descriptor = -1;
};

#endif

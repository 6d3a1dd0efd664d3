#include "server/ktssllistener.h"

#include <QSslSocket>

KTSslListener::KTSslListener(QObject* parent)
    : QTcpServer(parent)
{
}

void KTSslListener::incomingConnection(qintptr descriptor)
{
    if (!m_tlsCapable) {
        QTcpServer::incomingConnection(descriptor);
        return;
    }
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    addPendingConnection(socket);
}

#ifndef TORVEX_SERVER_KTSSLLISTENER_H
#define TORVEX_SERVER_KTSSLLISTENER_H

#include <QTcpServer>

// A listener whose connections can turn to TLS later: while TLS is on it hands out QSslSocket
// objects in plain mode, otherwise plain QTcpSocket objects as any listener does.
class KTSslListener : public QTcpServer
{
    Q_OBJECT
public:
    explicit KTSslListener(QObject* parent = nullptr);

    void setTlsCapable(bool capable) { m_tlsCapable = capable; }
    bool tlsCapable() const { return m_tlsCapable; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    bool m_tlsCapable = false;
};

#endif

#ifndef TORVEX_SETTINGS_SERVERINFO_H
#define TORVEX_SETTINGS_SERVERINFO_H

#include <QObject>
#include <QString>

// One FTP site of the site table; owned by the store.
class ServerInfo : public QObject
{
    Q_OBJECT
public:
    explicit ServerInfo(QObject* parent = nullptr);

    QString serverName;
    bool connected = false;
    QString ip;
    quint16 port = 21;
    QString userName;
    QString password;
    QString codec;
    QString clientPath;
    QString serverPath;
    // How the connection is protected; records written before it existed load as plain FTP.
    enum Encryption { PlainOnly = 0, TlsIfAvailable = 1, TlsRequired = 2 };
    int encryption = PlainOnly;
    bool select = false;
    int id;  // unique for this run only, never stored
};

#endif

#ifndef TORVEX_SERVER_KTTLSSETTINGS_H
#define TORVEX_SERVER_KTTLSSETTINGS_H

#include <QString>

class KTFtpServer;

// The built-in server's TLS choice and its certificate and key files, kept in "server.ini"
// beside the port and folder. A file without these keys means plain FTP, as it always did.
struct KTTlsSettings {
    enum Mode { Off = 0, Offer = 1, Require = 2 };

    Mode mode = Off;
    QString certificate;
    QString key;

    static KTTlsSettings read(const QString& iniPath);
    // Adds or replaces the TLS keys; the file's other keys stay as they are.
    void write(const QString& iniPath) const;

    // Gives the server the certificate and key, or none when the mode is Off. False, with a
    // message, when TLS was asked for and the files cannot serve it: the server then must not
    // start without it.
    bool applyTo(KTFtpServer* server, QString& error) const;
};

#endif

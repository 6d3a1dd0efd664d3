#ifndef TORVEX_SETTINGS_CERTIFICATETRUST_H
#define TORVEX_SETTINGS_CERTIFICATETRUST_H

#include <QByteArray>
#include <QString>

// The certificates the user chose to trust although no known authority vouches for them: one
// SHA-256 fingerprint per host and port, kept in "trusted-certificates.ini" of the settings
// folder. An empty folder keeps nothing on disk (torvex-cli's --trust, tests).
class CertificateTrust
{
public:
    explicit CertificateTrust(const QString& configDir = QString());

    // The fingerprint trusted for host:port, empty when none.
    QByteArray fingerprint(const QString& host, quint16 port) const;
    void trust(const QString& host, quint16 port, const QByteArray& sha256);
    void forget(const QString& host, quint16 port);

    // "AB:CD:..." as people compare them, and back; fromText accepts either case, with or
    // without colons, and gives an empty array for anything that is not 32 bytes.
    static QString toText(const QByteArray& sha256);
    static QByteArray fromText(const QString& text);

private:
    QString filePath() const;
    static QString key(const QString& host, quint16 port);

    QString folder;
};

#endif

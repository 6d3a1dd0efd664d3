#include "settings/certificatetrust.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <cctype>

namespace {
const char trustFile[] = "trusted-certificates.ini";
const int Sha256Bytes = 32;
}

CertificateTrust::CertificateTrust(const QString& configDir)
    : folder(configDir)
{
}

QString CertificateTrust::filePath() const
{
    return QDir(folder).filePath(QLatin1String(trustFile));
}

QString CertificateTrust::key(const QString& host, quint16 port)
{
    // The host goes in lower case: a name differs from itself in case only by accident.
    return QStringLiteral("Hosts/%1 %2").arg(host.toLower()).arg(port);
}

QByteArray CertificateTrust::fingerprint(const QString& host, quint16 port) const
{
    if (folder.isEmpty())
        return QByteArray();
    const QSettings settings(filePath(), QSettings::IniFormat);
    return fromText(settings.value(key(host, port)).toString());
}

void CertificateTrust::trust(const QString& host, quint16 port, const QByteArray& sha256)
{
    if (folder.isEmpty() || sha256.size() != Sha256Bytes)
        return;
    QDir().mkpath(folder);
    {
        QSettings settings(filePath(), QSettings::IniFormat);
        settings.setValue(key(host, port), toText(sha256));
    }
    QFile(filePath()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void CertificateTrust::forget(const QString& host, quint16 port)
{
    if (folder.isEmpty())
        return;
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.remove(key(host, port));
}

QString CertificateTrust::toText(const QByteArray& sha256)
{
    return QString::fromLatin1(sha256.toHex(':').toUpper());
}

QByteArray CertificateTrust::fromText(const QString& text)
{
    QString hex = text.trimmed();
    hex.remove(QLatin1Char(':'));
    for (const QChar c : qAsConst(hex)) {
        if (c.unicode() > 127 || !std::isxdigit(c.unicode()))
            return QByteArray();
    }
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    return bytes.size() == Sha256Bytes ? bytes : QByteArray();
}

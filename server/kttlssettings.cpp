#include "server/kttlssettings.h"

#include "server/ktftpserver.h"
#include "server/kttlssupport.h"

#include <QSettings>

namespace {

const char modeKey[] = "Server/TLS";
const char certificateKey[] = "Server/Certificate";
const char keyKey[] = "Server/Key";

} // namespace

KTTlsSettings KTTlsSettings::read(const QString& iniPath)
{
    QSettings settings(iniPath, QSettings::IniFormat);
    KTTlsSettings tls;
    const int mode = settings.value(QLatin1String(modeKey), int(Off)).toInt();
    tls.mode = mode == Offer || mode == Require ? Mode(mode) : Off;
    tls.certificate = settings.value(QLatin1String(certificateKey)).toString();
    tls.key = settings.value(QLatin1String(keyKey)).toString();
    return tls;
}

void KTTlsSettings::write(const QString& iniPath) const
{
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.setValue(QLatin1String(modeKey), int(mode));
    settings.setValue(QLatin1String(certificateKey), certificate);
    settings.setValue(QLatin1String(keyKey), key);
}

bool KTTlsSettings::applyTo(KTFtpServer* server, QString& error) const
{
    if (mode == Off) {
        server->clearTls();
        return true;
    }
    QSslConfiguration configuration;
    if (!KTTlsSupport::loadServerFiles(certificate, key, configuration, error)) {
        server->clearTls();
        return false;
    }
    server->setTls(configuration, mode == Require);
    return true;
}

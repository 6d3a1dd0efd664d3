#include "support/testcertificates.h"

#include <QFile>
#include <QProcess>

namespace {

bool runOpenssl(const QStringList& arguments, const QString& folder)
{
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.start(QStringLiteral("openssl"), arguments);
    return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}

QSslCertificate readCertificate(const QString& path)
{
    const QList<QSslCertificate> all = QSslCertificate::fromPath(path);
    return all.isEmpty() ? QSslCertificate() : all.first();
}

QSslKey readKey(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QSslKey(&file, QSsl::Rsa) : QSslKey();
}

QStringList newKeyAndRequest(const QString& stem, const QString& subject)
{
    return {QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
            QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-keyout"), stem + QStringLiteral(".key"),
            QStringLiteral("-subj"), subject};
}

} // namespace

bool TestCertificates::make(const QString& folder)
{
    const QStringList self = newKeyAndRequest(QStringLiteral("self"), QStringLiteral("/CN=127.0.0.1"))
        + QStringList{QStringLiteral("-x509"), QStringLiteral("-out"), QStringLiteral("self.pem"),
                      QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")};
    const QStringList authority = newKeyAndRequest(QStringLiteral("ca"), QStringLiteral("/CN=Torvex Test CA"))
        + QStringList{QStringLiteral("-x509"), QStringLiteral("-out"), QStringLiteral("ca.pem")};
    const QStringList request = newKeyAndRequest(QStringLiteral("signed"), QStringLiteral("/CN=127.0.0.1"))
        + QStringList{QStringLiteral("-out"), QStringLiteral("signed.csr")};
    const QStringList sign = {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), QStringLiteral("signed.csr"),
                              QStringLiteral("-CA"), QStringLiteral("ca.pem"), QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                              QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), QStringLiteral("signed.pem"),
                              QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), QStringLiteral("san.ext")};
    QFile extension(folder + QStringLiteral("/san.ext"));
    if (!extension.open(QIODevice::WriteOnly) || extension.write("subjectAltName=IP:127.0.0.1\n") <= 0)
        return false;
    extension.close();
    for (const QStringList& step : {self, authority, request, sign}) {
        if (!runOpenssl(step, folder))
            return false;
    }
    selfSigned = readCertificate(folder + QStringLiteral("/self.pem"));
    selfSignedKey = readKey(folder + QStringLiteral("/self.key"));
    signedByCa = readCertificate(folder + QStringLiteral("/signed.pem"));
    signedKey = readKey(folder + QStringLiteral("/signed.key"));
    ca = readCertificate(folder + QStringLiteral("/ca.pem"));
    return !selfSigned.isNull() && !selfSignedKey.isNull() && !signedByCa.isNull() && !signedKey.isNull() && !ca.isNull();
}

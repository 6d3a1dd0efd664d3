#include "support/testcertificates.h"

#include <QFile>
#include <QProcess>

namespace {

// Each step is one openssl command line; no argument holds a space.
bool runOpenssl(const QString& arguments, const QString& folder)
{
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.start(QStringLiteral("openssl"), arguments.split(QLatin1Char(' ')));
    return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}

QSslKey readKey(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QSslKey(&file, QSsl::Rsa) : QSslKey();
}

} // namespace

bool TestCertificates::make(const QString& folder)
{
    const QString request = QStringLiteral("req -newkey rsa:2048 -nodes -days 2 -keyout %1.key -subj /CN=%2");
    const QStringList steps = {
        request.arg(QStringLiteral("self"), QStringLiteral("127.0.0.1"))
            + QStringLiteral(" -x509 -out self.pem -addext subjectAltName=IP:127.0.0.1"),
        request.arg(QStringLiteral("ca"), QStringLiteral("TorvexTestCA")) + QStringLiteral(" -x509 -out ca.pem"),
        request.arg(QStringLiteral("signed"), QStringLiteral("127.0.0.1")) + QStringLiteral(" -out signed.csr"),
        QStringLiteral("x509 -req -in signed.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out signed.pem -days 2 "
                       "-extfile san.ext")};
    QFile extension(folder + QStringLiteral("/san.ext"));
    if (!extension.open(QIODevice::WriteOnly) || extension.write("subjectAltName=IP:127.0.0.1\n") <= 0)
        return false;
    extension.close();
    for (const QString& step : steps) {
        if (!runOpenssl(step, folder))
            return false;
    }
    auto certificate = [&folder](const char* name) {
        const QList<QSslCertificate> all = QSslCertificate::fromPath(folder + QLatin1Char('/') + QLatin1String(name));
        return all.isEmpty() ? QSslCertificate() : all.first();
    };
    selfSigned = certificate("self.pem");
    signedByCa = certificate("signed.pem");
    ca = certificate("ca.pem");
    selfSignedKey = readKey(folder + QStringLiteral("/self.key"));
    signedKey = readKey(folder + QStringLiteral("/signed.key"));
    return !selfSigned.isNull() && !selfSignedKey.isNull() && !signedByCa.isNull() && !signedKey.isNull()
           && !ca.isNull();
}

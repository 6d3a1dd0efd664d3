#ifndef TORVEX_TESTS_TESTCERTIFICATES_H
#define TORVEX_TESTS_TESTCERTIFICATES_H

#include "support/testfiles.h"

#include <QtNetwork>

// Certificates for 127.0.0.1 made with the openssl tool in a folder of the test's: one
// self-signed, one signed by a test authority (ca) of its own. Valid for two days.
struct TestCertificates {
    QSslCertificate selfSigned;
    QSslKey selfSignedKey;
    QSslCertificate signedByCa;
    QSslKey signedKey;
    QSslCertificate ca;

    // False when openssl is missing or failed.
    bool make(const QString& folder)
    {
        if (!writeTestFile(folder + "/san.ext", "subjectAltName=IP:127.0.0.1\n"))
            return false;
        // One openssl command line per step; no argument holds a space.
        const QString request("req -newkey rsa:2048 -nodes -days 2 -keyout %1.key -subj /CN=%2");
        for (const QString& step : {request.arg("self", "127.0.0.1") + " -x509 -out self.pem "
                                        "-addext subjectAltName=IP:127.0.0.1",
                 request.arg("ca", "TorvexTestCA") + " -x509 -out ca.pem",
                 request.arg("signed", "127.0.0.1") + " -out signed.csr",
                 QStringLiteral("x509 -req -in signed.csr -CA ca.pem -CAkey ca.key -CAcreateserial "
                                "-out signed.pem -days 2 -extfile san.ext")}) {
            QProcess openssl;
            openssl.setWorkingDirectory(folder);
            openssl.start(QStringLiteral("openssl"), step.split(QLatin1Char(' ')));
            if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit
                || openssl.exitCode() != 0)
                return false;
        }
        auto certificate = [&folder](const char* name) {
            const auto all = QSslCertificate::fromPath(folder + QLatin1Char('/') + QLatin1String(name));
            return all.isEmpty() ? QSslCertificate() : all.first();
        };
        auto key = [&folder](const char* name) {
            QFile file(folder + QLatin1Char('/') + QLatin1String(name));
            return file.open(QIODevice::ReadOnly) ? QSslKey(&file, QSsl::Rsa) : QSslKey();
        };
        selfSigned = certificate("self.pem");
        signedByCa = certificate("signed.pem");
        ca = certificate("ca.pem");
        selfSignedKey = key("self.key");
        signedKey = key("signed.key");
        return !selfSigned.isNull() && !selfSignedKey.isNull() && !signedByCa.isNull()
               && !signedKey.isNull() && !ca.isNull();
    }
};

#endif

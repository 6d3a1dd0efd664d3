#ifndef TORVEX_TESTS_TESTCERTIFICATES_H
#define TORVEX_TESTS_TESTCERTIFICATES_H

#include <QSslCertificate>
#include <QSslKey>
#include <QString>

// Certificates for 127.0.0.1 made with the openssl tool in a folder of the test's: one
// self-signed, one signed by a test authority (ca) of its own. Valid for two days.
struct TestCertificates {
    QSslCertificate selfSigned;
    QSslKey selfSignedKey;
    QSslCertificate signedByCa;
    QSslKey signedKey;
    QSslCertificate ca;

    // False when openssl is missing or failed.
    bool make(const QString& folder);
};

#endif

// The engine's FTP over TLS against a scripted TLS server on 127.0.0.1: which certificates are
// taken, asked about or refused, and that a refused AUTH TLS never costs the password.
#include "engine/ftpclient.h"
#include "settings/certificatetrust.h"
#include "support/testcertificates.h"

#include <QSignalSpy>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Answers one login at a time: AUTH with authReply (234 starts TLS with the given certificate),
// USER 331, PASS 230, PBSZ and PROT 200. Every line received is kept in order.
class TlsStubServer : public QTcpServer
{
public:
    QString authReply = QStringLiteral("234 go ahead");
    QSslCertificate certificate;
    QSslKey key;
    QStringList received;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(certificate);
        socket->setPrivateKey(key);
        connect(socket, &QSslSocket::readyRead, this, [this, socket] { answer(socket); });
        connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
        socket->write("220 stub\r\n");
    }

private:
    void answer(QSslSocket* socket)
    {
        while (socket->canReadLine()) {
            const QString line = QString::fromUtf8(socket->readLine()).trimmed();
            received.append(line);
            const QString word = line.section(QLatin1Char(' '), 0, 0).toUpper();
            if (word == QLatin1String("AUTH")) {
                socket->write(authReply.toUtf8() + "\r\n");
                if (authReply.startsWith(QLatin1String("234"))) {
                    socket->flush();
                    socket->startServerEncryption();
                }
            } else if (word == QLatin1String("USER")) {
                socket->write("331 password\r\n");
            } else if (word == QLatin1String("PASS")) {
                socket->write("230 in\r\n");
            } else {
                socket->write("200 ok\r\n");
            }
        }
    }
};

} // namespace

class TestEngineTls : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void certificateChoice_data();
    void certificateChoice();
    void refusedAuthTls_data();
    void refusedAuthTls();
    void fingerprintText_data();
    void fingerprintText();

private:
    QTemporaryDir folder;
    TestCertificates made;
};

void TestEngineTls::initTestCase()
{
    if (!QSslSocket::supportsSsl())
        QSKIP("Qt has no TLS here");
    if (!made.make(folder.path()))
        QSKIP("openssl cannot make certificates here");
}

void TestEngineTls::certificateChoice_data()
{
    QTest::addColumn<bool>("caSigned");      // the server shows the certificate our test CA signed
    QTest::addColumn<bool>("addCa");         // the engine knows the test CA
    QTest::addColumn<QString>("trusted");    // "stored", "once", "other" (another fingerprint stored) or ""
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<bool>("changed");       // only when refused

    QTest::newRow("self-signed, unknown: asked") << false << false << QString() << false << false;
    QTest::newRow("self-signed, trusted always") << false << false << QStringLiteral("stored") << true << false;
    QTest::newRow("self-signed, trusted this time") << false << false << QStringLiteral("once") << true << false;
    QTest::newRow("changed fingerprint refused") << false << false << QStringLiteral("other") << false << true;
    QTest::newRow("vouched for by a known authority") << true << true << QString() << true << false;
    QTest::newRow("authority unknown") << true << false << QString() << false << false;
}

void TestEngineTls::certificateChoice()
{
    QFETCH(bool, caSigned);
    QFETCH(bool, addCa);
    QFETCH(QString, trusted);
    QFETCH(bool, loggedIn);
    QFETCH(bool, changed);

    TlsStubServer server;
    server.certificate = caSigned ? made.signedByCa : made.selfSigned;
    server.key = caSigned ? made.signedKey : made.selfSignedKey;
    QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
    const quint16 port = server.serverPort();

    QTemporaryDir settings;
    FTPClient client;
    client.setEncryption(FTPClient::TlsRequired);
    client.setTrustFolder(settings.path());
    if (addCa)
        client.addCaCertificates({made.ca});
    const QByteArray fingerprint = server.certificate.digest(QCryptographicHash::Sha256);
    if (trusted == QLatin1String("stored"))
        client.certificateTrust().trust(QStringLiteral("127.0.0.1"), port, fingerprint);
    else if (trusted == QLatin1String("once"))
        client.trustOnce(fingerprint);
    else if (trusted == QLatin1String("other"))
        client.certificateTrust().trust(QStringLiteral("127.0.0.1"), port, made.ca.digest(QCryptographicHash::Sha256));

    QSignalSpy login(&client, &FTPClient::login);
    QSignalSpy refused(&client, &FTPClient::certificateRefused);
    QSignalSpy encrypted(&client, &FTPClient::encryptionChanged);
    client.connectServer(QStringLiteral("127.0.0.1"), port, QStringLiteral("u"), QStringLiteral("secret"));
    QTRY_COMPARE_WITH_TIMEOUT(login.count(), 1, 15000);
    QCOMPARE(login.first().first().toBool(), loggedIn);
    QCOMPARE(client.isEncrypted(), loggedIn);
    QCOMPARE(refused.count(), loggedIn ? 0 : 1);
    if (!loggedIn) {
        QCOMPARE(refused.first().at(2).toBool(), changed);
        QCOMPARE(refused.first().first().value<QSslCertificate>(), server.certificate);
        QVERIFY(!server.received.contains(QStringLiteral("PASS secret")));
    } else {
        QVERIFY(!encrypted.isEmpty() && encrypted.first().first().toBool());
        QTRY_VERIFY_WITH_TIMEOUT(server.received.contains(QStringLiteral("PROT P")), 10000);
        QCOMPARE(server.received.mid(0, 5), QStringList({QStringLiteral("AUTH TLS"), QStringLiteral("USER u"),
                                                         QStringLiteral("PASS secret"), QStringLiteral("PBSZ 0"),
                                                         QStringLiteral("PROT P")}));
    }
}

void TestEngineTls::refusedAuthTls_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("passwordSent");

    QTest::newRow("required: a stripped AUTH TLS gets no password") << int(FTPClient::TlsRequired) << false;
    QTest::newRow("if available: plain login") << int(FTPClient::TlsIfAvailable) << true;
}

void TestEngineTls::refusedAuthTls()
{
    QFETCH(int, mode);
    QFETCH(bool, passwordSent);

    TlsStubServer server;
    server.authReply = QStringLiteral("500 AUTH not understood");
    QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
    FTPClient client;
    client.setEncryption(mode);
    QSignalSpy login(&client, &FTPClient::login);
    QSignalSpy refusedEncryption(&client, &FTPClient::encryptionRefused);
    client.connectServer(QStringLiteral("127.0.0.1"), server.serverPort(), QStringLiteral("u"), QStringLiteral("secret"));
    QTRY_COMPARE_WITH_TIMEOUT(login.count(), 1, 15000);
    QCOMPARE(login.first().first().toBool(), passwordSent);
    QCOMPARE(refusedEncryption.count(), passwordSent ? 0 : 1);
    QCOMPARE(server.received.contains(QStringLiteral("PASS secret")), passwordSent);
    QCOMPARE(server.received.contains(QStringLiteral("USER u")), passwordSent);
    QVERIFY(!client.isEncrypted());
}

void TestEngineTls::fingerprintText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    const QString hex = QStringLiteral("ab").repeated(32);
    QTest::newRow("plain hex") << hex << true;
    QTest::newRow("colons, upper case") << CertificateTrust::toText(QByteArray(32, '\xab')) << true;
    QTest::newRow("too short") << hex.left(62) << false;
    QTest::newRow("not hex") << QStringLiteral("zz").repeated(32) << false;
    QTest::newRow("wide characters") << QString(64, QChar(0x0661)) << false;
}

void TestEngineTls::fingerprintText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const QByteArray bytes = CertificateTrust::fromText(text);
    QCOMPARE(!bytes.isEmpty(), valid);
    if (valid)
        QCOMPARE(CertificateTrust::fromText(CertificateTrust::toText(bytes)), bytes);
}

QTEST_GUILESS_MAIN(TestEngineTls)
#include "tst_engine_tls.moc"

// The engine's FTP over TLS against a small TLS server on 127.0.0.1, and fingerprints as text.
#include "engine/ftpclient.h"
#include "settings/certificatetrust.h"
#include "support/testcertificates.h"

#include <QtTest>

namespace {

// Answers AUTH with authReply (234 starts TLS with the given certificate), USER 331, PASS 230,
// anything else 200. Every line received is kept in order.
class TlsStubServer : public QTcpServer
{
public:
    QString authReply = QStringLiteral("234 go ahead");
    QSslCertificate certificate;
    QSslKey key;
    QStringList received;

    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(certificate);
        socket->setPrivateKey(key);
        connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QSslSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                received << QString::fromUtf8(socket->readLine()).trimmed();
                const QString word = received.last().section(' ', 0, 0).toUpper();
                const QHash<QString, QByteArray> replies = {
                    {"AUTH", authReply.toUtf8()}, {"USER", "331 password"}, {"PASS", "230 in"}};
                socket->write(replies.value(word, "200 ok") + "\r\n");
                if (word == QLatin1String("AUTH") && authReply.startsWith(QLatin1String("234"))) {
                    socket->flush();
                    socket->startServerEncryption();
                }
            }
        });
        socket->write("220 stub\r\n");
    }
};

} // namespace

class TestEngineTls : public QObject
{
    Q_OBJECT
    QTemporaryDir folder;
    TestCertificates made;

private slots:
    void initTestCase()
    {
        if (!QSslSocket::supportsSsl())
            QSKIP("Qt has no TLS here");
        if (!made.make(folder.path()))
            QSKIP("openssl cannot make certificates here");
    }

    // Which certificates are taken, asked about or refused, and that a refused AUTH TLS never costs
    // the password when encryption is required. server: "self", "ca" (signed by the test CA) or
    // "plain" (refuses AUTH); trusted: "stored", "other" (another fingerprint stored), "ca" or "";
    // outcome: "in", "asked", "changed", "refused" (encryption) or "plain".
    void login_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("trusted");
        QTest::addColumn<QString>("outcome");
        const int required = FTPClient::TlsRequired;
        const int ifAvailable = FTPClient::TlsIfAvailable;
        QTest::newRow("self-signed, unknown: asked") << required << "self" << "" << "asked";
        QTest::newRow("self-signed, trusted always") << required << "self" << "stored" << "in";
        QTest::newRow("changed fingerprint refused") << required << "self" << "other" << "changed";
        QTest::newRow("vouched for by a known authority") << required << "ca" << "ca" << "in";
        QTest::newRow("authority unknown") << required << "ca" << "" << "asked";
        QTest::newRow("stripped AUTH TLS: no password") << required << "plain" << "" << "refused";
        QTest::newRow("if available: plain login") << ifAvailable << "plain" << "" << "plain";
    }

    void login()
    {
        QFETCH(int, mode);
        QFETCH(QString, server);
        QFETCH(QString, trusted);
        QFETCH(QString, outcome);
        TlsStubServer stub;
        stub.certificate = server == QLatin1String("ca") ? made.signedByCa : made.selfSigned;
        stub.key = server == QLatin1String("ca") ? made.signedKey : made.selfSignedKey;
        if (server == QLatin1String("plain"))
            stub.authReply = QStringLiteral("500 AUTH not understood");
        QVERIFY(stub.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
        QTemporaryDir settings;
        FTPClient client;
        client.setEncryption(mode);
        client.setTrustFolder(settings.path());
        const QSslCertificate& known = trusted == QLatin1String("stored") ? stub.certificate : made.ca;
        if (trusted == QLatin1String("ca"))
            client.addCaCertificates({made.ca});
        else if (!trusted.isEmpty())
            client.certificateTrust().trust("127.0.0.1", stub.serverPort(),
                                            known.digest(QCryptographicHash::Sha256));

        QSignalSpy login(&client, &FTPClient::login);
        QSignalSpy refused(&client, &FTPClient::certificateRefused);
        QSignalSpy refusedEncryption(&client, &FTPClient::encryptionRefused);
        QSignalSpy encrypted(&client, &FTPClient::encryptionChanged);
        client.connectServer(QStringLiteral("127.0.0.1"), stub.serverPort(), "u", "secret");
        QTRY_COMPARE_WITH_TIMEOUT(login.count(), 1, 15000);
        const bool in = outcome == QLatin1String("in");
        const bool loggedIn = in || outcome == QLatin1String("plain");
        QCOMPARE(login.first().first().toBool(), loggedIn);
        QCOMPARE(client.isEncrypted(), in);
        QCOMPARE(stub.received.contains("USER u") || stub.received.contains("PASS secret"), loggedIn);
        QCOMPARE(refusedEncryption.count(), outcome == QLatin1String("refused") ? 1 : 0);
        QCOMPARE(refused.count(), QStringList({"asked", "changed"}).contains(outcome) ? 1 : 0);
        if (!refused.isEmpty()) {
            QCOMPARE(refused.first().at(2).toBool(), outcome == QLatin1String("changed"));
            QCOMPARE(refused.first().first().value<QSslCertificate>(), stub.certificate);
        }
        if (in) {
            QVERIFY(!encrypted.isEmpty() && encrypted.first().first().toBool());
            QTRY_VERIFY_WITH_TIMEOUT(stub.received.contains(QStringLiteral("PROT P")), 10000);
            const QStringList order{"AUTH TLS", "USER u", "PASS secret", "PBSZ 0", "PROT P"};
            QCOMPARE(stub.received.mid(0, 5), order);
        }
    }

    void fingerprintText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        const QString hex = QStringLiteral("ab").repeated(32);
        QTest::newRow("plain hex") << hex << true;
        QTest::newRow("colons, upper case") << CertificateTrust::toText(QByteArray(32, '\xab'))
                                            << true;
        QTest::newRow("too short") << hex.left(62) << false;
        QTest::newRow("not hex") << QStringLiteral("zz").repeated(32) << false;
        QTest::newRow("wide characters") << QString(64, QChar(0x0661)) << false;
    }

    void fingerprintText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const QByteArray bytes = CertificateTrust::fromText(text);
        QCOMPARE(!bytes.isEmpty(), valid);
        if (valid)
            QCOMPARE(CertificateTrust::fromText(CertificateTrust::toText(bytes)), bytes);
    }
};

QTEST_GUILESS_MAIN(TestEngineTls)
#include "tst_engine_tls.moc"

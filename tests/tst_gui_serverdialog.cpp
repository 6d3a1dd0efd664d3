// The server dialog's encryption choice: a certificate for this computer made on first use and
// kept for the next start, and a server that never starts without the TLS it was asked for.
#include "server/ktftpserver.h"
#include "server/kttlssettings.h"
#include "server/kttlssupport.h"
#include "server/startftpdialog.h"
#include "settings/fbdata.h"
#include "support/serverprobe.h"
#include "support/widgetdriver.h"

#include <QComboBox>
#include <QFileInfo>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestServerDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void choiceStartsServer_data();
    void choiceStartsServer();
    void certificateMadeOnceAndKept();
    void unusableStoredCertificateKeepsServerStopped();

private:
    QString startWith(int mode);
    QString configFile(const char* name) const { return store->filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    QString root;
    std::unique_ptr<FBData> store;
};

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

void TestServerDialog::initTestCase()
{
    QVERIFY(dir.isValid());
    root = dir.filePath("root");
    QVERIFY(QDir().mkpath(root));
    QVERIFY(QDir().mkpath(dir.filePath("config")));
    store = std::make_unique<FBData>(dir.filePath("config"), nullptr);
}

void TestServerDialog::cleanup()
{
    if (KTFtpServer* server = StartFTPDialog::server())
        server->stopAll();
}

void TestServerDialog::cleanupTestCase()
{
    store.reset();
    QVERIFY(!StartFTPDialog::server());
}

// Starts the server from a fresh dialog with the given encryption; the state line after it.
QString TestServerDialog::startWith(int mode)
{
    StartFTPDialog dialog(store.get());
    setText(&dialog, "Path", root);
    setText(&dialog, "Port", QString::number(freePort()));
    child<QComboBox>(&dialog, "TlsMode")->setCurrentIndex(mode);
    click(&dialog, "StartButton");
    return text(&dialog, "StartInfo");
}

void TestServerDialog::choiceStartsServer_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<bool>("required");
    QTest::newRow("plain") << int(KTTlsSettings::Off) << false << false;
    QTest::newRow("offer") << int(KTTlsSettings::Offer) << true << false;
    QTest::newRow("require") << int(KTTlsSettings::Require) << true << true;
}

void TestServerDialog::choiceStartsServer()
{
    QFETCH(int, mode);
    QFETCH(bool, offered);
    QFETCH(bool, required);
    const QString state = startWith(mode);
    QVERIFY2(state.startsWith("FTP server has started."), qPrintable(state));
    QCOMPARE(state.contains("Certificate SHA-256: "), offered);
    KTFtpServer* server = StartFTPDialog::server();
    QCOMPARE(server->tlsEnabled(), offered);
    QCOMPARE(server->tlsRequired(), required);
    QCOMPARE(int(KTTlsSettings::read(configFile("server.ini")).mode), mode);

    ServerProbe probe;
    QVERIFY(probe.connectAndGreet(server->serverPort()));
    if (offered)
        QVERIFY(probe.startTls());
    QCOMPARE(probe.login("test", "581247"), true);

    // The next dialog shows the choice the server runs with.
    StartFTPDialog again(store.get());
    QCOMPARE(child<QComboBox>(&again, "TlsMode")->currentIndex(), mode);
}

void TestServerDialog::certificateMadeOnceAndKept()
{
    QFile::remove(configFile("server-cert.pem"));
    QFile::remove(configFile("server-key.pem"));
    QFile::remove(configFile("server.ini"));
    QVERIFY(startWith(KTTlsSettings::Offer).startsWith("FTP server has started."));
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    for (const char* name : {"server-cert.pem", "server-key.pem"}) {
        const QFileInfo file(configFile(name));
        QVERIFY2(file.exists(), name);
        QCOMPARE(file.permissions() & ~(QFile::ReadUser | QFile::WriteUser), ownerOnly);
    }
    const QString first = KTTlsSupport::fingerprint(configFile("server-cert.pem"));
    QCOMPARE(first.size(), 32 * 3 - 1);
    cleanup();
    const QString state = startWith(KTTlsSettings::Require);
    QVERIFY2(state.endsWith("Certificate SHA-256: " + first), qPrintable(state));
    QCOMPARE(KTTlsSupport::fingerprint(configFile("server-cert.pem")), first);
}

void TestServerDialog::unusableStoredCertificateKeepsServerStopped()
{
    KTTlsSettings broken;
    broken.mode = KTTlsSettings::Require;
    broken.certificate = dir.filePath("gone.pem");
    broken.key = dir.filePath("gone.key");
    broken.write(configFile("server.ini"));
    const QString state = startWith(KTTlsSettings::Require);
    QVERIFY2(state.startsWith("FTP server did not start."), qPrintable(state));
    QVERIFY2(state.contains("does not exist"), qPrintable(state));
    QVERIFY(!StartFTPDialog::server()->isListening());
    QVERIFY(!QFile::exists(broken.certificate));
}

QTEST_MAIN(TestServerDialog)
#include "tst_gui_serverdialog.moc"

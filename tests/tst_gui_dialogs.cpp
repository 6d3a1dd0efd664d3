// The name, rename, permission and certificate dialogs, the file-type icons and the queue's
// progress bar.
#include "app/qpenstyledelegate.h"
#include "dialogs/kchmoddlg.h"
#include "dialogs/ktcertificatedialog.h"
#include "dialogs/ktfileicon.h"
#include "dialogs/ktnewfolder.h"
#include "dialogs/renamedialog.h"
#include "engine/ftpclient.h"
#include "engine/ktdufile.h"
#include "settings/certificatetrust.h"
#include "support/testcertificates.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSslSocket>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void chmodDialog_data();
    void chmodDialog();
    void nameDialogs_data();
    void nameDialogs();
    void fileIconsAreCachedPerExtension();
    void fileIconPlaceholderStaysInItsOwnFolder_data();
    void fileIconPlaceholderStaysInItsOwnFolder();
    void progressBar_data();
    void progressBar();
    void certificateDialogAnswers_data();
    void certificateDialogAnswers();
};

void TestDialogs::certificateDialogAnswers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("storedForGood");
    QTest::addColumn<bool>("reconnects");

    QTest::newRow("Trust this certificate always") << int(KTCertificateDialog::TrustAlways) << true << true;
    QTest::newRow("Only this time") << int(KTCertificateDialog::OnlyThisTime) << false << true;
    QTest::newRow("Cancel") << int(KTCertificateDialog::Cancel) << false << false;
}

// Each button gives its answer, and the answer does to the engine's trust what it says.
void TestDialogs::certificateDialogAnswers()
{
    QFETCH(int, answer);
    QFETCH(bool, storedForGood);
    QFETCH(bool, reconnects);
    if (!QSslSocket::supportsSsl())
        QSKIP("Qt has no TLS here");
    QTemporaryDir folder;
    TestCertificates certificates;
    if (!certificates.make(folder.path()))
        QSKIP("openssl cannot make certificates here");
    const QSslCertificate& certificate = certificates.selfSigned;
    const QByteArray fingerprint = certificate.digest(QCryptographicHash::Sha256);

    KTCertificateDialog dialog(certificate, QStringLiteral("127.0.0.1"), 2121, QStringLiteral("self-signed"), false);
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    const bool fingerprintShown = std::any_of(labels.begin(), labels.end(), [&](const QLabel* label) {
        return label->text() == CertificateTrust::toText(fingerprint);
    });
    QVERIFY(fingerprintShown);
    QVERIFY(dialog.cancelButton()->isDefault());
    QPushButton* button = answer == KTCertificateDialog::TrustAlways ? dialog.alwaysButton()
        : answer == KTCertificateDialog::OnlyThisTime                ? dialog.onceButton()
                                                                     : dialog.cancelButton();
    dialog.show();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(int(dialog.answer()), answer);
    QCOMPARE(dialog.result(), answer == KTCertificateDialog::Cancel ? int(QDialog::Rejected) : int(QDialog::Accepted));

    FTPClient client;
    client.setTrustFolder(folder.path() + QStringLiteral("/settings"));
    client.hostName = QStringLiteral("127.0.0.1");
    client.portNumber = 2121;
    QCOMPARE(KTCertificateDialog::apply(&client, certificate, dialog.answer()), reconnects);
    QCOMPARE(client.certificateTrust().fingerprint(QStringLiteral("127.0.0.1"), 2121) == fingerprint, storedForGood);
    // Trusted always survives the engine: a new one reads it from the settings folder.
    CertificateTrust again(folder.path() + QStringLiteral("/settings"));
    QCOMPARE(again.fingerprint(QStringLiteral("127.0.0.1"), 2121) == fingerprint, storedForGood);
}

void TestDialogs::chmodDialog_data()
{
    QTest::addColumn<QString>("permissions");
    QTest::addColumn<QStringList>("alsoTick");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("applyTo");
    QTest::newRow("file rw-r--r--") << "-rw-r--r--" << QStringList() << 0 << "0644" << 1;
    QTest::newRow("nine characters tick nothing") << "rwxrwxrwx" << QStringList() << 0 << "0000" << 1;
    QTest::newRow("eleven characters tick nothing") << "drwxrwxrwx+" << QStringList() << 0 << "0000" << 1;
    QTest::newRow("owner box is the set-user-id bit") << "drwxr-xr-x" << QStringList{"Owner"} << 0 << "4755" << 1;
    QTest::newRow("all special bits") << "drwxr-xr-x" << QStringList{"Owner", "Group", "Public"} << 0 << "7755" << 1;
    QTest::newRow("odd letters leave boxes alone") << "-r-Sr-Tr-x" << QStringList() << 1 << "0445" << 2;
    QTest::newRow("folders only") << "d---------" << QStringList{"PublicExecute"} << 2 << "0001" << 3;
    QTest::newRow("cancel leaves nothing") << "-rwxrwxrwx" << QStringList() << 0 << "" << 0;
}

void TestDialogs::chmodDialog()
{
    QFETCH(QString, permissions);
    QFETCH(QStringList, alsoTick);
    QFETCH(int, scope);
    QFETCH(QString, mode);
    QFETCH(int, applyTo);
    KChmodDlg dialog;
    dialog.setPermissions(permissions);
    for (const QString& box : alsoTick)
        dialog.findChild<QCheckBox*>(box)->setChecked(true);
    dialog.findChild<QComboBox*>(QStringLiteral("ChildOption"))->setCurrentIndex(scope);
    dialog.findChild<QPushButton*>(mode.isEmpty() ? QStringLiteral("Cancel") : QStringLiteral("Change"))->click();
    QCOMPARE(dialog.mode, mode);
    QCOMPARE(dialog.applyTo, applyTo);
}

void TestDialogs::nameDialogs_data()
{
    QTest::addColumn<bool>("rename");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name");
    QTest::newRow("folder with blanks kept") << false << "  new folder " << "Ok" << "  new folder ";
    QTest::newRow("folder empty is like cancel") << false << "" << "Ok" << "";
    QTest::newRow("folder cancelled") << false << "x" << "Cancel" << "";
    QTest::newRow("rename untouched gives the old name") << true << QString() << "Ok" << "old.txt";
    QTest::newRow("rename typed") << true << "new.txt" << "Ok" << "new.txt";
    QTest::newRow("rename cancelled") << true << "new.txt" << "Cancel" << "";
}

void TestDialogs::nameDialogs()
{
    QFETCH(bool, rename);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, name);
    KTNewFolder folder;
    RenameDialog renamer;
    QDialog* dialog = rename ? static_cast<QDialog*>(&renamer) : &folder;
    QCOMPARE(dialog->windowTitle(), rename ? QStringLiteral("Rename Dialog") : QStringLiteral("New Folder"));
    QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("Ok"))->text(), rename ? QStringLiteral("Ok") : QStringLiteral("Create"));
    if (rename)
        renamer.setName(QStringLiteral("old.txt"));
    if (!typed.isNull())
        dialog->findChild<QLineEdit*>()->setText(typed);
    dialog->findChild<QPushButton*>(button)->click();
    QCOMPARE(rename ? renamer.name : folder.name, name);
}

void TestDialogs::fileIconsAreCachedPerExtension()
{
    KTFileIcon icons;
    QIcon* txt = icons.iconFor(QStringLiteral("txt"));
    QCOMPARE(icons.iconFor(QStringLiteral("txt")), txt);
    QVERIFY(icons.iconFor(QStringLiteral("TXT")) != txt);
    icons.iconFor(QString());
    QCOMPARE(icons.icons.keys(), (QStringList{QString(), "TXT", "txt"}));
}

void TestDialogs::fileIconPlaceholderStaysInItsOwnFolder_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("key");
    QTest::newRow("plain") << "pdf" << "pdf";
    QTest::newRow("slash climbs out") << "x/../../escaped" << "";
    QTest::newRow("backslash") << "a\\b" << "";
    QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << "";
}

void TestDialogs::fileIconPlaceholderStaysInItsOwnFolder()
{
    QFETCH(QString, extension);
    QFETCH(QString, key);
    QString placeholder;
    {
        KTFileIcon icons;
        placeholder = icons.placeholderPath();
        QVERIFY(QFileInfo(placeholder).absolutePath() != QDir::currentPath());
        icons.iconFor(extension);
        QCOMPARE(icons.icons.keys(), QStringList{key});
        QCOMPARE(QFileInfo(placeholder).size(), 1024);
        QCOMPARE(QDir(QFileInfo(placeholder).absolutePath()).entryList(QDir::Files), QStringList{"kt_temp_icon.tmp"});
        QVERIFY(!QFileInfo::exists(QStringLiteral("kt_temp_icon.tmp")));
    }
    QVERIFY(!QFileInfo::exists(placeholder));
}

void TestDialogs::progressBar_data()
{
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("filledWidth");
    QTest::addColumn<int>("state");
    const int running = KTDUFile::Downloading;
    // A 200 pixel cell leaves a 190 pixel bar.
    QTest::newRow("0 %") << qint64(0) << qint64(1024) << 0 << running;
    QTest::newRow("50 %") << qint64(512) << qint64(1024) << 95 << running;
    QTest::newRow("100 % for an empty file") << qint64(0) << qint64(0) << 190 << running;
    QTest::newRow("waiting, size not known yet") << qint64(0) << qint64(0) << 0 << int(KTDUFile::Undownload);
    QTest::newRow("failed before its size was known") << qint64(0) << qint64(0) << 0 << int(KTDUFile::DownloadError);
}

void TestDialogs::progressBar()
{
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(int, filledWidth);
    QFETCH(int, state);
    KTDUFile record;
    record.doneSize = done;
    record.fileSize = total;
    record.stateCode = state;
    QStandardItemModel model(1, 5);
    model.setData(model.index(0, 4), QVariant::fromValue(static_cast<void*>(&record)), Qt::UserRole);
    QPenStyleDelegate delegate;
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 200, 40);
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 4));
    }
    const QColor fill(0, 124, 249);
    int filled = 0;
    for (int x = 0; x < image.width(); ++x)
        filled += QColor(image.pixel(x, 20)) == fill ? 1 : 0;
    QCOMPARE(filled, filledWidth);
    if (filledWidth > 0)
        QCOMPARE(QColor(image.pixel(5, 20)), fill);
    // A finished record draws no bar at all.
    record.stateCode = KTDUFile::Finish;
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 4));
    }
    QCOMPARE(QColor(image.pixel(100, 20)), QColor(Qt::white));
}

QTEST_MAIN(TestDialogs)
#include "tst_gui_dialogs.moc"

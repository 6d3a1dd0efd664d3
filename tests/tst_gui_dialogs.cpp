// The permission and certificate dialogs, the file-type icons, the queue's progress
// bar, and the images and help pages shipped with the program.
#include "app/qpenstyledelegate.h"
#include "dialogs/kchmoddlg.h"
#include "dialogs/ktcertificatedialog.h"
#include "dialogs/ktfileicon.h"
#include "engine/ftpclient.h"
#include "engine/ktdufile.h"
#include "settings/certificatetrust.h"
#include "support/testcertificates.h"
#include "support/widgetdriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QPainter>
#include <QRegularExpression>
#include <QSslSocket>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void chmodDialog_data()
    {
        QTest::addColumn<QString>("permissions");
        QTest::addColumn<QStringList>("alsoTick");
        QTest::addColumn<int>("scope");
        QTest::addColumn<QString>("mode");  // none: Cancel
        QTest::addColumn<int>("applyTo");
        QTest::newRow("file rw-r--r--") << "-rw-r--r--" << QStringList() << 0 << "0644" << 1;
        QTest::newRow("nine characters tick nothing") << "rwxrwxrwx" << QStringList() << 0 << "0000" << 1;
        QTest::newRow("eleven characters tick nothing") << "drwxrwxrwx+" << QStringList() << 0 << "0000" << 1;
        QTest::newRow("owner box is the set-user-id bit") << "drwxr-xr-x" << QStringList{"Owner"} << 0 << "4755" << 1;
        QTest::newRow("odd letters leave boxes alone") << "-r-Sr-Tr-x" << QStringList() << 1 << "0445" << 2;
        QTest::newRow("folders only") << "d---------" << QStringList{"PublicExecute"} << 2 << "0001" << 3;
        QTest::newRow("cancel leaves nothing") << "-rwxrwxrwx" << QStringList() << 0 << "" << 0;
    }

    void chmodDialog()
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
        child<QComboBox>(&dialog, "ChildOption")->setCurrentIndex(scope);
        click(&dialog, mode.isEmpty() ? "Cancel" : "Change");
        QCOMPARE(dialog.mode, mode);
        QCOMPARE(dialog.applyTo, applyTo);
    }

    // Icons are cached per extension, case and all; the placeholder file they are read through
    // stays in a folder of its own whatever the extension holds, and goes with the cache.
    void fileIconPlaceholderStaysInItsOwnFolder_data()
    {
        QTest::addColumn<QStringList>("extensions");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("plain, cached per case") << QStringList{"txt", "TXT", "txt", ""} << QStringList{"", "TXT", "txt"};
        QTest::newRow("slash climbs out") << QStringList{"x/../../escaped"} << QStringList{""};
        QTest::newRow("backslash") << QStringList{"a\\b"} << QStringList{""};
        QTest::newRow("nul") << QStringList{QStringLiteral("a") + QChar(0) + QStringLiteral("b")} << QStringList{""};
    }

    void fileIconPlaceholderStaysInItsOwnFolder()
    {
        QFETCH(QStringList, extensions);
        QFETCH(QStringList, keys);
        QString placeholder;
        {
            KTFileIcon icons;
            placeholder = icons.placeholderPath();
            QVERIFY(QFileInfo(placeholder).absolutePath() != QDir::currentPath());
            QIcon* first = icons.iconFor(extensions.first());
            for (const QString& extension : extensions)
                QCOMPARE(icons.iconFor(extension) == first, extension == extensions.first());
            QCOMPARE(icons.icons.keys(), keys);
            QCOMPARE(QFileInfo(placeholder).size(), 1024);
            QCOMPARE(QDir(QFileInfo(placeholder).absolutePath()).entryList(QDir::Files), QStringList{"kt_temp_icon.tmp"});
            QVERIFY(!QFileInfo::exists(QStringLiteral("kt_temp_icon.tmp")));
        }
        QVERIFY(!QFileInfo::exists(placeholder));
    }

    void progressBar_data()
    {
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("filledWidth");  // of the 190 pixel bar in a 200 pixel cell
        // A bar that is not known to be done is empty; an empty file is done at once.
        const int running = KTDUFile::Downloading;
        QTest::newRow("50 %") << qint64(512) << qint64(1024) << running << 95;
        QTest::newRow("100 % for an empty file") << qint64(0) << qint64(0) << running << 190;
        QTest::newRow("waiting, size not known yet") << qint64(0) << qint64(0) << int(KTDUFile::Undownload) << 0;
        QTest::newRow("failed before its size was known") << qint64(0) << qint64(0) << int(KTDUFile::DownloadError) << 0;
        QTest::newRow("finished draws no bar at all") << qint64(1024) << qint64(1024) << int(KTDUFile::Finish) << 0;
    }

    void progressBar()
    {
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QFETCH(int, state);
        QFETCH(int, filledWidth);
        KTDUFile record;
        record.doneSize = done;
        record.fileSize = total;
        record.stateCode = state;
        QStandardItemModel model(1, 5);
        model.setData(model.index(0, 4), QVariant::fromValue(static_cast<void*>(&record)), Qt::UserRole);
        QImage image(200, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        QPainter painter(&image);
        QPenStyleDelegate().paint(&painter, option, model.index(0, 4));
        painter.end();
        int filled = 0;
        for (int x = 0; x < image.width(); ++x)
            filled += QColor(image.pixel(x, 20)) == QColor(0, 124, 249) ? 1 : 0;
        QCOMPARE(filled, filledWidth);
        if (state == KTDUFile::Finish)
            QCOMPARE(QColor(image.pixel(100, 20)), QColor(Qt::white));
    }

    // Each button gives its answer, and the answer does to the engine's trust what it says.
    void certificateDialogAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("storedForGood");
        QTest::addColumn<bool>("reconnects");
        QTest::newRow("Trust this certificate always") << int(KTCertificateDialog::TrustAlways) << true << true;
        QTest::newRow("Only this time") << int(KTCertificateDialog::OnlyThisTime) << false << true;
        QTest::newRow("Cancel") << int(KTCertificateDialog::Cancel) << false << false;
    }

    void certificateDialogAnswers()
    {
        QFETCH(int, answer);
        QFETCH(bool, storedForGood);
        QFETCH(bool, reconnects);
        QTemporaryDir folder;
        TestCertificates certificates;
        if (!QSslSocket::supportsSsl() || !certificates.make(folder.path()))
            QSKIP("no TLS or openssl here");
        const QSslCertificate& certificate = certificates.selfSigned;
        const QByteArray fingerprint = certificate.digest(QCryptographicHash::Sha256);
        KTCertificateDialog dialog(certificate, QStringLiteral("127.0.0.1"), 2121, QStringLiteral("self-signed"), false);
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            labels.append(label->text());
        QVERIFY(labels.contains(CertificateTrust::toText(fingerprint)));
        QVERIFY(dialog.cancelButton()->isDefault());
        dialog.show();
        QTest::mouseClick(answer == KTCertificateDialog::TrustAlways    ? dialog.alwaysButton()
                              : answer == KTCertificateDialog::OnlyThisTime ? dialog.onceButton()
                                                                            : dialog.cancelButton(),
                          Qt::LeftButton);
        QCOMPARE(int(dialog.answer()), answer);
        QCOMPARE(dialog.result(), int(answer == KTCertificateDialog::Cancel ? QDialog::Rejected : QDialog::Accepted));

        FTPClient client;
        const QString settings = folder.filePath(QStringLiteral("settings"));
        client.setTrustFolder(settings);
        client.hostName = QStringLiteral("127.0.0.1");
        client.portNumber = 2121;
        QCOMPARE(KTCertificateDialog::apply(&client, certificate, dialog.answer()), reconnects);
        QCOMPARE(client.certificateTrust().fingerprint(QStringLiteral("127.0.0.1"), 2121) == fingerprint, storedForGood);
        // Trusted always survives the engine: a new one reads it from the settings folder.
        QCOMPARE(CertificateTrust(settings).fingerprint(QStringLiteral("127.0.0.1"), 2121) == fingerprint, storedForGood);
    }

    // Every image of the sources is compiled in, and reached both as style sheets name it
    // ("://image/x.png") and as code does (":/image/x.png").
    void everyImageFileIsCompiledIn()
    {
        const QDir sources(qEnvironmentVariable("TORVEX_SOURCE_DIR") + "/resources/image");
        const QStringList files = sources.entryList({"*.png"}, QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        QStringList compiled;
        for (QDirIterator it(":/image"); it.hasNext();)
            compiled << QFileInfo(it.next()).fileName();
        compiled.sort();
        QCOMPARE(compiled, files);
        for (const QString& file : files)
            QVERIFY2(!QPixmap("://image/" + file).isNull() && !QPixmap(":/image/" + file).isNull(), qPrintable(file));
    }

    void helpPageIsSelfContained_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "index.html" << "en";
        QTest::newRow("Chinese") << "index_zh.html" << "zh";
    }

    void helpPageIsSelfContained()
    {
        QFETCH(QString, page);
        QFETCH(QString, language);
        // Where the build puts the pages: <build>/share/torvex/help, beside <build>/app.
        const QDir help(qEnvironmentVariable("TORVEX_BINARY_DIR") + "/share/torvex/help");
        QFile file(help.filePath(page));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(QString("<html lang=\"%1").arg(language)));
        QVERIFY(!html.contains("<script", Qt::CaseInsensitive));
        // Every picture, sheet and link points into the shipped folder: nothing remote, nothing missing.
        const QRegularExpression reference("(?:src|href)=\"([^\"#]*)[^\"]*\"");
        int references = 0;
        for (auto match = reference.globalMatch(html); match.hasNext();) {
            const QString target = match.next().captured(1);
            references += target.isEmpty() ? 0 : 1;
            QVERIFY2(!target.contains(':') && !target.startsWith('/'), qPrintable(target));
            QVERIFY2(target.isEmpty() || QFile::exists(help.filePath(target)), qPrintable(target));
        }
        QVERIFY(references > 20);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_gui_dialogs.moc"

// The nine languages: the compiled translations, switching at run time, the language dialog,
// the update notice, and the screenshots of the window in each language.
#include "app/maidialog.h"
#include "common/webservice.h"
#include "dialogs/klanguagedialog.h"
#include "dialogs/versioncheck.h"
#include "settings/fbdata.h"
#include "settings/serverinfo.h"
#include "support/httpstub.h"
#include "support/serverprobe.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>
#include <QTreeWidget>
#include <QtTest>

namespace {

const char* const languageNames[] = {"English", "Chinese", "French",  "German", "Italian",
                                     "Japanese", "Korean", "Russian", "Spanish"};

} // namespace

class TestLanguages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everyTranslationLoads_data();
    void everyTranslationLoads();
    void everyTextOfTheCodeIsTranslated();
    void switchingRetranslatesWindowAndMenus_data();
    void switchingRetranslatesWindowAndMenus();
    void indexOutsideTheTableChangesNothing_data();
    void indexOutsideTheTableChangesNothing();
    void languageDialogOkAndCancel_data();
    void languageDialogOkAndCancel();
    void stateLabelsStayTrueAfterASwitch();
    void forcedUpdateSavesTheSettingsFirst_data();
    void forcedUpdateSavesTheSettingsFirst();
    void screenshots();

private:
    QString label(const char* name) const { return window->findChild<QLabel*>(QLatin1String(name))->text(); }
    QStringList menuTexts() const;

    QTemporaryDir home;
    MaiDialog* window = nullptr;
};

void TestLanguages::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    MaiDialog::messageRunner = [](QWidget*, const QString&, bool) { return int(QMessageBox::No); };
}

void TestLanguages::init()
{
    MaiDialog::dialogRunner = nullptr;
    window = new MaiDialog;
    window->show();
}

void TestLanguages::cleanup()
{
    delete window;
    window = nullptr;
    setServiceBase(QString());
}

QStringList TestLanguages::menuTexts() const
{
    QStringList texts;
    for (const QAction* action : window->findChildren<QAction*>())
        texts.append(action->text());
    return texts;
}

void TestLanguages::everyTranslationLoads_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("language");
    const QStringList words = {QStringLiteral("Language"), QStringLiteral("语言"),
                               QStringLiteral("Langue"),   QStringLiteral("Sprache"),
                               QStringLiteral("Lingua"),   QStringLiteral("言語"),
                               QStringLiteral("언어"),     QStringLiteral("Язык"),
                               QStringLiteral("Idioma")};
    for (int i = 0; i < 9; ++i)
        QTest::newRow(languageNames[i]) << QStringLiteral("://ml/%1.qm").arg(QLatin1String(languageNames[i]))
                                        << words.at(i);
}

void TestLanguages::everyTranslationLoads()
{
    QFETCH(QString, file);
    QFETCH(QString, language);
    QTranslator translator;
    QVERIFY(translator.load(file, QString(), QString(), QString()));
    QCOMPARE(translator.translate("MaiDialog", "Language"), language);
}

// Fails when the code holds a text that the translation files lack, or they one it dropped.
void TestLanguages::everyTextOfTheCodeIsTranslated()
{
    const QString source = qEnvironmentVariable("TORVEX_SOURCE_DIR");
    if (source.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("lupdate")).isEmpty())
        QSKIP("needs TORVEX_SOURCE_DIR and lupdate");
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(QStringLiteral("bash"),
                {QDir(source).filePath(QStringLiteral("scripts/update-translations.sh")),
                 QStringLiteral("--check")});
    QVERIFY(check.waitForFinished(120000));
    QVERIFY2(check.exitCode() == 0, check.readAll().constData());
}

void TestLanguages::switchingRetranslatesWindowAndMenus_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("sites");
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("rename");
    QTest::newRow("English") << 0 << "Sites" << "Help" << "Rename";
    QTest::newRow("Chinese") << 1 << "站点" << "帮助" << "重命名";
    QTest::newRow("French") << 2 << "Sites" << "Aide" << "Renommer";
    QTest::newRow("German") << 3 << "Sites" << "Hilfe" << "Umbenennen";
    QTest::newRow("Italian") << 4 << "Siti" << "Aiuto" << "Rinomina";
    QTest::newRow("Japanese") << 5 << "サイト" << "ヘルプ" << "名前の変更";
    QTest::newRow("Korean") << 6 << "사이트" << "도움말" << "이름 바꾸기";
    QTest::newRow("Russian") << 7 << "Сайты" << "Справка" << "Переименовать";
    QTest::newRow("Spanish") << 8 << "Sitios" << "Ayuda" << "Renombrar";
}

void TestLanguages::switchingRetranslatesWindowAndMenus()
{
    QFETCH(int, index);
    QFETCH(QString, sites);
    QFETCH(QString, help);
    QFETCH(QString, rename);
    // From another language first, so that each row really switches.
    window->setLanguage(index == 7 ? 5 : 7);
    window->setLanguage(index);
    QCOMPARE(languageIndex, index);
    QCOMPARE(label("SitesLabel"), sites);
    QCOMPARE(label("HelpLabel"), help);
    QCOMPARE(window->windowTitle(), QCoreApplication::translate("MaiDialog", "FTP Torvex"));
    QCOMPARE(window->windowTitle(), QStringLiteral("FTP Torvex"));
    QVERIFY(menuTexts().contains(rename));
    auto* files = window->findChild<QTreeWidget*>(QStringLiteral("LeftFiles"));
    QCOMPARE(files->headerItem()->text(0), QCoreApplication::translate("MaiDialog", "Name"));
    // The delete log's path column keeps its English header.
    auto* log = window->findChild<QTreeWidget*>(QStringLiteral("DeleteLog"));
    QCOMPARE(log->headerItem()->text(0), QStringLiteral("File Path"));
    QCOMPARE(log->headerItem()->text(1), QCoreApplication::translate("MaiDialog", "State"));
    // A dialog opened afterwards speaks the same language.
    KLanguageDialog dialog;
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->text(),
             QCoreApplication::translate("KLanguageDialog", "Cancel"));
}

void TestLanguages::indexOutsideTheTableChangesNothing_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("9") << 9;
    QTest::newRow("1000") << 1000;
}

void TestLanguages::indexOutsideTheTableChangesNothing()
{
    QFETCH(int, index);
    window->setLanguage(3);
    window->setLanguage(index);
    QCOMPARE(languageIndex, 3);
    QCOMPARE(label("LanguageLabel"), QStringLiteral("Sprache"));
}

void TestLanguages::languageDialogOkAndCancel_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("language");
    QTest::newRow("Ok") << "OkButton" << 5;
    QTest::newRow("Cancel") << "CancelButton" << 2;
    QTest::newRow("title bar") << QString() << 2;
}

void TestLanguages::languageDialogOkAndCancel()
{
    QFETCH(QString, button);
    QFETCH(int, language);
    window->setLanguage(2);
    QStringList offered;
    MaiDialog::dialogRunner = [&](QDialog* dialog) {
        auto* list = dialog->findChild<QComboBox*>(QStringLiteral("LanguageComboBox"));
        QCOMPARE(list->currentIndex(), 0);
        for (int i = 0; i < list->count(); ++i)
            offered.append(list->itemText(i));
        list->setCurrentIndex(5);
        if (button.isEmpty())
            dialog->close();
        else
            dialog->findChild<QPushButton*>(button)->click();
    };
    window->findChild<QPushButton*>(QStringLiteral("LanguageButton"))->click();
    QCOMPARE(offered.size(), 9);
    QCOMPARE(offered.first(), QStringLiteral("Anglais"));
    QCOMPARE(offered.at(5), QStringLiteral("Japonais"));
    QCOMPARE(languageIndex, language);
}

// A switch while logged in must not make the Connect button offer to connect: a click on it
// disconnects.
void TestLanguages::stateLabelsStayTrueAfterASwitch()
{
    window->setLanguage(3);
    QCOMPARE(label("ConnectLable"), QStringLiteral("Verbinden"));
    QCOMPARE(label("StopLabel"), QStringLiteral("Stopp"));
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("RightTreeShow"))->text(),
             QStringLiteral("T"));

    ServerFixture server;
    server.addUser(QStringLiteral("tester"), QStringLiteral("secret"));
    QVERIFY(server.start());
    auto* store = window->findChild<FBData*>();
    auto* site = new ServerInfo(store);
    site->ip = QStringLiteral("127.0.0.1");
    site->port = server.port();
    site->userName = QStringLiteral("tester");
    site->password = QStringLiteral("secret");
    site->clientPath = home.path();
    site->serverPath = QStringLiteral("/");
    site->select = true;
    store->sites.insert(site->id, site);
    window->on_Connect_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(label("ConnectLable"), QStringLiteral("Trennen"), 10000);
    window->setLanguage(6);
    QCOMPARE(label("ConnectLable"), QStringLiteral("연결 끊기"));
    QCOMPARE(label("OPInfo"), QString());
    window->on_Connect_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(label("ConnectLable"), QStringLiteral("연결"), 10000);
}

void TestLanguages::forcedUpdateSavesTheSettingsFirst_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("ends");
    QTest::newRow("optional, No") << QByteArray("2|http://127.0.0.1/get|ok|x") << false << false;
    QTest::newRow("optional, Yes") << QByteArray("2|http://127.0.0.1/get|ok|x") << true << true;
    QTest::newRow("forced, No") << QByteArray("2|http://127.0.0.1/get|OK|x") << false << true;
    QTest::newRow("no notice") << QByteArray("nothing new") << true << false;
}

void TestLanguages::forcedUpdateSavesTheSettingsFirst()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, yes);
    QFETCH(bool, ends);
    HttpStub stub;
    QVERIFY(stub.start());
    stub.body = reply;
    setServiceBase(stub.base());
    auto* store = window->findChild<FBData*>();
    auto* site = new ServerInfo(store);
    site->serverName = QStringLiteral("added in this run");
    store->sites.insert(site->id, site);
    QFile::remove(store->filePath(QStringLiteral("servers.ini")));
    QStringList asked;
    QStringList opened;
    bool ended = false;
    bool savedWhenEnded = false;
    VersionCheckHooks saved = versionCheckHooks();
    versionCheckHooks() = {[&](const QString& text) { asked.append(text); return yes; },
                           [&](const QString& page) { opened.append(page); },
                           [&] {
                               ended = true;
                               QSettings ini(store->filePath(QStringLiteral("servers.ini")),
                                             QSettings::IniFormat);
                               savedWhenEnded = ini.allKeys().join(QLatin1Char(' ')).size() > 0
                                   && QFile(ini.fileName()).size() > 0;
                           }};
    checkVersion();
    versionCheckHooks() = saved;
    QCOMPARE(ended, ends);
    QCOMPARE(savedWhenEnded, ends);
    QCOMPARE(asked.size(), reply.count('|') == 3 ? 1 : 0);
    QCOMPARE(opened.size(), yes && ends ? 1 : 0);
}

// Not a check: remakes docs/screenshots/ when TORVEX_SCREENSHOT_DIR is set
// (scripts/make-screenshots.sh).
void TestLanguages::screenshots()
{
    const QString folder = qEnvironmentVariable("TORVEX_SCREENSHOT_DIR");
    if (folder.isEmpty())
        QSKIP("TORVEX_SCREENSHOT_DIR not set");
    QVERIFY(QDir().mkpath(folder));
    window->resize(1202, 739);
    for (int index = 0; index < 9; ++index) {
        window->setLanguage(index);
        window->showConnectState(false);
        QCoreApplication::processEvents();
        const QString file = QDir(folder).filePath(QLatin1String(languageNames[index]) + QLatin1String(".png"));
        QVERIFY(window->grab().save(file));
    }
}

QTEST_MAIN(TestLanguages)
#include "tst_gui_languages.moc"

// The nine languages: switching, complete translations, the update notice, the screenshots.
#include "app/maidialog.h"
#include "common/webservice.h"
#include "dialogs/klanguagedialog.h"
#include "dialogs/versioncheck.h"
#include "support/httpstub.h"
#include "support/widgetdriver.h"

#include <QAction>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QtTest>

class TestLanguages : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    MaiDialog* window = nullptr;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        MaiDialog::messageRunner = [](QWidget*, const QString&, bool) { return int(QMessageBox::No); };
    }

    void init()
    {
        MaiDialog::dialogRunner = nullptr;
        window = new MaiDialog;
        window->show();
    }

    void cleanup()
    {
        delete window;
        window = nullptr;
        setServiceBase(QString());
    }

    void switchingRetranslatesWindowAndMenus_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("texts");  // the Language and Help labels, a menu entry
        QTest::newRow("English") << 0 << QStringList{"Language", "Help", "Rename"};
        QTest::newRow("Chinese") << 1 << QStringList{"语言", "帮助", "重命名"};
        QTest::newRow("French") << 2 << QStringList{"Langue", "Aide", "Renommer"};
        QTest::newRow("German") << 3 << QStringList{"Sprache", "Hilfe", "Umbenennen"};
        QTest::newRow("Italian") << 4 << QStringList{"Lingua", "Aiuto", "Rinomina"};
        QTest::newRow("Japanese") << 5 << QStringList{"言語", "ヘルプ", "名前の変更"};
        QTest::newRow("Korean") << 6 << QStringList{"언어", "도움말", "이름 바꾸기"};
        QTest::newRow("Russian") << 7 << QStringList{"Язык", "Справка", "Переименовать"};
        QTest::newRow("Spanish") << 8 << QStringList{"Idioma", "Ayuda", "Renombrar"};
    }

    void switchingRetranslatesWindowAndMenus()
    {
        QFETCH(int, index);
        QFETCH(QStringList, texts);
        // From another language first, so that each row really switches.
        window->setLanguage(index == 7 ? 5 : 7);
        window->setLanguage(index);
        QCOMPARE(languageIndex, index);
        QCOMPARE(QStringList({text(window, "LanguageLabel"), text(window, "HelpLabel")}), texts.mid(0, 2));
        QStringList menus;
        for (const QAction* action : window->findChildren<QAction*>())
            menus.append(action->text());
        QVERIFY(menus.contains(texts.at(2)));
        // A dialog opened afterwards speaks the same language.
        KLanguageDialog dialog;
        QCOMPARE(child<QPushButton>(&dialog, "CancelButton")->text(),
                 QCoreApplication::translate("KLanguageDialog", "Cancel"));
        // An index outside the table changes nothing.
        for (const int wrong : {-1, 9, 1000})
            window->setLanguage(wrong);
        QCOMPARE(languageIndex, index);
        QCOMPARE(text(window, "LanguageLabel"), texts.first());
    }

    // Fails when the code holds a text that the translation files lack, or they one it dropped.
    void everyTextOfTheCodeIsTranslated()
    {
        const QString source = qEnvironmentVariable("TORVEX_SOURCE_DIR");
        if (source.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("lupdate")).isEmpty())
            QSKIP("needs TORVEX_SOURCE_DIR and lupdate");
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(QStringLiteral("bash"), {source + QStringLiteral("/scripts/update-translations.sh"),
                                             QStringLiteral("--check")});
        QVERIFY(check.waitForFinished(120000));
        QVERIFY2(check.exitCode() == 0, check.readAll().constData());
    }

    void forcedUpdateSavesTheSettingsFirst_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("events");  // what the check did, in order
        const QByteArray optional("2|http://127.0.0.1/get|ok|x");
        const QString ended("ended with the sites saved");
        QTest::newRow("optional, No") << optional << false << QStringList{"asked"};
        QTest::newRow("optional, Yes") << optional << true << QStringList{"asked", "opened", ended};
        QTest::newRow("forced, No") << QByteArray("2|http://127.0.0.1/get|OK|x") << false << QStringList{"asked", ended};
        QTest::newRow("no notice") << QByteArray("nothing new") << true << QStringList();
    }

    void forcedUpdateSavesTheSettingsFirst()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, yes);
        QFETCH(QStringList, events);
        HttpStub stub;
        QVERIFY(stub.start());
        stub.body = reply;
        setServiceBase(stub.base());
        auto* store = window->findChild<FBData*>();
        addLoopbackSite(store, 21, QString());
        const QString sites = store->filePath(QStringLiteral("servers.ini"));
        QFile::remove(sites);
        QStringList done;
        const VersionCheckHooks saved = versionCheckHooks();
        versionCheckHooks().ask = [&](const QString&) {
            done.append(QStringLiteral("asked"));
            return yes;
        };
        versionCheckHooks().openPage = [&](const QString&) { done.append(QStringLiteral("opened")); };
        versionCheckHooks().endProgram = [&] {
            const bool kept = !QSettings(sites, QSettings::IniFormat).allKeys().isEmpty();
            done.append(kept ? "ended with the sites saved" : "ended, the sites lost");
        };
        checkVersion();
        versionCheckHooks() = saved;
        QCOMPARE(done, events);
    }

    // Not a check: remakes docs/screenshots/ when TORVEX_SCREENSHOT_DIR is set (make-screenshots.sh).
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("TORVEX_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("TORVEX_SCREENSHOT_DIR not set");
        QVERIFY(QDir().mkpath(folder));
        const char* const languageNames[] = {"English", "Chinese", "French",  "German", "Italian",
                                             "Japanese", "Korean", "Russian", "Spanish"};
        window->resize(1202, 739);
        for (int index = 0; index < 9; ++index) {
            window->setLanguage(index);
            window->showConnectState(false);
            QCoreApplication::processEvents();
            QVERIFY(window->grab().save(QDir(folder).filePath(QLatin1String(languageNames[index]) + ".png")));
        }
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_gui_languages.moc"

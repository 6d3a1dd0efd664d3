// Not a check (tst_gui_window checks the languages): draws the main window in each of the nine
// languages into TORVEX_SCREENSHOT_DIR, for docs/screenshots/ (make-screenshots.sh).
#include "app/maidialog.h"

#include <QMessageBox>
#include <QtTest>

class TestLanguages : public QObject
{
    Q_OBJECT

private slots:
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("TORVEX_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("TORVEX_SCREENSHOT_DIR not set");
        MaiDialog::messageRunner = [](QWidget*, const QString&, bool) { return int(QMessageBox::No); };
        const char* const languageNames[] = {"English", "Chinese", "French",  "German", "Italian",
                                             "Japanese", "Korean", "Russian", "Spanish"};
        MaiDialog window;
        window.show();
        window.resize(1202, 739);
        for (int index = 0; index < 9; ++index) {
            window.setLanguage(index);
            window.showConnectState(false);
            QCoreApplication::processEvents();
            QVERIFY(window.grab().save(folder + '/' + languageNames[index] + ".png"));
        }
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_gui_languages.moc"

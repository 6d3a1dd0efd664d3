#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QtTest>

// The images the window and its dialogs refer to, and the help pages shipped beside the program.
class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void imageLoadsAtItsSize_data();
    void imageLoadsAtItsSize();
    void buttonStatesLookDifferent_data();
    void buttonStatesLookDifferent();
    void everyImageFileIsCompiledIn();
    void helpPageIsSelfContained_data();
    void helpPageIsSelfContained();
};

// ctest passes the source and build folders; run by hand, set them the same way.
static QString folderFromEnvironment(const char* variable)
{
    const QString folder = qEnvironmentVariable(variable);
    if (folder.isEmpty())
        qWarning("%s is not set: run this test through ctest", variable);
    return folder;
}

static const char* const toolStems[] = {"sites", "connect", "diconnect", "download", "upload",
                                        "stopall", "restart", "left", "right", "bottom",
                                        "swap", "command", "server", "language", "help"};

void TestResources::imageLoadsAtItsSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const char* stem : toolStems) {
        for (const char* state : {"_normal", "_up", "_down"}) {
            const QString name = QString(stem) + state;
            QTest::newRow(qPrintable(name)) << name << QSize(50, 50);
        }
    }
    for (const char* name : {"LocalIcon_normal", "LocalIcon_Down", "NetIcon_Normal", "NetIcon_Down",
                             "DirTree_normal", "DirTree_down"})
        QTest::newRow(name) << QString(name) << QSize(22, 22);
    for (const char* name : {"run_normal", "run_down", "stop_normal", "stop_down"})
        QTest::newRow(name) << QString(name) << QSize(18, 18);
    QTest::newRow("folder_icon") << QString("folder_icon") << QSize(16, 16);
    QTest::newRow("logo_64x64") << QString("logo_64x64") << QSize(64, 64);
}

void TestResources::imageLoadsAtItsSize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    // Style sheets say "://image/x.png", code says ":/image/x.png": both must reach the image.
    for (const QString& prefix : {QStringLiteral(":/image/"), QStringLiteral("://image/")}) {
        const QPixmap pixmap(prefix + name + ".png");
        QVERIFY2(!pixmap.isNull(), qPrintable(prefix + name));
        QCOMPARE(pixmap.size(), size);
    }
}

void TestResources::buttonStatesLookDifferent_data()
{
    QTest::addColumn<QString>("stem");
    for (const char* stem : toolStems)
        QTest::newRow(stem) << QString(stem);
}

void TestResources::buttonStatesLookDifferent()
{
    QFETCH(QString, stem);
    const QImage normal(":/image/" + stem + "_normal.png");
    const QImage hover(":/image/" + stem + "_up.png");
    const QImage pressed(":/image/" + stem + "_down.png");
    QVERIFY(normal != hover && hover != pressed && normal != pressed);
    // The button has no background of its own: the resting image lets the window show through.
    QCOMPARE(qAlpha(normal.convertToFormat(QImage::Format_ARGB32).pixel(0, 0)), 0);
}

void TestResources::everyImageFileIsCompiledIn()
{
    const QDir sources(folderFromEnvironment("TORVEX_SOURCE_DIR") + "/resources/image");
    const QStringList files = sources.entryList({"*.png"}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    QStringList compiled;
    for (QDirIterator it(":/image"); it.hasNext();)
        compiled << QFileInfo(it.next()).fileName();
    compiled.sort();
    QCOMPARE(compiled, files);
}

void TestResources::helpPageIsSelfContained_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "index.html" << "en";
    QTest::newRow("Chinese") << "index_zh.html" << "zh";
}

void TestResources::helpPageIsSelfContained()
{
    QFETCH(QString, page);
    QFETCH(QString, language);
    // Where the build puts the pages: <build>/share/torvex/help, beside <build>/app.
    const QDir help(folderFromEnvironment("TORVEX_BINARY_DIR") + "/share/torvex/help");
    QFile file(help.filePath(page));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString html = QString::fromUtf8(file.readAll());

    QVERIFY(html.contains(QString("<html lang=\"%1").arg(language)));
    QVERIFY(!html.contains("<script", Qt::CaseInsensitive));
    for (const char* topic : {"servers.ini", "users.ini", "apaths.ini", "server.ini", "~/.config/torvex/",
                              "127.0.0.1", "2121", "test"})
        QVERIFY2(html.contains(topic), topic);

    // Every picture, sheet and link points into the shipped folder: nothing remote, nothing missing.
    const QRegularExpression reference("(?:src|href)=\"([^\"#]*)[^\"]*\"");
    int references = 0;
    for (auto match = reference.globalMatch(html); match.hasNext();) {
        const QString target = match.next().captured(1);
        if (target.isEmpty())
            continue;
        ++references;
        QVERIFY2(!target.contains(':') && !target.startsWith('/'), qPrintable(target));
        QVERIFY2(QFile::exists(help.filePath(target)), qPrintable(target));
    }
    QVERIFY(references > 20);
}

QTEST_MAIN(TestResources)
#include "tst_gui_resources.moc"

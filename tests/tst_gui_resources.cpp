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
    void imagesLoadAtTheirSize_data();
    void imagesLoadAtTheirSize();
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

void TestResources::imagesLoadAtTheirSize_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QSize>("size");
    for (const char* stem : {"sites", "connect", "diconnect", "download", "upload", "stopall", "restart", "left",
                             "right", "bottom", "swap", "command", "server", "language", "help"}) {
        const QString tool(stem);
        QTest::newRow(stem) << QStringList{tool + "_normal", tool + "_up", tool + "_down"} << QSize(50, 50);
    }
    QTest::newRow("pane icons") << QStringList{"LocalIcon_normal", "LocalIcon_Down", "NetIcon_Normal",
                                               "NetIcon_Down", "DirTree_normal", "DirTree_down"}
                                << QSize(22, 22);
    QTest::newRow("run and stop") << QStringList{"run_normal", "run_down", "stop_normal", "stop_down"} << QSize(18, 18);
    QTest::newRow("folder_icon") << QStringList{"folder_icon"} << QSize(16, 16);
    QTest::newRow("logo_64x64") << QStringList{"logo_64x64"} << QSize(64, 64);
}

void TestResources::imagesLoadAtTheirSize()
{
    QFETCH(QStringList, names);
    QFETCH(QSize, size);
    // Style sheets say "://image/x.png", code says ":/image/x.png": both must reach the image.
    for (const QString& name : names) {
        for (const QString& prefix : {QStringLiteral(":/image/"), QStringLiteral("://image/")}) {
            const QPixmap pixmap(prefix + name + ".png");
            QVERIFY2(!pixmap.isNull(), qPrintable(prefix + name));
            QCOMPARE(pixmap.size(), size);
        }
    }
    if (size != QSize(50, 50))
        return;
    // A tool button's resting, hover and pressed images differ, and the resting one has no
    // background of its own: the window shows through.
    const QImage normal(":/image/" + names.at(0) + ".png");
    const QImage hover(":/image/" + names.at(1) + ".png");
    const QImage pressed(":/image/" + names.at(2) + ".png");
    QVERIFY(normal != hover && hover != pressed && normal != pressed);
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

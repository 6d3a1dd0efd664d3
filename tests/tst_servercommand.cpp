#include "server/ktftpcommand.h"
#include "server/ktftpreplies.h"

#include <QtTest>

class TestServerCommand : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void emptyLineIsNotACommand();
    void argumentParts_data();
    void argumentParts();
    void commandTableOrder();
    void standardText_data();
    void standardText();
};

void TestServerCommand::parse_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("argument");

    QTest::newRow("user") << "USER bob" << int(KTFtpCommand::User) << "bob";
    QTest::newRow("lower case word") << "user Bob" << int(KTFtpCommand::User) << "Bob";
    QTest::newRow("two blanks keep one") << "USER  bob" << int(KTFtpCommand::User) << " bob";
    QTest::newRow("pass alone") << "PASS" << int(KTFtpCommand::Pass) << "";
    QTest::newRow("pass and blank") << "PASS " << int(KTFtpCommand::Pass) << "";
    QTest::newRow("list options") << "LIST -al" << int(KTFtpCommand::List) << "-al";
    QTest::newRow("longer word is unknown") << "QUITE" << int(KTFtpCommand::Unkn) << "";
    QTest::newRow("word glued to argument") << "SIZEXa.txt" << int(KTFtpCommand::Unkn) << "";
    QTest::newRow("cdup is not cwd") << "CDUP" << int(KTFtpCommand::Cdup) << "";
    QTest::newRow("cwd") << "CWD a b" << int(KTFtpCommand::Cwd) << "a b";
    QTest::newRow("pasv is not pass") << "PASV" << int(KTFtpCommand::Pasv) << "";
    QTest::newRow("rest") << "REST 100" << int(KTFtpCommand::Rest) << "100";
    QTest::newRow("retr keeps blanks") << "RETR a  b.txt " << int(KTFtpCommand::Retr) << "a  b.txt ";
    QTest::newRow("site") << "SITE CHMOD 644 x" << int(KTFtpCommand::Site) << "CHMOD 644 x";
    QTest::newRow("quit") << "quit" << int(KTFtpCommand::Quit) << "";
    QTest::newRow("unknown word") << "MLSD" << int(KTFtpCommand::Unkn) << "";
    QTest::newRow("epsv") << "EPSV" << int(KTFtpCommand::Epsv) << "";
    QTest::newRow("nlst with path") << "NLST sub dir" << int(KTFtpCommand::Nlst) << "sub dir";
    QTest::newRow("opts") << "opts UTF8 ON" << int(KTFtpCommand::Opts) << "UTF8 ON";
    QTest::newRow("unkn itself") << "UNKN" << int(KTFtpCommand::Unkn) << "";
    QTest::newRow("too short for a word") << "CW" << int(KTFtpCommand::Unkn) << "";
}

void TestServerCommand::parse()
{
    QFETCH(QString, line);
    QFETCH(int, code);
    QFETCH(QString, argument);
    KTFtpCommand command;
    command.code = KTFtpCommand::Quit;
    command.argument = QStringLiteral("left over");
    QVERIFY(command.parse(line));
    QCOMPARE(command.code, code);
    QCOMPARE(command.argument, argument);
}

void TestServerCommand::emptyLineIsNotACommand()
{
    KTFtpCommand command;
    command.code = KTFtpCommand::Retr;
    command.argument = QStringLiteral("x");
    QVERIFY(!command.parse(QString()));
    QCOMPARE(command.code, int(KTFtpCommand::Unkn));
    QVERIFY(command.argument.isEmpty());
}

void TestServerCommand::argumentParts_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("one") << "a" << QStringList{"a"};
    QTest::newRow("doubled and trailing") << "/a//b/" << QStringList{"a", "b"};
    QTest::newRow("blanks stay") << "a b/ c" << QStringList{"a b", " c"};
}

void TestServerCommand::argumentParts()
{
    QFETCH(QString, argument);
    QFETCH(QStringList, parts);
    KTFtpCommand command;
    command.argument = argument;
    QCOMPARE(command.argumentParts(), parts);
}

void TestServerCommand::commandTableOrder()
{
    const QStringList& words = KTFtpCommand::words();
    QCOMPARE(words.size(), 37);
    QCOMPARE(words.indexOf("PASV"), 9);
    QCOMPARE(words.indexOf("LIST"), 10);
    QCOMPARE(words.indexOf("RETR"), 14);
    QCOMPARE(words.indexOf("STOR"), 15);
    QCOMPARE(words.first(), QStringLiteral("UNKN"));
    QCOMPARE(words.indexOf("QUIT"), 24);
    QCOMPARE(words.indexOf("ABOR"), int(KTFtpCommand::Abor));
    QCOMPARE(words.indexOf("STAT"), int(KTFtpCommand::Stat));
}

void TestServerCommand::standardText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("332") << 332 << "Requires an account.";
    QTest::newRow("425") << 425 << "Failed to open data connection.";
    QTest::newRow("450") << 450
                         << "The requested file operation can not be performed, the file is not "
                            "available.";
    QTest::newRow("501") << 501 << "Error parameter.";
    QTest::newRow("503") << 503 << "The order of the order is wrong.";
    QTest::newRow("550") << 550
                         << "Requested operation can not be performed, The file is not available.";
    QTest::newRow("553") << 553
                         << "The requested operation can not be performed, The file name is not "
                            "allowed.";
    QTest::newRow("absent") << 299 << "";
    QTest::newRow("zero") << 0 << "";
}

void TestServerCommand::standardText()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(KTFtpReply::standardText(code), text);
}

QTEST_GUILESS_MAIN(TestServerCommand)
#include "tst_servercommand.moc"

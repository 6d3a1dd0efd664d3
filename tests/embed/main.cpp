#include "engine/ftpclient.h"
#include "settings/fbdata.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    FTPClient client;
    const auto rows = FTPClient::parseList(QStringLiteral("-rw-r--r-- 1 u g 5 Jan 01 12:00 a\r\n"));
    return rows.size() == 1 && !client.isLoggedIn() ? 0 : 1;
}

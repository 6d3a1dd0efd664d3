#include "settings/fbdata.h"

#include "common/helpers.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

const char serversFile[] = "servers.ini";
const char pathsFile[] = "apaths.ini";
const char usersFile[] = "users.ini";
const char serverFile[] = "server.ini";
const char appFolder[] = "torvex";

const char defaultUserName[] = "test";
const char defaultUserPassword[] = "581247";

QString nodeKey(int index, const char* key)
{
    return QStringLiteral("Node%1/%2").arg(index).arg(QLatin1String(key));
}

} // namespace

FBData::FBData(QObject* parent)
    : FBData(defaultConfigDir(), parent)
{
}

QString FBData::defaultConfigDir()
{
    // A folder of our own: other programs keep files called "servers.ini" or "users.ini" in the
    // configuration folder too. The name is fixed so that the window and both tools share it
    // whatever application name each of them sets.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QLatin1Char('/') + QLatin1String(appFolder);
}

FBData::FBData(const QString& configDir, QObject* parent)
    : QObject(parent)
    , configDir(configDir)
{
    loadSites();
    loadAuthorizedPaths();
}

FBData::~FBData()
{
    saveSites();
    saveAuthorizedPaths();
    saveUsers();
    qDeleteAll(userList);
    userList.clear();
}

QString FBData::filePath(const QString& fileName) const
{
    return configDir + QDir::separator() + fileName;
}

void FBData::restrictToOwner(const QString& fileName) const
{
    QDir().mkpath(configDir);
    QFile file(filePath(fileName));
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void FBData::loadSites()
{
    QSettings settings(filePath(QLatin1String(serversFile)), QSettings::IniFormat);
    const uint count = settings.value(QStringLiteral("Server/Count")).toUInt();
    for (uint i = 0; i < count; ++i) {
        auto* site = new ServerInfo(this);
        const int n = int(i);
        site->serverName = settings.value(nodeKey(n, "ServerName")).toString();
        site->connected = settings.value(nodeKey(n, "Start")).toBool();
        site->ip = settings.value(nodeKey(n, "IP")).toString();
        site->port = quint16(settings.value(nodeKey(n, "Port")).toUInt());
        site->userName = settings.value(nodeKey(n, "UserName")).toString();
        site->password = settings.value(nodeKey(n, "Password")).toString();
        site->codec = settings.value(nodeKey(n, "Codec")).toString();
        site->clientPath = settings.value(nodeKey(n, "ClientPath")).toString();
        nativePath(site->clientPath);
        site->serverPath = settings.value(nodeKey(n, "ServerPath")).toString();
        site->select = settings.value(nodeKey(n, "Select")).toBool();
        site->encryption = qBound(0, settings.value(nodeKey(n, "Encryption"), 0).toInt(), 2);
        sites.insert(site->id, site);
    }
}

void FBData::saveSites()
{
    restrictToOwner(QLatin1String(serversFile));
    QSettings settings(filePath(QLatin1String(serversFile)), QSettings::IniFormat);
    settings.clear();
    settings.setValue(QStringLiteral("Server/Count"), sites.size());
    int n = 0;
    for (const ServerInfo* site : qAsConst(sites)) {
        settings.setValue(nodeKey(n, "ServerName"), site->serverName);
        settings.setValue(nodeKey(n, "Start"), site->connected);
        settings.setValue(nodeKey(n, "IP"), site->ip);
        settings.setValue(nodeKey(n, "Port"), uint(site->port));
        settings.setValue(nodeKey(n, "UserName"), site->userName);
        settings.setValue(nodeKey(n, "Password"), site->password);
        settings.setValue(nodeKey(n, "Codec"), site->codec);
        settings.setValue(nodeKey(n, "ClientPath"), site->clientPath);
        settings.setValue(nodeKey(n, "ServerPath"), site->serverPath);
        settings.setValue(nodeKey(n, "Select"), site->select);
        settings.setValue(nodeKey(n, "Encryption"), site->encryption);
        ++n;
    }
}

void FBData::loadAuthorizedPaths()
{
    QSettings settings(filePath(QLatin1String(pathsFile)), QSettings::IniFormat);
    const uint count = settings.value(QStringLiteral("Paths/Count")).toUInt();
    for (uint i = 0; i < count; ++i)
        authorizedPaths.append(settings.value(QStringLiteral("Path_%1").arg(i)).toString());
}

void FBData::saveAuthorizedPaths()
{
    QSettings settings(filePath(QLatin1String(pathsFile)), QSettings::IniFormat);
    settings.clear();
    if (authorizedPaths.isEmpty())
        return;
    settings.setValue(QStringLiteral("Paths/Count"), authorizedPaths.size());
    for (int i = 0; i < authorizedPaths.size(); ++i)
        settings.setValue(QStringLiteral("Path_%1").arg(i), authorizedPaths.at(i));
}

QList<UserInfo*>& FBData::users()
{
    if (!userList.isEmpty())
        return userList;
    loadUsers();
    if (userList.isEmpty()) {
        auto* user = new UserInfo;
        user->name = QLatin1String(defaultUserName);
        user->password = QLatin1String(defaultUserPassword);
        userList.append(user);
    }
    return userList;
}

void FBData::loadUsers()
{
    QSettings settings(filePath(QLatin1String(usersFile)), QSettings::IniFormat);
    const uint count = settings.value(QStringLiteral("Users/Count")).toUInt();
    for (uint i = 0; i < count; ++i) {
        auto* user = new UserInfo;
        const int n = int(i);
        user->name = settings.value(nodeKey(n, "Name")).toString();
        user->password = settings.value(nodeKey(n, "Password")).toString();
        user->paths = settings.value(nodeKey(n, "Paths")).toStringList();
        userList.append(user);
    }
}

void FBData::saveUsers()
{
    restrictToOwner(QLatin1String(usersFile));
    QSettings settings(filePath(QLatin1String(usersFile)), QSettings::IniFormat);
    settings.clear();
    settings.setValue(QStringLiteral("Users/Count"), userList.size());
    for (int i = 0; i < userList.size(); ++i) {
        const UserInfo* user = userList.at(i);
        settings.setValue(nodeKey(i, "Name"), user->name);
        settings.setValue(nodeKey(i, "Password"), user->password);
        settings.setValue(nodeKey(i, "Paths"), user->paths);
    }
}

bool FBData::checkUser(const QString& name, const QString& password) const
{
    for (const UserInfo* user : userList) {
        if (user->name == name && user->password == password)
            return true;
    }
    return false;
}

bool FBData::setUserOnline(const QString& name, bool online)
{
    for (UserInfo* user : qAsConst(userList)) {
        if (user->name == name) {
            user->online = online;
            emit userChange();
            return true;
        }
    }
    return false;
}

void FBData::saveUser(const UserInfo& user)
{
    for (int i = 0; i < userList.size(); ++i) {
        if (userList.at(i)->name == user.name) {
            delete userList.takeAt(i);
            break;
        }
    }
    auto* copy = new UserInfo;
    copy->name = user.name;
    copy->password = user.password;
    copy->paths = user.paths;
    userList.append(copy);
    emit userChange();
}

void FBData::removeUser(const QString& name)
{
    for (int i = userList.size() - 1; i >= 0; --i) {
        if (userList.at(i)->name == name)
            delete userList.takeAt(i);
    }
    emit userChange();
}

void FBData::resetStates()
{
    for (ServerInfo* site : qAsConst(sites))
        site->connected = false;
    for (UserInfo* user : qAsConst(userList))
        user->online = false;
    emit userChange();
}

bool FBData::readServerSettings(QString& address, quint16& port, QString& path) const
{
    QSettings settings(filePath(QLatin1String(serverFile)), QSettings::IniFormat);
    address = settings.value(QStringLiteral("Server/IP")).toString();
    port = quint16(settings.value(QStringLiteral("Server/Port")).toUInt());
    path = settings.value(QStringLiteral("Server/Path")).toString();
    return !address.isEmpty() && port != 0 && !path.isEmpty();
}

void FBData::writeServerSettings(const QString& address, quint16 port, const QString& path)
{
    QSettings settings(filePath(QLatin1String(serverFile)), QSettings::IniFormat);
    settings.clear();
    settings.setValue(QStringLiteral("Server/IP"), address);
    settings.setValue(QStringLiteral("Server/Port"), uint(port));
    settings.setValue(QStringLiteral("Server/Path"), path);
}

void FBData::updateConnectState(const QString& host, bool connected)
{
    for (ServerInfo* site : qAsConst(sites))
        site->connected = connected && site->ip == host;
}

void FBData::selectServer(int id)
{
    for (ServerInfo* site : qAsConst(sites))
        site->select = site->id == id;
}

void FBData::clearSelection()
{
    for (ServerInfo* site : qAsConst(sites))
        site->select = false;
}

bool FBData::containsServer(const ServerInfo* record) const
{
    if (!record)
        return false;
    for (const ServerInfo* site : sites) {
        if (site->serverName == record->serverName && site->ip == record->ip
            && site->port == record->port && site->password == record->password
            && site->codec == record->codec && site->clientPath == record->clientPath
            && site->serverPath == record->serverPath)
            return true;
    }
    return false;
}

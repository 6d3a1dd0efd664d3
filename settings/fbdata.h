#ifndef TORVEX_SETTINGS_FBDATA_H
#define TORVEX_SETTINGS_FBDATA_H

#include "settings/serverinfo.h"
#include "settings/userinfo.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

// The settings store: FTP sites, authorised paths and the built-in server's users, kept in four
// INI files in the per-user configuration folder. Sites, paths and users are written back when the
// store is destroyed; "server.ini" whenever the server dialog asks.
class FBData : public QObject
{
    Q_OBJECT
public:
    explicit FBData(QObject* parent = nullptr);
    // For tools and tests that keep their files elsewhere.
    FBData(const QString& configDir, QObject* parent);
    ~FBData() override;

    // "torvex" in the user's configuration folder (~/.config/torvex on Linux).
    static QString defaultConfigDir();

    QString filePath(const QString& fileName) const;

    QList<UserInfo*>& users();
    bool checkUser(const QString& name, const QString& password) const;
    bool setUserOnline(const QString& name, bool online);
    void saveUser(const UserInfo& user);
    void removeUser(const QString& name);
    void resetStates();

    bool readServerSettings(QString& address, quint16& port, QString& path) const;
    void writeServerSettings(const QString& address, quint16 port, const QString& path);

    void updateConnectState(const QString& host, bool connected);
    void selectServer(int id);
    void clearSelection();
    bool containsServer(const ServerInfo* record) const;

    void loadSites();
    void saveSites();
    void loadAuthorizedPaths();
    void saveAuthorizedPaths();
    void saveUsers();

    QMap<int, ServerInfo*> sites;
    QStringList authorizedPaths;
    QList<UserInfo*> userList;
    QString configDir;

signals:
    void userChange();

private:
    void loadUsers();
    // The files hold passwords in plain text: only their owner may read them.
    void restrictToOwner(const QString& fileName) const;
};

#endif

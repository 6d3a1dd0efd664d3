#ifndef TORVEX_SETTINGS_USERINFO_H
#define TORVEX_SETTINGS_USERINFO_H

#include <QObject>
#include <QString>
#include <QStringList>

// A login of the built-in server.
class UserInfo : public QObject
{
    Q_OBJECT
public:
    explicit UserInfo(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    QString name;
    QString password;
    QStringList paths;
    bool online = false;
};

#endif

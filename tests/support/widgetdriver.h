#ifndef TORVEX_TESTS_WIDGETDRIVER_H
#define TORVEX_TESTS_WIDGETDRIVER_H

#include "settings/fbdata.h"
#include "settings/serverinfo.h"

#include <QtWidgets>

// Drives a window's widgets by their object names; header-only, the support library has no widgets.

template<typename T>
T* child(QWidget* parent, const char* name)
{
    T* widget = parent->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

inline void click(QWidget* parent, const char* name) { child<QPushButton>(parent, name)->click(); }

// The text of a line edit or a label.
inline QString text(QWidget* parent, const char* name)
{
    return child<QWidget>(parent, name)->property("text").toString();
}

inline void setText(QWidget* parent, const char* name, const QString& value)
{
    child<QLineEdit>(parent, name)->setText(value);
}

// Types each value into the line edit of its name, then clicks the button.
inline void submit(QWidget* parent, const QList<QPair<const char*, QString>>& fields,
                   const char* button)
{
    for (const auto& field : fields)
        setText(parent, field.first, field.second);
    click(parent, button);
}

// One column of an item's children, or of a flat list's rows, top to bottom.
inline QStringList childNames(const QTreeWidgetItem* item, int index = 0)
{
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i)
        texts.append(item->child(i)->text(index));
    return texts;
}

inline QStringList column(QTreeWidget* tree, int index)
{
    return childNames(tree->invisibleRootItem(), index);
}

// The first row of a flat list whose column 0 reads name, or none.
inline QTreeWidgetItem* rowNamed(const QTreeWidget* tree, const QString& name)
{
    return tree->findItems(name, Qt::MatchExactly).value(0);
}

// A site on 127.0.0.1 for the test server's own user "test".
inline ServerInfo* addLoopbackSite(FBData* store, quint16 port, const QString& password,
                                   const QString& localFolder = QDir::tempPath())
{
    auto* site = new ServerInfo(store);
    site->serverName = QStringLiteral("Local");
    site->ip = QStringLiteral("127.0.0.1");
    site->port = port;
    site->userName = QStringLiteral("test");
    site->password = password;
    site->codec = QStringLiteral("UTF-8");
    site->clientPath = QDir::toNativeSeparators(localFolder);
    site->serverPath = QStringLiteral("/");
    store->sites.insert(site->id, site);
    return site;
}

#endif

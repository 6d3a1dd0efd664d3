#ifndef TORVEX_TESTS_WIDGETDRIVER_H
#define TORVEX_TESTS_WIDGETDRIVER_H

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTreeWidget>
#include <QtGlobal>

// Drives a window's widgets by their object names, as a user would see and touch them.
// Header-only: only window tests include it, and the shared support library has no widgets.

template<typename T>
T* child(QWidget* parent, const char* name)
{
    T* widget = parent->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

inline void click(QWidget* parent, const char* name)
{
    child<QPushButton>(parent, name)->click();
}

// The text of a line edit or a label.
inline QString text(QWidget* parent, const char* name)
{
    if (auto* edit = parent->findChild<QLineEdit*>(QLatin1String(name)))
        return edit->text();
    return child<QLabel>(parent, name)->text();
}

inline void setText(QWidget* parent, const char* name, const QString& value)
{
    child<QLineEdit>(parent, name)->setText(value);
}

// One column of a flat list, top to bottom.
inline QStringList column(QTreeWidget* tree, int index)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts.append(tree->topLevelItem(i)->text(index));
    return texts;
}

// The first row of a flat list whose column 0 reads name, or none.
inline QTreeWidgetItem* rowNamed(const QTreeWidget* tree, const QString& name)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        if (tree->topLevelItem(i)->text(0) == name)
            return tree->topLevelItem(i);
    }
    return nullptr;
}

// Selects exactly the rows of a flat list named in rows, the last one current; false if one is missing.
inline bool selectRows(QTreeWidget* tree, const QStringList& rows)
{
    tree->clearSelection();
    for (const QString& name : rows) {
        QTreeWidgetItem* row = rowNamed(tree, name);
        if (!row)
            return false;
        row->setSelected(true);
        tree->setCurrentItem(row, 0, QItemSelectionModel::Select);
    }
    return true;
}

#endif

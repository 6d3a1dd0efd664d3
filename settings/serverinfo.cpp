#include "settings/serverinfo.h"

#include <QAtomicInt>

namespace {
QAtomicInt lastServerId;
}

ServerInfo::ServerInfo(QObject* parent)
    : QObject(parent)
    , id(lastServerId.fetchAndAddOrdered(1) + 1)
{
}

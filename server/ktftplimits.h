#ifndef TORVEX_SERVER_KTFTPLIMITS_H
#define TORVEX_SERVER_KTFTPLIMITS_H

#include <QtGlobal>

// Every number the built-in server is tuned by, with its default, in one place.
namespace KTFtpLimits {

constexpr int MaxClients = 10;

// Each session keeps its own passive listener on the first free port of this range.
constexpr quint16 FirstDataPort = 1050;
constexpr quint16 LastDataPort = 4999;

// SECURITY: a command line longer than this is answered "500 Input line too long." and dropped
// (vsftpd's limit); text beyond MaxUnterminatedBytes without a line feed ends the session, so a
// peer cannot make us hold an endless line.
constexpr int MaxLineBytes = 4096;
constexpr int MaxUnterminatedBytes = 65536;
// Control text taken off the socket ahead of the line being handled; what lies beyond waits in
// the kernel, which slows a peer that pipelines without reading our replies.
constexpr int MaxInputBytes = 2 * MaxLineBytes;
constexpr qint64 ControlReadBufferBytes = 16384;

// Bytes a data connection may hold unread; beyond that TCP makes the peer wait.
constexpr qint64 DataReadBufferBytes = 256 * 1024;

// A file is read in chunks of this size, and a new one is read while less than SendQueueBytes
// wait in the socket: enough in flight to keep a fast link busy, little held in memory.
constexpr int FileChunkBytes = 64 * 1024;
constexpr qint64 SendQueueBytes = 4 * FileChunkBytes;

constexpr int PassiveTimeoutMs = 30 * 1000;
constexpr int IdleTimeoutMs = 300 * 1000;
// SECURITY: connections that never log in would otherwise hold the few slots for ever.
constexpr int LoginTimeoutMs = 60 * 1000;
// A data connection on which nothing moves for this long is cut, so a stalled peer frees its
// session.
constexpr int DataStallTimeoutMs = 120 * 1000;
// SECURITY: slows password guessing; the third failure on one connection ends it (vsftpd).
constexpr int LoginFailDelayMs = 1000;
constexpr int MaxLoginFailures = 3;
// A session being closed gets this long to deliver its last reply to a peer that is not
// reading, then the connection is cut.
constexpr int CloseGraceMs = 10 * 1000;

constexpr quint16 DefaultPort = 2121;

} // namespace KTFtpLimits

#endif

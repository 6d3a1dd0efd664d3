#ifndef TORVEX_ENGINE_FTPREPLYREADER_H
#define TORVEX_ENGINE_FTPREPLYREADER_H

#include <QByteArray>
#include <QString>

// Cuts the control connection's byte stream into reply lines and tells which line ends a reply.
// A multi-line reply ("123-" ... "123 ") is one reply: only its last line is final.
// Knows nothing of sockets, so it can be fed any split of the stream.
class FtpReplyReader
{
public:
    // SECURITY: bounds what a server can make us hold without sending a line feed.
    static constexpr int MaxLineBytes = 64 * 1024;

    struct Line {
        QString text;
        bool final = true;
    };

    // False when the buffered text outgrew the line limit; the caller should drop the connection.
    bool append(const QByteArray& bytes);
    // Takes the next complete, non-empty line; false when no complete line is left.
    bool next(Line& line);
    void clear();
    bool overflowed() const { return overflow; }
    bool insideMultiLine() const { return !openCode.isEmpty(); }

private:
    QByteArray buffer;
    QByteArray openCode;  // code of the multi-line reply being read, empty outside one
    bool overflow = false;
};

#endif

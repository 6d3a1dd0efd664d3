#include "engine/ftpreplyreader.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool startsWithCode(const QByteArray& line)
{
    return line.size() >= 3 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]);
}

} // namespace

bool FtpReplyReader::append(const QByteArray& bytes)
{
    if (overflow)
        return false;
    buffer.append(bytes);
    const int lastLf = buffer.lastIndexOf('\n');
    const int tail = buffer.size() - (lastLf + 1);
    if (tail > MaxLineBytes) {
        overflow = true;
        buffer.clear();
    }
    return !overflow;
}

bool FtpReplyReader::next(Line& line)
{
    while (!overflow) {
        const int lf = buffer.indexOf('\n');
        if (lf < 0)
            return false;
        QByteArray raw = buffer.left(lf);
        buffer.remove(0, lf + 1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (raw.size() > MaxLineBytes) {
            overflow = true;
            buffer.clear();
            return false;
        }
        if (raw.isEmpty())
            continue;  // an empty line carries nothing; the lines behind it still count

        line.text = QString::fromUtf8(raw);
        if (openCode.isEmpty()) {
            line.final = !(startsWithCode(raw) && raw.size() > 3 && raw[3] == '-');
            if (!line.final)
                openCode = raw.left(3);
        } else {
            line.final = raw.startsWith(openCode) && (raw.size() == 3 || raw[3] == ' ');
            if (line.final)
                openCode.clear();
        }
        return true;
    }
    return false;
}

void FtpReplyReader::clear()
{
    buffer.clear();
    openCode.clear();
    overflow = false;
}

#include "server/ktftpreplies.h"

#include <QHash>

namespace {

struct StandardReply {
    int code;
    const char* text;
};

// The texts are the product's own wording; clients read only the codes.
const StandardReply standardReplies[] = {
    {110, "Restart tag on new file indicator."},
    {120, "Server ready time (minutes)."},
    {125, "Data connection is on, Transmission is started."},
    {150, "File status no problem, Ready to open the data to connect."},
    {200, "Command execution is successful."},
    {202, "Command has not yet been implemented and is redundant on this site."},
    {211, "System status reply."},
    {212, "Directory status reply."},
    {213, "File status reply."},
    {214, "Help information reply."},
    {215, "System type reply."},
    {220, "Service is ready for new users."},
    {221, "Service is turning off the control connection."},
    {225, "Open the data connection."},
    {226, "The data connection was closed and the requested file operation was successful."},
    {227, "Into passive mode (IP address, ID port)."},
    {230, "Users are already logged in, please continue."},
    {250, "The requested file is operating normally and has completed."},
    {257, "Catalog is created."},
    {331, "Require password."},
    {332, "Requires an account."},
    {350, "Requested file operation pending further information."},
    {421, "Server is not available, turn off the control connection."},
    {425, "Failed to open data connection."},
    {426, "The connection is closed and the transmission is aborted."},
    {450, "The requested file operation can not be performed, the file is not available."},
    {451, "The requested operation was aborted with a local error in processing."},
    {452, "Requested operation can not be performed, The system has insufficient storage space."},
    {500, "Grammatical mistakes, Unrecognized orders."},
    {501, "Error parameter."},
    {502, "Command has not been implemented."},
    {503, "The order of the order is wrong."},
    {504, "Invalid command parameter."},
    {530, "Can not log in."},
    {532, "Need to store the file account."},
    {550, "Requested operation can not be performed, The file is not available."},
    {551, "The requested operation was aborted, Unknown page type."},
    {552, "The requested file operation was aborted and exceeded the allocated memory location."},
    {553, "The requested operation can not be performed, The file name is not allowed."},
};

} // namespace

QString KTFtpReply::standardText(int code)
{
    for (const StandardReply& reply : standardReplies) {
        if (reply.code == code)
            return QString::fromLatin1(reply.text);
    }
    return QString();
}

QString KTFtpReply::standardLine(int code)
{
    const QString text = standardText(code);
    return text.isEmpty() ? text : QString::number(code) + QLatin1Char(' ') + text + QLatin1Char('\n');
}

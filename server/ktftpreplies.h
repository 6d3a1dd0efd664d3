#ifndef TORVEX_SERVER_KTFTPREPLIES_H
#define TORVEX_SERVER_KTFTPREPLIES_H

#include <QString>

// The server's reply texts. Clients and our own engine match some of them letter for letter, so
// they live here and nowhere else. Most end in a bare line feed, as they always have.
namespace KTFtpReply {

// Codes sent through the standard table (KTFtpClient::sendCode).
enum Code {
    RequiresAccount = 332,
    CannotOpenData = 425,
    FileUnavailable = 450,
    LocalError = 451,
    BadParameter = 501,
    BadSequence = 503,
    NotAvailable = 550,
};

// The standard text of a reply code, or empty text when the table has no such code.
QString standardText(int code);

constexpr char Greeting[] = "220 Welcome to FTP Torvex service.\n";
constexpr char UnknownCommand[] = "500 Unknown command.\n";
constexpr char LineTooLong[] = "500 Input line too long.\n";
constexpr char IdleTimeout[] = "421 Timeout.\n";

constexpr char NeedPassword[] = "331 Please specify the password.\n";
constexpr char LoginOk[] = "230 Login successful.\n";
constexpr char LoginIncorrect[] = "530 Login incorrect.\n";
constexpr char Goodbye[] = "221 Goodbyg.\n";
constexpr char TypeAscii[] = "200 Switching to ASCII mode.\n";
constexpr char TypeBinary[] = "200 Switching to binary mode.\n";

constexpr char SystemType[] = "215 UNIX Type:L8\n";
constexpr char Features[] = "211-Features:\nMDTM\nPASV\nREST\nSIZE\n211 End\r\n";
constexpr char NoopOk[] = "200 NOOP ok.\n";
constexpr char HelpHead[] = "214-The following commands are recognized.\n";
constexpr char HelpTail[] = "214 Help OK.\n";

constexpr char CurrentDir[] = "257 \"%1\"\n";
constexpr char DirChanged[] = "250 Directory changed successfully!\n";
constexpr char CdupOk[] = "250 The requested file operation is working normally, completed.!\n";
constexpr char DirCreated[] = "257 \"%1\" created.\n";
constexpr char DeleteOk[] = "250 Delete operation successful.\n";
constexpr char ReadyForRnto[] = "350 Ready for RNTO.\n";
constexpr char RenameOk[] = "250 Rename successful.\n";
constexpr char RenameRefused[] =
    "553 The requested operation can not be performed, the file name is not allowed.\n";
constexpr char ChmodOk[] = "200 SITE CHMOD command ok.\n";
constexpr char FileStatus[] = "213 %1\n";

constexpr char PassiveMode[] = "227 Entering Passive Mode (%1)\n";
// Without a full stop, unlike the table's 425.
constexpr char PassiveUnavailable[] = "425 Failed to open data connection\n";
constexpr char UsePasvFirst[] = "425 Use PASV first.\n";
constexpr char ListingStarts[] = "150 Here comes the directory listing.\n";
constexpr char ListingSent[] = "226 Directory send OK.\n";
constexpr char RestAccepted[] = "350 Restart position accepted (%1)\n";
constexpr char SendStarts[] = "150 Opening BINARY mode data connection for %1\n";
constexpr char FileSent[] = "226 File send OK.\n";
constexpr char ReceiveStarts[] = "150 Ok to send data.\n";
constexpr char FileReceived[] = "226 File receive OK.\n";

} // namespace KTFtpReply

#endif

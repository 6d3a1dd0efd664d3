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
    NameNotAllowed = 553,
};

// The standard text of a reply code, or empty text when the table has no such code.
QString standardText(int code);
// "550 " and the standard text with its line feed; empty when the table has no such code.
QString standardLine(int code);

constexpr char Greeting[] = "220 Welcome to FTP Torvex service.\n";
constexpr char UnknownCommand[] = "500 Unknown command.\n";
constexpr char LineTooLong[] = "500 Input line too long.\n";
constexpr char IdleTimeout[] = "421 Timeout.\n";
constexpr char LoginTimeout[] = "421 Login timeout.\n";
constexpr char NotLoggedIn[] = "530 Please login with USER and PASS.\n";
// Answers a command that would disturb a running transfer.
constexpr char TransferBusy[] = "503 Bad sequence of commands.\n";

constexpr char NeedPassword[] = "331 Please specify the password.\n";
constexpr char LoginOk[] = "230 Login successful.\n";
constexpr char LoginIncorrect[] = "530 Login incorrect.\n";
constexpr char Goodbye[] = "221 Goodbyg.\n";
constexpr char TypeAscii[] = "200 Switching to ASCII mode.\n";
constexpr char TypeBinary[] = "200 Switching to binary mode.\n";

constexpr char SystemType[] = "215 UNIX Type:L8\n";
// Each feature line begins with a blank, as clients parsing FEAT expect.
constexpr char Features[] =
    "211-Features:\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n211 End\r\n";
constexpr char FeaturesTls[] = "211-Features:\n AUTH TLS\n EPSV\n MDTM\n PASV\n PBSZ\n PROT\n"
                              " REST STREAM\n SIZE\n UTF8\n211 End\r\n";
constexpr char Utf8Always[] = "200 Always in UTF8 mode.\n";
constexpr char OptionUnknown[] = "501 Option not understood.\n";
constexpr char ModeStream[] = "200 Mode set to S.\n";
constexpr char ModeRefused[] = "504 Bad MODE command.\n";
constexpr char StructureFile[] = "200 Structure set to F.\n";
constexpr char StructureRefused[] = "504 Bad STRU command.\n";
constexpr char AlloIgnored[] = "202 ALLO command ignored.\n";
constexpr char StatusIdle[] = "211 FTP Torvex status: logged in as %1, no transfer running.\n";
constexpr char StatusTransfer[] = "211 FTP Torvex status: %1 %2, %3 bytes moved.\n";
constexpr char StatusPathRefused[] = "502 STAT of a path is not implemented.\n";
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
constexpr char NoPassivePort[] = "425 Can't open data connection.\n";
constexpr char ExtendedPassiveMode[] = "229 Entering Extended Passive Mode (|||%1|)\n";
constexpr char EpsvAll[] = "200 EPSV ALL ok.\n";
constexpr char BadProtocol[] = "522 Network protocol not supported, use (1,2)\n";
constexpr char TransferAborted[] = "426 Connection closed; transfer aborted.\n";
constexpr char WriteFailed[] = "451 Requested action aborted: local error in processing.\n";
constexpr char RestBeyondEnd[] = "554 Requested action not taken: invalid REST parameter.\n";
constexpr char AbortDone[] = "226 ABOR successful.\n";
constexpr char NothingToAbort[] = "225 No transfer to ABOR.\n";
constexpr char ListingStarts[] = "150 Here comes the directory listing.\n";
constexpr char ListingSent[] = "226 Directory send OK.\n";
constexpr char RestAccepted[] = "350 Restart position accepted (%1)\n";
constexpr char SendStarts[] = "150 Opening BINARY mode data connection for %1\n";
constexpr char FileSent[] = "226 File send OK.\n";
constexpr char ReceiveStarts[] = "150 Ok to send data.\n";
constexpr char FileReceived[] = "226 File receive OK.\n";

constexpr char AuthProceed[] = "234 Proceed with negotiation.\n";
constexpr char AuthUnknown[] = "504 Unknown AUTH type.\n";
constexpr char AuthAgain[] = "503 Already using TLS.\n";
constexpr char TlsRequired[] = "530 Non-anonymous sessions must use encryption.\n";
constexpr char PbszInsecure[] = "503 PBSZ not allowed on insecure control connection.\n";
constexpr char PbszOk[] = "200 PBSZ=0\n";
constexpr char ProtInsecure[] = "503 PROT not allowed on insecure control connection.\n";
constexpr char ProtPrivate[] = "200 PROT now Private.\n";
constexpr char ProtClear[] = "200 PROT now Clear.\n";
constexpr char ProtUnsupported[] = "536 PROT level not supported.\n";
constexpr char ProtUnknown[] = "504 PROT not recognised.\n";
constexpr char DataMustBeEncrypted[] = "522 Data connections must be encrypted.\n";
constexpr char DataTlsFailed[] = "522 SSL connection failed.\n";
constexpr char DataReuseRequired[] = "522 SSL connection failed; session reuse required.\n";

} // namespace KTFtpReply

#endif

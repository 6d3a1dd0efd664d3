#ifndef TORVEX_DIALOGS_KTCERTIFICATEDIALOG_H
#define TORVEX_DIALOGS_KTCERTIFICATEDIALOG_H

#include <QDialog>
#include <QSslCertificate>
#include <QString>

class FTPClient;
class QPushButton;

// Shows a server certificate that no known authority vouches for and asks what to do with it.
class KTCertificateDialog : public QDialog
{
    Q_OBJECT
public:
    enum Answer { Cancel = 0, OnlyThisTime, TrustAlways };

    KTCertificateDialog(const QSslCertificate& certificate, const QString& host, quint16 port,
                        const QString& reason, bool changed, QWidget* parent = nullptr);

    Answer answer() const { return chosen; }
    QPushButton* alwaysButton() const { return always; }
    QPushButton* onceButton() const { return once; }
    QPushButton* cancelButton() const { return cancel; }

    // From now on every certificate the engine refuses is shown with parent as the owner;
    // trusting it connects again to the same server.
    static void watch(FTPClient* client, QWidget* parent);
    // Carries out an answer: trusts the certificate always or for this run, or does nothing.
    static bool apply(FTPClient* client, const QSslCertificate& certificate, Answer answer);

private:
    void choose(Answer answer);

    Answer chosen = Cancel;
    QPushButton* always = nullptr;
    QPushButton* once = nullptr;
    QPushButton* cancel = nullptr;
};

#endif

#include "dialogs/ktcertificatedialog.h"

#include "engine/ftpclient.h"
#include "settings/certificatetrust.h"

#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString names(const QSslCertificate& certificate, bool issuer)
{
    const QStringList parts = issuer ? certificate.issuerInfo(QSslCertificate::CommonName)
                                     : certificate.subjectInfo(QSslCertificate::CommonName);
    const QStringList organisations = issuer ? certificate.issuerInfo(QSslCertificate::Organization)
                                             : certificate.subjectInfo(QSslCertificate::Organization);
    return (parts + organisations).join(QLatin1String(", "));
}

QLabel* selectable(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

KTCertificateDialog::KTCertificateDialog(const QSslCertificate& certificate, const QString& host, quint16 port,
                                         const QString& reason, bool changed, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Server certificate"));
    auto* layout = new QVBoxLayout(this);
    const QString intro = changed
        ? tr("WARNING: %1 port %2 presents a different certificate from the one you trusted. "
             "Someone may be intercepting the connection. Trust the new one only if you know why it changed.")
        : tr("No known authority vouches for the certificate of %1 port %2.");
    auto* heading = new QLabel(intro.arg(host).arg(port));
    heading->setWordWrap(true);
    layout->addWidget(heading);

    auto* form = new QFormLayout;
    form->addRow(tr("Subject:"), selectable(names(certificate, false)));
    form->addRow(tr("Issuer:"), selectable(names(certificate, true)));
    form->addRow(tr("Valid from:"), selectable(certificate.effectiveDate().toString(Qt::ISODate)));
    form->addRow(tr("Valid until:"), selectable(certificate.expiryDate().toString(Qt::ISODate)));
    form->addRow(tr("SHA-256 fingerprint:"),
                 selectable(CertificateTrust::toText(certificate.digest(QCryptographicHash::Sha256))));
    form->addRow(tr("Problem:"), selectable(reason));
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    always = new QPushButton(tr("Trust this certificate always"));
    once = new QPushButton(tr("Only this time"));
    cancel = new QPushButton(tr("Cancel"));
    cancel->setDefault(true);  // the safe answer for a key pressed by habit
    buttons->addStretch();
    for (QPushButton* button : {always, once, cancel})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    connect(always, &QPushButton::clicked, this, [this] { choose(TrustAlways); });
    connect(once, &QPushButton::clicked, this, [this] { choose(OnlyThisTime); });
    connect(cancel, &QPushButton::clicked, this, [this] { choose(Cancel); });
}

void KTCertificateDialog::choose(Answer answer)
{
    chosen = answer;
    if (answer == Cancel)
        reject();
    else
        accept();
}

bool KTCertificateDialog::apply(FTPClient* client, const QSslCertificate& certificate, Answer answer)
{
    const QByteArray fingerprint = certificate.digest(QCryptographicHash::Sha256);
    if (answer == TrustAlways)
        client->certificateTrust().trust(client->host(), client->port(), fingerprint);
    else if (answer == OnlyThisTime)
        client->trustOnce(fingerprint);
    return answer != Cancel;
}

void KTCertificateDialog::watch(FTPClient* client, QWidget* parent)
{
    const QPointer<QWidget> owner(parent);
    // Queued: the engine reports from inside the handshake, where no dialog may run.
    QObject::connect(client, &FTPClient::certificateRefused, parent,
                     [client, owner](const QSslCertificate& certificate, const QString& reason, bool changed) {
                         KTCertificateDialog dialog(certificate, client->host(), client->port(), reason, changed, owner);
                         dialog.exec();
                         if (apply(client, certificate, dialog.answer()))
                             client->reconnect();
                     },
                     Qt::QueuedConnection);
}

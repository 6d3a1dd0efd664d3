#ifndef TORVEX_TESTS_MODALANSWERER_H
#define TORVEX_TESTS_MODALANSWERER_H

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers modal windows as they come up, so that no test waits for a person. Every message box
// is noted in `texts` and answered OK. Other dialogs are answered by the handler registered for
// their class, once each, in the order registered; dialogs nobody expects are left alone.
// Header-only: only window tests include it, and the shared support library has no widgets.
class ModalAnswerer
{
public:
    using Handler = std::function<void(QDialog*)>;

    explicit ModalAnswerer(int periodMs = 10)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start(periodMs);
    }

    void expect(const char* className, Handler handler) { handlers.append({className, handler}); }

    // A dialog that asks for one name: types it and presses the button named "Ok" (or accepts).
    static Handler typeName(const QString& text)
    {
        return [text](QDialog* dialog) {
            if (auto* edit = dialog->findChild<QLineEdit*>())
                edit->setText(text);
            if (auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Ok")))
                ok->click();
            else
                dialog->accept();
        };
    }

    QStringList texts;

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts.append(box->text());
            box->accept();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        for (int i = 0; dialog && i < handlers.size(); ++i) {
            if (!dialog->inherits(handlers.at(i).first))
                continue;
            const Handler handler = handlers.takeAt(i).second;
            handler(dialog);
            return;
        }
    }

    QTimer timer;
    QList<QPair<const char*, Handler>> handlers;
};

#endif

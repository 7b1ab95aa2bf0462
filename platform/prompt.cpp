#include "platform/prompt.h"

#include <QDialog>
#include <QInputDialog>
#include <QLineEdit>

namespace {

Prompt::Hook &hook()
{
    static Prompt::Hook instance;
    return instance;
}

} // namespace

void Prompt::setHook(Hook newHook)
{
    hook() = std::move(newHook);
}

QMessageBox::StandardButton Prompt::message(Kind kind, QWidget *parent, const QString &title,
                                            const QString &text,
                                            QMessageBox::StandardButtons buttons)
{
    if (hook()) {
        Request request;
        request.kind = kind;
        request.parent = parent;
        request.title = title;
        request.text = text;
        request.buttons = buttons;
        return hook()(request).button;
    }
    // As the static functions of QMessageBox build their boxes, but with
    // the text as plain text: messages carry names of devices and seats.
    const QMessageBox::Icon icon = kind == Kind::Information ? QMessageBox::Information
                                   : kind == Kind::Warning   ? QMessageBox::Warning
                                   : kind == Kind::Critical  ? QMessageBox::Critical
                                                             : QMessageBox::Question;
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    box.setStandardButtons(buttons);
    box.exec();
    return box.standardButton(box.clickedButton());
}

QMessageBox::StandardButton Prompt::question(QWidget *parent, const QString &title,
                                             const QString &text,
                                             QMessageBox::StandardButtons buttons)
{
    return message(Kind::Question, parent, title, text, buttons);
}

void Prompt::information(QWidget *parent, const QString &title, const QString &text)
{
    message(Kind::Information, parent, title, text, QMessageBox::Ok);
}

void Prompt::warning(QWidget *parent, const QString &title, const QString &text)
{
    message(Kind::Warning, parent, title, text, QMessageBox::Ok);
}

void Prompt::critical(QWidget *parent, const QString &title, const QString &text)
{
    message(Kind::Critical, parent, title, text, QMessageBox::Ok);
}

bool Prompt::tell(Kind kind, QWidget *parent, const QString &title, const QString &text)
{
    if (kind == Kind::Question)
        return question(parent, title, text) == QMessageBox::Yes;
    message(kind, parent, title, text, QMessageBox::Ok);
    return true;
}

bool Prompt::getText(QWidget *parent, const QString &title, const QString &label,
                     const QString &initialText, QString *text)
{
    if (hook()) {
        Request request;
        request.kind = Kind::TextInput;
        request.parent = parent;
        request.title = title;
        request.text = label;
        request.initialText = initialText;
        const Answer answer = hook()(request);
        if (answer.accepted && text)
            *text = answer.text;
        return answer.accepted;
    }
    bool ok = false;
    const QString entered =
        QInputDialog::getText(parent, title, label, QLineEdit::Normal, initialText, &ok);
    if (ok && text)
        *text = entered;
    return ok;
}

int Prompt::exec(QDialog *dialog)
{
    if (hook()) {
        Request request;
        request.kind = Kind::Dialog;
        request.parent = dialog->parentWidget();
        request.title = dialog->windowTitle();
        request.dialog = dialog;
        return hook()(request).accepted ? QDialog::Accepted : QDialog::Rejected;
    }
    return dialog->exec();
}

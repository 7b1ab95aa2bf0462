// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/prompt.h"

#include <QDialog>
#include <QFileDialog>
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

namespace {

bool askFile(Prompt::Kind kind, QWidget *parent, const QString &title, const QString &initialPath,
             const QStringList &filters, QString *path)
{
    if (hook()) {
        Prompt::Request request;
        request.kind = kind;
        request.parent = parent;
        request.title = title;
        request.initialText = initialPath;
        request.items = filters;
        const Prompt::Answer answer = hook()(request);
        if (answer.accepted && path)
            *path = answer.text;
        return answer.accepted && !answer.text.isEmpty();
    }
    const QString filter = filters.join(QStringLiteral(";;"));
    const QString chosen = kind == Prompt::Kind::OpenFile
                               ? QFileDialog::getOpenFileName(parent, title, initialPath, filter)
                               : QFileDialog::getSaveFileName(parent, title, initialPath, filter);
    if (!chosen.isEmpty() && path)
        *path = chosen;
    return !chosen.isEmpty();
}

} // namespace

bool Prompt::getOpenFileName(QWidget *parent, const QString &title, const QString &initialPath,
                             const QStringList &filters, QString *path)
{
    return askFile(Kind::OpenFile, parent, title, initialPath, filters, path);
}

bool Prompt::getSaveFileName(QWidget *parent, const QString &title, const QString &initialPath,
                             const QStringList &filters, QString *path)
{
    return askFile(Kind::SaveFile, parent, title, initialPath, filters, path);
}

bool Prompt::getItem(QWidget *parent, const QString &title, const QString &label,
                     const QStringList &items, QString *item)
{
    if (hook()) {
        Request request;
        request.kind = Kind::Choice;
        request.parent = parent;
        request.title = title;
        request.text = label;
        request.items = items;
        const Answer answer = hook()(request);
        if (answer.accepted && item)
            *item = answer.text;
        return answer.accepted && items.contains(answer.text);
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, title, label, items, 0, false, &ok);
    if (ok && item)
        *item = chosen;
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

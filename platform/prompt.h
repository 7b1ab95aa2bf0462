// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

// Every modal question, message and input dialog of the program goes through
// here, so that one place decides how the administrator is asked. Tests set a
// hook that answers instead of a person: no window opens and nothing has to
// wait for one.
class Prompt
{
public:
    enum class Kind
    {
        Information,
        Warning,
        Critical,
        Question,
        TextInput,
        Dialog,
        OpenFile, // a file to read: the answer's text is its path
        SaveFile, // a file to write
        Choice,   // one of items: the answer's text is the one chosen
    };

    struct Request
    {
        Kind kind = Kind::Information;
        QWidget *parent = nullptr;
        QString title;
        QString text; // the message, or the label of a text input
        QMessageBox::StandardButtons buttons;
        QString initialText;       // text input: what the field holds at first
        QDialog *dialog = nullptr; // the dialog that would run modally
        QStringList items;         // choice: what is offered; files: the name filters
    };

    struct Answer
    {
        QMessageBox::StandardButton button = QMessageBox::NoButton; // message boxes
        bool accepted = false; // text input and dialogs: Ok rather than Cancel
        QString text;          // text input
    };

    using Hook = std::function<Answer(const Request &)>;

    // Yes and No (and whatever else is given), no default button; the button
    // clicked, or the escape button's answer.
    static QMessageBox::StandardButton
    question(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No);
    // One Ok button each.
    static void information(QWidget *parent, const QString &title, const QString &text);
    static void warning(QWidget *parent, const QString &title, const QString &text);
    static void critical(QWidget *parent, const QString &title, const QString &text);

    // A box of that kind; false only for a question not answered Yes.
    static bool tell(Kind kind, QWidget *parent, const QString &title, const QString &text);

    // A one-line text input preset with initialText; false when cancelled.
    static bool getText(QWidget *parent, const QString &title, const QString &label,
                        const QString &initialText, QString *text);

    // A file to open or to save as (starting from initialPath), with the
    // name filters given; false when cancelled.
    static bool getOpenFileName(QWidget *parent, const QString &title, const QString &initialPath,
                                const QStringList &filters, QString *path);
    static bool getSaveFileName(QWidget *parent, const QString &title, const QString &initialPath,
                                const QStringList &filters, QString *path);
    // One of items, the first preselected; false when cancelled.
    static bool getItem(QWidget *parent, const QString &title, const QString &label,
                        const QStringList &items, QString *item);

    // Runs the dialog modally; its result code.
    static int exec(QDialog *dialog);

    // While a hook is set it answers every request; an empty hook restores
    // the real windows.
    static void setHook(Hook hook);

private:
    static QMessageBox::StandardButton message(Kind kind, QWidget *parent, const QString &title,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons);
};

#pragma once

#include "platform/db/connection.h"
#include "platform/db/engineerror.h"
#include "platform/ui/asker.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// A question for a file or a folder: to open, to save under, or a folder to
// read from. The answer is a path, or "" when the user cancels.
struct FileRequest {
    enum class Mode { Open, Save, Folder };
    QWidget *parent = nullptr;
    QString caption;
    QString folder;   // where the dialog starts: a folder, or a proposed path to save under
    QString filter;   // "PDF files (*.pdf)", filters parted by ";;"; a save without a suffix gets the chosen one's
    Mode mode = Mode::Open;
};

// A question for one of some items: the chosen one, or "" when the user
// cancels.
struct ItemRequest {
    QWidget *parent = nullptr;
    QString caption;
    QString label;
    QStringList items;
    int current = 0;   // the item proposed
};

// What the windows need of the world outside them: the database
// connection, message boxes, file dialogs, choices among items, the clock, where errors go that
// no handler catches, and the text a failure is shown with. Built once by
// whoever starts the program and handed to every window; a test builds its
// own.
struct Services {
    Connection *connection = nullptr;   // outlives the windows
    Asker::Function ask;
    std::function<QString(const FileRequest &)> chooseFile;
    std::function<QString(const ItemRequest &)> chooseItem;
    std::function<QDateTime()> now;
    // Errors raised where no handler can catch them (a keystroke in a bound
    // control, a grid reading its rows); empty: shown like a failure.
    std::function<void(const QString &)> report;
    // The text a failure of the database is shown with; empty: its message.
    std::function<QString(const EngineError &)> failureText;

    // Real message boxes, real dialogs, the real clock; errors reported in a
    // message box.
    static Services standard(Connection &connection);

    // The connection's database, opened on first use (connection.h).
    Database &database() const { return connection->database(); }

    Asker::Answer question(const Asker::Question &q) const { return ask ? ask(q) : Asker::negative(q.buttons); }
    QString file(const FileRequest &request) const { return chooseFile ? chooseFile(request) : QString(); }
    QString item(const ItemRequest &request) const { return chooseItem ? chooseItem(request) : QString(); }
    QDateTime clock() const { return now ? now() : QDateTime::currentDateTime(); }
    void tell(const QString &message) const { report ? report(message) : showFailure(message); }
    QString textOf(const EngineError &error) const { return failureText ? failureText(error) : error.message(); }

    // A failure in a message box with the application's name as caption.
    void showFailure(const QString &text) const;
    void showFailure(const EngineError &error) const { showFailure(textOf(error)); }
};

// The real file dialogs: open, save (no question about an existing file;
// the writer asks or refuses itself), or a folder.
QString fileDialog(const FileRequest &request);
// The real choice: a list to pick one item from.
QString itemDialog(const ItemRequest &request);

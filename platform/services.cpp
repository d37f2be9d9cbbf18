#include "platform/services.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QRegularExpression>

Services Services::standard(Connection &connection)
{
    Services s;
    s.connection = &connection;
    s.ask = Asker::messageBox;
    s.chooseFile = fileDialog;
    s.chooseItem = itemDialog;
    s.now = [] { return QDateTime::currentDateTime(); };
    return s;
}

void Services::showFailure(const QString &text) const
{
    question({text, QGuiApplication::applicationDisplayName(), Asker::Buttons::Ok, Asker::Icon::Critical});
}

namespace {

// The suffix of a filter's first pattern: "csv" of "CSV (*.csv *.txt)".
QString suffixOf(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

} // namespace

QString fileDialog(const FileRequest &request)
{
    if (request.mode == FileRequest::Mode::Folder)
        return QFileDialog::getExistingDirectory(request.parent, request.caption, request.folder);
    if (request.mode == FileRequest::Mode::Open)
        return QFileDialog::getOpenFileName(request.parent, request.caption, request.folder, request.filter);
    QString chosenFilter = request.filter.section(QStringLiteral(";;"), 0, 0);
    QString path = QFileDialog::getSaveFileName(request.parent, request.caption, request.folder, request.filter,
                                                &chosenFilter, QFileDialog::DontConfirmOverwrite);
    // A name typed without a suffix gets the one of the chosen filter.
    const QString suffix = suffixOf(chosenFilter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty() && !suffix.isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

QString itemDialog(const ItemRequest &request)
{
    bool ok = false;
    const QString item = QInputDialog::getItem(request.parent, request.caption, request.label, request.items,
                                               request.current, false, &ok);
    return ok ? item : QString();
}

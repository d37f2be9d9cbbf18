#pragma once

#include "platform/db/engineerror.h"
#include "platform/ui/asker.h"

#include <QGuiApplication>
#include <exception>
#include <utility>

// Runs an event handler so that a failure ends only the handler: the message
// is shown in a message box, whatever the handler did before stays done, and
// the application goes on.
inline void showFailure(const QString &text)
{
    Asker::ask({text, QGuiApplication::applicationDisplayName(), Asker::Buttons::Ok,
                Asker::Icon::Critical});
}

template <class F>
void guarded(F &&f)
{
    try {
        std::forward<F>(f)();
    } catch (const EngineError &e) {
        showFailure(e.message());
    } catch (const std::exception &e) {
        showFailure(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        // A handler must never take the application down.
        showFailure(QStringLiteral("An unexpected error ended the command."));
    }
}

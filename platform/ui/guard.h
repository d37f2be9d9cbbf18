#pragma once

#include "platform/db/engineerror.h"
#include "platform/ui/asker.h"

#include <QGuiApplication>
#include <QObject>
#include <exception>
#include <functional>
#include <utility>

// Event handlers run inside a guard that is applied where they are
// connected, never inside their bodies: a failure ends only the handler,
// its message is shown in a message box, whatever the handler did before
// stays done, and the application goes on. A handler that another handler
// calls directly therefore throws to its caller, which stops too.
inline void showFailure(const QString &text)
{
    Asker::ask({text, QGuiApplication::applicationDisplayName(), Asker::Buttons::Ok,
                Asker::Icon::Critical});
}

// The text a failure of the database is shown with; the application puts
// a change the user may not make into the chosen language.
using FailureText = std::function<QString(const EngineError &)>;
inline FailureText &failureText()
{
    static FailureText text;
    return text;
}

inline void showFailure(const EngineError &e) { showFailure(failureText() ? failureText()(e) : e.message()); }

template <class F>
void guarded(F &&f)
{
    try {
        std::forward<F>(f)();
    } catch (const EngineError &e) {
        showFailure(e);
    } catch (const std::exception &e) {
        showFailure(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        // A handler must never take the application down.
        showFailure(QStringLiteral("An unexpected error ended the command."));
    }
}

// Connects a signal to a handler of the receiver, inside the guard. The
// handler takes no arguments; the signal's are not used.
template <class Sender, class Signal, class Receiver>
QMetaObject::Connection connectGuarded(Sender *sender, Signal signal, Receiver *receiver,
                                       void (Receiver::*handler)())
{
    return QObject::connect(sender, signal, receiver, [receiver, handler] {
        guarded([&] { (receiver->*handler)(); });
    });
}

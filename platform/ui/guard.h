#pragma once

#include "platform/db/engineerror.h"
#include "platform/services.h"

#include <QObject>
#include <exception>
#include <utility>

// Event handlers run inside a guard that is applied where they are
// connected, never inside their bodies: a failure ends only the handler,
// its message is shown in a message box of the window's services, whatever
// the handler did before stays done, and the application goes on. A handler
// that another handler calls directly therefore throws to its caller, which
// stops too.
template <class F>
void guarded(const Services &services, F &&f)
{
    try {
        std::forward<F>(f)();
    } catch (const EngineError &e) {
        services.showFailure(e);
    } catch (const std::exception &e) {
        services.showFailure(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        // A handler must never take the application down.
        services.showFailure(QStringLiteral("An unexpected error ended the command."));
    }
}

// Connects a signal to a handler of the receiver, inside the guard. The
// handler takes no arguments; the signal's are not used.
template <class Sender, class Signal, class Receiver>
QMetaObject::Connection connectGuarded(const Services &services, Sender *sender, Signal signal, Receiver *receiver,
                                       void (Receiver::*handler)())
{
    return QObject::connect(sender, signal, receiver, [&services, receiver, handler] {
        guarded(services, [&] { (receiver->*handler)(); });
    });
}

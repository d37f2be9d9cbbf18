#pragma once
// The services a test hands to the windows it builds: scripted answers for
// message boxes, chosen files and items, a clock of its own. Nothing outside the
// object changes, so nothing stays behind when it goes.
#include "platform/services.h"

#include <QDateTime>
#include <QList>
#include <QQueue>
#include <QStringList>

class TestServices {
public:
    TestServices();
    TestServices(const TestServices &) = delete;
    TestServices &operator=(const TestServices &) = delete;

    Services &services() { return m_services; }
    operator Services &() { return m_services; }

    // Queues the answer to the next question. With an empty queue a question
    // gets the negative answer (Cancel, No, or OK for an OK-only box).
    void answer(Asker::Answer a);
    int pending() const { return static_cast<int>(m_answers.size()); }
    const QList<Asker::Question> &questions() const { return m_questions; }
    void clear() { m_questions.clear(); m_answers.clear(); }

    // The answers to file and folder requests, in turn; "" (cancelled) when
    // none is left. Every request is recorded.
    QStringList files;
    const QList<FileRequest> &fileRequests() const { return m_fileRequests; }

    // The answers to questions for one of some items, in turn; "" (cancelled)
    // when none is left. Every request is recorded.
    QStringList items;
    const QList<ItemRequest> &itemRequests() const { return m_itemRequests; }

    // The clock stands at this moment; an invalid one gives the real clock.
    void setNow(const QDateTime &now) { m_now = now; }

private:
    Asker::Answer respond(const Asker::Question &q);

    Services m_services;
    QQueue<Asker::Answer> m_answers;
    QList<Asker::Question> m_questions;
    QList<FileRequest> m_fileRequests;
    QList<ItemRequest> m_itemRequests;
    QDateTime m_now;
};

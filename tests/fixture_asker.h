#pragma once
// Scripted answers for message boxes: installs itself for its lifetime,
// answers from a queue and records every question asked.
#include "platform/ui/asker.h"

#include <QList>
#include <QQueue>

class ScriptedAsker {
public:
    ScriptedAsker();
    ~ScriptedAsker();
    ScriptedAsker(const ScriptedAsker &) = delete;
    ScriptedAsker &operator=(const ScriptedAsker &) = delete;

    // Queues the answer to the next question. With an empty queue a question
    // gets the negative answer (Cancel, No, or OK for an OK-only box).
    void answer(Asker::Answer a);
    int pending() const { return static_cast<int>(m_answers.size()); }

    const QList<Asker::Question> &questions() const { return m_questions; }
    void clear() { m_questions.clear(); m_answers.clear(); }

private:
    Asker::Answer respond(const Asker::Question &q);

    QQueue<Asker::Answer> m_answers;
    QList<Asker::Question> m_questions;
};

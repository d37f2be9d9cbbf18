#include "fixture_asker.h"

ScriptedAsker::ScriptedAsker()
{
    Asker::install([this](const Asker::Question &q) { return respond(q); });
}

ScriptedAsker::~ScriptedAsker()
{
    Asker::install({});
}

void ScriptedAsker::answer(Asker::Answer a)
{
    m_answers.enqueue(a);
}

Asker::Answer ScriptedAsker::respond(const Asker::Question &q)
{
    m_questions.append(q);
    if (m_answers.isEmpty())
        return Asker::negative(q.buttons);
    return m_answers.dequeue();
}

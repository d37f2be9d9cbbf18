#include "fixture_services.h"

TestServices::TestServices()
{
    m_services.ask = [this](const Asker::Question &q) { return respond(q); };
    m_services.chooseFile = [this](const FileRequest &request) {
        m_fileRequests.append(request);
        return files.isEmpty() ? QString() : files.takeFirst();
    };
    m_services.chooseItem = [this](const ItemRequest &request) {
        m_itemRequests.append(request);
        return items.isEmpty() ? QString() : items.takeFirst();
    };
    m_services.now = [this] { return m_now.isValid() ? m_now : QDateTime::currentDateTime(); };
}

void TestServices::answer(Asker::Answer a)
{
    m_answers.enqueue(a);
}

Asker::Answer TestServices::respond(const Asker::Question &q)
{
    m_questions.append(q);
    if (m_answers.isEmpty())
        return Asker::negative(q.buttons);
    return m_answers.dequeue();
}

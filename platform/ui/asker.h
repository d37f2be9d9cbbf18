#pragma once

#include <QString>
#include <functional>

// Every message box of the application is a question answered through the
// asker the window was given (see Services), so that tests can replace the
// modal box by a scripted answer.
namespace Asker {

// YesNoCancel: a three-way question (Yes, No, or back with Cancel).
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Warning, Question, Critical };
enum class Answer { Ok, Cancel, Yes, No };

struct Question {
    QString text;
    QString caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

using Function = std::function<Answer(const Question &)>;

// The real asker: a modal message box whose first button (OK or Yes) is the
// default. Closing the box without a button counts as the negative answer
// (Cancel or No; OK for a box with OK alone; Cancel for Yes, No and Cancel).
Answer messageBox(const Question &q);

// True for OK and Yes, the answers that carry an operation out.
bool positive(Answer a);

// The answer given when the question is dismissed: Cancel, No, or OK for a
// box with OK alone.
Answer negative(Buttons b);

} // namespace Asker

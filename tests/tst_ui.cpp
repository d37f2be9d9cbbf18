#include "fixture_asker.h"
#include "platform/db/engineerror.h"
#include "platform/ui/asker.h"
#include "platform/ui/guard.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using Asker::Answer;
using Asker::Buttons;
using Asker::Icon;

Q_DECLARE_METATYPE(Asker::Answer)
Q_DECLARE_METATYPE(Asker::Buttons)

namespace {

// Presses a key in the next modal box and remembers what it showed.
struct BoxPresser {
    Qt::Key key;
    QString text, caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    void arm()
    {
        QTimer::singleShot(0, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return arm();
            text = box->text();
            caption = box->windowTitle();
            icon = box->icon();
            for (QAbstractButton *b : box->buttons())
                buttons << QString::number(box->standardButton(b));
            QTest::keyClick(box, key);
        });
    }
};

} // namespace

class TstUi : public QObject {
    Q_OBJECT
private slots:
    // Asker
    void positiveAnswers();
    void scriptedAskerAnswersAndRecords();
    void scriptedAskerDefaultsToNegative_data();
    void scriptedAskerDefaultsToNegative();
    void messageBoxAnswers_data();
    void messageBoxAnswers();

    // Guard
    void guardShowsEngineError();
    void guardShowsOtherErrors();
    void guardQuietWithoutError();
};

void TstUi::positiveAnswers()
{
    QVERIFY(Asker::positive(Answer::Ok));
    QVERIFY(Asker::positive(Answer::Yes));
    QVERIFY(!Asker::positive(Answer::Cancel));
    QVERIFY(!Asker::positive(Answer::No));
}

void TstUi::scriptedAskerAnswersAndRecords()
{
    ScriptedAsker asker;
    asker.answer(Answer::Yes);
    asker.answer(Answer::Cancel);
    QCOMPARE(Asker::ask({"first?", "Meldungsfenster", Buttons::YesNo, Icon::Question}), Answer::Yes);
    QCOMPARE(Asker::ask({"second?", "Information", Buttons::OkCancel, Icon::Warning}), Answer::Cancel);
    QCOMPARE(asker.pending(), 0);
    QCOMPARE(asker.questions().size(), 2);
    QCOMPARE(asker.questions()[0].text, QString("first?"));
    QCOMPARE(asker.questions()[0].caption, QString("Meldungsfenster"));
    QCOMPARE(asker.questions()[0].buttons, Buttons::YesNo);
    QCOMPARE(asker.questions()[0].icon, Icon::Question);
    QCOMPARE(asker.questions()[1].icon, Icon::Warning);
}

void TstUi::scriptedAskerDefaultsToNegative_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Answer>("expected");
    QTest::newRow("ok") << Buttons::Ok << Answer::Ok;
    QTest::newRow("ok-cancel") << Buttons::OkCancel << Answer::Cancel;
    QTest::newRow("yes-no") << Buttons::YesNo << Answer::No;
}

void TstUi::scriptedAskerDefaultsToNegative()
{
    QFETCH(Buttons, buttons);
    QFETCH(Answer, expected);
    ScriptedAsker asker;
    QCOMPARE(Asker::ask({"?", "c", buttons, Icon::None}), expected);
    QCOMPARE(asker.questions().size(), 1);
}

void TstUi::messageBoxAnswers_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<int>("key");
    QTest::addColumn<Answer>("expected");
    QTest::addColumn<QStringList>("shown");
    const QString ok = QString::number(QMessageBox::Ok), cancel = QString::number(QMessageBox::Cancel);
    const QString yes = QString::number(QMessageBox::Yes), no = QString::number(QMessageBox::No);
    QTest::newRow("ok, return") << Buttons::Ok << int(Qt::Key_Return) << Answer::Ok << QStringList{ok};
    QTest::newRow("ok, escape") << Buttons::Ok << int(Qt::Key_Escape) << Answer::Ok << QStringList{ok};
    QTest::newRow("ok-cancel, return") << Buttons::OkCancel << int(Qt::Key_Return) << Answer::Ok
                                       << QStringList{ok, cancel};
    QTest::newRow("ok-cancel, escape") << Buttons::OkCancel << int(Qt::Key_Escape) << Answer::Cancel
                                       << QStringList{ok, cancel};
    QTest::newRow("yes-no, return") << Buttons::YesNo << int(Qt::Key_Return) << Answer::Yes
                                    << QStringList{yes, no};
    QTest::newRow("yes-no, escape") << Buttons::YesNo << int(Qt::Key_Escape) << Answer::No
                                    << QStringList{yes, no};
}

void TstUi::messageBoxAnswers()
{
    QFETCH(Buttons, buttons);
    QFETCH(int, key);
    QFETCH(Answer, expected);
    QFETCH(QStringList, shown);
    Asker::install({});
    BoxPresser presser{Qt::Key(key)};
    presser.arm();
    QCOMPARE(Asker::ask({"Really?", "Meldungsfenster", buttons, Icon::Question}), expected);
    QCOMPARE(presser.text, QString("Really?"));
    QCOMPARE(presser.caption, QString("Meldungsfenster"));
    QCOMPARE(presser.icon, QMessageBox::Question);
    presser.buttons.sort();
    shown.sort();
    QCOMPARE(presser.buttons, shown);
}

void TstUi::guardShowsEngineError()
{
    QGuiApplication::setApplicationDisplayName("BSC");
    ScriptedAsker asker;
    int before = 0, after = 0;
    guarded([&] {
        ++before;
        throw EngineError("Table kz_liqui: no such table");
        ++after;
    });
    QCOMPARE(before, 1);
    QCOMPARE(after, 0);
    QCOMPARE(asker.questions().size(), 1);
    const Asker::Question &q = asker.questions().first();
    QCOMPARE(q.text, QString("Table kz_liqui: no such table"));
    QCOMPARE(q.caption, QString("BSC"));
    QCOMPARE(q.buttons, Buttons::Ok);
    QCOMPARE(q.icon, Icon::Critical);
}

void TstUi::guardShowsOtherErrors()
{
    ScriptedAsker asker;
    guarded([] { throw std::runtime_error("out of range"); });
    guarded([] { throw 42; });
    QCOMPARE(asker.questions().size(), 2);
    QCOMPARE(asker.questions()[0].text, QString("out of range"));
    QCOMPARE(asker.questions()[0].icon, Icon::Critical);
    QVERIFY(!asker.questions()[1].text.isEmpty());
}

void TstUi::guardQuietWithoutError()
{
    ScriptedAsker asker;
    bool ran = false;
    guarded([&] { ran = true; });
    QVERIFY(ran);
    QVERIFY(asker.questions().isEmpty());
}

QTEST_MAIN(TstUi)
#include "tst_ui.moc"

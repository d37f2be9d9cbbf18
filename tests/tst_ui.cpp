#include "fixture_services.h"
#include "platform/db/engineerror.h"
#include "platform/ui/asker.h"
#include "platform/ui/selector.h"
#include "platform/ui/guard.h"

#include <QPushButton>
#include "platform/ui/lightslot.h"
#include "platform/ui/controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

using Asker::Answer;
using Asker::Buttons;
using Asker::Icon;

Q_DECLARE_METATYPE(Asker::Answer)
Q_DECLARE_METATYPE(Asker::Buttons)

namespace {

const QStringList years = {"2003", "2004", "2005", "2006"};

// A box as the pages use it: a prompt text and a list, nothing chosen.
struct SelectorProbe {
    QWidget page;
    Selector *box = new Selector(&page);
    QSignalSpy spy{box, &Selector::changed};
    SelectorProbe()
    {
        box->setText("Jahr:");
        box->addItems(years);
    }
};

// Presses a key in the next modal box and remembers what it showed.
struct BoxPresser {
    Qt::Key key;
    QString text, caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    // Looks at every turn of the event loop; it goes with the presser,
    // however the test ends.
    std::unique_ptr<QTimer> timer;
    void arm()
    {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer->stop();
            text = box->text();
            caption = box->windowTitle();
            icon = box->icon();
            for (QAbstractButton *b : box->buttons())
                buttons << QString::number(box->standardButton(b));
            QTest::keyClick(box, key);
        });
        timer->start(0);
    }
};

LightSlot makeSlot(QWidget *parent)
{
    const auto picture = [](int state) {
        const Qt::GlobalColor colours[4] = {Qt::lightGray, Qt::red, Qt::yellow, Qt::green};
        QPixmap pixmap(49, 16);
        pixmap.fill(colours[state]);
        return pixmap;
    };
    return LightSlot(parent, {"amp_grau_z1", "amp_rot_z1", "amp_gelb_z1", "amp_gruen_z1"},
                     picture, {QPoint(600, 104), QPoint(616, 104), QPoint(632, 104), QPoint(648, 104)},
                     QSize(49, 17), QPoint(600, 104), {"grau", "rot", "gelb", "gruen"}, "Ampel",
                     "Goal one");
}

int visibleCount(const LightSlot &slot)
{
    int n = 0;
    for (int i = 0; i < 4; ++i)
        n += slot.picture(i)->isHidden() ? 0 : 1;
    return n;
}

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
    void guardAtTheConnectionStopsTheCaller();

    // Selector
    void selectorStartsWithPromptAndNoChoice();
    void choiceSetsIndexAndSignals();
    void choosingAgainSignalsAgain();
    void typingResetsIndex_data();
    void typingResetsIndex();
    void finishingTypedItemTextChoosesNothing_data();
    void finishingTypedItemTextChoosesNothing();
    void arrowKeyChooses();
    void popupChoiceChooses();
    void programmaticChangesAreQuiet();
    void clearItemsKeepsText();
    void itemIndexMinusOneEmptiesText();
    void disabledSelectorKeepsText();

    // LightSlot
    void slotStartsGrey();
    void switchShowsOnePictureAtSlot_data();
    void switchShowsOnePictureAtSlot();
    void resetMovesNothing();
    void outOfRangeResets_data();
    void outOfRangeResets();
    void slotTellsStateInWords();
    void hidingHelpers();

    // Pictures
    void pictureDrawnOnFirstShow();
    void lightDrawnWhenItsStateShows();
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
    TestServices asker;
    asker.answer(Answer::Yes);
    asker.answer(Answer::Cancel);
    QCOMPARE(asker.services().question({"first?", "Meldungsfenster", Buttons::YesNo, Icon::Question}), Answer::Yes);
    QCOMPARE(asker.services().question({"second?", "Information", Buttons::OkCancel, Icon::Warning}), Answer::Cancel);
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
    TestServices asker;
    QCOMPARE(asker.services().question({"?", "c", buttons, Icon::None}), expected);
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
    BoxPresser presser{Qt::Key(key)};
    presser.arm();
    QCOMPARE(Asker::messageBox({"Really?", "Meldungsfenster", buttons, Icon::Question}), expected);
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
    TestServices asker;
    int before = 0, after = 0;
    guarded(asker, [&] {
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
    TestServices asker;
    guarded(asker, [] { throw std::runtime_error("out of range"); });
    guarded(asker, [] { throw 42; });
    QCOMPARE(asker.questions().size(), 2);
    QCOMPARE(asker.questions()[0].text, QString("out of range"));
    QCOMPARE(asker.questions()[0].icon, Icon::Critical);
    QVERIFY(!asker.questions()[1].text.isEmpty());
}

void TstUi::guardQuietWithoutError()
{
    TestServices asker;
    bool ran = false;
    guarded(asker, [&] { ran = true; });
    QVERIFY(ran);
    QVERIFY(asker.questions().isEmpty());
}

namespace {
// A handler that calls another handler, as the measures editor runs the
// page's display step.
class Caller : public QObject {
public:
    bool after = false;
    void display() { throw EngineError("Table kz_liqui: no such table"); }
    void save()
    {
        display();
        after = true;
    }
};
} // namespace

void TstUi::guardAtTheConnectionStopsTheCaller()
{
    TestServices asker;
    QPushButton button;
    Caller caller;
    connectGuarded(asker, &button, &QPushButton::clicked, &caller, &Caller::save);
    button.click();
    QVERIFY(!caller.after);
    QCOMPARE(asker.questions().size(), 1);
    QCOMPARE(asker.questions().first().text, QString("Table kz_liqui: no such table"));
}

void TstUi::selectorStartsWithPromptAndNoChoice()
{
    SelectorProbe s;
    QCOMPARE(s.box->itemIndex(), -1);
    QCOMPARE(s.box->text(), QString("Jahr:"));
    QCOMPARE(s.box->items(), years);
    QVERIFY(s.box->isEditable());
    QCOMPARE(s.spy.count(), 0);
}

void TstUi::choiceSetsIndexAndSignals()
{
    SelectorProbe s;
    s.box->choose(2);
    QCOMPARE(s.box->itemIndex(), 2);
    QCOMPARE(s.box->text(), QString("2005"));
    QCOMPARE(s.spy.count(), 1);
}

void TstUi::choosingAgainSignalsAgain()
{
    SelectorProbe s;
    s.box->choose(1);
    s.box->choose(1);
    QCOMPARE(s.box->itemIndex(), 1);
    QCOMPARE(s.spy.count(), 2);
}

void TstUi::typingResetsIndex_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("other text") << "20x";
    QTest::newRow("an item's text") << "2004";
}

void TstUi::typingResetsIndex()
{
    QFETCH(QString, typed);
    SelectorProbe s;
    s.box->choose(0);
    s.box->lineEdit()->clear();
    s.spy.clear();
    QTest::keyClicks(s.box->lineEdit(), typed);
    QCOMPARE(s.box->text(), typed);
    QCOMPARE(s.box->itemIndex(), -1);
    QCOMPARE(s.spy.count(), typed.size());

    s.box->choose(3);
    s.spy.clear();
    s.box->type(typed);
    QCOMPARE(s.box->text(), typed);
    QCOMPARE(s.box->itemIndex(), -1);
    QCOMPARE(s.spy.count(), 1);
}

void TstUi::finishingTypedItemTextChoosesNothing_data()
{
    QTest::addColumn<bool>("byReturn");
    QTest::newRow("return") << true;
    QTest::newRow("focus leaves") << false;
}

void TstUi::finishingTypedItemTextChoosesNothing()
{
    QFETCH(bool, byReturn);
    SelectorProbe s;
    QLineEdit other(&s.page);
    other.move(0, 40);
    s.page.show();
    QVERIFY(QTest::qWaitForWindowActive(&s.page));
    s.box->setFocus();
    QTRY_VERIFY(s.box->hasFocus());
    s.box->lineEdit()->clear();
    QTest::keyClicks(s.box, "2005");
    QCOMPARE(s.spy.count(), 4);
    if (byReturn) {
        QTest::keyClick(s.box, Qt::Key_Return);
    } else {
        other.setFocus();
        QTRY_VERIFY(other.hasFocus());
    }
    QCOMPARE(s.box->itemIndex(), -1);
    QCOMPARE(s.box->text(), QString("2005"));
    QCOMPARE(s.spy.count(), 4);
}

void TstUi::arrowKeyChooses()
{
    SelectorProbe s;
    QTest::keyClick(s.box->lineEdit(), Qt::Key_Down);
    QCOMPARE(s.box->itemIndex(), 0);
    QCOMPARE(s.box->text(), QString("2003"));
    QCOMPARE(s.spy.count(), 1);
}

void TstUi::popupChoiceChooses()
{
    SelectorProbe s;
    s.page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.page));
    s.box->showPopup();
    QAbstractItemView *view = s.box->view();
    QTRY_VERIFY(view->isVisible());
    view->setCurrentIndex(s.box->model()->index(2, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(s.box->itemIndex(), 2);
    QCOMPARE(s.box->text(), QString("2005"));
    QCOMPARE(s.spy.count(), 1);
}

void TstUi::programmaticChangesAreQuiet()
{
    SelectorProbe s;
    s.box->setItemIndex(1);
    QCOMPARE(s.box->itemIndex(), 1);
    QCOMPARE(s.box->text(), QString("2004"));
    s.box->setText("Branche...");
    QCOMPARE(s.box->itemIndex(), -1);
    QCOMPARE(s.box->text(), QString("Branche..."));
    s.box->clearItems();
    s.box->addItems({"Landwirtschaft", "Bergbau"});
    s.box->setItemIndex(-1);
    QCOMPARE(s.spy.count(), 0);
}

void TstUi::clearItemsKeepsText()
{
    SelectorProbe s;
    s.box->choose(2);
    s.box->clearItems();
    QCOMPARE(s.box->itemIndex(), -1);
    QCOMPARE(s.box->text(), QString("2005"));
    QVERIFY(s.box->items().isEmpty());
    s.box->addItems({"a", "b"});
    QCOMPARE(s.box->itemIndex(), -1);
    QCOMPARE(s.box->text(), QString("2005"));
}

void TstUi::itemIndexMinusOneEmptiesText()
{
    SelectorProbe s;
    s.box->choose(1);
    s.box->setItemIndex(-1);
    QCOMPARE(s.box->itemIndex(), -1);
    QCOMPARE(s.box->text(), QString());
}

void TstUi::disabledSelectorKeepsText()
{
    SelectorProbe s;
    s.box->setEnabled(false);
    QCOMPARE(s.box->text(), QString("Jahr:"));
    s.box->setItemIndex(3);
    QCOMPARE(s.box->itemIndex(), 3);
    QCOMPARE(s.box->text(), QString("2006"));
    s.box->setText("industry...");
    QCOMPARE(s.box->text(), QString("industry..."));
    QCOMPARE(s.spy.count(), 0);
}

void TstUi::slotStartsGrey()
{
    QWidget page;
    LightSlot slot = makeSlot(&page);
    QCOMPARE(slot.state(), 0);
    QCOMPARE(visibleCount(slot), 1);
    QVERIFY(!slot.picture(0)->isHidden());
    QCOMPARE(page.findChild<QLabel *>("amp_gelb_z1"), slot.picture(2));
    const int lefts[4] = {600, 616, 632, 648};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(slot.picture(i)->geometry(), QRect(lefts[i], 104, 49, 17));
    QCOMPARE(slot.picture(4), nullptr);
}

void TstUi::switchShowsOnePictureAtSlot_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("rot") << 1;
    QTest::newRow("gelb") << 2;
    QTest::newRow("gruen") << 3;
}

void TstUi::switchShowsOnePictureAtSlot()
{
    QFETCH(int, state);
    QWidget page;
    LightSlot slot = makeSlot(&page);
    for (int first = 1; first <= 3; ++first) {
        slot.switchTo(first);
        slot.switchTo(state);
        QCOMPARE(slot.state(), state);
        QCOMPARE(visibleCount(slot), 1);
        QVERIFY(!slot.picture(state)->isHidden());
        QCOMPARE(slot.picture(state)->pos(), QPoint(600, 104));
        QCOMPARE(slot.picture(0)->pos(), QPoint(600, 104));
    }
}

void TstUi::resetMovesNothing()
{
    QWidget page;
    LightSlot slot = makeSlot(&page);
    slot.switchTo(3);
    QList<QPoint> before;
    for (int i = 0; i < 4; ++i)
        before << slot.picture(i)->pos();
    slot.reset();
    QCOMPARE(slot.state(), 0);
    QCOMPARE(visibleCount(slot), 1);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(slot.picture(i)->pos(), before[i]);
    QCOMPARE(slot.picture(1)->pos(), QPoint(616, 104));
    QCOMPARE(slot.picture(3)->pos(), QPoint(600, 104));
}

void TstUi::outOfRangeResets_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("grau") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("too large") << 4;
}

void TstUi::outOfRangeResets()
{
    QFETCH(int, state);
    QWidget page;
    LightSlot slot = makeSlot(&page);
    slot.switchTo(2);
    slot.switchTo(state);
    QCOMPARE(slot.state(), 0);
    QCOMPARE(visibleCount(slot), 1);
}

void TstUi::slotTellsStateInWords()
{
    QWidget page;
    LightSlot slot = makeSlot(&page);
    const QStringList names = {"Ampel: grau", "Ampel: rot", "Ampel: gelb", "Ampel: gruen"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(slot.picture(i)->accessibleName(), names[i]);
        QCOMPARE(slot.picture(i)->accessibleDescription(), QString("Goal one"));
    }
}

void TstUi::hidingHelpers()
{
    QWidget page;
    LightSlot slot = makeSlot(&page);
    slot.switchTo(1);
    slot.hideColours();
    QCOMPARE(slot.state(), -1);
    slot.reset();
    slot.hideColours();
    QCOMPARE(slot.state(), 0);
    slot.hideAll();
    QCOMPARE(visibleCount(slot), 0);
    slot.switchTo(3);
    QCOMPARE(slot.state(), 3);
    QCOMPARE(visibleCount(slot), 1);
}

QTEST_MAIN(TstUi)
void TstUi::pictureDrawnOnFirstShow()
{
    QWidget window;
    int drawn = 0;
    QLabel *picture = Controls::picture(&window, QStringLiteral("Image1"), {10, 10, 20, 20}, [&drawn] {
        ++drawn;
        QPixmap pixmap(20, 20);
        pixmap.fill(Qt::blue);
        return pixmap;
    });
    QCOMPARE(drawn, 0);
    QVERIFY(picture->pixmap().isNull());
    // Shown inside a hidden window it is not yet on screen.
    picture->show();
    QCOMPARE(drawn, 0);
    window.show();
    QCOMPARE(drawn, 1);
    QCOMPARE(picture->pixmap().size(), QSize(20, 20));
    picture->hide();
    picture->show();
    QCOMPARE(drawn, 1);
}

void TstUi::lightDrawnWhenItsStateShows()
{
    QWidget page;
    QList<int> drawn;
    LightSlot slot(&page, {"amp_grau_z1", "amp_rot_z1", "amp_gelb_z1", "amp_gruen_z1"},
                   [&drawn](int state) {
                       drawn << state;
                       QPixmap pixmap(49, 16);
                       pixmap.fill(Qt::gray);
                       return pixmap;
                   },
                   {QPoint(600, 104), QPoint(616, 104), QPoint(632, 104), QPoint(648, 104)}, QSize(49, 17),
                   QPoint(600, 104), {"grau", "rot", "gelb", "gruen"}, "Ampel", "Goal one");
    QVERIFY(drawn.isEmpty());
    page.show();
    QCOMPARE(drawn, QList<int>{0});
    slot.switchTo(2);
    QCOMPARE(drawn, (QList<int>{0, 2}));
    QVERIFY(!slot.picture(2)->pixmap().isNull());
    QVERIFY(slot.picture(1)->pixmap().isNull());
}

#include "tst_ui.moc"

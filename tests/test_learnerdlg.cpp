#include "learnerdlg.h"
#include "learners/household.h"
#include "platform.h"
#include "recordingplatform.h"
#include "testsupport.h"
#include "textfile.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>

// "だれが れんしゅうする？": choosing, adding, renaming and removing by the
// keyboard, and who practises from the start.

namespace {

QString Names(const Household& household)
{
    QStringList names;
    for (const Learner& learner : household.learners())
        names << learner.name;
    return names.join(u' ');
}

// Keys as a person types them, through the window's focus: D down, U up,
// H home, E Enter, X Esc, T Tab, S Space, I Insert, F F2, R Delete, and
// 'text' typed letter by letter.
void Press(QWindow* window, const QString& keys)
{
    bool quoted = false;
    for (const QChar k : keys) {
        if (k == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted) {
            QTest::keyClick(window, k.toLatin1());
            continue;
        }
        static const std::map<QChar, Qt::Key> named {
            {u'D', Qt::Key_Down}, {u'U', Qt::Key_Up},     {u'H', Qt::Key_Home},   {u'E', Qt::Key_Return},
            {u'X', Qt::Key_Escape}, {u'T', Qt::Key_Tab},  {u'S', Qt::Key_Space},  {u'I', Qt::Key_Insert},
            {u'F', Qt::Key_F2},   {u'R', Qt::Key_Delete},
        };
        QTest::keyClick(window, named.at(k));
    }
}

// Runs `act` on each modal window that is up, until it says it is done;
// without blocking. Keys reach a window's focus once it is active, which a
// window shown again after a message box is not, offscreen.
void WhenModal(QObject* owner, const std::function<bool(QWidget*)>& act, bool active = true)
{
    auto* poll = new QTimer(owner);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, active] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && (!active || modal->isActiveWindow()) && act(modal)) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

} // namespace

class TestLearnerdlg : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingPlatform> platform;
    std::unique_ptr<ScratchDir> dir;

    // The household of a data directory with this index.
    Household WithIndex(const std::string& index) const
    {
        if (CreateDirectories(dir->file("learners")) != 0)
            qFatal("cannot make learners/");
        dir->write("learners/index.txt", index);
        Household household(dir->path());
        household.load();
        return household;
    }

private slots:
    void init()
    {
        platform = std::make_unique<RecordingPlatform>();
        dir = std::make_unique<ScratchDir>();
        LearnerNumber = 1;
    }
    void cleanup()
    {
        dir.reset();
        platform.reset();
        LearnerNumber = 1;
    }

    void asDrawn()
    {
        Household household = WithIndex("1=たろう\r\n2=あいうえおかきくけこさしすせそた\r\n3=bad\x01\r\n");
        Tlearnerdlg chooser;
        QStringList seen;
        QStringList faults;
        WhenModal(&chooser, [&](QWidget* modal) {
            if (modal != &chooser)
                return false;
            seen << chooser.windowTitle() << chooser.heading1->text() << chooser.note1->text();
            // Every control inside the window, none over another.
            const QList<QWidget*> shown {chooser.heading1, chooser.List1, chooser.startButton, chooser.addButton,
                                         chooser.renameButton, chooser.removeButton, chooser.note1};
            for (int i = 0; i < shown.size(); ++i) {
                if (!chooser.rect().contains(shown[i]->geometry()) || !shown[i]->isVisible())
                    faults << QStringLiteral("%1 outside").arg(i);
                for (int j = i + 1; j < shown.size(); ++j)
                    if (shown[i]->geometry().intersects(shown[j]->geometry()))
                        faults << QStringLiteral("%1 over %2").arg(i).arg(j);
            }
            // The longest name fits its row.
            if (chooser.List1->visualItemRect(chooser.List1->item(1)).width()
                < QFontMetrics(chooser.List1->font()).horizontalAdvance(chooser.List1->item(1)->text()))
                faults << "the long name is cut";
            if (chooser.nameEdit->isVisible() || !chooser.startButton->isDefault()
                || QApplication::focusWidget() != chooser.List1 || chooser.List1->currentRow() != 1)
                faults << "not ready for the keys";
            chooser.reject();
            return true;
        });
        QCOMPARE(chooser.choose(household, 2), std::nullopt);
        QCOMPARE(faults.join(", "), QString());
        QCOMPARE(seen, (QStringList {"だれが れんしゅうする？", "だれが れんしゅうする？",
                                     "index.txt 3 行目: 名前に つかえない 文字が あります（かな・かん字・ローマ字・数字に してください）"}));
    }

    void byTheKeyboard_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("chosen"); // "-": none
        QTest::addColumn<QString>("learners");
        QTest::addColumn<QString>("note"); // when the keys are done
        const QString all = "たろう はなこ jiro";
        QTest::newRow("Enter: the last learner") << "E" << "はなこ" << all << "";
        QTest::newRow("down") << "DE" << "jiro" << all << "";
        QTest::newRow("up past the top") << "UUUE" << "たろう" << all << "";
        QTest::newRow("Esc: nobody") << "X" << "-" << all << "";
        QTest::newRow("Insert, a name, Enter: added and chosen") << "I'saburo'EE" << "saburo" << all + " saburo" << "";
        QTest::newRow("Tab to ふやす, Space") << "TTS'ai'EE" << "ai" << all + " ai" << "";
        QTest::newRow("F2 renames the one chosen") << "F'hana'EE" << "hana" << "たろう hana jiro" << "";
        QTest::newRow("Tab to なまえを かえる") << "HTTTS'Taro'EE" << "Taro" << "Taro はなこ jiro" << "";
        QTest::newRow("a name taken stays in the box") << "I'jiro'E" << "-" << all << "「jiro」は もう います";
        QTest::newRow("no name") << "IE" << "-" << all << "名前を 入れてください";
        QTest::newRow("Esc leaves the name, not the window") << "I'abc'XE" << "はなこ" << all << "";
        QTest::newRow("Esc after a refused name") << "I'jiro'EXX" << "-" << all << "";
    }
    void byTheKeyboard()
    {
        QFETCH(QString, keys);
        QFETCH(QString, chosen);
        QFETCH(QString, learners);
        QFETCH(QString, note);
        Household household = WithIndex("last=2\r\n1=たろう\r\n2=はなこ\r\n3=jiro\r\n");
        Tlearnerdlg chooser;
        QString noteShown;
        bool stillOpen = false;
        WhenModal(&chooser, [&](QWidget* modal) {
            if (modal != &chooser)
                return false;
            Press(chooser.windowHandle(), keys);
            noteShown = chooser.note1->isVisible() ? chooser.note1->text() : QString();
            stillOpen = chooser.isVisible();
            if (stillOpen)
                chooser.reject(), chooser.reject();
            return true;
        });
        const std::optional<int> got = chooser.choose(household, household.last());
        const Learner* learner = got ? household.find(*got) : nullptr;
        QCOMPARE(learner ? learner->name : QString("-"), chosen);
        QCOMPARE(Names(household), learners);
        QCOMPARE(noteShown, note);
        QCOMPARE(stillOpen, !note.isEmpty());
        // The index holds what the window shows.
        Household again(dir->path());
        again.load();
        QCOMPARE(Names(again), learners);
    }

    // "けす" asks twice, each time "やめる" first; then it says where the
    // files went. Nothing is deleted.
    void removingAsksTwice_data()
    {
        QTest::addColumn<QString>("how");         // B the button, R the Delete key
        QTest::addColumn<QStringList>("answers"); // a button's text, or "Esc"
        QTest::addColumn<QString>("learners");
        QTest::newRow("no at the first question") << "B" << QStringList {"やめる"} << "たろう はなこ";
        QTest::newRow("Esc at the first question") << "R" << QStringList {"Esc"} << "たろう はなこ";
        QTest::newRow("yes, then no") << "B" << QStringList {"けす", "やめる"} << "たろう はなこ";
        QTest::newRow("yes, then Esc") << "R" << QStringList {"けす", "Esc"} << "たろう はなこ";
        QTest::newRow("yes twice") << "B" << QStringList {"けす", "けす", "OK"} << "たろう";
        QTest::newRow("yes twice by the keys") << "R" << QStringList {"けす", "けす", "OK"} << "たろう";
    }
    void removingAsksTwice()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, answers);
        QFETCH(QString, learners);
        QVERIFY(CreateDirectories(dir->file("learners/2")) == 0);
        dir->write("learners/2/kidrill.ini", "[Level1]\r\nMode1=5\r\n");
        Household household = WithIndex("last=2\r\n1=たろう\r\n2=はなこ\r\n");
        Tlearnerdlg chooser;
        QStringList asked;
        QStringList pending = answers;
        WhenModal(&chooser, [&](QWidget* modal) {
            if (modal != &chooser)
                return false;
            if (how == "B")
                QTimer::singleShot(0, chooser.removeButton, &QPushButton::click);
            else
                QTimer::singleShot(0, &chooser, [&] { Press(chooser.windowHandle(), "R"); });
            return true;
        });
        // Each box in turn (each asks something else), then the chooser is
        // closed.
        WhenModal(&chooser, [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) {
                if (modal != &chooser || !pending.isEmpty() || asked.isEmpty())
                    return false;
                chooser.reject();
                return true;
            }
            if (!asked.isEmpty() && asked.last() == box->text())
                return false;
            asked << box->text();
            const QString answer = pending.isEmpty() ? QString() : pending.takeFirst();
            QTimer::singleShot(0, box, [box, answer] {
                if (answer == "Esc")
                    QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
                for (QAbstractButton* button : box->buttons())
                    if (button->text() == answer)
                        button->click();
            });
            return false;
        }, false);
        chooser.choose(household, 2);
        QCOMPARE(Names(household), learners);
        const QString aside = QString::fromStdString(dir->path()) + "learners/2.removed-"
            + QDate::currentDate().toString(Qt::ISODate) + "/";
        QStringList expected {"「はなこ」を けしますか？",
                              "本当に「はなこ」を けしますか？\nせっていと きろくは すてずに、べつの フォルダに うつして のこします。",
                              "「はなこ」を けしました。\nせっていと きろくは つぎの フォルダに あります：\n" + aside};
        QCOMPARE(asked, expected.mid(0, answers.size()));
        const bool removed = answers.size() == 3;
        QCOMPARE(FileExists(dir->file("learners/2/kidrill.ini")), !removed);
        if (removed)
            QCOMPARE(ReadFileBytes(aside.toStdString() + "kidrill.ini").bytes, std::string("[Level1]\r\nMode1=5\r\n"));
    }

    // The last learner cannot be removed: the button is off, and Delete asks nothing.
    void theLastLearnerStays()
    {
        Household household(dir->path());
        household.load();
        Tlearnerdlg chooser;
        QStringList seen;
        bool removable = true;
        WhenModal(&chooser, [&](QWidget* modal) {
            seen << modal->windowTitle();
            if (modal != &chooser)
                return false;
            removable = chooser.removeButton->isEnabled();
            Press(chooser.windowHandle(), "R");
            QTimer::singleShot(50, &chooser, [&] { chooser.reject(); });
            return false;
        });
        chooser.choose(household, 1);
        QVERIFY(!removable);
        QCOMPARE(seen.filter("けす"), QStringList {});
        QCOMPARE(Names(household), QString("はじめの人"));
    }

    // Who practises from the start.
    void learnerAtStart_data()
    {
        QTest::addColumn<QByteArray>("index"); // null: none
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("keys"); // in the chooser; "-": no chooser
        QTest::addColumn<int>("learner");  // 0: the program ends
        QTest::addColumn<QString>("error");
        QTest::newRow("one learner: nobody asked") << QByteArray() << "" << "-" << 1 << "";
        QTest::newRow("two: the chooser, the last first") << QByteArray("last=2\r\n1=a\r\n2=b\r\n") << "" << "E" << 2 << "";
        QTest::newRow("two: another chosen") << QByteArray("last=2\r\n1=a\r\n2=b\r\n") << "" << "UE" << 1 << "";
        QTest::newRow("the chooser closed") << QByteArray("1=a\r\n2=b\r\n") << "" << "X" << 0 << "";
        QTest::newRow("named") << QByteArray("1=a\r\n2=b\r\n") << "b" << "-" << 2 << "";
        QTest::newRow("named anew") << QByteArray("1=a\r\n2=b\r\n") << "c" << "-" << 3 << "";
        QTest::newRow("named in a fresh directory") << QByteArray() << "c" << "-" << 1 << "";
        QTest::newRow("named where no learner can be made")
            << QByteArray("learners is a file") << "c" << "-" << 0 << "c: %1 が フォルダでは ありません";
    }
    void learnerAtStart()
    {
        QFETCH(QByteArray, index);
        QFETCH(QString, named);
        QFETCH(QString, keys);
        QFETCH(int, learner);
        QFETCH(QString, error);
        dir->write("kidrill.ini", "");
        if (index == "learners is a file") {
            dir->write("learners", "x");
        } else if (!index.isNull()) {
            QVERIFY(CreateDirectories(dir->file("learners")) == 0);
            dir->write("learners/index.txt", index.toStdString());
        }
        if (named == "c" && index.isNull())
            QVERIFY(::unlink(dir->file("kidrill.ini").c_str()) == 0);
        QStringList seen;
        QObject owner;
        WhenModal(&owner, [&](QWidget* modal) {
            seen << modal->windowTitle();
            QTimer::singleShot(0, modal, [modal, keys] { Press(modal->windowHandle(), keys); });
            return true;
        });
        LearnerNumber = 99;
        const bool started = ChooseLearnerAtStart(dir->path(), named);
        QCOMPARE(started, learner != 0);
        if (started)
            QCOMPARE(LearnerNumber, learner);
        QCOMPARE(seen, keys == "-" ? QStringList {} : QStringList {"だれが れんしゅうする？"});
        QCOMPARE(platform->errors.size(), std::size_t(error.isEmpty() ? 0 : 1));
        if (!error.isEmpty())
            QCOMPARE(QString::fromStdString(platform->errors[0].text), error.arg("learners"));
        // The last learner is remembered where an index is kept.
        Household household(dir->path());
        household.load();
        if (started && FileExists(LearnerIndexPath(dir->path())))
            QCOMPARE(household.last(), learner);
    }
};

QTEST_MAIN(TestLearnerdlg)
#include "test_learnerdlg.moc"

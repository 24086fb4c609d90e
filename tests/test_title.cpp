#include "classdlg.h"
#include "counters.h"
#include "coursedlg.h"
#include "heldrecords.h"
#include "keyboard.h"
#include "learnerdlg.h"
#include "learners/household.h"
#include "main.h"
#include "modaldriver.h"
#include "problems.h"
#include "qttranslation.h"
#include "rank.h"
#include "recorddlg.h"
#include "recordingplatform.h"
#include "records/recordkeeper.h"
#include "records/recordstats.h"
#include "records/waitingdrills.h"
#include "result.h"
#include "scores.h"
#include "session.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "settingsdlg.h"
#include "stop.h"
#include "testsupport.h"
#include "textfile.h"
#include "title.h"
#include "widgets/drawing.h"
#include "widgets/readingrow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QListWidget>
#include <QTreeWidget>
#include <QLabel>
#include <QPlainTextEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <functional>
#include <map>
#include <memory>

namespace {


// The drill program's six windows, created in the program's order.
struct Program {
    std::unique_ptr<Ttitle1> title = std::make_unique<Ttitle1>();
    std::unique_ptr<Tmain1> drill;
    std::unique_ptr<Tstopdlg> stop;
    std::unique_ptr<Tresultdlg> result;
    std::unique_ptr<Trankdlg> rank;

    Program()
    {
        title1 = title.get();
        drill = std::make_unique<Tmain1>();
        main1 = drill.get();
        stop = std::make_unique<Tstopdlg>();
        stopdlg = stop.get();
        result = std::make_unique<Tresultdlg>();
        resultdlg = result.get();
        kb1 = new Tkb1(drill.get());
        rank = std::make_unique<Trankdlg>();
        rankdlg = rank.get();
    }
    ~Program()
    {
        rank.reset();
        result.reset();
        stop.reset();
        drill.reset();
        title.reset();
        title1 = nullptr;
        main1 = nullptr;
        kb1 = nullptr;
        stopdlg = nullptr;
        resultdlg = nullptr;
        rankdlg = nullptr;
    }
};

void Type(QWidget* window, const char* keys)
{
    for (const char* k = keys; *k; ++k)
        QTest::keyClick(window->windowHandle(), *k);
}

} // namespace

class TestTitle : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingPlatform> platform;
    std::unique_ptr<ScratchDir> dir;

    void writeData()
    {
        dir->write("roma.txt", ReadFileBytes(SourceDataDir() + "roma.txt").bytes);
        dir->write("code.dat", ReadFileBytes(AppDataDir() + "code.dat").bytes);
        dir->write("word1.txt", Cp932Lines({"亜,あ", "一文字"}));
        dir->write("word2.txt", ReadFileBytes(SourceDataDir() + "word2.txt").bytes);
        dir->write("word3.txt", ReadFileBytes(SourceDataDir() + "word3.txt").bytes);
    }

    // A drill of 100 keys at level 1 with `misses` misses, its last key
    // `elapsed` ms after its first, through to the title window again.
    void playHundredKeys(std::uint32_t elapsed, int misses)
    {
        title1->selectMode(3);
        title1->selectLevel(0);
        ModalDriver driver;
        driver.actions[main1] = [&] {
            platform->now = 1000;
            Type(main1, "a");
            platform->now = 1000 + elapsed;
            main1->Timer1Timer();
            for (int i = 0; i < misses; ++i)
                Type(main1, "q");
            for (int i = 2; i <= 100; ++i)
                Type(main1, "a");
        };
        driver.actions[stopdlg] = [&] {
            for (int tick = 0; tick < 5; ++tick)
                stopdlg->Timer1Timer();
        };
        driver.actions[resultdlg] = [&] { resultdlg->Button1->click(); };
        title1->Button1->click();
        QTRY_VERIFY_WITH_TIMEOUT(driver.seen.contains("けっか") && title1->isVisible(), 10000);
    }

    // Chooses the learner of that name in "だれが れんしゅうする？" by the
    // keyboard, the chooser opened by the title window's "かわる".
    void switchTo(const QString& name)
    {
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            Tlearnerdlg* chooser = title1->learnersWindow();
            if (!chooser || QApplication::activeModalWidget() != chooser)
                return;
            poll.stop();
            QTest::keyClick(chooser->windowHandle(), Qt::Key_Home);
            while (chooser->List1->currentItem()->text() != name && chooser->List1->currentRow() + 1 < chooser->List1->count())
                QTest::keyClick(chooser->windowHandle(), Qt::Key_Down);
            QTest::keyClick(chooser->windowHandle(), Qt::Key_Return);
        });
        poll.start();
        title1->learnerButton->click();
        QVERIFY(!poll.isActive());
    }

private slots:
    void init()
    {
        platform = std::make_unique<RecordingPlatform>();
        dir = std::make_unique<ScratchDir>();
        platform->appDir = dir->path();
        platform->screen = {1600, 900};
        HighScoreTable = HighScores {};
        Counters = DrillCounters {};
        ForgetSettings();
        writeData();
    }

    void cleanup()
    {
        dir.reset();
        platform.reset();
        LearnerNumber = 1;
    }

    void titleWindowAsDrawn()
    {
        Program program;
        Ttitle1& t = *program.title;
        QCOMPARE(t.windowTitle(), QString("ポプリカ　ぷるるん"));
        QCOMPARE(t.size(), QSize(502, 292));
        QCOMPARE(t.pos(), QPoint((1600 - 502) / 2, (900 - 292) / 2));
        QVERIFY(!(t.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(t.mode1->title(), QString("モード"));
        QCOMPARE(t.level1->title(), QString("レベル"));
        QCOMPARE(t.mode1->geometry(), QRect(26, 16, 225, 201));
        QCOMPARE(t.level1->geometry(), QRect(266, 16, 217, 201));
        QCOMPARE(t.Button1->text(), QString("すたーと"));
        QVERIFY(t.Button1->isDefault());
        QCOMPARE(t.Button3->text(), QString("ランキング"));
        QCOMPARE(t.Button2->text(), QString("おわり"));
        QCOMPARE(t.Button1->geometry(), QRect(39, 240, 234, 41));
        QCOMPARE(t.Button3->geometry(), QRect(288, 248, 89, 33));
        QCOMPARE(t.Button2->geometry(), QRect(392, 248, 97, 33));
        // The one control beyond the drawing: "せってい", inside the window,
        // clear of every other control, its caption whole, off the Tab chain.
        const QRect settings = t.settingsButton->geometry();
        QCOMPARE(t.settingsButton->text(), QString("せってい"));
        QVERIFY(t.settingsButton->isVisibleTo(&t));
        QVERIFY(t.rect().contains(settings));
        for (const QWidget* other : {static_cast<QWidget*>(t.mode1), static_cast<QWidget*>(t.level1),
                                     static_cast<QWidget*>(t.Button1), static_cast<QWidget*>(t.Button3),
                                     static_cast<QWidget*>(t.Button2), static_cast<QWidget*>(t.recordsButton),
                                     static_cast<QWidget*>(t.courseButton)})
            QVERIFY(!other->geometry().intersects(settings));
        QVERIFY(TextWidth(t.settingsButton->font(), t.settingsButton->text()) + 8 <= settings.width());
        QVERIFY(t.settingsButton->font().pixelSize() >= SmallestReadablePixels);
        QCOMPARE(t.settingsButton->focusPolicy(), Qt::NoFocus);
        QCOMPARE(t.modeIndex(), 0);
        QCOMPARE(t.levelIndex(), 0);
        QCOMPARE(program.rank->Combo1->count(), 3);
        QCOMPARE(program.rank->Combo1->itemText(2), QString("文章打ち"));
        QCOMPARE(program.rank->Combo1->view()->sizeHintForRow(0), 24);
        // Every radio item fits its box.
        for (QGroupBox* box : {t.mode1, t.level1})
            for (const QWidget* item : box->findChildren<QWidget*>())
                QVERIFY(box->rect().contains(item->geometry()));
    }

    void startUpLoadsEverythingOnce()
    {
        dir->write("kidrill.ini", "[Position]\r\nMainX=11\r\nMainY=22\r\n[Option]\r\nShowKeyboard=0\r\n[Level1]\r\nMode4=5\r\n");
        platform->timeOfDay = 12345;
        Program program;
        QCOMPARE(AppDir, dir->path());
        QCOMPARE(main1->pos(), QPoint(11, 22));
        QCOMPARE(kb1->pos(), QPoint(1600 / 2 - 130, 22 + 320));
        QVERIFY(!ShowKeyboard);
        QCOMPARE(HighScoreTable.at(1, 4), 5);
        QCOMPARE(Counters.Mode, std::uint8_t(0));
        RandomGenerator same;
        same.seed(12345);
        QCOMPARE(DrillRandom.below(1000000), same.below(1000000));
        QVERIFY(!EndRequested());
    }

    // On a screen of 1600 × 900: the drill window's default place is 480,214
    // and the keyboard's 670,534.
    void unmovedWindowsWriteTheirPlacesBack_data()
    {
        QTest::addColumn<std::string>("stored");
        QTest::addColumn<QPoint>("drillShown");
        QTest::addColumn<QPoint>("keyboardShown");
        QTest::addColumn<QPoint>("drillMovedTo"); // null: not moved
        QTest::addColumn<std::string>("written");

        const std::string offScreen = "MainX=-50\r\nMainY=7\r\nKeyboardX=123456\r\nKeyboardY=-9\r\n";
        // Where the platform cannot place windows, the places still round-trip.
        QTest::newRow("a keyboard off the screen shows at its default place")
            << offScreen << QPoint(-50, 7) << QPoint(670, 534) << QPoint() << offScreen;
        QTest::newRow("MainY at the limit, without KeyboardY")
            << std::string("MainY=2147483647\r\n") << QPoint(480, 214) << QPoint(670, 534) << QPoint()
            << std::string("MainY=2147483647\r\nMainX=480\r\nKeyboardX=670\r\nKeyboardY=-2147483329\r\n");
        QTest::newRow("a window moved after it was put back writes its new place")
            << std::string("MainX=5000\r\n") << QPoint(480, 214) << QPoint(670, 534) << QPoint(10, 20)
            << std::string("MainX=10\r\nMainY=20\r\nKeyboardX=670\r\nKeyboardY=534\r\n");
    }
    void unmovedWindowsWriteTheirPlacesBack()
    {
        QFETCH(std::string, stored);
        QFETCH(QPoint, drillShown);
        QFETCH(QPoint, keyboardShown);
        QFETCH(QPoint, drillMovedTo);
        QFETCH(std::string, written);
        dir->write("kidrill.ini", "[Position]\r\n" + stored);
        {
            Program program;
            QCOMPARE(main1->pos(), drillShown);
            QCOMPARE(kb1->pos(), keyboardShown);
            if (!drillMovedTo.isNull())
                main1->move(drillMovedTo);
            program.title->show();
            program.title->Button2->click();
        }
        const std::string expected = "[Position]\r\n" + written + "[Level1]\r\n";
        QCOMPARE(Show(dir->read("kidrill.ini").substr(0, expected.size())), Show(expected));
    }

    // Start-ups that read no settings, and the end of the session while
    // their message shows: the settings file stays as it was.
    void unreadSettingsAreNeverSaved_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("during"); // the session's end while the message shows
        QTest::newRow("no roma.txt") << "roma.txt" << "" << "";
        QTest::newRow("no code.dat") << "code.dat" << "" << "";
        QTest::newRow("short code.dat") << "code.dat:short" << "ファイルの末尾以降を読み込みました" << "";
        QTest::newRow("roma.txt is a directory") << "roma.txt:dir" << "" << "";
        QTest::newRow("roma.txt fails while read") << "roma.txt:ioerror" << "入出力エラー: <dir>roma.txt" << "";
        QTest::newRow("code.dat fails while read") << "code.dat:ioerror" << "入出力エラー: <dir>code.dat" << "";
        QTest::newRow("roma.txt too large to read") << "roma.txt:huge" << "<dir>roma.txt は大きすぎるため読み込めません"
                                                    << "";
        QTest::newRow("SIGTERM at a short code.dat") << "code.dat:short" << "ファイルの末尾以降を読み込みました"
                                                     << "SIGTERM";
        QTest::newRow("the session manager's quit at a failed roma.txt")
            << "roma.txt:ioerror" << "入出力エラー: <dir>roma.txt" << "quit";
        const QString huge = "<dir>kidrill.ini は設定ファイルとしては大きすぎるため、読み込みませんでした。\n"
                             "初期の設定で始めます。このファイルには書き込みません。";
        QTest::newRow("settings too large to be settings") << "kidrill.ini:huge" << huge << "";
        QTest::newRow("SIGHUP at too large settings") << "kidrill.ini:huge" << huge << "SIGHUP";
    }
    void unreadSettingsAreNeverSaved()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(QString, during);
        const QString name = file.section(':', 0, 0);
        const QString path = QString::fromStdString(dir->file(name.toStdString()));
        // A huge file holds 20 MB of empty lines after its first line.
        const std::string settings = "[Level1]\r\nMode1=999\r\n"
            + std::string(file == "kidrill.ini:huge" ? 20000000 : 0, '\n');
        dir->write("kidrill.ini", settings);
        if (file == "roma.txt:huge") {
            dir->write("roma.txt", ReadFileBytes(SourceDataDir() + "roma.txt").bytes + std::string(20000000, '\n'));
        } else if (file.endsWith(":short")) {
            dir->write("code.dat", std::string(200, '\x01'));
        } else if (!file.endsWith(":huge")) {
            QVERIFY(QFile::remove(path));
            // /proc/self/mem opens, then fails at its first byte.
            if (file.endsWith(":dir"))
                QVERIFY(QDir().mkdir(path));
            if (file.endsWith(":ioerror"))
                QVERIFY(QFile::link("/proc/self/mem", path));
        }
        message.replace("<dir>", QString::fromStdString(dir->path()));
        QObject session;
        EndWithTheSession(&session);
        platform->whileErrorShows = [&] {
            if (during == "quit") {
                QEvent quit(QEvent::Quit);
                QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
            } else if (!during.isEmpty()) {
                raise(during == "SIGTERM" ? SIGTERM : SIGHUP);
            }
            QTRY_VERIFY(EndRequested() == !during.isEmpty());
        };
        {
            QElapsedTimer took;
            took.start();
            Program program;
            QVERIFY2(took.elapsed() < 1000, qPrintable(QString("%1 ms").arg(took.elapsed())));
            const bool startUpFails = name != "kidrill.ini";
            QCOMPARE(EndRequested(), startUpFails || !during.isEmpty());
            QCOMPARE(platform->terminateRequests, int(startUpFails) + int(!during.isEmpty()));
            QCOMPARE(HighScoreTable.at(1, 1), 0); // never read
            QStringList errors;
            for (const auto& e : platform->errors)
                errors << QString::fromStdString(e.text);
            QCOMPARE(errors, message.isEmpty() ? QStringList {} : QStringList {message});
            // Neither a new best nor a close on the way out saves anything.
            HighScoreTable.at(1, 1) = 5;
            QVERIFY(!SaveSettings());
            program.title->close();
        }
        QVERIFY(dir->read("kidrill.ini") == settings);
    }

    void missingLevelFileEndsWithoutSaving()
    {
        const std::string settings = "[Level1]\r\nMode1=999\r\n";
        dir->write("kidrill.ini", settings);
        QVERIFY(QFile::remove(QString::fromStdString(dir->file("word1.txt"))));
        {
            Program program;
            program.title->show();
            ModalDriver driver;
            // The real program's loops end with its quit; here the drill is closed.
            driver.actions[main1] = [] { main1->close(); };
            program.title->Button1->click();
            QVERIFY(EndRequested());
            QVERIFY(!program.title->isVisible());
            program.title->close();
        }
        QCOMPARE(dir->read("kidrill.ini"), settings);
    }

    void wholeCharacterTrialFromTheStartButton()
    {
        dir->write("kidrill.ini", "[Color]\r\nL_Ko=$FF00\r\n");
        HighScoreTable.at(1, 4) = 0;
        Program program;
        program.title->show();
        program.title->selectMode(3);
        QMap<QString, QString> results;
        bool bannerStayedForFiveTicks = false;
        ModalDriver driver;
        driver.actions[main1] = [&] {
            platform->now = 1000;
            Type(main1, "a");
            platform->now = 1000 + 45678;
            main1->Timer1Timer();
            for (int i = 0; i < 3; ++i)
                Type(main1, "q");
            for (int i = 2; i <= 100; ++i)
                Type(main1, "a");
        };
        driver.actions[stopdlg] = [&] {
            for (int tick = 1; tick < 5; ++tick)
                stopdlg->Timer1Timer();
            Type(stopdlg, "a\x1b");
            bannerStayedForFiveTicks = stopdlg->isVisible();
            stopdlg->Timer1Timer();
        };
        driver.actions[resultdlg] = [&] {
            results["key1"] = resultdlg->key1->text();
            results["time1"] = resultdlg->time1->text();
            results["missc1"] = resultdlg->missc1->text();
            results["score1"] = resultdlg->score1->text();
            results["miss1"] = resultdlg->miss1->text();
            results["hiscore1"] = resultdlg->hiscore1->isVisible() ? "shown" : "hidden";
            QTest::keyClick(resultdlg->windowHandle(), Qt::Key_Return); // the default button
        };
        QTimer::singleShot(0, program.title->Button1, &QPushButton::click);
        QTRY_VERIFY_WITH_TIMEOUT(driver.seen.size() >= 3 && !main1->isVisible() && program.title->isVisible(), 10000);

        // The drill window is modal again between the result and its close.
        QCOMPARE(driver.seen, (QStringList {"ポプリカ　ぷるるん", "stopdlg", "けっか", "ポプリカ　ぷるるん"}));
        QVERIFY(bannerStayedForFiveTicks);
        QCOMPARE(Counters.Mode, std::uint8_t(4));
        QCOMPARE(Counters.Level, std::uint8_t(1));
        QCOMPARE(main1->Label3->text(), QString("練習"));
        QCOMPARE(results["key1"], QString("100"));
        QCOMPARE(results["time1"], QString(" 45.678"));
        QCOMPARE(results["missc1"], QString("3"));
        QCOMPARE(results["score1"], QString("757"));
        QCOMPARE(results["miss1"], QString("a "));
        QCOMPARE(results["hiscore1"], QString("shown"));
        QCOMPARE(HighScoreTable.at(1, 4), 757);
        QVERIFY(!kb1->isVisible());

        // The record shows in the ranking at once, and per level.
        QStringList ranking;
        ModalDriver rankDriver;
        rankDriver.actions[rankdlg] = [&] {
            for (QLabel* l : rankdlg->hisc)
                ranking << l->text();
            rankdlg->Combo1->setCurrentIndex(1);
            for (QLabel* l : rankdlg->hisc)
                ranking << l->text();
            rankdlg->Button1->click();
        };
        HighScoreTable.at(2, 1) = -7;
        program.title->Button3->click();
        QCOMPARE(ranking, (QStringList {"0", "0", "0", "757", "0", "-7", "0", "0", "0", "0"}));

        // Leaving by the close box saves the record and keeps the user's lines.
        program.title->close();
        const std::string saved = dir->read("kidrill.ini");
        QVERIFY(saved.starts_with("[Color]\r\nL_Ko=$FF00\r\n[Position]\r\nMainX="));
        QVERIFY(saved.find("[Level1]\r\nMode1=0\r\nMode2=0\r\nMode3=0\r\nMode4=757\r\nMode5=0\r\n") != std::string::npos);
        QVERIFY(saved.find("[Level3]") != std::string::npos);
    }

    void equalScoreIsNoRecord()
    {
        HighScoreTable = HighScores {};
        Program program;
        HighScoreTable.at(1, 1) = 0;
        program.title->show();
        QString hiscore;
        ModalDriver driver;
        driver.actions[main1] = [&] {
            platform->now = 0;
            Type(main1, "q"); // one miss: score 0
            platform->now = 60001;
            main1->Timer1Timer();
        };
        driver.actions[stopdlg] = [&] {
            for (int tick = 1; tick <= 5; ++tick)
                stopdlg->Timer1Timer();
        };
        driver.actions[resultdlg] = [&] {
            hiscore = resultdlg->hiscore1->isVisible() ? "shown" : "hidden";
            QCOMPARE(resultdlg->time1->text(), QString("60.000"));
            QCOMPARE(resultdlg->score1->text(), QString("0"));
            QCOMPARE(resultdlg->miss1->text(), QString("a "));
            resultdlg->Button1->click();
        };
        program.title->Button1->click();
        QCOMPARE(hiscore, QString("hidden"));
        QCOMPARE(HighScoreTable.at(1, 1), 0);
        QVERIFY(program.title->isVisible());
    }

    void enterStartsAndTheChoicesStay()
    {
        Program program;
        program.title->show();
        QVERIFY(QTest::qWaitForWindowExposed(program.title.get()));
        ModalDriver driver;
        driver.actions[main1] = [] { main1->close(); }; // abandoned: no result
        program.title->selectLevel(2);
        program.title->selectMode(1);
        QTest::keyClick(program.title->windowHandle(), Qt::Key_Return);
        QCOMPARE(Counters.Level, std::uint8_t(3));
        QCOMPARE(Counters.Mode, std::uint8_t(2));
        QCOMPARE(Counters.TimeLimit, 180);
        QCOMPARE(main1->Label3->text(), QString("意味"));
        QCOMPARE(driver.seen, QStringList {"ポプリカ　ぷるるん"});
        QVERIFY(program.title->isVisible());
        QCOMPARE(program.title->levelIndex(), 2);

        // A character trial keeps the last time limit; level 1 says 練習 again.
        program.title->selectLevel(0);
        program.title->selectMode(4);
        ModalDriver again;
        again.actions[main1] = [] { main1->close(); };
        program.title->Button1->click();
        QCOMPARE(Counters.TimeLimit, 180);
        QCOMPARE(main1->Label3->text(), QString("練習"));
        // Escape does not close the main window.
        QTest::keyClick(program.title->windowHandle(), Qt::Key_Escape);
        QVERIFY(program.title->isVisible());
        QVERIFY(!FileExists(dir->file("kidrill.ini")));
    }

    void choicesAreRemembered_data()
    {
        QTest::addColumn<std::string>("options");
        QTest::addColumn<int>("mode"); // at start, 0-based
        QTest::addColumn<int>("level");
        QTest::addColumn<std::string>("saved"); // [Option] at the end, after a drill of mode 2 at level 2

        QTest::newRow("off: the first items, the stored ones kept")
            << std::string("LastMode=4\r\nLastLevel=3\r\n") << 0 << 0 << std::string("LastMode=4\r\nLastLevel=3\r\n");
        QTest::newRow("on: the last started")
            << std::string("RememberChoice=1\r\nLastMode=4\r\nLastLevel=3\r\n") << 3 << 2
            << std::string("RememberChoice=1\r\nLastMode=2\r\nLastLevel=2\r\n");
        QTest::newRow("on: no such mode starts at the first")
            << std::string("RememberChoice=1\r\nLastMode=9\r\n") << 0 << 0
            << std::string("RememberChoice=1\r\nLastMode=2\r\nLastLevel=2\r\n");
    }
    void choicesAreRemembered()
    {
        QFETCH(std::string, options);
        QFETCH(int, mode);
        QFETCH(int, level);
        QFETCH(std::string, saved);
        dir->write("kidrill.ini", "[Option]\r\n" + options);
        {
            Program program;
            program.title->show();
            QCOMPARE(program.title->modeIndex(), mode);
            QCOMPARE(program.title->levelIndex(), level);
            // The ranking opens at the level chosen, when choices are kept.
            int ranked = -1;
            ModalDriver rankDriver;
            rankDriver.actions[rankdlg] = [&] {
                ranked = rankdlg->Combo1->currentIndex();
                rankdlg->Button1->click();
            };
            program.title->Button3->click();
            QCOMPARE(ranked, level);
            program.title->selectMode(1);
            program.title->selectLevel(1);
            ModalDriver driver;
            driver.actions[main1] = [] { main1->close(); };
            program.title->Button1->click();
            program.title->Button2->click();
        }
        const std::string file = dir->read("kidrill.ini");
        QVERIFY2(file.starts_with("[Option]\r\n" + saved + "[Position]"), qPrintable(Show(file)));
    }

    // "せってい…" by Ctrl+, : Cancel and Esc leave the file as it was; OK
    // saves what differs and the next drill has it.
    void settingsWindowKeepsOrSaves_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("written"); // lines the file holds after; empty: unchanged
        QTest::addColumn<bool>("reading");        // the next drill's reading row
        QTest::newRow("Esc") << "escape" << QStringList {} << false;
        QTest::newRow("opened by its button, Esc") << "button escape" << QStringList {} << false;
        QTest::newRow("Cancel after changes") << "recommend cancel" << QStringList {} << false;
        QTest::newRow("OK as it stands") << "ok" << QStringList {"L_Ko=$FF00", "KeySound=1", "MainX="} << false;
        QTest::newRow("おすすめ, OK")
            << "recommend ok" << QStringList {"L_Ko=$FF00", "KeySound=1", "ShowReading=1", "RememberChoice=1"} << true;
        QTest::newRow("はじめにもどす, OK") << "reset ok" << QStringList {"L_Ko=255", "KeySound=0"} << false;
        QTest::newRow("はやい goals, OK") << "faster ok" << QStringList {"KeySound=1", "GoalPercent=130"} << false;
    }
    void settingsWindowKeepsOrSaves()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, written);
        QFETCH(bool, reading);
        const std::string mine = "[Color]\r\n; mine\r\nL_Ko=$FF00\r\n[Option]\r\nKeySound=1\r\n";
        dir->write("kidrill.ini", mine);
        Program program;
        program.title->show();
        QVERIFY(QTest::qWaitForWindowExposed(program.title.get()));
        QVERIFY(!program.title->settingsWindow()); // made when first opened
        QCOMPARE(program.title->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(program.title->actions(),
                 (QList<QAction*> {program.title->settingsAction, program.title->learnersAction}));
        QCOMPARE(program.title->settingsAction->text(), QString("せってい…"));
        // Acts once the window is up, which the key itself brings.
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            Tsettingsdlg* settings = program.title->settingsWindow();
            if (!settings || QApplication::activeModalWidget() != settings)
                return;
            poll.stop();
            QCOMPARE(settings->windowTitle(), QString("せってい"));
            for (const QString& step : how.split(' ')) {
                if (step == "button")
                    continue;
                if (step == "escape")
                    QTest::keyClick(settings->windowHandle(), Qt::Key_Escape);
                else if (step == "faster")
                    settings->goalPace->setCurrentIndex(settings->goalPace->findData(130));
                else
                    (step == "recommend" ? settings->recommend : step == "reset" ? settings->reset
                                          : step == "ok"      ? settings->ok
                                                              : settings->cancel)->click();
            }
        });
        poll.start();
        if (how.startsWith("button"))
            program.title->settingsButton->click();
        else
            QTest::keyClick(program.title->windowHandle(), Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(!program.title->settingsWindow()->isVisible());
        const std::string file = dir->read("kidrill.ini");
        if (written.isEmpty())
            QCOMPARE(Show(file), Show(mine));
        for (const QString& line : written)
            QVERIFY2(file.find("\r\n" + line.toStdString()) != std::string::npos, qPrintable(line + ": " + Show(file)));
        bool shown = false;
        ModalDriver driver;
        driver.actions[main1] = [&] {
            shown = main1->reading1 && main1->reading1->isVisible();
            main1->close();
        };
        program.title->Button1->click();
        QCOMPARE(shown, reading);
    }

    // The records' button and Ctrl+R are there only with records on; the
    // menu itself never moves.
    void recordsOpenFromTheTitleOnlyWhenKept_data()
    {
        QTest::addColumn<bool>("records");
        QTest::addColumn<QSize>("size");
        QTest::newRow("off") << false << QSize(502, 292);
        QTest::newRow("on") << true << QSize(502, 333);
    }
    void recordsOpenFromTheTitleOnlyWhenKept()
    {
        QFETCH(bool, records);
        QFETCH(QSize, size);
        dir->write("kidrill.ini", records ? "[Option]\r\nRecords=1\r\n" : "");
        QVERIFY(QFile::link(QString::fromStdString(AppDataDir()) + "libkidrill_records.so",
                            QString::fromStdString(dir->file("libkidrill_records.so"))));
        platform->screen = {1280, 800}; // a small laptop's
        Program program;
        program.title->show();
        QVERIFY(QTest::qWaitForWindowExposed(program.title.get()));
        QCOMPARE(program.title->size(), size);
        QCOMPARE(program.title->recordsButton->isVisible(), records);
        QCOMPARE(program.title->Button2->geometry(), QRect(392, 248, 97, 33));
        QTimer poll;
        poll.setInterval(0);
        // Its "クラス" opens the class, which closes back to it.
        QStringList seen;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* window = qobject_cast<Tclassdlg*>(QApplication::activeModalWidget())) {
                seen << window->windowTitle();
                window->closeButton->click();
            } else if (Trecorddlg* window = program.title->recordsWindow(); window && window->isVisible()) {
                if (seen.contains("クラス")) {
                    seen << window->windowTitle();
                    window->closeButton->click();
                } else if (seen.isEmpty()) {
                    seen << window->windowTitle();
                    for (QPushButton* button : window->findChildren<QPushButton*>())
                        if (button->text() == QStringLiteral("クラス"))
                            QTimer::singleShot(0, button, &QPushButton::click); // its loop runs this poll again
                }
            }
        });
        poll.start();
        QTest::keyClick(program.title->windowHandle(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(program.title->recordsWindow() != nullptr, records);
        QCOMPARE(seen, records ? QStringList({"きろく", "クラス", "きろく"}) : QStringList());
        if (records)
            QVERIFY(program.title->recordsWindow()->frameGeometry().bottom() < 800);
        QCOMPARE(QFile::exists(QString::fromStdString(dir->file("records.sqlite"))), records);
        Recorder().close();
        Records = false;
    }

    // A lesson: chosen in the course window, played as a run of its own
    // (not the title window's mode), kept in the records, judged against
    // its goal, never a high score. Its results offer it again, and lead
    // back to the course window. While another program holds the records,
    // the course window says so, and a pass is announced only when the
    // drill waits to be written.
    void lessonDrillCountsForTheCourseAlone_data()
    {
        QTest::addColumn<bool>("held");
        QTest::addColumn<int>("waiting"); // drills an earlier run left waiting
        QTest::addColumn<QString>("note"); // under the course window's list
        QTest::addColumn<QString>("change"); // beside the speed, the first time
        QTest::addColumn<QString>("verdict");
        QTest::newRow("the records free") << false << 0 << "" << "はじめて" << "ごうかく！ ★★★　つぎ：い";
        QTest::newRow("another program holds them: the drill waits")
            << true << 0 << "いまは きろくを 読めません（ほかの プログラムが つかって います）。"
            << "まえは ？" << "ごうかく！ ★★★　つぎ：い";
        QTest::newRow("held, and no room to wait: no pass")
            << true << int(WaitingCapacity)
            << "いまは きろくを 読めません（ほかの プログラムが つかって います）。"
            << "まえは ？" << "ごうかくでしたが、きろく できませんでした";
    }
    void lessonDrillCountsForTheCourseAlone()
    {
        QFETCH(bool, held);
        QFETCH(int, waiting);
        QFETCH(QString, note);
        QFETCH(QString, change);
        QFETCH(QString, verdict);
        dir->write("kidrill.ini", "[Option]\r\nLessons=1\r\n");
        dir->write("course.txt", Cp932Lines({"one.txt,あ,20", "two.txt,い,30"}));
        dir->write("one.txt", Cp932Lines({"亜,あ", "一文字"}));
        dir->write("two.txt", Cp932Lines({"以,い", "一文字"}));
        if (waiting > 0)
            dir->write(WaitingFileName,
                       FormatWaitingDrills(std::vector<DrillRecord>(std::size_t(waiting),
                                                                    {{"2026-12-09T08:00:00Z", 1, 1, 50, 0, 60000, 50, {}}, {}, {}})));
        QVERIFY(QFile::link(QString::fromStdString(AppDataDir()) + "libkidrill_records.so",
                            QString::fromStdString(dir->file("libkidrill_records.so"))));
        std::unique_ptr<HeldRecords> hold;
        if (held) {
            hold = std::make_unique<HeldRecords>(dir->file("records.sqlite"), QStringList {"BEGIN EXCLUSIVE"});
            QVERIFY(hold->held());
        }
        Program program;
        program.title->show();
        QVERIFY(program.title->courseButton->isVisible());
        program.title->selectMode(0); // a minute's trial: no lesson's length
        QStringList verdicts;
        QStringList changes;
        QStringList states;
        QString problems;
        int courseOpened = 0;
        // Each window is acted on once each time it shows, as a child would.
        std::map<QWidget*, bool> handled;
        std::function<void(QWidget*)> act;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (auto& [window, done] : handled)
                done = done && window->isVisible();
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || handled[modal])
                return;
            handled[modal] = true;
            // Queued, so that a modal loop it starts can run this again.
            QTimer::singleShot(0, &poll, [&, modal] { act(modal); });
        });
        act = [&](QWidget* modal) {
            if (auto* course = qobject_cast<Tcoursedlg*>(modal)) {
                if (++courseOpened == 1) {
                    for (int row = 0; row < course->List1->topLevelItemCount(); ++row)
                        states << course->List1->topLevelItem(row)->text(4);
                    problems = course->problems1->isVisible() ? course->problems1->toPlainText() : QString();
                    course->startButton->click(); // the first lesson not passed is chosen
                } else {
                    course->closeButton->click();
                }
            } else if (modal == main1) {
                QCOMPARE(Counters.Mode, std::uint8_t(LessonMode));
                platform->now = 1000;
                Type(main1, "a");
                platform->now = 1000 + 30000; // 200 keys a minute
                main1->Timer1Timer();
                for (int i = 2; i <= 100; ++i)
                    Type(main1, "a");
            } else if (modal == stopdlg) {
                for (int tick = 0; tick < 5; ++tick)
                    stopdlg->Timer1Timer();
            } else if (modal == resultdlg) {
                verdicts << (resultdlg->verdict1->isVisible() ? resultdlg->verdict1->text() : QString());
                changes << resultdlg->speedChange->text();
                QVERIFY(resultdlg->againButton->isVisible());
                // The same lesson again, then back to the course.
                (verdicts.size() == 1 ? resultdlg->againButton : resultdlg->Button1)->click();
            }
        };
        poll.start();
        QTest::keyClick(program.title->windowHandle(), Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(courseOpened == 2 && program.title->isVisible(), 10000);
        QCOMPARE(states, (QStringList {"にがては まだ ありません", "", "まだ ひらいて いません"}));
        QCOMPARE(problems, note);
        QCOMPARE(changes.front(), change);
        QCOMPARE(verdicts, (QStringList {verdict, verdict}));
        QCOMPARE(resultdlg->verdict1->geometry(), QRect(8, 368, 341, 22)); // centred across the dialog
        QVERIFY(HighScoreTable.best == HighScores {}.best);
        QVERIFY(!ChosenLesson);
        // Told once why the drills wait.
        QCOMPARE(platform->errors.size(), std::size_t(held ? 1 : 0));
        hold.reset();
        const std::size_t kept = verdict.startsWith("ごうかく！") ? 2 : 0;
        QTRY_COMPARE_WITH_TIMEOUT(Recorder().store() ? Recorder().store()->lessonDrills().size() : 99, kept, 8000);
        if (kept) {
            const auto drills = Recorder().store()->lessonDrills();
            QCOMPARE(drills.front().lesson, std::string("one.txt"));
            QCOMPARE(drills.back().lesson, std::string("one.txt"));
            QCOMPARE(drills.front().mode, LessonMode);
        }
        Recorder().close();
        Lessons = false;
    }

    // A teacher's broken course: every fault named, as plain text, in a
    // window that fits the screen; lessons that cannot be played are marked.
    void courseWindowNamesWhatIsWrong()
    {
        dir->write("kidrill.ini", "[Option]\r\nLessons=1\r\n");
        QStringList course {"one.txt,あ,20", "<img src=x width=300>,い,20", "gone.txt,う,20", "utf8.txt,え,20"};
        for (int n = 0; n < 10000; ++n) // none of them there
            course << QString("l%1.txt,お,30").arg(n);
        dir->write("course.txt", Cp932Lines(course));
        dir->write("one.txt", Cp932Lines({"亜,あ", "一文字", "猫,猫", "ねこ"}));
        dir->write("utf8.txt", QString("猫,ねこ\r\nねこ\r\n").repeated(300).toStdString());
        QVERIFY(QFile::link(QString::fromStdString(AppDataDir()) + "libkidrill_records.so",
                            QString::fromStdString(dir->file("libkidrill_records.so"))));
        platform->screen = {1280, 800};
        Program program;
        program.title->show();
        QStringList states;
        QString problems;
        int bottom = 0;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            Tcoursedlg* window = program.title->findChild<Tcoursedlg*>();
            if (!window || QApplication::activeModalWidget() != window)
                return;
            poll.stop();
            for (int row = 1; row <= 4; ++row)
                states << window->List1->topLevelItem(row)->text(4)
                              + (window->List1->topLevelItem(row)->flags() & Qt::ItemIsEnabled ? "" : " -");
            problems = window->problems1->toPlainText();
            bottom = window->frameGeometry().bottom();
            window->closeButton->click();
        });
        poll.start();
        program.title->courseButtonClick();
        // one.txt can be played without its bad item; the others cannot.
        QCOMPARE(states, (QStringList {"なおして ください", "なおして ください -", "なおして ください -",
                                       "なおして ください -"}));
        QVERIFY2(problems.contains("ファイル名「<img src=x width=300>」は"), qPrintable(problems));
        QVERIFY(problems.contains("one.txt 3 行目: 読み「猫」の「猫」は打てません"));
        QVERIFY(problems.contains("gone.txt がありません"));
        QVERIFY(problems.contains("utf8.txt は UTF-8 で書かれています"));
        QVERIFY(problems.contains("レッスンは 200 個まで"));
        QVERIFY(bottom < 800);
        Recorder().close();
        Lessons = false;
    }

    void tabVisitsEachGroupOnItsChoice_data()
    {
        QTest::addColumn<QString>("keys"); // T Tab, B Shift+Tab, D down, U up
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("level");
        QTest::newRow("the buttons first") << "TT" << "おわり" << 0 << 0;
        QTest::newRow("into the modes on the choice") << "TTT" << "１分間文字数トライアル" << 0 << 0;
        QTest::newRow("arrows move the mode") << "TTTDDD" << "100文字タイムトライアル" << 3 << 0;
        QTest::newRow("into the levels on the choice") << "TTTDDDT" << "ホームポジション" << 3 << 0;
        QTest::newRow("arrows move the level") << "TTTDDDTDDU" << "横一列＋文字打ち" << 3 << 1;
        QTest::newRow("round to すたーと") << "TTTDDDTDDT" << "すたーと" << 3 << 2;
        QTest::newRow("back into the levels") << "TTTDDDTDDTB" << "文章打ち" << 3 << 2;
        QTest::newRow("back into the modes") << "TTTDDDTDDTBB" << "100文字タイムトライアル" << 3 << 2;
    }
    void tabVisitsEachGroupOnItsChoice()
    {
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        QFETCH(int, mode);
        QFETCH(int, level);
        Program program;
        program.title->show();
        QVERIFY(QTest::qWaitForWindowExposed(program.title.get()));
        QWindow* window = program.title->windowHandle();
        for (const QChar k : keys) {
            const Qt::Key key = k == 'T' ? Qt::Key_Tab : k == 'B' ? Qt::Key_Backtab : k == 'D' ? Qt::Key_Down : Qt::Key_Up;
            QTest::keyClick(window, key, k == 'B' ? Qt::ShiftModifier : Qt::NoModifier);
        }
        const auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        QVERIFY(focused);
        QCOMPARE(focused->text(), focus);
        QCOMPARE(program.title->modeIndex(), mode);
        QCOMPARE(program.title->levelIndex(), level);
        // Enter starts the chosen drill from wherever the focus is.
        ModalDriver driver;
        driver.actions[main1] = [] { main1->close(); };
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(driver.seen, QStringList {"ポプリカ　ぷるるん"});
        QCOMPARE(Counters.Mode, std::uint8_t(mode + 1));
        QCOMPARE(Counters.Level, std::uint8_t(level + 1));
    }

    void emptySetReturnsToTheTitle()
    {
        dir->write("word1.txt", Cp932Lines({"悪,ゐ", "m"}));
        Program program;
        program.title->show();
        program.title->Button1->click();
        QCOMPARE(platform->errors.size(), std::size_t(1));
        QVERIFY(program.title->isVisible());
        QVERIFY(!main1->isVisible());
    }

    // The desktop session ends while a new best is on the screen: the best
    // is on disk already, and the end saves as "おわり" does.
    void sessionEndSavesLikeOwari_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("during");
        QTest::newRow("SIGTERM at the result") << "SIGTERM" << "result";
        QTest::newRow("SIGHUP during the time-up banner") << "SIGHUP" << "banner";
        QTest::newRow("the session manager's quit at the result") << "quit" << "result";
    }
    void sessionEndSavesLikeOwari()
    {
        QFETCH(QString, how);
        QFETCH(QString, during);
        dir->write("kidrill.ini", "[Color]\r\nL_Ko=$FF00\r\n");
        Program program;
        EndWithTheSession(program.title.get());
        program.title->show();
        program.title->selectMode(3);
        std::string atResult, atEnd;
        const auto endSession = [&] {
            main1->move(main1->x() + 5, main1->y());
            if (how == "quit") {
                QEvent quit(QEvent::Quit);
                QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
            } else {
                raise(how == "SIGTERM" ? SIGTERM : SIGHUP);
            }
            QTRY_VERIFY(EndRequested());
            atEnd = dir->read("kidrill.ini");
        };
        ModalDriver driver;
        driver.actions[main1] = [&] {
            platform->now = 1000;
            for (int i = 0; i < 100; ++i)
                Type(main1, "a");
        };
        driver.actions[stopdlg] = [&] {
            if (during == "banner")
                endSession();
            for (int tick = 0; tick < 5; ++tick)
                stopdlg->Timer1Timer();
            // The real program's loops end with the session.
            if (during == "banner")
                QTimer::singleShot(0, main1, [] { main1->close(); });
        };
        driver.actions[resultdlg] = [&] {
            atResult = dir->read("kidrill.ini");
            endSession();
            resultdlg->Button1->click();
        };
        program.title->Button1->click();

        const std::string best = "[Level1]\r\nMode1=0\r\nMode2=0\r\nMode3=0\r\nMode4="
            + std::to_string(HighScoreTable.at(1, 4)) + "\r\n";
        QVERIFY(HighScoreTable.at(1, 4) > 0);
        if (during == "result")
            QVERIFY2(atResult.find(best) != std::string::npos, qPrintable(Show(atResult)));
        QVERIFY2(atEnd.find(best) != std::string::npos, qPrintable(Show(atEnd)));
        const std::string moved = "MainX=" + std::to_string(main1->x()) + "\r\n";
        QVERIFY2(atEnd.starts_with("[Color]\r\nL_Ko=$FF00\r\n[Position]\r\n" + moved), qPrintable(Show(atEnd)));
        QCOMPARE(platform->terminateRequests, 1);
        QVERIFY(!program.title->isVisible());
        // Nothing more is shown or saved on the way out.
        QCOMPARE(driver.seen.count("けっか"), during == "result" ? 1 : 0);
        dir->write("kidrill.ini", "x");
        program.title->close();
        QCOMPARE(dir->read("kidrill.ini"), std::string("x"));
    }

    // Two learners play in turn: each drill is in its own learner's
    // records and best scores, and the ranking shows the one practising.
    void eachLearnersDrillsAreTheirOwn()
    {
        QVERIFY(QFile::link(QString::fromStdString(AppDataDir()) + "libkidrill_records.so",
                            QString::fromStdString(dir->file("libkidrill_records.so"))));
        dir->write("kidrill.ini", "[Option]\r\nRecords=1\r\n");
        QVERIFY(CreateDirectories(dir->file("learners/2")) == 0);
        dir->write("learners/2/kidrill.ini", "[Option]\r\nRecords=1\r\nShowKeyboard=0\r\n[Position]\r\nMainX=33\r\n");
        dir->write("learners/index.txt", "1=たろう\r\n2=はなこ\r\n");
        dir->write("wordu.txt", Cp932Lines({"猫,ねこ", "ねこ"}));
        LearnerNumber = 1;
        Program program;
        program.title->show();
        QCOMPARE(program.title->learner1->text(), QString("たろうの ばん"));
        playHundredKeys(45678, 3); // (2000 - 456) / 2 - 15 = 757
        QCOMPARE(HighScoreTable.at(1, 4), 757);

        switchTo("はなこ");
        QCOMPARE(LearnerNumber, 2);
        QCOMPARE(program.title->learner1->text(), QString("はなこの ばん"));
        // たろう's best was saved as he left; はなこ's own settings hold.
        QVERIFY(dir->read("kidrill.ini").find("[Level1]\r\nMode1=0\r\nMode2=0\r\nMode3=0\r\nMode4=757\r\n") != std::string::npos);
        QCOMPARE(HighScoreTable.at(1, 4), 0);
        QVERIFY(!ShowKeyboard);
        // Her place, a frame's margins aside; written back unchanged below.
        QVERIFY(qAbs(main1->x() - 33) <= 4);
        playHundredKeys(30000, 0); // (2000 - 300) / 2 = 850
        QCOMPARE(HighScoreTable.at(1, 4), 850);
        QStringList ranking;
        ModalDriver rankDriver;
        rankDriver.actions[rankdlg] = [&] {
            for (QLabel* l : rankdlg->hisc)
                ranking << l->text();
            rankdlg->Button1->click();
        };
        program.title->Button3->click();
        QCOMPARE(ranking, (QStringList {"0", "0", "0", "850", "0"}));
        // The settings window says whose settings it sets.
        QString caption;
        QTimer::singleShot(0, [&] {
            caption = program.title->settingsWindow()->windowTitle();
            program.title->settingsWindow()->cancel->click();
        });
        program.title->settingsAction->trigger();
        QCOMPARE(caption, QString("せってい（はなこ）"));
        const std::vector<DrillSummary> hers = Recorder().store()->drills(0, 0);
        QCOMPARE(hers.size(), std::size_t(1));
        QCOMPARE(hers[0].score, 850);
        QCOMPARE(Recorder().store()->learnerName(), std::string("はなこ")); // wherever the file goes

        switchTo("たろう");
        QCOMPARE(HighScoreTable.at(1, 4), 757);
        QVERIFY(ShowKeyboard);
        const std::vector<DrillSummary> his = Recorder().store()->drills(0, 0);
        QCOMPARE(his.size(), std::size_t(1));
        QCOMPARE(his[0].score, 757);
        QCOMPARE(his[0].misses, 3u);
        QCOMPARE(Recorder().store()->learnerName(), std::string("たろう"));
        Recorder().close();
        program.title->close();
        QVERIFY(dir->read("learners/2/kidrill.ini").find("Mode4=850\r\n") != std::string::npos);
        QVERIFY(dir->read("learners/2/kidrill.ini").find("[Position]\r\nMainX=33\r\n") != std::string::npos);
        QVERIFY(dir->read("kidrill.ini").find("Mode4=757\r\n") != std::string::npos);
        QVERIFY(FileExists(dir->file("records.sqlite")));
        QVERIFY(FileExists(dir->file("learners/2/records.sqlite")));
        // The household's word list stays where it was, one for both.
        QCOMPARE(dir->read("wordu.txt"), Cp932Lines({"猫,ねこ", "ねこ"}));
        QVERIFY(!FileExists(dir->file("learners/2/wordu.txt")));
        Records = false;
    }

    // Who practises shows below everything else, and moves no control of
    // the menu; with one learner the window is as it always was.
    void learnerShowsBelowTheMenu_data()
    {
        QTest::addColumn<QByteArray>("index"); // null: none
        QTest::addColumn<bool>("records");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("learnerTop"); // -1: not shown
        QTest::newRow("one learner") << QByteArray() << false << 292 << -1;
        QTest::newRow("one learner, named") << QByteArray("1=たろう\r\n") << true << 333 << -1;
        QTest::newRow("two learners") << QByteArray("1=たろう\r\n2=はなこ\r\n") << false << 333 << 292;
        QTest::newRow("two learners and records")
            << QByteArray("1=たろう\r\n2=あいうえおかきくけこさしすせそた\r\n") << true << 374 << 333;
    }
    void learnerShowsBelowTheMenu()
    {
        QFETCH(QByteArray, index);
        QFETCH(bool, records);
        QFETCH(int, height);
        QFETCH(int, learnerTop);
        if (!index.isNull()) {
            QVERIFY(CreateDirectories(dir->file("learners")) == 0);
            dir->write("learners/index.txt", index.toStdString());
        }
        LearnerNumber = index.contains("2=あ") ? 2 : 1;
        QVERIFY(CreateDirectories(LearnerDirectory(dir->path(), LearnerNumber)) == 0);
        const std::string own = LearnerDirectory(dir->path(), LearnerNumber).substr(dir->path().size());
        dir->write(own + "kidrill.ini", records ? "[Option]\r\nRecords=1\r\n" : "");
        Program program;
        program.title->show();
        QVERIFY(QTest::qWaitForWindowExposed(program.title.get()));
        Ttitle1& t = *program.title;
        QCOMPARE(t.size(), QSize(502, height));
        QCOMPARE(t.learner1->isVisible(), learnerTop >= 0);
        QCOMPARE(t.learnerButton->isVisible(), learnerTop >= 0);
        QCOMPARE(t.Button1->geometry(), QRect(39, 240, 234, 41));
        QCOMPARE(t.Button3->geometry(), QRect(288, 248, 89, 33));
        QCOMPARE(t.Button2->geometry(), QRect(392, 248, 97, 33));
        QCOMPARE(t.mode1->geometry(), QRect(26, 16, 225, 201));
        QCOMPARE(t.level1->geometry(), QRect(266, 16, 217, 201));
        if (learnerTop >= 0) {
            QCOMPARE(t.learner1->geometry(), QRect(26, learnerTop, 358, 33));
            QCOMPARE(t.learnerButton->geometry(), QRect(392, learnerTop, 97, 33));
            QVERIFY(TextWidth(t.learner1->font(), t.learner1->text()) <= t.learner1->width());
            if (records)
                QVERIFY(!t.learner1->geometry().intersects(t.recordsButton->geometry()));
        }
        Records = false;
    }

    void bannerAndResultAsDrawn()
    {
        Program program;
        stopdlg->show();
        stopdlg->Timer1->stop();
        resultdlg->show();
        QCOMPARE(stopdlg->size(), QSize(360, 134));
        QCOMPARE(stopdlg->Label1->pos(), QPoint(16, 32));
        QVERIFY(stopdlg->Label1->geometry().right() < 360);
        QVERIFY(!(stopdlg->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(stopdlg->Timer1->interval(), 1000);
        QCOMPARE(resultdlg->windowTitle(), QString("けっか"));
        QCOMPARE(resultdlg->size(), QSize(357, 385));
        QCOMPARE(resultdlg->pos(), QPoint(192, 107));
        QCOMPARE(resultdlg->miss1->size(), QSize(313, 57));
        QCOMPARE(resultdlg->Button1->geometry(), QRect(128, 336, 81, 33));
        QVERIFY(resultdlg->Button1->isDefault());
        QCOMPARE(rankdlg->windowTitle(), QString("ランキング"));
        QCOMPARE(rankdlg->size(), QSize(323, 279));
        QCOMPARE(rankdlg->hisc[4]->geometry(), QRect(218, 192, 55, 21));
        for (const QLabel* l : resultdlg->findChildren<QLabel*>())
            QVERIFY2(l->geometry().right() < 357, qPrintable(l->text()));
    }

    void screenshots()
    {
        const QByteArray out = qgetenv("KIDRILL_SCREENSHOT_DIR");
        if (out.isEmpty())
            QSKIP("set KIDRILL_SCREENSHOT_DIR to keep pictures of the windows");
        const QString to = QString::fromLocal8Bit(out) + '/';
        // Three children at one computer: the chooser, and the title window
        // of one of them.
        {
            QVERIFY(CreateDirectories(dir->file("learners")) == 0);
            dir->write("learners/index.txt", "last=2\r\n1=たろう\r\n2=はなこ\r\n3=じろう\r\n");
            LearnerNumber = 2;
            Household household(dir->path());
            household.load();
            Tlearnerdlg chooser;
            QTimer::singleShot(0, &chooser, [&] {
                chooser.grab().save(to + "learners.png");
                chooser.reject();
            });
            chooser.choose(household, 2);
            Program program;
            program.title->show();
            program.title->grab().save(to + "title-learners.png");
        }
        QVERIFY(QFile::remove(QString::fromStdString(dir->file("learners/index.txt"))));
        LearnerNumber = 1;
        Program program;
        program.title->show();
        program.title->grab().save(to + "title.png");
        HighScoreTable.at(1, 4) = 757;
        rankdlg->show();
        rankdlg->grab().save(to + "rank.png");
        rankdlg->hide();
        stopdlg->show();
        stopdlg->grab().save(to + "stop.png");
        stopdlg->Timer1->stop();
        stopdlg->hide();
        SetSizedText(resultdlg->key1, "100");
        SetSizedText(resultdlg->time1, " 45.678");
        SetSizedText(resultdlg->missc1, "3");
        SetSizedText(resultdlg->score1, "757");
        resultdlg->miss1->setText("j k ");
        resultdlg->hiscore1->show();
        resultdlg->show();
        resultdlg->grab().save(to + "result.png");
        resultdlg->hide();
        QTimer::singleShot(0, [&] {
            Tsettingsdlg* settings = program.title->settingsWindow();
            settings->grab().save(to + "settings.png");
            settings->cancel->click();
        });
        program.title->settingsAction->trigger();

        // A month of a learner who gets faster and slips less, but still
        // misses the small tsu and the contracted sounds.
        QVERIFY(QFile::link(QString::fromStdString(AppDataDir()) + "libkidrill_records.so",
                            QString::fromStdString(dir->file("libkidrill_records.so"))));
        Records = true;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (int day = 0; day < 30; day += day % 7 == 5 ? 2 : 1)
            for (int n = 0; n < 2; ++n) {
                const std::uint32_t misses = 24 - day * 2 / 3 - n;
                const std::uint32_t hits = 100;
                const std::uint32_t ms = 100 * (700 - day * 12 - n * 10);
                const DrillSummary drill {RecordTime(now.addDays(day - 29).addSecs(n * 900)), 3, 4, hits, misses, ms,
                                          std::int32_t((2000 - ms / hits) / 2 - 5 * misses), {}};
                Recorder().record({drill,
                                   {{"a", 30, 1}, {"t", 24, misses / 3}, {"y", 16, misses / 3}, {"k", 12, 0},
                                    {"s", 10, 1}, {"n", 12, misses / 6}, {"o", 16, 0}},
                                   {{"っ", 24, misses / 3}, {"しゃ", 18, misses / 3}, {"ん", 12, misses / 6},
                                    {"か", 12, 0}, {"きゅ", 3, 1}, {"た", 10, 1}}});
            }
        program.title->selectMode(3);
        program.title->selectLevel(2);
        // Once the scroll area has laid out its page.
        QTimer::singleShot(200, [&] {
            Trecorddlg* records = program.title->recordsWindow();
            records->grab().save(to + "records.png");
            records->closeButton->click();
        });
        program.title->recordsButtonClick();
        // The course after five lessons, with the weak keys of those drills.
        Lessons = true;
        AppDir = UserDir = SourceDataDir();
        for (int n = 1; n <= 5; ++n)
            Recorder().record({{RecordTime(now.addSecs(n * 60 - 3600)), 0, LessonMode, 100, std::uint32_t(n % 3),
                                std::uint32_t(60000 * 100 / (30 + 15 * n)), 0,
                                QString("lesson%1.txt").arg(n, 2, 10, QChar('0')).toStdString(), 20, 3 - n % 3},
                               {{"k", 20, n == 2 ? 6u : 0u}, {";", 12, n == 4 ? 3u : 0u}},
                               {}});
        // Lesson 2 played on three days, faster each time.
        for (int day = 1; day <= 3; ++day)
            Recorder().record({{RecordTime(now.addDays(day - 4)), 0, LessonMode, 100, std::uint32_t(4 - day),
                                std::uint32_t(60000 * 100 / (10 + 8 * day)), 0, "lesson02.txt", 16, day - 1},
                               {},
                               {}});
        QTimer::singleShot(0, [&] {
            Tcoursedlg* course = program.title->findChild<Tcoursedlg*>();
            course->grab().save(to + "course.png");
            course->closeButton->click();
        });
        program.title->courseButtonClick();
        // The course in the records: a lesson's speed and stars, drill by drill.
        QTimer::singleShot(200, [&] {
            Trecorddlg* records = program.title->recordsWindow();
            records->levelBox->setCurrentIndex(LevelCount);
            records->modeBox->setCurrentIndex(1);
            records->grab().save(to + "records-course.png");
            records->closeButton->click();
        });
        program.title->recordsButtonClick();
        Lessons = false;
        AppDir = UserDir = dir->path();
        resultdlg->showProgress({"", 3, 4, 100, 3, 45678, 757, {}}, DrillSummary {"", 3, 4, 100, 6, 48000, 730, {}});
        resultdlg->show();
        resultdlg->grab().save(to + "result-records.png");
        resultdlg->hide();
        // The same in a child's words, and the title window with its
        // options' buttons.
        KanaLabels = true;
        resultdlg->miss1->setText("j k ");
        resultdlg->show();
        resultdlg->grab().save(to + "result-kana.png");
        resultdlg->hide();
        KanaLabels = false;
        Lessons = true;
        program.title->hide();
        program.title->show();
        program.title->grab().save(to + "title-options.png");
        Lessons = false;
        Recorder().close();
        Records = false;

        // Qt's own dialogs in Japanese: a finger's colour and a message box.
        QVERIFY(LoadQtJapanese(*QCoreApplication::instance()));
        QTimer::singleShot(0, [&] {
            Tsettingsdlg* settings = program.title->settingsWindow();
            QTimer::singleShot(0, [&] {
                QWidget* colours = QApplication::activeModalWidget();
                colours->grab().save(to + "colour-dialog.png");
                colours->close();
                QTimer::singleShot(0, [&] { program.title->settingsWindow()->cancel->click(); });
            });
            settings->colours[LeftLittle]->click();
        });
        program.title->settingsButton->click();
        QMessageBox box(QMessageBox::Critical, "エラー", "word3.txt を読み込めません", QMessageBox::Ok);
        box.show();
        box.grab().save(to + "message-box.png");
    }
};

QTEST_MAIN(TestTitle)
#include "test_title.moc"

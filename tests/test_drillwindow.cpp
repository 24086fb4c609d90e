#include "counters.h"
#include "guide.h"
#include "keyboard.h"
#include "main.h"
#include "modaldriver.h"
#include "result.h"
#include "stop.h"
#include "problems.h"
#include "qtplatform.h"
#include "recordingplatform.h"
#include "roma.h"
#include "settings.h"
#include "settingsfile.h"
#include "testsupport.h"
#include "ui.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {


QString Lit(const QLabel* label)
{
    return BackgroundOf(label).name();
}

QString Hex(::Colour c)
{
    return ToQColor(c).name();
}

} // namespace

class TestDrillWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingPlatform> platform;
    std::unique_ptr<ScratchDir> dir;
    std::unique_ptr<Tmain1> drill;
    std::unique_ptr<Tstopdlg> banner;
    std::unique_ptr<Tresultdlg> results;
    std::unique_ptr<ModalDriver> ending;

    // A drill of the given mode on a level file of these entries.
    void start(int mode, const QStringList& entries, int level = 1) { begin(mode, entries, level); }
    void begin(int mode, const QStringList& entries, int level, bool waitShown = true)
    {
        dir->write("word" + std::to_string(level) + ".txt", Cp932Lines(entries));
        Counters.Mode = std::uint8_t(mode);
        Counters.Level = std::uint8_t(level);
        Counters.TimeLimit = mode <= 3 ? std::int32_t(mode == 1 ? 60 : mode == 2 ? 180 : 300) : 0;
        drill->show();
        if (waitShown)
            QVERIFY(QTest::qWaitForWindowExposed(drill.get()));
    }

    // Keys as a person types them: through the window system to the window.
    static void type(QWidget* window, const char* keys)
    {
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(window->windowHandle(), *k);
    }

    QString typedText() const { return main1->tpr2->text(); }
    bool nextCharFollowsTyped() const
    {
        return main1->tpr3->x() == main1->tpr2->x() + main1->tpr2->width() && main1->tpr3->y() == 134;
    }

private slots:
    void init()
    {
        platform = std::make_unique<RecordingPlatform>();
        dir = std::make_unique<ScratchDir>();
        AppDir = UserDir = dir->path();
        dir->write("roma.txt", ReadFileBytes(SourceDataDir() + "roma.txt").bytes);
        dir->write("code.dat", ReadFileBytes(AppDataDir() + "code.dat").bytes);
        QVERIFY(LoadRomajiTable());
        QCOMPARE(LoadFingerTable(), FingerTableLoad::Ok);
        ReadSettings(IniFile(), 1024, 768); // every default
        ShowKeyboard = true;
        KeySound = false;
        Counters = DrillCounters {};
        drill = std::make_unique<Tmain1>();
        main1 = drill.get();
        banner = std::make_unique<Tstopdlg>();
        stopdlg = banner.get();
        results = std::make_unique<Tresultdlg>();
        resultdlg = results.get();
        kb1 = new Tkb1(drill.get());
        // A drill that ends passes its banner and result at once.
        ending = std::make_unique<ModalDriver>();
        ending->actions[stopdlg] = [] {
            for (int tick = 0; tick < 5; ++tick)
                stopdlg->Timer1Timer();
        };
        ending->actions[resultdlg] = [] { resultdlg->Button1->click(); };
    }

    void cleanup()
    {
        ending.reset();
        drill.reset();
        banner.reset();
        results.reset();
        stopdlg = nullptr;
        resultdlg = nullptr;
        main1 = nullptr;
        kb1 = nullptr;
        dir.reset();
        platform.reset();
    }

    void windowsAreBuiltAsDrawn()
    {
        QCOMPARE(main1->windowTitle(), QString("ポプリカ　ぷるるん"));
        QCOMPARE(main1->size(), QSize(631, 293));
        QVERIFY(!(main1->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(main1->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(main1->pos(), QPoint(MainX, MainY));
        QCOMPARE(kb1->windowTitle(), QString("キーボード"));
        QCOMPARE(kb1->size(), QSize(251, 126));
        QCOMPARE(kb1->pos(), QPoint(KeyboardX, KeyboardY));
        QVERIFY(!main1->Timer1->isActive());
        QCOMPARE(main1->Timer1->interval(), 50);
        QVERIFY(main1->bu1->isHidden());
        // Behind every other label.
        QCOMPARE(main1->children().indexOf(main1->bu1), 0);
    }

    void labelsStandAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("colour");

        const QString text = QApplication::palette().color(QPalette::WindowText).name();
        const struct {
            const char* name;
            QPoint place;
            int pixels;
            bool bold;
            QString colour;
        } rows[] = {
            {"Label4", {24, 16}, 16, false, text},   {"tpg", {96, 16}, 21, true, text},
            {"Label3", {24, 48}, 16, false, text},   {"tpy", {96, 48}, 16, false, text},
            {"Label5", {16, 112}, 16, false, text},  {"tpr", {96, 104}, 24, false, text},
            {"tpr2", {96, 140}, 24, false, "#ff0000"}, {"Label6", {32, 216}, 16, false, text},
            {"total1", {112, 216}, 16, false, text}, {"Label7", {32, 240}, 16, false, text},
            {"hit1", {112, 240}, 19, true, "#008080"}, {"Label8", {32, 264}, 16, false, text},
            {"miss1", {112, 264}, 16, false, text},  {"Label11", {328, 216}, 21, false, text},
            {"time1", {424, 216}, 27, true, "#ff0000"}, {"bu1", {72, 40}, 0, false, "#808000"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << r.name << r.place << r.pixels << r.bold << r.colour;
    }
    void labelsStandAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, place);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QFETCH(QString, colour);
        const std::map<QString, QLabel*> labels {
            {"Label4", main1->Label4}, {"tpg", main1->tpg},       {"Label3", main1->Label3}, {"tpy", main1->tpy},
            {"Label5", main1->Label5}, {"tpr", main1->tpr},       {"tpr2", main1->tpr2},     {"Label6", main1->Label6},
            {"total1", main1->total1}, {"Label7", main1->Label7}, {"hit1", main1->hit1},     {"Label8", main1->Label8},
            {"miss1", main1->miss1},   {"Label11", main1->Label11}, {"time1", main1->time1}, {"bu1", main1->bu1},
        };
        QLabel* label = labels.at(name);
        QCOMPARE(label->pos(), place);
        if (pixels)
            QCOMPARE(label->font().pixelSize(), pixels);
        QCOMPARE(label->font().bold(), bold);
        QCOMPARE(label->palette().color(QPalette::WindowText).name(), colour);
        QVERIFY(!label->autoFillBackground());
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }

    void soundsAndIconAreCompiledIn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("samples");
        QTest::newRow("hit") << ":/sounds/100.wav" << 865;
        QTest::newRow("miss") << ":/sounds/101.wav" << 3789;
    }
    void soundsAndIconAreCompiledIn()
    {
        QFETCH(QString, name);
        QFETCH(int, samples);
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wave = file.readAll();
        auto u16 = [&](int at) { return quint16(uchar(wave[at]) | uchar(wave[at + 1]) << 8); };
        auto u32 = [&](int at) { return quint32(u16(at) | quint32(u16(at + 2)) << 16); };
        QCOMPARE(wave.left(4), QByteArray("RIFF"));
        QCOMPARE(wave.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(u16(20), quint16(1));     // PCM
        QCOMPARE(u16(22), quint16(1));     // mono
        QCOMPARE(u32(24), quint32(11025)); // samples per second
        QCOMPARE(u16(34), quint16(8));     // bits per sample
        QCOMPARE(wave.mid(36, 4), QByteArray("data"));
        QCOMPARE(u32(40), quint32(samples));
        QCOMPARE(QImage(":/icons/256/org.kidrill.Drill.png").size(), QSize(256, 256));
    }

    void realPlatformLoadsItsSoundsOnDemand()
    {
        platform.reset(); // the real one instead
        AppDir = AppDataDir();
        QtPlatform real;
        QVERIFY(!real.soundsLoaded());
        real.playSound(Platform::Sound::Hit); // returns at once, with or without a device
        real.playSound(Platform::Sound::Miss);
        QVERIFY(real.soundsLoaded());
        AppDir = "/nonexistent/";
        QtPlatform silent;
        silent.playSound(Platform::Sound::Hit);
        QVERIFY(!silent.soundsLoaded());
        platform = std::make_unique<RecordingPlatform>();
    }

    void bigBooFitsItsCell()
    {
        QVERIFY(QFontMetrics(main1->bu1->font()).height() <= 200);
        QVERIFY(QFontMetrics(main1->bu1->font()).horizontalAdvance(main1->bu1->text()) <= 400);
        QCOMPARE(main1->bu1->size(), QSize(400, 200));
    }

    void fingerLabelsAndKeyCells()
    {
        const int lefts[] = {24, 72, 120, 168, 240, 312, 368, 416, 464};
        const QLabel* order[] = {main1->yubi1, main1->yubi2, main1->yubi3, main1->yubi4, main1->yubi0,
                                 main1->yubi5, main1->yubi6, main1->yubi7, main1->yubi8};
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(order[i]->geometry(), QRect(lefts[i], 184, order[i]->text() == "人差指" ? 48 : 32, 16));
            QCOMPARE(order[i]->palette().color(QPalette::WindowText).name(), QString("#c0c0c0"));
        }
        // Every lit cell is the key of its character.
        for (char c = ' '; c < 0x7f; ++c) {
            const auto index = KeyIndexFor(c);
            if (!index || c == ' ' || c == '\\' || c == '_')
                continue;
            const QString caption = kb1->KeyLabels[*index]->text();
            const QChar fullWidth(QChar(c).unicode() + 0xFEE0);
            QVERIFY2(caption == fullWidth || (c == '-' && caption == "－"), qPrintable(QString(c) + " lights " + caption));
        }
        QCOMPARE(kb1->KeyLabels[39]->text(), QString("￥"));
        QCOMPARE(kb1->KeyLabels[48]->text(), QString("＼"));
        QCOMPARE(kb1->KeyLabels[10]->width(), 84);
        QCOMPARE(kb1->KeyLabels[49]->geometry(), QRect(7, 56, 30, 12));
        QCOMPARE(kb1->KeyLabels[50]->geometry(), QRect(216, 56, 30, 12));
        QCOMPARE(kb1->oya->geometry(), QRect(96, 104, 42, 12));
        for (const QLabel* cell : kb1->KeyLabels)
            QVERIFY(cell && cell->x() + cell->width() <= 251);
    }

    void hitsAndMissesOnOneProblem()
    {
        start(1, {"傘,かさ", "雨の日に"});
        QCOMPARE(main1->tpg->text(), QString("傘"));
        QCOMPARE(main1->tpy->text(), QString("雨の日に"));
        QCOMPARE(main1->tpr->text(), QString("kasa"));
        QCOMPARE(main1->total1->text(), QString("4"));
        QCOMPARE(main1->tpr2->width(), 0);
        QVERIFY(nextCharFollowsTyped());
        QCOMPARE(main1->tpr3->text(), QString("k"));

        type(main1, "x"); // expected k
        QCOMPARE(Counters.Misses, std::uint16_t(1));
        QCOMPARE(Counters.MissByChar['k'], std::uint16_t(1));
        QCOMPARE(Counters.MissByChar['x'], std::uint16_t(0));
        QVERIFY(main1->bu1->isVisible());
        QCOMPARE(Counters.BooCountdown, std::uint8_t(5));
        QCOMPARE(typedText(), QString());
        QCOMPARE(main1->miss1->text(), QString("1"));

        type(main1, "kA"); // hit, then upper case where a is expected
        QCOMPARE(typedText(), QString("k"));
        QCOMPARE(Counters.Hits, std::uint16_t(1));
        QCOMPARE(Counters.MissByChar['a'], std::uint16_t(1));
        QCOMPARE(main1->tpr3->text(), QString("a"));
        QVERIFY(nextCharFollowsTyped());

        type(main1, "a");
        QVERIFY(main1->bu1->isHidden());
        QCOMPARE(Counters.BooCountdown, std::uint8_t(5)); // a hit leaves the countdown
        QCOMPARE(typedText(), QString("ka"));
        QVERIFY(nextCharFollowsTyped());
        QCOMPARE(main1->tpr2->width(), QFontMetrics(main1->tpr2->font()).horizontalAdvance("ka"));

        type(main1, "sa"); // the end: the only problem comes back
        QCOMPARE(main1->ProblemIndex, std::uint16_t(1));
        QCOMPARE(main1->CursorPos, std::uint16_t(1));
        QCOMPARE(main1->tpr2->width(), 0);
        QVERIFY(nextCharFollowsTyped());
        QCOMPARE(main1->tpr3->x(), 96);
        QCOMPARE(Counters.TotalChars, std::uint16_t(8));
        QCOMPARE(main1->total1->text(), QString("8"));
        QCOMPARE(main1->hit1->text(), QString("4"));
        QCOMPARE(main1->miss1->text(), QString("2"));
    }

    void controlKeysAreOrdinaryMisses_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Backspace") << int(Qt::Key_Backspace);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Tab") << int(Qt::Key_Tab);
    }
    void controlKeysAreOrdinaryMisses()
    {
        QFETCH(int, key);
        start(1, {"傘,かさ", "m"});
        type(main1, "k");
        QTest::keyClick(main1->windowHandle(), Qt::Key(key));
        QVERIFY(main1->isVisible());
        QCOMPARE(Counters.Misses, std::uint16_t(1));
        QCOMPARE(typedText(), QString("k"));
        type(main1, "a");
        QCOMPARE(Counters.Hits, std::uint16_t(2));
    }

    void keysWithoutTextAreNoKeyPresses()
    {
        start(1, {"傘,かさ", "m"});
        for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Left, Qt::Key_F1, Qt::Key_Control})
            QTest::keyClick(main1->windowHandle(), key);
        QCOMPARE(Counters.Misses, std::uint16_t(0));
        QVERIFY(!main1->Timer1->isActive());
    }

    void firstKeyStartsTheClockEvenAsAMiss()
    {
        start(1, {"傘,かさ", "m"});
        QCOMPARE(main1->time1->text(), QString(" 60.000"));
        platform->now = 4242;
        type(main1, "z");
        QVERIFY(main1->Timer1->isActive());
        QCOMPARE(Counters.StartTime, 4242u);
        platform->now = 9999;
        type(main1, "k");
        QCOMPARE(Counters.StartTime, 4242u);
    }

    void timeTrialEndsAtTheFirstTickPastTheLimit()
    {
        start(1, {"傘,かさ", "m"});
        platform->now = 1000;
        type(main1, "k");
        platform->now = 1050;
        main1->Timer1Timer();
        QCOMPARE(main1->time1->text(), QString(" 59.950"));
        platform->now = 1000 + 59995;
        main1->Timer1Timer();
        QCOMPARE(main1->time1->text(), QString("  0.005"));
        platform->now = 1000 + 60000;
        main1->Timer1Timer();
        QCOMPARE(main1->time1->text(), QString("  0.000"));
        QVERIFY(main1->isVisible());
        platform->now = 1000 + 60001;
        main1->Timer1Timer();
        QCOMPARE(main1->time1->text(), QString("  0.000"));
        QVERIFY(!main1->isVisible());
        QVERIFY(!main1->Timer1->isActive());
        QVERIFY(!kb1->isVisible());
    }

    void characterTrialCountsUpAndEndsAtItsTarget()
    {
        start(4, {"亜,あ", "m"});
        QCOMPARE(main1->time1->text(), QString("  0.000"));
        platform->now = 0xFFFFFF00u; // the clock wraps during the drill
        type(main1, "a");
        platform->now = 0xFFFFFF00u + 1234;
        main1->Timer1Timer();
        QCOMPARE(main1->time1->text(), QString("  1.234"));
        platform->now = 0xFFFFFF00u + 2000000;
        main1->Timer1Timer();
        QCOMPARE(main1->time1->text(), QString("999.999"));
        QVERIFY(main1->isVisible());
        for (int i = 2; i < 100; ++i)
            type(main1, i % 10 ? "a" : "ba");
        QVERIFY(main1->isVisible());
        QCOMPARE(Counters.Hits, std::uint16_t(99));
        type(main1, "a");
        QVERIFY(!main1->isVisible());
        QCOMPARE(main1->hit1->text(), QString("100"));
        QCOMPARE(Counters.Misses, std::uint16_t(9));
    }

    void booLabelStaysFiveTicks()
    {
        start(1, {"傘,かさ", "m"});
        type(main1, "x");
        for (int tick = 1; tick <= 4; ++tick) {
            main1->Timer1Timer();
            QVERIFY2(main1->bu1->isVisible(), qPrintable(QString::number(tick)));
        }
        type(main1, "x"); // a second miss starts the five ticks again
        for (int tick = 1; tick <= 4; ++tick)
            main1->Timer1Timer();
        QVERIFY(main1->bu1->isVisible());
        main1->Timer1Timer();
        QVERIFY(main1->bu1->isHidden());
        QCOMPARE(Counters.BooCountdown, std::uint8_t(0));
    }

    void soundsFollowTheSetting_data()
    {
        QTest::addColumn<bool>("keySound");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void soundsFollowTheSetting()
    {
        QFETCH(bool, keySound);
        KeySound = keySound;
        start(1, {"傘,かさ", "m"});
        type(main1, "kxa");
        using S = Platform::Sound;
        const std::vector<S> expected = keySound ? std::vector<S> {S::Hit, S::Miss, S::Hit} : std::vector<S> {};
        QVERIFY(platform->sounds == expected);
    }

    void fingerGuideColoursBothWindows()
    {
        start(1, {"朝　傘,あさ　かさ", "m"}); // romaji "asa kasa"
        const QString black = "#000000";
        auto lit = Lit;
        // a: left little finger.
        QCOMPARE(lit(main1->yubi1), Hex(FingerColours[LeftLittle]));
        QCOMPARE(lit(main1->yubi0), black);
        QCOMPARE(lit(kb1->l_ko), Hex(FingerColours[LeftLittle]));
        QCOMPARE(lit(kb1->oya), kb1->faceColour().name());
        QCOMPARE(lit(kb1->KeyLabels[11]), Hex(FingerColours[LeftLittle]));
        QCOMPARE(lit(kb1->KeyLabels[29]), black);
        type(main1, "asa");
        // The space: thumbs and the space bar, no other finger.
        QCOMPARE(main1->tpr3->text(), QString(" "));
        QCOMPARE(lit(main1->yubi0), Hex(FingerColours[Thumbs]));
        QCOMPARE(lit(main1->yubi1), black);
        QCOMPARE(lit(kb1->oya), Hex(FingerColours[Thumbs]));
        QCOMPARE(lit(kb1->l_ko), kb1->faceColour().name());
        QCOMPARE(lit(kb1->KeyLabels[10]), Hex(FingerColours[Thumbs]));
        QCOMPARE(KeyColour, FingerColours[Thumbs]);
        type(main1, " ");
        // k: right middle finger.
        QCOMPARE(lit(main1->yubi6), Hex(FingerColours[RightMiddle]));
        QCOMPARE(lit(kb1->r_na), Hex(FingerColours[RightMiddle]));
        QCOMPARE(lit(kb1->KeyLabels[21]), Hex(FingerColours[RightMiddle]));
        QCOMPARE(lit(kb1->KeyLabels[10]), black);
    }

    void upperCaseLightsFingersButNoKey()
    {
        ShowKeyboard = false;
        dir->write("roma.txt", Cp932Lines({"あ,A", "っ,xtu"}));
        QVERIFY(LoadRomajiTable());
        start(1, {"亜,あ", "m"});
        QVERIFY(!kb1->isVisible());
        // A: left little finger, and the right little finger for Shift.
        QCOMPARE(Lit(main1->yubi1), Hex(FingerColours[LeftLittle]));
        QCOMPARE(Lit(main1->yubi8), Hex(FingerColours[RightLittle]));
        QCOMPARE(Lit(kb1->r_ko), Hex(FingerColours[RightLittle]));
        for (const QLabel* cell : kb1->KeyLabels)
            QCOMPARE(Lit(cell), QString("#000000"));
        QCOMPARE(KeyColour, FingerColours[LeftLittle]);
    }

    void keysTypedInTheKeyboardWindowCount()
    {
        start(1, {"傘,かさ", "m"});
        QVERIFY(kb1->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(kb1));
        type(kb1, "kx\t");
        QCOMPARE(Counters.Hits, std::uint16_t(1));
        QCOMPARE(Counters.Misses, std::uint16_t(2));
        QCOMPARE(typedText(), QString("k"));
        QVERIFY(kb1->isVisible());
    }

    void keyboardShownOnlyWhenAsked()
    {
        ShowKeyboard = false;
        start(1, {"傘,かさ", "m"});
        QVERIFY(!kb1->isVisible());
        kb1->show();
        main1->close();
        QVERIFY(!kb1->isVisible());
    }

    void everyDrillStartsAfresh()
    {
        start(1, {"傘,かさ", "m"});
        type(main1, "kxx");
        platform->now = 5000;
        main1->Timer1Timer();
        main1->close();
        QVERIFY(!main1->isVisible());

        Counters.Mode = 3;
        Counters.TimeLimit = 300;
        main1->show();
        QCOMPARE(main1->time1->text(), QString("300.000"));
        QCOMPARE(main1->hit1->text(), QString("0"));
        QCOMPARE(main1->miss1->text(), QString("0"));
        QVERIFY(main1->bu1->isHidden());
        QCOMPARE(Counters.BooCountdown, std::uint8_t(0));
        QCOMPARE(Counters.MissByChar['a'], std::uint16_t(0));
        QCOMPARE(Counters.Hits, std::uint16_t(0));
        QVERIFY(!main1->Timer1->isActive());
        QCOMPARE(main1->total1->text(), QString("4"));
    }

    void problemsFollowInTheShuffledOrderAndWrap()
    {
        start(4, {"A,か", "m", "B,きき", "m", "C,くくく", "m"});
        QStringList order;
        for (std::uint16_t n = 1; n <= Problems.Count; ++n)
            order << Show(Problems.problem(n).Romaji);
        int total = 0;
        for (int round = 0; round < 2; ++round) {
            for (const QString& romaji : order) {
                QCOMPARE(main1->tpr->text(), romaji);
                total += romaji.size();
                QCOMPARE(main1->total1->text(), QString::number(total));
                type(main1, qPrintable(romaji));
            }
        }
        QCOMPARE(main1->ProblemIndex, std::uint16_t(1));
    }

    void threeHundredProblemsAreWalkedInFull()
    {
        QStringList entries;
        for (int i = 1; i <= 300; ++i)
            entries << QString("s%1,か").arg(i) << "m";
        start(5, entries);
        QCOMPARE(Problems.Count, std::uint16_t(300));
        for (int i = 1; i < 100; ++i)
            type(main1, "ka");
        QCOMPARE(main1->ProblemIndex, std::uint16_t(100));
        QCOMPARE(Counters.TotalChars, std::uint16_t(200));
    }

    void longestRomajiCompletes()
    {
        dir->write("roma.txt", Cp932Lines({"あ,abc", "っ,xtu"}));
        QVERIFY(LoadRomajiTable());
        QString reading;
        for (int i = 0; i < 85; ++i)
            reading += "あ";
        start(1, {"長," + reading, "m"});
        QCOMPARE(Problems.problem(1).Romaji.size(), std::size_t(255));
        for (int i = 0; i < 85; ++i)
            type(main1, "abc");
        QCOMPARE(Counters.Hits, std::uint16_t(255));
        QCOMPARE(main1->CursorPos, std::uint16_t(1));
        QCOMPARE(Counters.TotalChars, std::uint16_t(510));
    }

    void setWithoutProblemsClosesAtOnce()
    {
        begin(1, {"悪,ゐ", "m"}, 1, false);
        QCOMPARE(platform->errors.size(), std::size_t(1));
        QTRY_VERIFY(!main1->isVisible());
        type(main1, "a");
        QCOMPARE(Counters.Misses, std::uint16_t(0));
    }

    void missingLevelFileEndsTheProgram()
    {
        Counters.Mode = 1;
        Counters.Level = 2;
        main1->show();
        QCOMPARE(platform->terminateRequests, 1);
        QVERIFY(platform->errors.empty());
    }

    void closeBoxEndsTheDrill()
    {
        start(1, {"傘,かさ", "m"});
        type(main1, "k");
        QVERIFY(main1->Timer1->isActive());
        main1->close();
        QVERIFY(!main1->Timer1->isActive());
        QVERIFY(!kb1->isVisible());
    }

    void screenshotMidDrill()
    {
        const QByteArray out = qgetenv("KIDRILL_SCREENSHOT_DIR");
        if (out.isEmpty())
            QSKIP("set KIDRILL_SCREENSHOT_DIR to keep pictures of the windows");
        start(1, {"猿も木から落ちる,さるもきからおちる", "その道の名人でも、+時には失敗することがある"}, 3);
        type(main1, "sarumo");
        type(main1, "x");
        main1->grab().save(QString::fromLocal8Bit(out) + "/drill.png");
        kb1->grab().save(QString::fromLocal8Bit(out) + "/keyboard.png");
    }
};

QTEST_MAIN(TestDrillWindow)
#include "test_drillwindow.moc"

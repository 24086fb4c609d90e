#include "captions.h"
#include "counters.h"
#include "fingerguide.h"
#include "keyboard.h"
#include "keyinput.h"
#include "keystroke.h"
#include "main.h"
#include "modaldriver.h"
#include "problems.h"
#include "qtplatform.h"
#include "recordingplatform.h"
#include "records/recordkeeper.h"
#include "result.h"
#include "romajitable.h"
#include "scores.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "stop.h"
#include "testsupport.h"
#include "widgets/drawing.h"
#include "widgets/kanashades.h"
#include "widgets/readingrow.h"

#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <limits>
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
        // The tests tick the clock by hand: a real tick on a busy machine
        // would count the boo label down behind their back.
        drill->Timer1->setInterval(std::numeric_limits<int>::max());
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
        // Every key's caption stands in the middle of its cell, none pushed
        // against a side where the cell's edge cuts it.
        for (const QLabel* cell : kb1->KeyLabels) {
            if (cell->text().size() != 1 || cell->text() == "　")
                continue;
            const QImage image = const_cast<QLabel*>(cell)->grab().toImage();
            int first = image.width(), last = -1;
            for (int x = 0; x < image.width(); ++x)
                for (int y = 0; y < image.height(); ++y)
                    if (qGray(image.pixel(x, y)) >= 64) {
                        first = std::min(first, x);
                        last = std::max(last, x);
                    }
            QVERIFY2(first <= last && std::abs(first - (image.width() - 1 - last)) <= 2, qPrintable(cell->text()));
        }
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
        // Nor is Ctrl+Space, in either window.
        for (QWidget* window : std::initializer_list<QWidget*> {main1, kb1})
            QTest::keyClick(window->windowHandle(), Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(Counters.Misses, std::uint16_t(0));
        QVERIFY(!main1->Timer1->isActive());
    }

    void keyEventsBecomeKeyPresses_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("presses");
        QTest::newRow("a letter") << int(Qt::Key_A) << 0 << "a" << QByteArray("a");
        QTest::newRow("Alt and a letter") << int(Qt::Key_A) << int(Qt::AltModifier) << "a" << QByteArray();
        // Texts as X11 gives them: the desktop's and the input method's keys
        // are neither hit nor miss.
        QTest::newRow("Super and a letter") << int(Qt::Key_A) << int(Qt::MetaModifier) << "a" << QByteArray();
        QTest::newRow("Super and Space") << int(Qt::Key_Space) << int(Qt::MetaModifier) << " " << QByteArray();
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Ctrl and Space, an input method's switch") << int(Qt::Key_Space) << ctrl << QString(QChar(0))
                                                                   << QByteArray();
        QTest::newRow("Ctrl and a letter") << int(Qt::Key_A) << ctrl << "\x01" << QByteArray();
        QTest::newRow("Ctrl and h, Backspace's text") << int(Qt::Key_H) << ctrl << "\b" << QByteArray();
        QTest::newRow("Ctrl, Shift and a letter") << int(Qt::Key_J) << int(ctrl | Qt::ShiftModifier) << "\n" << QByteArray();
        QTest::newRow("Ctrl and Super and a letter") << int(Qt::Key_J) << int(ctrl | Qt::MetaModifier) << "\n" << QByteArray();
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << "\x7f" << QByteArray();
        QTest::newRow("the yen key") << int(Qt::Key_yen) << 0 << "¥" << QByteArray("\\");
        QTest::newRow("keypad digit") << int(Qt::Key_5) << int(Qt::KeypadModifier) << "5" << QByteArray("5");
        QTest::newRow("keypad sign") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << "+" << QByteArray("+");
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << QByteArray("\r");
        QTest::newRow("no CP932 code") << int(Qt::Key_Eacute) << 0 << "é" << QByteArray();
    }
    void keyEventsBecomeKeyPresses()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QByteArray, presses);
        QCOMPARE(QByteArray::fromStdString(KeyPressBytes(key, Qt::KeyboardModifiers(modifiers), text)), presses);
    }

    void capsLockIsReadFromKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("before"); // -1: unknown
        QTest::addColumn<int>("after");
        const int shift = Qt::ShiftModifier;
        QTest::newRow("upper case without Shift") << int(Qt::Key_K) << 0 << "K" << -1 << 1;
        QTest::newRow("lower case without Shift") << int(Qt::Key_K) << 0 << "k" << 1 << 0;
        QTest::newRow("lower case with Shift") << int(Qt::Key_K) << shift << "k" << -1 << 1;
        QTest::newRow("upper case with Shift") << int(Qt::Key_K) << shift << "K" << 1 << 0;
        QTest::newRow("the key turns it on") << int(Qt::Key_CapsLock) << 0 << "" << 0 << 1;
        QTest::newRow("the key turns it off") << int(Qt::Key_CapsLock) << 0 << "" << 1 << 0;
        QTest::newRow("the key, state unknown") << int(Qt::Key_CapsLock) << 0 << "" << -1 << -1;
        QTest::newRow("a digit tells nothing") << int(Qt::Key_1) << 0 << "1" << 1 << 1;
        QTest::newRow("Alt and a letter tell nothing") << int(Qt::Key_K) << int(Qt::AltModifier) << "K" << 0 << 0;
    }
    void capsLockIsReadFromKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(int, before);
        QFETCH(int, after);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        const auto known = [](int v) { return v < 0 ? std::nullopt : std::optional<bool>(v == 1); };
        QCOMPARE(CapsLockAfter(event, known(before)), known(after));
    }

    void capsLockWarningComesAndGoes()
    {
        start(1, {"傘,かさ", "m"});
        QVERIFY(main1->caps1->isHidden());
        type(main1, "K");
        QVERIFY(main1->caps1->isVisible());
        QCOMPARE(Counters.Misses, std::uint16_t(1)); // still judged as it is
        QVERIFY(main1->geometry().contains(main1->caps1->geometry().translated(main1->pos())));
        QTest::keyClick(kb1->windowHandle(), 'k');
        QVERIFY(main1->caps1->isHidden());
        QCOMPARE(Counters.Hits, std::uint16_t(1));
    }

    void longProblemsShrinkToFit_data()
    {
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("meaning");
        QTest::addColumn<QString>("shrunk"); // s sentence, m meaning, r romaji
        QTest::addColumn<bool>("scrolls");   // the romaji row, even at the smallest readable size
        QTest::addColumn<bool>("readingRow"); // shown under the meaning
        QTest::newRow("fits as drawn") << "猿も木から落ちる" << "さるもきからおちる" << "名人も+失敗する" << "" << false << false;
        QTest::newRow("long sentence") << QString("文").repeated(50) << "ぶん" << "m" << "s" << false << false;
        QTest::newRow("long meaning line") << "文" << "ぶん" << "短い+" + QString("意").repeated(50) << "m" << false << false;
        QTest::newRow("romaji of 46 keys") << "文" << QString("か").repeated(23) << "m" << "r" << false << false;
        QTest::newRow("romaji of 200 keys") << "文" << QString("か").repeated(100) << "m" << "r" << true << false;
        QTest::newRow("57 characters of the learner's own list")
            << "Wow! 昨日の夜 Dad と一緒に近くの丘の上へ星を見に行ったら、流れ星が 3つも見えた。とても嬉しかった !!"
            << "わお！きのうのよるおとうさんといっしょにちかくのおかのうえへほしをみにいったら、ながれぼしがみっつもみえた。とてもうれしかった！！"
            << "父と 星を 見た" << "sr" << true << false;
        QTest::newRow("a meaning of two lines over the reading row")
            << "猿も木から落ちる" << "さるもきからおちる" << "名人も+失敗する" << "m" << false << true;
    }
    void longProblemsShrinkToFit()
    {
        QFETCH(QString, sentence);
        QFETCH(QString, reading);
        QFETCH(QString, meaning);
        QFETCH(QString, shrunk);
        QFETCH(bool, scrolls);
        QFETCH(bool, readingRow);
        ShowReading = readingRow;
        start(1, {sentence + "," + reading, meaning});
        ShowReading = false;
        if (readingRow) // with a gap to the row
            QVERIFY(main1->tpy->y() + LabelTextHeight(main1->tpy) <= main1->reading1->y() - 4);
        const auto endsInside = [](const QLabel* label) { return label->x() + label->width() <= 631; };
        const struct {
            QLabel* label;
            int drawn;
            char row;
        } rows[] = {{main1->tpg, 21, 's'}, {main1->tpy, 16, 'm'}, {main1->tpr, 24, 'r'}};
        for (const auto& row : rows) {
            QVERIFY2(endsInside(row.label) || (scrolls && row.row == 'r'), qPrintable(row.label->text()));
            const bool smaller = row.label->font().pixelSize() < row.drawn;
            QCOMPARE(smaller, shrunk.contains(QChar(row.row)));
            QVERIFY(row.label->font().pixelSize() >= SmallestReadablePixels);
        }
        QCOMPARE(main1->tpr2->font(), main1->tpr->font());
        // Key by key to the last one, the large next key stays in view a few
        // keys from the edge, and the red typed keys stand under theirs.
        const QString romaji = main1->tpr->text();
        for (const QChar key : romaji.chopped(1)) {
            type(main1, QByteArray(1, key.toLatin1()).constData());
            QVERIFY(nextCharFollowsTyped());
            QVERIFY(main1->tpr3->x() >= 96);
            QVERIFY2(main1->tpr3->x() + main1->tpr3->width() <= 631, qPrintable(typedText()));
            QCOMPARE(main1->tpr2->x(), main1->tpr->x());
        }
        QCOMPARE(typedText(), romaji.chopped(1));
        QVERIFY2((main1->tpr->x() < 96) == scrolls, qPrintable(QString("%1 %2 %3").arg(romaji).arg(main1->tpr->font().pixelSize()).arg(main1->tpr->x())));
        QCOMPARE(main1->tpr2->width(), TextWidth(main1->tpr2->font(), typedText()));
        type(main1, QByteArray(1, romaji.back().toLatin1()).constData());
        QCOMPARE(main1->tpr->x(), 96); // the next problem starts at the left
    }

    void flexibleRomajiFollowsTheLearner_data()
    {
        QTest::addColumn<bool>("flexible");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("hits");
        QTest::addColumn<int>("misses");
        QTest::addColumn<QString>("row");     // tpr after the last key
        QTest::addColumn<QString>("charged"); // the keys the misses went to
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("marked"); // with the reading row on: the kana marked
        QTest::newRow("off: shi misses at the h") << false << "shi" << 2 << 1 << "sika" << "i" << 4 << "";
        QTest::newRow("on: shi is typed") << true << "sh" << 2 << 0 << "shika" << "" << 4 << "";
        QTest::newRow("on: a miss goes to the key shown") << true << "shx" << 2 << 1 << "shika" << "i" << 4 << "";
        QTest::newRow("on: the problem ends") << true << "shika" << 5 << 0 << "sika" << "" << 8 << "";
        QTest::newRow("reading, off: し while its keys are typed") << false << "s" << 1 << 0 << "sika" << "" << 4 << "し";
        QTest::newRow("reading, off: か after si") << false << "si" << 2 << 0 << "sika" << "" << 4 << "か";
        QTest::newRow("reading, on: し until its last key") << true << "sh" << 2 << 0 << "shika" << "" << 4 << "し";
        QTest::newRow("reading, on: か after shi") << true << "shi" << 3 << 0 << "shika" << "" << 4 << "か";
        QTest::newRow("reading, on: the next problem starts at し") << true << "shika" << 5 << 0 << "sika" << "" << 8
                                                                   << "し";
    }
    void flexibleRomajiFollowsTheLearner()
    {
        QFETCH(bool, flexible);
        QFETCH(QString, keys);
        QFETCH(int, hits);
        QFETCH(int, misses);
        QFETCH(QString, row);
        QFETCH(QString, charged);
        QFETCH(int, total);
        QFETCH(QString, marked);
        FlexibleRomaji = flexible;
        ShowReading = !marked.isEmpty();
        start(1, {"鹿,しか", "m"});
        type(main1, keys.toLatin1().constData());
        FlexibleRomaji = false;
        ShowReading = false;
        QCOMPARE(main1->reading1 && main1->reading1->isVisible(), !marked.isEmpty());
        if (!marked.isEmpty()) {
            QCOMPARE(main1->reading1->text(), QString("しか"));
            QCOMPARE(main1->reading1->markedText(), marked);
            QCOMPARE(main1->shades1->bandCount(), std::size_t(2));
            QCOMPARE(main1->shades1->x(), main1->tpr->x());
        }
        QCOMPARE(Counters.Hits, std::uint16_t(hits));
        QCOMPARE(Counters.Misses, std::uint16_t(misses));
        QCOMPARE(main1->tpr->text(), row);
        QCOMPARE(Counters.TotalChars, std::uint16_t(total));
        for (const QChar c : charged)
            QCOMPARE(Counters.MissByChar[c.toLatin1()], std::uint16_t(1));
        // The red typed keys, the next key, its finger and its cell follow the row.
        const int typed = int(main1->CursorPos) - 1;
        QCOMPARE(typedText(), row.left(typed));
        QCOMPARE(main1->tpr3->text(), row.mid(typed, 1));
        QVERIFY(nextCharFollowsTyped());
        const auto cell = KeyIndexFor(row[typed].toLatin1());
        QVERIFY(cell);
        QCOMPARE(Lit(kb1->KeyLabels[*cell]), Hex(KeyColour));
    }

    // Keys count for the key that was due, and for the kana they type; a
    // small tsu takes its doubled key.
    void finishedDrillsAreRecordedByKeyAndKana_data()
    {
        QTest::addColumn<bool>("flexible");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("keyCounts");  // key:hits/misses, by key
        QTest::addColumn<QString>("kanaCounts"); // kana:hits/misses, by kana
        QTest::newRow("doubled tsu, misses") << false << "かった" << "ktatata" << "a:2/1 k:1/0 t:2/1"
                                             << "か:2/1 た:1/0 っ:2/1";
        QTest::newRow("tsu before a vowel") << false << "っあ" << "xtua" << "a:1/0 t:1/0 u:1/0 x:1/0"
                                            << "あ:1/0 っ:3/0";
        QTest::newRow("contracted, a miss") << false << "しゃ" << "shya" << "a:1/0 s:1/0 y:1/1" << "しゃ:3/1";
        QTest::newRow("flexible: tsu spelt out") << true << "かった" << "kaxtuta"
                                                 << "a:2/0 k:1/0 t:2/0 u:1/0 x:1/0" << "か:2/0 た:2/0 っ:3/0";
        QTest::newRow("flexible: doubled, a miss") << true << "かった" << "katata" << "a:2/0 k:1/0 t:2/1"
                                                   << "か:2/0 た:1/0 っ:2/1";
        QTest::newRow("flexible: contracted") << true << "しゃ" << "sha" << "a:1/0 h:1/0 s:1/0" << "しゃ:3/0";
        QTest::newRow("letters are keys, not kana") << false << "ｆｊ" << "fj" << "f:1/0 j:1/0" << "";
    }
    void finishedDrillsAreRecordedByKeyAndKana()
    {
        QFETCH(bool, flexible);
        QFETCH(QString, reading);
        QFETCH(QString, keys);
        QFETCH(QString, keyCounts);
        QFETCH(QString, kanaCounts);
        QVERIFY(QFile::link(QString::fromStdString(AppDataDir()) + "libkidrill_records.so",
                            QString::fromStdString(dir->file("libkidrill_records.so"))));
        FlexibleRomaji = flexible;
        Records = true;
        start(1, {"文," + reading, "m", "文," + reading, "m"});
        type(main1, keys.toLatin1().constData());
        platform->now = 60001;
        main1->Timer1Timer();
        FlexibleRomaji = false;
        Records = false;
        Recorder().close();
        QCOMPARE(platform->errors.size(), std::size_t(0));
        const auto counts = [this](const char* sql) {
            QStringList all;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
                db.setDatabaseName(QString::fromStdString(dir->file("records.sqlite")));
                QSqlQuery q(db);
                if (!db.open() || !q.exec(sql))
                    all << QStringLiteral("(cannot read records.sqlite)");
                while (q.next())
                    all << QStringLiteral("%1:%2/%3").arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
            }
            QSqlDatabase::removeDatabase("check");
            return all.join(' ');
        };
        QCOMPARE(counts("SELECT key, hits, misses FROM drill_keys ORDER BY key"), keyCounts);
        QCOMPARE(counts("SELECT kana, hits, misses FROM drill_kana ORDER BY kana"), kanaCounts);
        QCOMPARE(resultdlg->speed1->text(), QString::number(Counters.Hits)); // keys in a one-minute trial
        QVERIFY(resultdlg->speed1->isVisible() || !resultdlg->isVisible());
    }

    void withoutRecordsNothingIsKept()
    {
        start(1, {"傘,かさ", "m"});
        type(main1, "kasa");
        platform->now = 60001;
        main1->Timer1Timer();
        QVERIFY(!QFile::exists(QString::fromStdString(dir->file("records.sqlite"))));
        QCOMPARE(results->size(), QSize(357, 385));
        QVERIFY(results->speed1->isHidden());
    }

    // The aids beside the clock and Esc, each off and on; '~' is Escape,
    // typed in the drill window or in the keyboard window.
    void aidsFollowTheirOptions_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("inKeyboard");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("progress"); // "-": none shown
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("misses");
        QTest::newRow("no aid: Esc is a miss") << "" << 4 << "k~" << false << "残り時間" << "-" << true << 1;
        QTest::newRow("progress of a character trial") << "ShowProgress" << 4 << "kax" << false << "時間" << "2 / 100"
                                                       << true << 1;
        QTest::newRow("progress of a time trial") << "ShowProgress" << 2 << "ka" << false << "残り時間" << "2" << true << 0;
        QTest::newRow("Esc leaves") << "EscapeEnds" << 4 << "k~a" << false << "残り時間" << "-" << false << 0;
        QTest::newRow("Esc in the keyboard window leaves") << "EscapeEnds" << 1 << "~" << true << "残り時間" << "-"
                                                           << false << 0;
    }
    void aidsFollowTheirOptions()
    {
        QFETCH(QString, option);
        QFETCH(int, mode);
        QFETCH(QString, keys);
        QFETCH(bool, inKeyboard);
        QFETCH(QString, caption);
        QFETCH(QString, progress);
        QFETCH(bool, open);
        QFETCH(int, misses);
        ShowProgress = option == "ShowProgress";
        EscapeEnds = option == "EscapeEnds";
        start(mode, {"傘,かさ", "m"});
        QVERIFY(QTest::qWaitForWindowExposed(kb1));
        for (const QChar k : keys) {
            QWindow* window = (inKeyboard ? static_cast<QWidget*>(kb1) : main1)->windowHandle();
            if (k == '~')
                QTest::keyClick(window, Qt::Key_Escape);
            else
                QTest::keyClick(window, k.toLatin1());
        }
        ShowProgress = EscapeEnds = false;
        QCOMPARE(main1->Label11->text(), caption);
        QCOMPARE(main1->progress1 && main1->progress1->isVisible() ? main1->progress1->text() : QString("-"), progress);
        QCOMPARE(main1->isVisible(), open);
        QCOMPARE(kb1->isVisible(), open);
        QCOMPARE(Counters.Misses, std::uint16_t(misses));
        QCOMPARE(HighScoreTable.at(1, mode), 0); // leaving is no finished drill
    }

    void keyboardResizesInItsShape()
    {
        ResizableKeyboard = true;
        KeyboardWidth = 502;
        start(1, {"傘,かさ", "m"});
        QCOMPARE(kb1->size(), QSize(502, 252));
        QCOMPARE(kb1->KeyLabels[11]->geometry(), QRect(64, 80, 24, 24));
        QCOMPARE(kb1->KeyLabels[11]->font().pixelSize(), 24);
        kb1->resize(753, 378);
        QCOMPARE(KeyboardWidth, 753);
        QCOMPARE(kb1->KeyLabels[10]->width(), 84 * 3);
        main1->close();
        // Off again, the next drill has the keyboard as drawn.
        ResizableKeyboard = false;
        main1->show();
        QCOMPARE(kb1->size(), QSize(251, 126));
        QCOMPARE(kb1->KeyLabels[11]->geometry(), QRect(32, 40, 12, 12));
        QCOMPARE(KeyboardWidth, 753);
        main1->close();
        // A width the settings window chose ("おすすめ") takes effect at the
        // next drill, the keyboard resizable already.
        ResizableKeyboard = true;
        main1->show();
        QCOMPARE(kb1->size(), QSize(753, 378));
        main1->close();
        KeyboardWidth = RecommendedKeyboardWidth;
        main1->show();
        ResizableKeyboard = false;
        QCOMPARE(kb1->size(), QSize(377, 189));
        QCOMPARE(kb1->KeyLabels[11]->font().pixelSize(), 18);
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
        FingerColours[LeftLittle] = RGBColour(0, 0, 0x80); // navy: a white caption reads on it
        start(1, {"朝　傘,あさ　かさ", "m"}); // romaji "asa kasa"
        const QString black = "#000000";
        auto lit = Lit;
        const auto caption = [](const QLabel* label) { return label->palette().color(QPalette::WindowText).name(); };
        const QString kbText = caption(kb1->l_ku);
        // a: left little finger.
        QCOMPARE(lit(main1->yubi1), Hex(FingerColours[LeftLittle]));
        QCOMPARE(caption(main1->yubi1), QString("#ffffff"));
        QCOMPARE(caption(kb1->l_ko), QString("#ffffff"));
        QCOMPARE(caption(main1->yubi0), QString("#c0c0c0"));
        QCOMPARE(lit(main1->yubi0), black);
        QCOMPARE(lit(kb1->l_ko), Hex(FingerColours[LeftLittle]));
        QCOMPARE(lit(kb1->oya), kb1->faceColour().name());
        QCOMPARE(lit(kb1->KeyLabels[11]), Hex(FingerColours[LeftLittle]));
        QCOMPARE(caption(kb1->KeyLabels[11]), QString("#ffffff"));
        QCOMPARE(lit(kb1->KeyLabels[29]), black);
        type(main1, "asa");
        // The space: thumbs and the space bar, no other finger.
        QCOMPARE(main1->tpr3->text(), QString(" "));
        QCOMPARE(lit(main1->yubi0), Hex(FingerColours[Thumbs]));
        QCOMPARE(lit(main1->yubi1), black);
        QCOMPARE(lit(kb1->oya), Hex(FingerColours[Thumbs]));
        QCOMPARE(caption(main1->yubi0), QString("#000000")); // on red
        QCOMPARE(caption(main1->yubi1), QString("#c0c0c0"));
        QCOMPARE(lit(kb1->l_ko), kb1->faceColour().name());
        QCOMPARE(caption(kb1->l_ko), kbText);
        QCOMPARE(lit(kb1->KeyLabels[10]), Hex(FingerColours[Thumbs]));
        QCOMPARE(KeyColour, FingerColours[Thumbs]);
        type(main1, " ");
        // k: right middle finger.
        QCOMPARE(lit(main1->yubi6), Hex(FingerColours[RightMiddle]));
        QCOMPARE(lit(kb1->r_na), Hex(FingerColours[RightMiddle]));
        QCOMPARE(lit(kb1->KeyLabels[21]), Hex(FingerColours[RightMiddle]));
        QCOMPARE(lit(kb1->KeyLabels[10]), black);
        QCOMPARE(caption(kb1->KeyLabels[10]), QString("#ffffff"));
        // The key's caption reads on yellow and aqua as on navy.
        for (const Finger finger : {LeftIndex, LeftRing}) {
            KeyColour = FingerColours[finger];
            kb1->kbd('g');
            QCOMPARE(caption(kb1->KeyLabels[17]), QString("#000000"));
        }
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

    // Shifted characters with Shift shown and without: the key and the
    // Shift cell lit on the keyboard, the fingers lit in the drill window.
    void shiftedKeysLightTheirShift_data()
    {
        QTest::addColumn<bool>("showShift");
        QTest::addColumn<QString>("keys");    // typed before looking
        QTest::addColumn<int>("keyCell");     // -1: none lit
        QTest::addColumn<QString>("keyFinger"); // whose colour the key takes
        QTest::addColumn<int>("shiftCell");   // -1: none lit
        QTest::addColumn<QString>("fingers"); // lit in the drill window, yubi1 to yubi8
        // The romaji "A?a".
        QTest::newRow("off: A lights no key") << false << "" << -1 << "" << -1 << "18";
        QTest::newRow("off: ? lights no key") << false << "A" << -1 << "" << -1 << "18";
        QTest::newRow("on: A and the right Shift") << true << "" << 11 << "1" << 50 << "18";
        QTest::newRow("on: ? and the left Shift") << true << "A" << 47 << "8" << 49 << "18";
        QTest::newRow("on: a alone, Shift dark again") << true << "A?" << 11 << "1" << -1 << "1";
    }
    void shiftedKeysLightTheirShift()
    {
        QFETCH(bool, showShift);
        QFETCH(QString, keys);
        QFETCH(int, keyCell);
        QFETCH(QString, keyFinger);
        QFETCH(int, shiftCell);
        QFETCH(QString, fingers);
        // Every finger its own colour, so that each light names its finger.
        for (std::size_t f = 0; f < FingerCount; ++f)
            FingerColours[f] = RGBColour(std::uint8_t(16 * f + 8), 0x80, 0x40);
        dir->write("roma.txt", Cp932Lines({"あ,A?a", "っ,xtu"}));
        QVERIFY(LoadRomajiTable());
        ShowShift = showShift;
        start(1, {"亜,あ", "m"});
        type(main1, keys.toLatin1().constData());
        ShowShift = false;
        const QLabel* yubi[] = {main1->yubi1, main1->yubi2, main1->yubi3, main1->yubi4, main1->yubi5,
                                main1->yubi6, main1->yubi7, main1->yubi8};
        const Finger order[] = {LeftLittle, LeftRing, LeftMiddle, LeftIndex, RightIndex, RightMiddle, RightRing, RightLittle};
        QString lit;
        for (int i = 0; i < 8; ++i)
            if (Lit(yubi[i]) != "#000000") {
                QCOMPARE(Lit(yubi[i]), Hex(FingerColours[order[i]]));
                lit += QString::number(i + 1);
            }
        QCOMPARE(lit, fingers);
        for (int cell = 0; cell < int(KeyLabelCount); ++cell) {
            QString expected = "#000000";
            if (cell == keyCell)
                expected = Hex(FingerColours[order[keyFinger.toInt() - 1]]);
            if (cell == shiftCell)
                expected = Hex(FingerColours[cell == LeftShiftCell ? LeftLittle : RightLittle]);
            QVERIFY2(Lit(kb1->KeyLabels[cell]) == expected, qPrintable(QString("cell %1: %2").arg(cell).arg(Lit(kb1->KeyLabels[cell]))));
        }
        main1->close();
        ReadSettings(IniFile(), 1024, 768);
    }

    // Hepburn shown: the row, the large next key and its cell follow the
    // Hepburn spelling; the table's own is a hit too, flexible or not, and
    // a miss counts against the key shown.
    void hepburnRowIsShownAndBothStylesHit_data()
    {
        QTest::addColumn<bool>("flexible");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("row"); // tpr after the keys
        QTest::addColumn<int>("hits");
        QTest::addColumn<QString>("charged");
        QTest::addColumn<int>("total");
        QTest::newRow("shown") << false << "" << "chikara" << 0 << "" << 7;
        QTest::newRow("typed as shown") << false << "chi" << "chikara" << 3 << "" << 7;
        QTest::newRow("typed as the table spells it") << false << "ti" << "tikara" << 2 << "" << 7;
        QTest::newRow("a miss goes to the key shown") << false << "cx" << "chikara" << 1 << "h" << 7;
        QTest::newRow("flexible: ci is no ち") << true << "ci" << "chikara" << 1 << "h" << 7;
        QTest::newRow("the next problem is shown again") << false << "tikara" << "chikara" << 6 << "" << 14;
    }
    void hepburnRowIsShownAndBothStylesHit()
    {
        QFETCH(bool, flexible);
        QFETCH(QString, keys);
        QFETCH(QString, row);
        QFETCH(int, hits);
        QFETCH(QString, charged);
        QFETCH(int, total);
        Hepburn = true;
        FlexibleRomaji = flexible;
        start(1, {"力,ちから", "m"});
        type(main1, keys.toLatin1().constData());
        Hepburn = FlexibleRomaji = false;
        QCOMPARE(main1->tpr->text(), row);
        QCOMPARE(Counters.Hits, std::uint16_t(hits));
        QCOMPARE(Counters.Misses, std::uint16_t(charged.size()));
        for (const QChar c : charged)
            QCOMPARE(Counters.MissByChar[c.toLatin1()], std::uint16_t(1));
        QCOMPARE(Counters.TotalChars, std::uint16_t(total));
        const int typed = int(main1->CursorPos) - 1;
        QCOMPARE(typedText(), row.left(typed));
        QCOMPARE(main1->tpr3->text(), row.mid(typed, 1));
        const auto cell = KeyIndexFor(row[typed].toLatin1());
        QVERIFY(cell);
        QCOMPARE(Lit(kb1->KeyLabels[*cell]), Hex(KeyColour));
    }

    // The captions as drawn and in a child's words: their texts, and each
    // in its room, no smaller than the smallest readable size.
    void captionsFollowKanaLabels_data()
    {
        QTest::addColumn<bool>("kana");
        QTest::addColumn<QStringList>("drill");   // Label4 Label3 Label5 Label6 Label7 Label8 Label11
        QTest::addColumn<QStringList>("fingers"); // yubi1 to yubi4, yubi0
        QTest::addColumn<QStringList>("results"); // Label1 Label2 Label3 Label4 Label6 Label5 miss1
        QTest::newRow("as drawn") << false
            << QStringList {"文章", "練習", "入力文字", "全文字数", "正解数", "間違い", "残り時間"}
            << QStringList {"小指", "薬指", "中指", "人差指", "親指"}
            << QStringList {"結果発表", "文字数", "時間", "ミス回数", "総合得点", "ミス多発地帯", "特に無し"};
        QTest::newRow("in a child's words") << true
            << QStringList {"もんだい", "れんしゅう", "うつ文字", "出た文字", "せいかい", "まちがい", "のこり時間"}
            << QStringList {"こゆび", "くすり", "なか", "ひとさし", "おや"}
            << QStringList {"けっか", "せいかい", "時間", "まちがい", "とくてん", "よく まちがえた キー", "とくに なし"};
    }
    void captionsFollowKanaLabels()
    {
        QFETCH(bool, kana);
        QFETCH(QStringList, drill);
        QFETCH(QStringList, fingers);
        QFETCH(QStringList, results);
        KanaLabels = kana;
        SetSizedText(main1->Label3, QString::fromUtf8(ShownCaption(CaptionId::Practice))); // as the title window does
        start(1, {"傘,かさ", "m"});
        const QList<QLabel*> captions {main1->Label4, main1->Label3, main1->Label5, main1->Label6,
                                       main1->Label7, main1->Label8, main1->Label11};
        QStringList shown;
        for (const QLabel* label : captions) {
            shown << label->text();
            QVERIFY2(label->font().pixelSize() >= SmallestReadablePixels, qPrintable(label->text()));
        }
        QCOMPARE(shown, drill);
        // Each ends before what it captions.
        const std::pair<QLabel*, int> before[] = {{main1->Label4, 96}, {main1->Label3, 96}, {main1->Label5, 96},
                                                  {main1->Label6, 112}, {main1->Label7, 112}, {main1->Label8, 112},
                                                  {main1->Label11, 424}};
        for (const auto& [label, next] : before)
            QVERIFY2(label->x() + LabelTextWidth(label) < next, qPrintable(label->text()));
        const QLabel* row[] = {main1->yubi1, main1->yubi2, main1->yubi3, main1->yubi4, main1->yubi0,
                               main1->yubi5, main1->yubi6, main1->yubi7, main1->yubi8};
        QCOMPARE((QStringList {row[0]->text(), row[1]->text(), row[2]->text(), row[3]->text(), row[4]->text()}), fingers);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(row[i]->text(), row[8 - i]->text());
            QVERIFY2(TextWidth(row[i]->font(), row[i]->text()) <= row[i]->width(), qPrintable(row[i]->text()));
            QVERIFY(row[i]->font().pixelSize() >= SmallestReadablePixels);
            if (i > 0)
                QVERIFY2(row[i - 1]->geometry().right() < row[i]->x(), qPrintable(row[i]->text()));
        }
        // As drawn, the row stands where the layout puts it.
        if (!kana)
            QCOMPARE(main1->yubi2->geometry(), QRect(72, 184, 32, 16));
        platform->now = 60001;
        bool checked = false;
        ending->actions[resultdlg] = [&] {
            const QList<QLabel*> labels {resultdlg->Label1, resultdlg->Label2, resultdlg->Label3, resultdlg->Label4,
                                         resultdlg->Label6, resultdlg->Label5, resultdlg->miss1};
            QStringList texts;
            for (const QLabel* label : labels)
                texts << label->text();
            QCOMPARE(texts, results);
            // The figures' captions end before the figures.
            for (const QLabel* label : {resultdlg->Label2, resultdlg->Label3, resultdlg->Label4, resultdlg->Label6})
                QVERIFY2(label->x() + LabelTextWidth(label) < 184 && label->x() >= 8, qPrintable(label->text()));
            for (const QLabel* label : resultdlg->findChildren<QLabel*>())
                if (label->isVisible())
                    QVERIFY2(label->x() >= 0 && label->geometry().right() < resultdlg->width(), qPrintable(label->text()));
            checked = true;
            resultdlg->Button1->click();
        };
        main1->Timer1Timer();
        KanaLabels = false;
        QVERIFY(checked);
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

    // The teaching aids on: the reading row of a sentence with a small tsu
    // and a contracted sound, a learner's 57-character sentence, the lit
    // yellow key of the left index finger at real size and enlarged.
    void screenshotsOfTheAids()
    {
        const QByteArray out = qgetenv("KIDRILL_SCREENSHOT_DIR");
        if (out.isEmpty())
            QSKIP("set KIDRILL_SCREENSHOT_DIR to keep pictures of the windows");
        const QString to = QString::fromLocal8Bit(out) + '/';
        ShowReading = ShowProgress = true;
        start(4, {"一生懸命に勉強する,いっしょうけんめいにべんきょうする", "力の かぎり+がんばって まなぶ"}, 3);
        type(main1, "issyo");
        main1->grab().save(to + "reading.png");
        FlexibleRomaji = true;
        main1->close();
        begin(4, {"一生懸命に勉強する,いっしょうけんめいにべんきょうする", "力の かぎり+がんばって まなぶ"}, 3, false);
        type(main1, "isshou");
        QCOMPARE(main1->reading1->markedText(), QString("け"));
        FlexibleRomaji = false;
        main1->close();
        begin(1, {"Wow! 昨日の夜 Dad と一緒に近くの丘の上へ星を見に行ったら、流れ星が 3つも見えた。とても嬉しかった !!,"
                  "わお！きのうのよるおとうさんといっしょにちかくのおかのうえへほしをみにいったら、ながれぼしがみっつもみえた。"
                  "とてもうれしかった！！",
                  "父と 星を 見た"}, 3, false);
        type(main1, main1->tpr->text().left(100).toLatin1().constData());
        main1->grab().save(to + "long-sentence.png");
        ShowReading = ShowProgress = false;
        main1->close();
        begin(1, {"学校,がっこう", "まなぶ ところ"}, 3, false);
        kb1->grab().save(to + "keyboard-yellow.png");
        ResizableKeyboard = true;
        KeyboardWidth = 502;
        main1->close();
        begin(1, {"学校,がっこう", "まなぶ ところ"}, 3, false);
        kb1->grab().save(to + "keyboard-large.png");
        ResizableKeyboard = false;
        // What a child sees: Hepburn, the captions in a child's words and a
        // shifted character with its Shift, on the keyboard of "おすすめ".
        Hepburn = KanaLabels = ShowShift = ShowReading = ResizableKeyboard = true;
        KeyboardWidth = RecommendedKeyboardWidth;
        main1->close();
        SetSizedText(main1->Label3, QString::fromUtf8(ShownCaption(CaptionId::Meaning)));
        begin(1, {"しっかり ちゃんと！,しっかり　ちゃんと！", "しっかり　きちんと"}, 3, false);
        type(main1, main1->tpr->text().left(main1->tpr->text().size() - 1).toLatin1().constData());
        main1->grab().save(to + "child-view.png");
        kb1->grab().save(to + "keyboard-shift.png");
        Hepburn = KanaLabels = ShowShift = ShowReading = ResizableKeyboard = false;
        main1->close();
    }
};

QTEST_MAIN(TestDrillWindow)
#include "test_drillwindow.moc"

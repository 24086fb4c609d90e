// The cost of the drill's own code on its hot paths: a key press on the
// real drill window (offscreen, keyboard window shown) against a floor that
// makes exactly the label calls that key makes, with texts made beforehand,
// and the preparation of a full set. Nothing here reaches the screen (the
// event loop never runs); screen_driver measures that. scripts/bench runs
// both and prints the table.

#include "counters.h"
#include "fingerguide.h"
#include "keyboard.h"
#include "main.h"
#include "platform.h"
#include "problems.h"
#include "romajitable.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "textfile.h"
#include "widgets/drawing.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <memory>
#include <tuple>

namespace {

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

QLabel* BareLabel(QWidget* parent, int left, int top, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->move(left, top);
    return label;
}

// The drill's changing labels, bare, in its fonts and places, and the
// keyboard window's. Every call below is one the drill makes for the same
// key; what the drill computes (texts, widths, which finger) is given.
struct LabelFloor {
    QDialog window;
    QWidget keyboard {&window, Qt::Tool};
    QLabel* bu1 = BareLabel(&window, 72, 40, DrillFontForCell(200));
    QLabel* tpg = BareLabel(&window, 96, 16, DrillFont(21, true));
    QLabel* tpy = BareLabel(&window, 96, 48, DrillFont(16));
    QLabel* tpr = BareLabel(&window, 96, 104, DrillFont(24));
    QLabel* tpr2 = BareLabel(&window, 96, 140, DrillFont(24));
    QLabel* tpr3 = BareLabel(&window, 96, 134, DrillFont(37));
    QLabel* total1 = BareLabel(&window, 112, 216, DrillFont(16));
    QLabel* hit1 = BareLabel(&window, 112, 240, DrillFont(19, true));
    QLabel* miss1 = BareLabel(&window, 112, 264, DrillFont(16));
    // The finger going dark and the one lighting, in both windows, and the
    // keyboard's key cells of the two characters.
    std::array<QLabel*, 6> guide {BareLabel(&window, 24, 184, DrillFont(16)),
                                  BareLabel(&window, 368, 184, DrillFont(16)),
                                  BareLabel(&keyboard, 32, 104, DrillFont(12)),
                                  BareLabel(&keyboard, 160, 104, DrillFont(12)),
                                  BareLabel(&keyboard, 32, 40, DrillFont(12)),
                                  BareLabel(&keyboard, 136, 24, DrillFont(12))};
    int hits = 0;
    int misses = 0;
    int total = 0;

    LabelFloor()
    {
        window.resize(631, 293);
        keyboard.resize(251, 126);
        bu1->setText(QStringLiteral("ぶ～"));
        bu1->setFixedSize(400, 200);
        for (QLabel* label : guide) {
            label->setText(QStringLiteral("指"));
            label->setAutoFillBackground(true);
        }
        window.show();
        keyboard.show();
    }

    // The guide for the next character. The fingers change only with the
    // character; the keyboard darkens the old key and lights the new one,
    // two changes even when both are the same key. The drill sets a label's
    // text only when it differs.
    void guideTo(const QString& next, bool newCharacter, int round)
    {
        for (std::size_t i = newCharacter ? 0 : 4; i < guide.size(); ++i) {
            QPalette palette = guide[i]->palette();
            palette.setColor(QPalette::Window, (round + int(i)) % 2 ? QColor(Qt::red) : QColor(Qt::black));
            guide[i]->setPalette(palette);
            guide[i]->setAutoFillBackground(true);
        }
        if (newCharacter) {
            tpr3->setText(next);
            tpr3->adjustSize();
        }
        tpr3->move(tpr2->x() + tpr2->width(), 134);
    }

    void countHit()
    {
        hit1->setText(QString::number(++hits));
        hit1->adjustSize();
    }
};

// The texts and widths of a problem's romaji as the drill shows them.
struct TypedTexts {
    QStringList prefixes; // the typed text after each number of keys
    QStringList chars;    // each character alone
    std::vector<int> widths;

    TypedTexts(const RomajiText& romaji, const QFont& font)
    {
        const QString text = LabelText(romaji);
        const QFontMetrics metrics(font);
        for (qsizetype n = 0; n <= text.size(); ++n) {
            prefixes << text.left(n);
            widths.push_back(metrics.horizontalAdvance(prefixes.back()));
            chars << text.mid(n, 1);
        }
    }
};

} // namespace

class BenchDrill : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<Tmain1> drill;

    // Events left from the set-up would lengthen the toolkit's scans of
    // the posted events in one timed loop and not in another.
    static void settle() { QCoreApplication::processEvents(); }

    void startDrill(const std::string& entries)
    {
        Write(AppDir + "word1.txt", entries);
        Counters.Mode = 1;
        Counters.Level = 1;
        Counters.TimeLimit = 60;
        drill->hide();
        drill->show();
    }

    // One long problem: a, i, u, e, o..., a new finger every key.
    void startLongProblem()
    {
        std::string reading;
        for (int i = 0; i < 50; ++i)
            reading += "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8"; // あいうえお
        startDrill("s," + reading.substr(0, 200) + "\r\nm\r\n");
    }

    // 300 problems of one key each, every one with its own texts.
    void startOneKeyProblems()
    {
        std::string entries;
        const char* kana[] = {"\x82\xa0", "\x82\xa2", "\x82\xa4", "\x82\xa6", "\x82\xa8"};
        for (int i = 0; i < 300; ++i)
            entries += "s" + std::to_string(i) + "," + kana[i % 5] + "\r\nm" + std::to_string(i) + "\r\n";
        startDrill(entries);
    }

    // Hits in a long problem: the typed text grows, the guide moves on.
    void hitLongProblem(bool flexible, bool reading = false)
    {
        FlexibleRomaji = flexible;
        ShowReading = reading;
        startLongProblem();
        const RomajiText& romaji = Problems.problem(1).Romaji;
        settle();
        QBENCHMARK {
            if (main1->CursorPos >= romaji.size())
                main1->ShowProblem(1);
            main1->FormKeyPress(main1, romaji.at(main1->CursorPos));
        }
        FlexibleRomaji = ShowReading = false;
    }

    void missOneProblem(bool flexible, bool reading = false)
    {
        FlexibleRomaji = flexible;
        ShowReading = reading;
        startDrill("s,\x82\xa0\r\nm\r\n");
        settle();
        QBENCHMARK { main1->FormKeyPress(main1, '#'); }
        FlexibleRomaji = ShowReading = false;
    }

    // Every hit ends its one-key problem and shows the next.
    void endOneKeyProblems(bool flexible, bool reading = false)
    {
        FlexibleRomaji = flexible;
        ShowReading = reading;
        startOneKeyProblems();
        settle();
        QBENCHMARK {
            const RomajiText& romaji = Problems.problem(main1->ProblemIndex).Romaji;
            main1->FormKeyPress(main1, romaji.at(main1->CursorPos));
        }
        FlexibleRomaji = ShowReading = false;
    }

private slots:
    void initTestCase()
    {
        AppDir = UserDir = dir.path().toStdString() + '/';
        const std::string app = KIDRILL_APP_DATA_DIR;
        Write(AppDir + "roma.txt", ReadFileBytes(app + "roma.txt").bytes);
        Write(AppDir + "code.dat", ReadFileBytes(app + "code.dat").bytes);
        QVERIFY(LoadRomajiTable());
        QCOMPARE(LoadFingerTable(), FingerTableLoad::Ok);
        ReadSettings(IniFile(), 1280, 1024); // every default
        drill = std::make_unique<Tmain1>();
        main1 = drill.get();
        kb1 = new Tkb1(drill.get());
    }

    void cleanupTestCase()
    {
        drill.reset();
        main1 = nullptr;
        kb1 = nullptr;
    }

    void keyHit() { hitLongProblem(false); }
    void keyMiss() { missOneProblem(false); }
    void keyEndOfProblem() { endOneKeyProblems(false); }
    // With every spelling accepted, typing the spelling shown makes the
    // same label calls: the floors are the same.
    void keyHitFlexible() { hitLongProblem(true); }
    void keyMissFlexible() { missOneProblem(true); }
    void keyEndOfProblemFlexible() { endOneKeyProblems(true); }
    // The reading row marks the next kana and the romaji row is shaded by
    // kana: against the floors without them, this is what they cost.
    void keyHitReading() { hitLongProblem(false, true); }
    void keyMissReading() { missOneProblem(false, true); }
    void keyEndOfProblemReading() { endOneKeyProblems(false, true); }

    void keyHitFloor()
    {
        startLongProblem();
        LabelFloor floor;
        const TypedTexts typed(Problems.problem(1).Romaji, floor.tpr2->font());
        const qsizetype length = typed.chars.size() - 1;
        qsizetype cursor = 1;
        int round = 0;
        settle();
        QBENCHMARK {
            if (cursor >= length)
                cursor = 1;
            floor.tpr2->setText(typed.prefixes[cursor]);
            floor.tpr2->resize(typed.widths[cursor], floor.tpr2->height());
            floor.bu1->hide();
            floor.guideTo(typed.chars[cursor], true, ++round);
            floor.countHit();
            ++cursor;
        }
    }


    void keyMissFloor()
    {
        LabelFloor floor;
        settle();
        QBENCHMARK {
            floor.bu1->show();
            floor.miss1->setText(QString::number(++floor.misses));
            floor.miss1->adjustSize();
        }
    }


    void keyEndOfProblemFloor()
    {
        startOneKeyProblems();
        LabelFloor floor;
        struct Shown {
            QString sentence, meaning, romaji, first;
            int width;
        };
        std::vector<Shown> shown;
        for (std::uint16_t i = 1; i <= Problems.Count; ++i) {
            const Problem& p = Problems.problem(i);
            const TypedTexts typed(p.Romaji, floor.tpr2->font());
            shown.push_back({LabelText(p.Sentence), LabelText(p.Meaning), typed.prefixes.back(), typed.chars[0],
                             typed.widths.back()});
        }
        std::size_t index = 0;
        int round = 0;
        settle();
        QBENCHMARK {
            const Shown& current = shown[index];
            floor.tpr2->setText(current.romaji);
            floor.tpr2->resize(current.width, floor.tpr2->height());
            floor.bu1->hide();
            index = (index + 1) % shown.size();
            const Shown& next = shown[index];
            // The shuffle puts some problems of the same romaji in a row.
            const bool newRomaji = next.romaji != current.romaji;
            for (auto [label, text, changes] : {std::tuple {floor.tpy, &next.meaning, true},
                                                std::tuple {floor.tpg, &next.sentence, true},
                                                std::tuple {floor.tpr, &next.romaji, newRomaji}}) {
                if (changes) {
                    label->setText(*text);
                    label->adjustSize();
                }
            }
            floor.tpr2->setText(QString());
            floor.tpr2->resize(0, floor.tpr2->height());
            floor.total += int(next.romaji.size());
            floor.total1->setText(QString::number(floor.total));
            floor.total1->adjustSize();
            floor.guideTo(next.first, next.first != current.first, ++round);
            floor.countHit();
        }
    }

    void prepareFullSet()
    {
        std::string entries;
        const std::string words = ReadFileBytes(std::string(KIDRILL_APP_DATA_DIR) + "word3.txt").bytes;
        while (entries.size() < words.size() * 4)
            entries += words;
        Write(AppDir + "word3.txt", entries);
        QBENCHMARK {
            QCOMPARE(PrepareProblemSet(3, Problems, Counters, DrillRandom), Preparation::Ready);
        }
        QCOMPARE(Problems.Count, ProblemSet::Capacity);
    }

    void prepareFullSetFloor()
    {
        // Reading the file and copying its bytes into the set once.
        QBENCHMARK {
            const FileBytes file = ReadFileBytes(AppDir + "word3.txt");
            Problems.Count = 0;
            AppendWordList(file.bytes, Problems);
        }
    }

    void kanaToRomaji()
    {
        const std::string reading = "\x82\xc9\x82\xc6\x82\xf0\x82\xa8\x82\xa4\x82\xe0\x82\xcc\x82\xed\x82\xa2\x82\xc1"
                                    "\x82\xc6\x82\xf0\x82\xe0\x82\xa6\x82\xb8"; // にとをおうものわいっとをもえず
        QBENCHMARK { ConvertReading(reading, RomajiTable, SokuonRomaji); }
    }
};

QTEST_MAIN(BenchDrill)
#include "bench_drill.moc"

// The drill's hot paths against the floor the toolkit sets: a key press on
// the real drill window (offscreen, keyboard window shown) against the same
// number of label changes on bare labels, and the preparation of a full set.
// scripts/bench runs it and prints the table.

#include "counters.h"
#include "guide.h"
#include "keyboard.h"
#include "main.h"
#include "platform.h"
#include "problems.h"
#include "roma.h"
#include "settings.h"
#include "settingsfile.h"
#include "textfile.h"
#include "ui.h"

#include <QDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <memory>

namespace {

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A bare window of labels, changed as much as one key changes the drill.
struct BareLabels {
    QDialog window;
    std::vector<QLabel*> labels;
    BareLabels()
    {
        window.resize(631, 293);
        for (int i = 0; i < 8; ++i) {
            auto* l = new QLabel(QStringLiteral("x"), &window);
            l->setAutoFillBackground(true);
            labels.push_back(l);
        }
        window.show();
    }
    // `texts` text changes with self-sizing, `colours` background changes,
    // one move.
    void change(int texts, int colours, int round)
    {
        const QString text = QString::number(round);
        for (int i = 0; i < texts; ++i) {
            labels[i]->setText(text);
            labels[i]->adjustSize();
        }
        for (int i = 0; i < colours; ++i) {
            QPalette p = labels[i]->palette();
            p.setColor(QPalette::Window, round % 2 ? Qt::red : Qt::black);
            labels[i]->setPalette(p);
        }
        labels[0]->move(96 + round % 40, 134);
    }
};

} // namespace

class BenchDrill : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<Tmain1> drill;

    void startDrill(const std::string& entries)
    {
        Write(AppDir + "word1.txt", entries);
        Counters.Mode = 1;
        Counters.Level = 1;
        Counters.TimeLimit = 60;
        drill->hide();
        drill->show();
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

    // Hits in a long problem: the typed text grows, the guide moves on.
    void keyHit()
    {
        // あいうえお... gives a, i, u, e, o: a new finger every key.
        std::string reading;
        for (int i = 0; i < 50; ++i)
            reading += "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8"; // あいうえお
        startDrill("s," + reading.substr(0, 200) + "\r\nm\r\n");
        const RomajiText& romaji = Problems.problem(1).Romaji;
        QBENCHMARK {
            if (main1->CursorPos >= romaji.size())
                main1->ShowProblem(1);
            main1->FormKeyPress(main1, romaji.at(main1->CursorPos));
        }
    }

    void keyHitFloor()
    {
        BareLabels bare;
        int round = 0;
        // tpr2, hit1 and tpr3; two fingers in each window and two keys.
        QBENCHMARK { bare.change(3, 6, ++round); }
    }

    void keyMiss()
    {
        startDrill("s,\x82\xa0\r\nm\r\n");
        QBENCHMARK { main1->FormKeyPress(main1, '#'); }
    }

    void keyMissFloor()
    {
        BareLabels bare;
        int round = 0;
        QBENCHMARK {
            ++round;
            bare.labels[0]->setText(QString::number(round));
            bare.labels[0]->adjustSize();
        }
    }

    // Every hit ends its one-key problem and shows the next.
    void keyEndOfProblem()
    {
        std::string entries;
        const char* kana[] = {"\x82\xa0", "\x82\xa2", "\x82\xa4", "\x82\xa6", "\x82\xa8"};
        for (int i = 0; i < 300; ++i)
            entries += "s" + std::to_string(i) + "," + kana[i % 5] + "\r\nm" + std::to_string(i) + "\r\n";
        startDrill(entries);
        QBENCHMARK {
            const RomajiText& romaji = Problems.problem(main1->ProblemIndex).Romaji;
            main1->FormKeyPress(main1, romaji.at(main1->CursorPos));
        }
    }

    void keyEndOfProblemFloor()
    {
        BareLabels bare;
        int round = 0;
        // tpr2, hit1, tpy, tpg, tpr, total1 and tpr3; the same colours.
        QBENCHMARK { bare.change(7, 6, ++round); }
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

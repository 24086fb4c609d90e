#include "clock.h"
#include "keystroke.h"
#include "romajimatcher.h"
#include "romajitable.h"
#include "testsupport.h"
#include "textfile.h"

#include <QTest>

#include <atomic>
#include <memory>
#include <cstdlib>
#include <new>

// Counts every allocation of this process: the engine's paths that run on
// every key and every tick must make none.
namespace {
std::atomic<long> Allocations {0};
}

void* operator new(std::size_t size)
{
    ++Allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

class TestAlloc : public QObject {
    Q_OBJECT

    template <typename F>
    static long AllocationsOf(F work)
    {
        const long before = Allocations.load();
        work();
        return Allocations.load() - before;
    }

private slots:
    void initTestCase()
    {
        ParseRomajiTable(ReadFileBytes(SourceDataDir() + "roma.txt").bytes, RomajiTable, SokuonRomaji);
        // The count sees what the program allocates.
        QVERIFY(AllocationsOf([] { volatile auto s = std::make_unique<std::string>(100, 'x'); }) >= 2);
    }

    void conversionAllocatesNothing()
    {
        const std::string reading = Sj("にとをおうものわいっとをもえず、きゃっきゃっ。");
        volatile std::size_t sink = 0;
        QCOMPARE(AllocationsOf([&] {
                     for (int i = 0; i < 100; ++i)
                         sink = sink + ConvertReading(reading, RomajiTable, SokuonRomaji).Romaji.size();
                 }),
                 0L);
        QVERIFY(sink > 0);
    }

    void keyMatchingAllocatesNothing()
    {
        const RomajiText romaji("sarumokikaraotiru");
        volatile int hits = 0;
        QCOMPARE(AllocationsOf([&] {
                     for (std::uint16_t pos = 1; pos <= 20; ++pos)
                         for (char key = ' '; key < 0x7f; ++key)
                             hits = hits + KeyHits(romaji, pos, key) + (ExpectedChar(romaji, pos) == key);
                 }),
                 0L);
        QCOMPARE(int(hits), 34);
    }

    void flexibleMatchingAllocatesNothing()
    {
        static SpellingTable spellings;
        static RomajiMatcher matcher;
        ParseSpellings(ReadFileBytes(SourceDataDir() + "roma.txt").bytes, spellings);
        const std::string reading = Sj("ちょっとまっちゃをのんでから、しゅくだいをする。");
        volatile int hits = 0;
        QCOMPARE(AllocationsOf([&] {
                     QVERIFY(matcher.start(reading, RomajiTable, SokuonRomaji, spellings));
                     for (const char key : std::string_view("chottomacchawonondekara,shukudaiwosuru."))
                         hits = hits + matcher.press(key).hit;
                 }),
                 0L);
        QCOMPARE(int(hits), 39);
        QVERIFY(matcher.done());
    }

    void clockTextAllocatesNothing()
    {
        volatile std::size_t sink = 0;
        QCOMPARE(AllocationsOf([&] {
                     for (std::uint32_t ms = 0; ms < 1000000; ms += 997) {
                         const ClockReading r = ReadClock(1, 60, 0, ms);
                         sink = sink + ClockText(r.shown).size();
                     }
                 }),
                 0L);
        QVERIFY(sink > 0);
    }
};

QTEST_APPLESS_MAIN(TestAlloc)
#include "test_alloc.moc"

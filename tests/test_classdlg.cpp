#include "classdlg.h"
#include "course/course.h"
#include "learners/household.h"
#include "platform.h"
#include "recorddlg.h"
#include "recordingplatform.h"
#include "records/recordstats.h"
#include "records/recordstore.h"
#include "testsupport.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QDate Today(2026, 12, 23);

// A learner's records made through the store: a drill a day up to today,
// each `minutes` long, the last `days` days.
void MakeRecords(const std::string& path, const std::string& name, int days, std::uint32_t hitsPerMinute)
{
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    std::unique_ptr<RecordStore> store(CreateRecordStore());
    QCOMPARE(store->open(path), RecordStore::Opening::Ready);
    for (int d = days; d-- > 0;) {
        const DrillSummary drill {RecordTime(QDateTime(Today.addDays(-d), QTime(16, 0))), 1, 1, hitsPerMinute, 2,
                                  60000, 0, {}};
        QVERIFY(store->record({drill, {{"a", hitsPerMinute, 2}}, {{"あ", hitsPerMinute, 2}}}));
    }
    if (!name.empty())
        QVERIFY(store->setLearnerName(name));
}

// Every name under a folder with its bytes.
QMap<QString, QByteArray> Contents(const QString& folder)
{
    QMap<QString, QByteArray> contents;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        contents[file.fileName()] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
    }
    return contents;
}

QStringList Column(const QTableWidget* table, ClassColumn column)
{
    QStringList cells;
    for (int r = 0; r < table->rowCount(); ++r)
        cells << table->item(r, int(column))->text();
    return cells;
}

// Acts on each modal window that comes up, then closes it.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QDialog*)> act) : act_(std::move(act))
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!modal || modal == last_)
                return;
            last_ = modal;
            QTimer::singleShot(0, modal, [this, modal] { act_(modal); });
        });
        timer_.start();
    }

private:
    std::function<void(QDialog*)> act_;
    QTimer timer_;
    QDialog* last_ = nullptr;
};

void ClickHeader(QTableWidget* table, ClassColumn column)
{
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(int(column)) + 4, header->height() / 2));
}

void DoubleClickRow(QTableWidget* table, int row)
{
    const QPoint at = table->visualItemRect(table->item(row, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestClassDlg : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingPlatform> platform;
    std::unique_ptr<ScratchDir> dir;
    QString folder;

private slots:
    void init()
    {
        platform = std::make_unique<RecordingPlatform>();
        platform->screen = {1280, 800}; // a small laptop's
        dir = std::make_unique<ScratchDir>();
        AppDir = AppDataDir();
        UserDir = dir->file("data/");
        // This computer: learner 1's records without a name in them, and
        // a second learner without records.
        MakeRecords(UserDir + "records.sqlite", {}, 3, 30);
        Household household(UserDir);
        household.load();
        QVERIFY(household.rename(1, "あき").done && household.add("はなこ").done);
        // The teacher's folder.
        folder = QString::fromStdString(dir->file("5-1"));
        MakeRecords(dir->file("5-1/taro/records.sqlite"), "たろう", 10, 80);
        MakeRecords(dir->file("5-1/yui.sqlite"), "ゆい", 2, 120);
        dir->write("5-1/ken.sqlite", "not a database");
    }
    void cleanup()
    {
        platform.reset();
        dir.reset();
    }

    // Every learner of this computer and every file of the folder, a row
    // each; a click on a header sorts by it, a second turns the order.
    void rowsSortByTheHeaderClicked()
    {
        Tclassdlg window;
        window.showClass(folder, Today);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(Column(window.table, ClassColumn::Name), QStringList({"ken.sqlite", "あき", "たろう", "はなこ", "ゆい"}));
        QCOMPARE(Column(window.table, ClassColumn::State),
                 QStringList({"きろくでは ありません", "", "", "きろくは まだ ありません", ""}));
        ClickHeader(window.table, ClassColumn::Speed);
        QCOMPARE(Column(window.table, ClassColumn::Name), QStringList({"あき", "たろう", "ゆい", "ken.sqlite", "はなこ"}));
        QCOMPARE(window.table->horizontalHeader()->sortIndicatorSection(), int(ClassColumn::Speed));
        ClickHeader(window.table, ClassColumn::Speed);
        QCOMPARE(Column(window.table, ClassColumn::Name), QStringList({"ゆい", "たろう", "あき", "ken.sqlite", "はなこ"}));
        QCOMPARE(window.table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(Column(window.table, ClassColumn::WeekDays), QStringList({"2", "3", "3", "", ""}));
        // The CSV is the class as shown.
        QVERIFY(window.exportCsv(QString::fromStdString(dir->file("class.csv"))));
        const QStringList lines = QString::fromUtf8(QByteArray::fromStdString(dir->read("class.csv")).mid(3)).split("\r\n");
        QCOMPARE(lines.size(), 7);
        QVERIFY(lines[1].startsWith("ゆい,") && lines[5].startsWith("はなこ,"));
    }

    // A double click opens the learner's records, read only, named as the
    // row is; a file that cannot be read says why instead. The class's
    // folder stays as it was.
    void aDoubleClickOpensTheRecordsReadOnly()
    {
        const auto before = Contents(folder);
        Tclassdlg window;
        window.showClass(folder, Today);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList seen;
        ModalWatch watch([&](QDialog* modal) {
            if (auto* records = qobject_cast<Trecorddlg*>(modal)) {
                seen << records->windowTitle() + ' ' + records->summary->text();
                records->closeButton->click();
            }
        });
        DoubleClickRow(window.table, 2);
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen[0].startsWith("きろく（たろう） この 30日：れんしゅう 10分、うった 文字 800"), qPrintable(seen[0]));
        QVERIFY(platform->errors.empty());
        DoubleClickRow(window.table, 0);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(platform->errors.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(platform->errors[0].text),
                 QString("ken.sqlite の きろくは 読めません：きろくでは ありません"));
        QCOMPARE(Contents(folder), before);
    }

    // The records window's "クラス" opens the class of this computer (as
    // the title window wires it); in a learner's records opened from the
    // class, it leads back there.
    void theRecordsWindowLeadsToTheClass()
    {
        Trecorddlg records;
        connect(&records, &Trecorddlg::classRequested, &records, [&records] { ShowClass(&records); });
        QPushButton* classButton = nullptr;
        for (QPushButton* button : records.findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("クラス"))
                classButton = button;
        QVERIFY(classButton);
        QStringList seen;
        ModalWatch watch([&](QDialog* modal) {
            seen << modal->windowTitle();
            if (auto* window = qobject_cast<Tclassdlg*>(modal)) {
                if (seen.size() == 1) {
                    QCOMPARE(Column(window->table, ClassColumn::Name), QStringList({"あき", "はなこ"}));
                    window->openRecords(0);
                } else
                    window->closeButton->click();
            } else if (auto* pupil = qobject_cast<Trecorddlg*>(modal)) {
                for (QPushButton* button : pupil->findChildren<QPushButton*>())
                    if (button->text() == QStringLiteral("クラス"))
                        button->click();
            }
        });
        records.show();
        classButton->click();
        // The class, あき's records, back to the same class, which closes.
        QCOMPARE(seen, QStringList({"クラス", "きろく（あき）", "クラス"}));
        QVERIFY(platform->errors.empty());
    }

    // A class of 40 on a small laptop: the window fits the screen, every
    // column up to "ようす" fits its width, and the rows scroll inside.
    void aClassOfFortyFitsASmallLaptop()
    {
        for (int n = 1; n <= 40; ++n)
            MakeRecords(dir->file(QString("4-2/%1/records.sqlite").arg(n, 2, 10, QChar('0')).toStdString()),
                        QString("せいと%1").arg(n).toStdString(), 3, 40 + std::uint32_t(n));
        Tclassdlg window;
        window.showClass(QString::fromStdString(dir->file("4-2")), Today);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.table->rowCount(), 42);
        QVERIFY(window.frameGeometry().right() < 1280 && window.frameGeometry().bottom() < 800);
        QHeaderView* header = window.table->horizontalHeader();
        const int state = int(ClassColumn::State);
        QVERIFY2(header->sectionViewportPosition(state) + header->sectionSize(state) <= window.table->viewport()->width(),
                 qPrintable(QString::number(header->sectionViewportPosition(state) + header->sectionSize(state))));
        QVERIFY(window.table->verticalScrollBar()->isVisible());
    }

    // The README's picture: a class of a dozen, each at their own pace in
    // the course, and a file that is no records file.
    void screenshot()
    {
        const QByteArray out = qgetenv("KIDRILL_SCREENSHOT_DIR");
        if (out.isEmpty())
            QSKIP("set KIDRILL_SCREENSHOT_DIR to keep pictures of the windows");
        const Course course = LoadCourse();
        QVERIFY(course.lessons.size() > 20);
        const char* const names[] = {"たろう", "はなこ", "ゆい", "けん", "さくら", "そうた",
                                     "ひなた", "りく", "めい", "はると", "Emma"};
        for (std::uint32_t i = 0; i < std::size(names); ++i) {
            const std::string path = dir->file(QString("4-2/%1/records.sqlite").arg(i + 1, 2, 10, QChar('0')).toStdString());
            QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
            std::unique_ptr<RecordStore> store(CreateRecordStore());
            QCOMPARE(store->open(path), RecordStore::Opening::Ready);
            const std::size_t reached = 4 + i * 3 % 20;
            for (int d = 13; d >= 0; --d) {
                if ((std::uint32_t(d) + i) % 3 == 0 && d != 0)
                    continue;
                const std::uint32_t hits = 70 + i * 9 + std::uint32_t(13 - d) * (1 + i % 3);
                DrillSummary drill {RecordTime(QDateTime(Today.addDays(-d), QTime(15, 30))), 2, 2, hits * 3,
                                    2 + i % 5 + std::uint32_t(d) % 3, 180000, 0, {}};
                if (d % 4 == 1) {
                    const Lesson& lesson = course.lessons.at(reached - std::size_t(d) / 4);
                    drill.level = 0;
                    drill.lesson = lesson.file;
                    drill.goal = lesson.goal;
                    drill.stars = 1 + int((i + std::uint32_t(d)) % 3);
                }
                QVERIFY(store->record({drill,
                                       {{"a", hits, 1}, {"-", 20, i % 5}, {"k", 40, 1 + i % 2}},
                                       {{"し", 40, 2 + i % 5}, {"っ", 20, i % 6}, {"きゃ", 12, 1 + i % 3}, {"ん", 30, i % 4}}}));
            }
            QVERIFY(store->setLearnerName(names[i]));
        }
        dir->write("4-2/12.sqlite", "not a database");
        Tclassdlg window;
        window.showClass(QString::fromStdString(dir->file("4-2")), Today);
        window.sortBy(int(ClassColumn::Lesson));
        window.sortBy(int(ClassColumn::Lesson));
        window.resize(1240, 560);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.folderLabel->setText(QStringLiteral("この コンピューターの 人と、フォルダ /media/usb/4-2 の きろく（12こ）"));
        QVERIFY(window.grab().save(QString::fromUtf8(out) + "/class.png"));
    }
};

QTEST_MAIN(TestClassDlg)
#include "test_classdlg.moc"

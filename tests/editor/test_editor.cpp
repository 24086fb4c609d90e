#include "main.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const std::string ThreeEntries = Sj("猫に小判,ねこにこばん\r\n価値+無駄\r\n"
                                    "急がば回れ,いそがばまわれ\r\n\r\n"
                                    "石の上にも三年,いしのうえにもさんねん\r\n辛抱\r\n");

std::string Entries(int count)
{
    std::string bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "s" + std::to_string(i) + ",r\r\nm\r\n";
    return bytes;
}

// The editor on a scratch directory that holds `file` as "wordu.txt".
struct Editor {
    explicit Editor(const std::optional<std::string>& file = ThreeEntries)
    {
        if (file)
            dir.write("wordu.txt", *file);
        reopen();
    }
    void reopen()
    {
        told.clear();
        form = std::make_unique<TForm1>(QString::fromStdString(dir.path()), QString::fromStdString(dir.path()),
                                        [this](QWidget*, const QString& text) { told << text; });
    }
    std::string file() const { return dir.read("wordu.txt"); }
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < form->List1->count(); ++i)
            out << form->List1->item(i)->text();
        return out;
    }
    QStringList boxes() const { return {form->g1->text(), form->h1->text(), form->y1->text(), form->y2->text()}; }
    void fill(const QStringList& texts) const
    {
        QLineEdit* const all[] = {form->g1, form->h1, form->y1, form->y2};
        for (int i = 0; i < 4; ++i)
            all[i]->setText(texts.value(i));
    }
    // Add, overwrite, delete, edit: 1 where enabled.
    QString buttons() const
    {
        QString out;
        for (const QPushButton* b : {form->Button1, form->Button2, form->Button3, form->Button4})
            out += b->isEnabled() ? '1' : '0';
        return out;
    }
    int selected() const
    {
        const auto items = form->List1->selectedItems();
        return items.isEmpty() ? -1 : form->List1->row(items.first());
    }

    ScratchDir dir;
    QStringList told;
    std::unique_ptr<TForm1> form;
};

// An input method as IBus is: when Qt moves the focus out of the box, it
// hands the text it holds to the box before the box hears of the move; text
// that reached the box otherwise it no longer holds.
class ConfirmsOnLeaving final : public QObject {
public:
    ConfirmsOnLeaving(QLineEdit* box, const QString& text) : QObject(box), box_(box), text_(text)
    {
        box->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::InputMethod && !static_cast<QInputMethodEvent*>(event)->commitString().isEmpty())
            text_.clear();
        if (event->type() == QEvent::FocusAboutToChange && !text_.isEmpty()) {
            QInputMethodEvent commit;
            commit.setCommitString(text_);
            QApplication::sendEvent(box_, &commit);
        }
        return false;
    }

private:
    QLineEdit* box_;
    QString text_;
};

QString Kanji(int n)
{
    return QString(n, QChar(u'漢'));
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheFileAndAllActionsDisabled()
    {
        Editor e;
        QCOMPARE(e.form->windowTitle(), QString("モコラン　文章作成システム （かきこ）"));
        QCOMPARE(e.lines(), QStringList({"猫に小判", "急がば回れ", "石の上にも三年"}));
        QCOMPARE(e.form->count1->text(), QString("3"));
        QCOMPARE(e.buttons(), QString("0000"));
        QVERIFY(e.told.isEmpty());

        Editor none(std::nullopt);
        QCOMPARE(none.lines(), QStringList());
        QCOMPARE(none.form->count1->text(), QString("0"));
    }

    void controlsFollowTheirAnchors()
    {
        Editor e;
        e.form->show();
        e.form->resize(100, 100); // below the minimum: held there
        QCOMPARE(e.form->size(), QSize(492, 253));
        QCOMPARE(e.form->g1->geometry(), QRect(88, 8, 397, 23));
        QCOMPARE(e.form->List1->geometry(), QRect(8, 160, 477, 52));
        QCOMPARE(e.form->Button5->geometry(), QRect(170, 219, 129, 25));
        QCOMPARE(e.form->Button6->geometry(), QRect(322, 219, 137, 25));
        QCOMPARE(e.form->Button4->geometry(), QRect(288, 120, 75, 25));
        QVERIFY(e.form->count1->geometry().right() < e.form->width());
    }

    void buttonRule_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("select");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("named"); // the separator the note names; empty: none
        QTest::newRow("sentence only") << QStringList {"猫", ""} << -1 << "0000" << "";
        QTest::newRow("sentence and reading, no meaning") << QStringList {"猫", "ねこ"} << -1 << "1000" << "";
        QTest::newRow("meanings alone") << QStringList {"", "", "意味", "二行目"} << -1 << "0000" << "";
        QTest::newRow("line selected, boxes empty") << QStringList {} << 1 << "0011" << "";
        QTest::newRow("line selected, reading only") << QStringList {"", "ねこ"} << 1 << "0011" << "";
        QTest::newRow("line selected, both") << QStringList {"猫", "ねこ"} << 1 << "1111" << "";
        // Read back, the file would split the entry at these.
        QTest::newRow("comma in the sentence") << QStringList {"dog,cat", "ねこ"} << 1 << "0011" << ",";
        QTest::newRow("plus in the first meaning line") << QStringList {"猫", "ねこ", "A+B"} << -1 << "0000" << "+";
        // Where the file keeps them.
        QTest::newRow("comma in the reading, plus in the second meaning line")
            << QStringList {"猫、犬", "ねこ,いぬ", "A，B", "C+D"} << 1 << "1111" << "";
    }
    void buttonRule()
    {
        QFETCH(QStringList, texts);
        QFETCH(int, select);
        QFETCH(QString, buttons);
        QFETCH(QString, named);
        Editor e;
        e.fill(texts);
        e.form->List1->setCurrentRow(select);
        QCOMPARE(e.buttons(), buttons);
        QCOMPARE(e.form->note1->text().contains("「" + named + "」は使えません"), !named.isEmpty());
        // Whatever the buttons may say, nothing is stored that would split.
        const int before = e.form->List1->count();
        e.form->Button1->click();
        QCOMPARE(e.form->List1->count(), before + int(buttons[0] == '1'));
    }

    void enterMovesTheFocusOn_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("to");
        QTest::newRow("g1") << 0 << QStringList {} << "h1";
        QTest::newRow("h1") << 1 << QStringList {} << "y1";
        QTest::newRow("y1") << 2 << QStringList {} << "y2";
        QTest::newRow("y2, buttons disabled") << 3 << QStringList {} << "List1";
        QTest::newRow("y2, add enabled") << 3 << QStringList {"a", "b,c+d", "e"} << "Button1";
    }
    void enterMovesTheFocusOn()
    {
        QFETCH(int, from);
        QFETCH(QStringList, texts);
        QFETCH(QString, to);
        Editor e;
        e.form->show();
        QVERIFY(QTest::qWaitForWindowActive(e.form.get()));
        e.fill(texts);
        QLineEdit* const boxes[] = {e.form->g1, e.form->h1, e.form->y1, e.form->y2};
        boxes[from]->setFocus();
        QTest::keyClick(boxes[from], Qt::Key_Return);
        const QMap<QString, QWidget*> named {{"h1", e.form->h1}, {"y1", e.form->y1}, {"y2", e.form->y2},
                                             {"List1", e.form->List1}, {"Button1", e.form->Button1}};
        QCOMPARE(QApplication::focusWidget(), named[to]);
        const QStringList unchanged = texts.isEmpty() ? QStringList {"", "", "", ""} : texts + QStringList {""};
        QCOMPARE(e.boxes(), unchanged);
    }

    void readingsTheDrillCannotTypeAreNamed_data()
    {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("named"); // empty: no note
        QTest::newRow("hiragana") << "ねこにこばん" << "";
        QTest::newRow("small tsu before a kana") << "かった" << "";
        QTest::newRow("latin letters") << "abc" << "a";
        QTest::newRow("kanji after kana") << "とう東京" << "東";
        QTest::newRow("small tsu at the end") << "かっ" << "っ";
        QTest::newRow("one byte left at the end") << "かa" << "a";
    }
    void readingsTheDrillCannotTypeAreNamed()
    {
        QFETCH(QString, reading);
        QFETCH(QString, named);
        Editor e;
        e.dir.write("roma.txt", Sj("か,ka\r\nた,ta\r\nっ,xtu\r\nと,to\r\nう,u\r\nね,ne\r\nこ,ko\r\nに,ni\r\nば,ba\r\nん,nn\r\n"));
        e.reopen();
        e.fill({"文", reading});
        QCOMPARE(e.form->note1->text().isEmpty(), named.isEmpty());
        if (!named.isEmpty())
            QVERIFY2(e.form->note1->text().contains("「" + named + "」"), qPrintable(e.form->note1->text()));
        // It is the user's list: the entry may still be added.
        QCOMPARE(e.buttons(), QString("1000"));
        e.form->Button1->click();
        QVERIFY(e.form->note1->text().isEmpty());
    }

    void aClickBelowTheLinesKeepsTheSelection()
    {
        Editor e;
        e.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(e.form.get()));
        QWidget* lines = e.form->List1->viewport();
        QTest::mouseClick(lines, Qt::LeftButton, {}, e.form->List1->visualItemRect(e.form->List1->item(1)).center());
        QCOMPARE(e.selected(), 1);
        QTest::mouseClick(lines, Qt::LeftButton, {}, QPoint(20, lines->height() - 5));
        QCOMPARE(e.selected(), 1);
        QCOMPARE(e.buttons(), QString("0011"));
    }

    void addAppendsAndEmptiesTheBoxes()
    {
        Editor e;
        e.form->List1->setCurrentRow(0);
        e.fill({"猿も木から落ちる", "さるもきからおちる", "名人も", "失敗する"});
        e.form->Button1->click();
        QCOMPARE(e.lines().last(), QString("猿も木から落ちる"));
        QCOMPARE(e.form->count1->text(), QString("4"));
        QCOMPARE(e.boxes(), QStringList({"", "", "", ""}));
        QCOMPARE(e.selected(), 0);
        QCOMPARE(e.buttons(), QString("0011"));
    }

    void overwriteKeepsThePlaceAndTheSelection()
    {
        Editor e;
        e.form->List1->setCurrentRow(1);
        e.fill({"急いては事を仕損じる", "せいてはことをしそんじる"});
        e.form->Button2->click();
        QCOMPARE(e.lines(), QStringList({"猫に小判", "急いては事を仕損じる", "石の上にも三年"}));
        QCOMPARE(e.selected(), 1);
        QCOMPARE(e.boxes(), QStringList({"", "", "", ""}));
        QCOMPARE(e.form->count1->text(), QString("3"));
        QCOMPARE(Show(e.form->table().entry(2).Reading), QString("せいてはことをしそんじる"));
    }

    // An entry loaded, changed and added or written back with Space, then a
    // stray Space: the focus waits in the sentence box for the next entry.
    void aStraySpaceAfterAStoreDeletesNothing_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("追加") << 1;
        QTest::newRow("上書き") << 2;
    }
    void aStraySpaceAfterAStoreDeletesNothing()
    {
        QFETCH(int, button);
        Editor e;
        e.form->show();
        QVERIFY(QTest::qWaitForWindowActive(e.form.get()));
        e.form->List1->setCurrentRow(0);
        e.form->Button4->click();
        e.form->g1->setText("猫に鰹節");
        QPushButton* store = button == 1 ? e.form->Button1 : e.form->Button2;
        store->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), e.form->g1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(e.form->List1->count(), button == 1 ? 4 : 3);
        QCOMPARE(e.lines().first(), QString(button == 1 ? "猫に小判" : "猫に鰹節"));
    }

    // Text an input method still holds underlined is confirmed in the box it
    // was typed in before "追加", "上書き" or a move of the focus. IBus sends
    // the same text again a moment later, wherever the focus is by then: it
    // lands nowhere a second time.
    void pendingTextLandsOnceWhereItWasTyped_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("boxes"); // afterwards
        QTest::addColumn<int>("entry");         // the entry that holds the meaning; 0: none
        QTest::addColumn<bool>("ibus");         // an input method that confirms when the focus moves
        const QStringList typed {"猫", "ねこ", "かわいい", ""};
        const QStringList empty {"", "", "", ""};
        for (const bool ibus : {false, true}) {
            const char* im = ibus ? ", IBus" : "";
            QTest::addRow("追加%s", im) << "追加" << empty << 4 << ibus;
            QTest::addRow("上書き%s", im) << "上書き" << empty << 1 << ibus;
            QTest::addRow("a click into another box%s", im) << "click" << typed << 0 << ibus;
            QTest::addRow("Tab%s", im) << "Tab" << typed << 0 << ibus;
            QTest::addRow("Enter%s", im) << "Enter" << typed << 0 << ibus;
        }
    }
    void pendingTextLandsOnceWhereItWasTyped()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, boxes);
        QFETCH(int, entry);
        QFETCH(bool, ibus);
        Editor e;
        e.form->show();
        QVERIFY(QTest::qWaitForWindowActive(e.form.get()));
        e.form->List1->setCurrentRow(0);
        e.fill({"猫", "ねこ"});
        e.form->y1->setFocus();
        const QString meaning = "かわいい";
        QInputMethodEvent preedit(meaning, {});
        QApplication::sendEvent(e.form->y1, &preedit);
        if (ibus)
            new ConfirmsOnLeaving(e.form->y1, meaning);
        QCOMPARE(e.form->y1->text(), QString()); // underlined, not yet confirmed
        // A click takes the road a person's does: through the window, which
        // moves the focus before the widget sees the press.
        const auto click = [&](QWidget* w) {
            QTest::mouseClick(e.form->windowHandle(), Qt::LeftButton, {}, w->mapTo(e.form.get(), w->rect().center()));
        };
        if (action == "追加")
            click(e.form->Button1);
        else if (action == "上書き")
            click(e.form->Button2);
        else if (action == "click")
            click(e.form->g1);
        else
            QTest::keyClick(e.form->y1, action == "Tab" ? Qt::Key_Tab : Qt::Key_Return);
        QInputMethodEvent late;
        late.setCommitString(meaning);
        QApplication::sendEvent(QApplication::focusWidget(), &late);
        QCOMPARE(e.boxes(), boxes);
        QCOMPARE(e.form->table().EntryCount, std::uint16_t(entry == 4 ? 4 : 3));
        for (std::uint16_t n = 1; n <= e.form->table().EntryCount; ++n)
            QCOMPARE(Show(e.form->table().entry(n).Meaning1) == meaning, n == entry);
        // What is typed next, the same text too, is entered as ever.
        auto* next = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(next);
        const QString before = next->text();
        QApplication::sendEvent(next, &preedit);
        QApplication::sendEvent(next, &late);
        QCOMPARE(next->text(), before + meaning);
    }

    void deleteKeepsTheOrderAndLeavesTheBoxes()
    {
        Editor e;
        e.form->List1->setCurrentRow(0);
        e.form->Button4->click(); // edit, so that the deleted entry can be added again
        e.form->Button3->click();
        QCOMPARE(e.lines(), QStringList({"急がば回れ", "石の上にも三年"}));
        QCOMPARE(Show(e.form->table().entry(2).Sentence), QString("石の上にも三年"));
        QCOMPARE(e.selected(), -1);
        QCOMPARE(e.form->count1->text(), QString("2"));
        QCOMPARE(e.buttons(), QString("1000"));
        QCOMPARE(e.boxes(), QStringList({"猫に小判", "ねこにこばん", "価値", "無駄"}));
    }

    void doubleClickEdits()
    {
        Editor e;
        e.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(e.form.get()));
        const QRect line = e.form->List1->visualItemRect(e.form->List1->item(2));
        QTest::mouseClick(e.form->List1->viewport(), Qt::LeftButton, {}, line.center());
        QTest::mouseDClick(e.form->List1->viewport(), Qt::LeftButton, {}, line.center());
        QCOMPARE(e.boxes(), QStringList({"石の上にも三年", "いしのうえにもさんねん", "辛抱", ""}));
        QCOMPARE(e.buttons(), QString("1111"));
    }

    void saveWritesTheTableAndQuits()
    {
        Editor e;
        e.form->show();
        e.form->List1->setCurrentRow(1);
        e.form->Button3->click();
        e.fill({"雨、降って", "あめ,ふって", "A", "B+C"}); // separators where the file keeps them
        e.form->Button1->click();
        e.form->Button5->click();
        QVERIFY(!e.form->isVisible());
        QCOMPARE(Show(e.file()), Show(Sj("猫に小判,ねこにこばん\r\n価値+無駄\r\n"
                                         "石の上にも三年,いしのうえにもさんねん\r\n辛抱\r\n"
                                         "雨、降って,あめ,ふって\r\nA+B+C\r\n")));
        e.reopen();
        QCOMPARE(e.lines(), QStringList({"猫に小判", "石の上にも三年", "雨、降って"}));
        e.form->List1->setCurrentRow(2);
        e.form->Button4->click();
        QCOMPARE(e.boxes(), QStringList({"雨、降って", "あめ,ふって", "A", "B+C"}));
    }

    void deletingEverythingSavesAnEmptyList()
    {
        Editor e;
        for (int i = 0; i < 3; ++i) {
            e.form->List1->setCurrentRow(0);
            e.form->Button3->click();
        }
        e.form->Button5->click();
        QCOMPARE(e.file(), std::string());
        e.reopen();
        QCOMPARE(e.lines(), QStringList());
        QCOMPARE(e.form->count1->text(), QString("0"));
    }

    void quittingWithoutSavingWritesNothing_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("保存せず終了") << true;
        QTest::newRow("title bar") << false;
    }
    void quittingWithoutSavingWritesNothing()
    {
        QFETCH(bool, byButton);
        Editor e;
        e.form->show();
        e.form->List1->setCurrentRow(0);
        e.form->Button3->click();
        e.fill({"a", "b"});
        e.form->Button1->click();
        byButton ? e.form->Button6->click() : void(e.form->close());
        QVERIFY(!e.form->isVisible());
        QCOMPARE(Show(e.file()), Show(ThreeEntries));
    }

    void aSaveThatCannotWriteChangesNothing()
    {
        Editor e;
        e.form->show();
        e.form->List1->setCurrentRow(0);
        e.form->Button3->click();
        // Every write beyond a few bytes fails, as on a full disk.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit tiny = old;
        tiny.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &tiny);
        e.form->Button5->click();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(e.form->isVisible());
        // The user is told which file and why.
        QCOMPARE(e.told.size(), 1);
        const QString path = QString::fromStdString(e.dir.file("wordu.txt"));
        QCOMPARE(e.told[0].section('\n', 0, 1),
                 path + " に保存できませんでした。\n" + QString::fromLocal8Bit(strerror(EFBIG)));
        QCOMPARE(Show(e.file()), Show(ThreeEntries));
        QCOMPARE(e.lines(), QStringList({"急がば回れ", "石の上にも三年"}));
        QCOMPARE(e.form->table().EntryCount, std::uint16_t(2));
        QCOMPARE(QDir(QString::fromStdString(e.dir.path())).entryList(QDir::Files), QStringList {"wordu.txt"});
    }

    // Text reaches a box by key, input method or paste; each is held to the
    // field's width in CP932 bytes and to what the file can keep.
    void boxesTakeOnlyWhatTheFileKeeps_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("after");
        QTest::newRow("sentence up to 100 bytes") << 0 << Kanji(49) << "漢" << false << Kanji(50);
        QTest::newRow("sentence past 100 bytes") << 0 << Kanji(50) << "a" << false << Kanji(50);
        QTest::newRow("reading up to 200 bytes") << 1 << Kanji(99) << "か" << false << Kanji(99) + "か";
        QTest::newRow("paste too long refused whole") << 1 << Kanji(99) << "かa" << true << Kanji(99);
        QTest::newRow("meaning 1 past 100 bytes") << 2 << Kanji(49) + "a" << "漢" << false << Kanji(49) + "a";
        QTest::newRow("meaning 2 up to 99 bytes") << 3 << Kanji(49) << "ｱ" << false << Kanji(49) + "ｱ";
        QTest::newRow("meaning 2 past 99 bytes") << 3 << Kanji(49) << "漢" << false << Kanji(49);
        QTest::newRow("wave dash is stored as ～") << 0 << "a" << "〜−—" << false << "a～－―";
        QTest::newRow("emoji refused") << 0 << "a" << "😀" << false << "a";
        QTest::newRow("paste that fits") << 0 << "a" << "b,c+d" << true << "ab,c+d";
        QTest::newRow("paste with an emoji refused") << 0 << "a" << "b😀c" << true << "a";
        QTest::newRow("paste with a line break refused") << 1 << "a" << "b\nc" << true << "a";
        QTest::newRow("U+001C would be written as the end byte") << 2 << "a" << "\x1c" << true << "a";
    }
    void boxesTakeOnlyWhatTheFileKeeps()
    {
        QFETCH(int, box);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(bool, paste);
        QFETCH(QString, after);
        Editor e;
        QLineEdit* const boxes[] = {e.form->g1, e.form->h1, e.form->y1, e.form->y2};
        QLineEdit* const target = boxes[box];
        target->setText(before);
        if (paste) {
            QGuiApplication::clipboard()->setText(typed);
            target->paste();
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(typed);
            QApplication::sendEvent(target, &commit);
        }
        QCOMPARE(target->text(), after);
    }

    void theTableIsFullAt200()
    {
        Editor e(Entries(199));
        e.fill({"a", "b"});
        e.form->Button1->click();
        QCOMPARE(e.form->count1->text(), QString("200"));
        e.fill({"c", "d"});
        QCOMPARE(e.buttons(), QString("0000"));
        e.form->List1->setCurrentRow(0);
        QCOMPARE(e.buttons(), QString("0111")); // overwrite still works
        e.form->Button3->click();
        QCOMPARE(e.buttons(), QString("1000"));
    }

    void moreThan200EntriesAreNeverSavedOver()
    {
        Editor e(Entries(201));
        QCOMPARE(e.told.size(), 1);
        QCOMPARE(e.form->List1->count(), 200);
        QVERIFY(!e.form->Button5->isEnabled());
        e.form->show();
        e.form->Button5Click();
        QVERIFY(e.form->isVisible());
        QCOMPARE(e.file(), Entries(201));
    }

    void anUnreadableFileEndsTheProgram_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("cannot open: no message") << "directory" << "";
        QTest::newRow("read error") << "/proc/self/mem" << "入出力エラー"; // opens, then fails at offset 0
        QTest::newRow("too large to be a word list") << "huge" << "大きすぎる";
    }
    void anUnreadableFileEndsTheProgram()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        ScratchDir dir;
        const std::string path = dir.file("wordu.txt");
        if (kind == "huge")
            dir.write("wordu.txt", Entries(200) + std::string(MaxFileBytes, '\r'));
        else
            QVERIFY(kind == "directory" ? QDir().mkdir(QString::fromStdString(path))
                                        : symlink(kind.toStdString().c_str(), path.c_str()) == 0);
        QStringList told;
        TForm1 form(QString::fromStdString(dir.path()), QString::fromStdString(dir.path()),
                    [&](QWidget*, const QString& text) { told << text; });
        QVERIFY(!form.loaded());
        QCOMPARE(told.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(told[0].contains(message), qPrintable(told[0]));
    }

    // A hand-made file may hold bytes with no CP932 character, or control
    // bytes: they show as marks, are written back untouched, and an edited
    // box holding a mark cannot be stored until the mark is gone.
    void foreignBytesAreShownAndKept()
    {
        const std::string bytes = "a\x80" "b,\x7f" "c\r\n" + Sj("意味") + "\x85\x40\r\n";
        Editor e(bytes);
        QCOMPARE(e.lines(), QStringList({"a\uFFFDb"}));
        e.form->List1->setCurrentRow(0);
        e.form->Button4->click();
        QCOMPARE(e.boxes(), QStringList({"a\uFFFDb", "\uFFFDc", "意味\uFFFD", ""}));
        QCOMPARE(e.buttons(), QString("0011"));
        e.fill({"ab", "c", "意味"});
        QCOMPARE(e.buttons(), QString("1111"));
        e.form->Button5->click();
        QCOMPARE(e.file(), bytes);
    }

    void screenshot()
    {
        const QByteArray out = qgetenv("KIDRILL_SCREENSHOT_DIR");
        if (out.isEmpty())
            QSKIP("set KIDRILL_SCREENSHOT_DIR to keep a picture of the window");
        Editor e;
        e.form->show();
        e.fill({"急がば回れ", "いそがばまわれ", "急ぐときほど", "安全な道を選ぶ方がよい"});
        e.form->grab().save(QString::fromLocal8Bit(out) + "/editor.png");
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"

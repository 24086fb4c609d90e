#include "main.h"

#include "boxtext.h"
#include "pendingtext.h"
#include "programicon.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyledItemDelegate>

namespace {

const QString Caption = QStringLiteral("モコラン　文章作成システム （かきこ）");
const QString AppTitle = QStringLiteral("かきこ");

// The layout was drawn for a window of 550 × 490 with 4-pixel borders and a
// 19-pixel caption; the client areas below are what such a window holds, so
// the controls keep their margins whatever frame the window manager adds.
constexpr QSize InitialClient {550 - 8, 490 - 27};
constexpr QSize MinimumClient {500 - 8, 280 - 27};
constexpr QPoint InitialPlace {192, 107};

constexpr int FontPixels = 15;
constexpr int NoteFontPixels = 12;
constexpr int ListLineHeight = 15;

QFont EditorFont()
{
    // "ＭＳ ゴシック" alone falls back to a face without Japanese here.
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    font.setPixelSize(FontPixels);
    return font;
}

// Keeps every list line at the line height of the layout.
class LineDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), ListLineHeight};
    }
};

bool IsEnterKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

void TForm1::ShowMessage(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, AppTitle, text);
}

TForm1::TForm1(const QString& directory, const QString& appDirectory, Tell tell, QWidget* parent)
    : QWidget(parent), table_(std::make_unique<WordTable>()),
      path_(QFile::encodeName(QDir(directory).filePath(QStringLiteral("wordu.txt"))).toStdString()),
      tell_(std::move(tell))
{
    // The drill's own table says what it can type.
    const FileBytes romaji =
        ReadFileBytes(QFile::encodeName(QDir(appDirectory).filePath(QStringLiteral("roma.txt"))).toStdString());
    if (romaji.status == FileStatus::Ok) {
        romaji_ = std::make_unique<RomajiTableData>();
        ParseRomajiTable(romaji.bytes, *romaji_, sokuon_);
    }

    pending_ = new PendingText(this);
    setWindowTitle(Caption);
    setWindowIcon(ProgramIcon(QStringLiteral("org.kidrill.WordList")));
    setFont(EditorFont());
    move(InitialPlace);
    resize(InitialClient);
    setMinimumSize(MinimumClient);

    Label1 = makeLabel(QStringLiteral("文章"), {40, 12});
    Label2 = makeLabel(QStringLiteral("読み方"), {32, 36});
    Label3 = makeLabel(QStringLiteral("意味(説明)"), {8, 80});
    g1 = makeBox({88, 8, 447, 23}, decltype(WordEntry::Sentence)::capacity);
    h1 = makeBox({88, 32, 447, 23}, decltype(WordEntry::Reading)::capacity);
    y1 = makeBox({88, 64, 447, 23}, decltype(WordEntry::Meaning1)::capacity);
    y2 = makeBox({88, 88, 447, 23}, decltype(WordEntry::Meaning2)::capacity);
    Button1 = makeButton(QStringLiteral("追加"), {24, 120, 75, 25}, &TForm1::Button1Click);
    Button2 = makeButton(QStringLiteral("上書き"), {112, 120, 75, 25}, &TForm1::Button2Click);
    Button3 = makeButton(QStringLiteral("削除"), {200, 120, 75, 25}, &TForm1::Button3Click);
    Button4 = makeButton(QStringLiteral("編集"), {288, 120, 75, 25}, &TForm1::List1DblClick);
    Label4 = makeLabel(QStringLiteral("データ数"), {376, 125});
    count1 = makeLabel(QStringLiteral("0"), {448, 125});
    QFont bold = font();
    bold.setBold(true);
    count1->setFont(bold);
    count1->adjustSize();
    // In the strip between the buttons and the list, right below the reading.
    note1 = makeLabel(QString(), {24, 146});
    QFont small = font();
    small.setPixelSize(NoteFontPixels);
    note1->setFont(small);
    QPalette red = note1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    note1->setPalette(red);

    List1 = new QListWidget(this);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setUniformItemSizes(true);
    List1->setItemDelegate(new LineDelegate(List1));
    anchored_.push_back({List1, {8, 160, 527, 262}, Anchor::StretchRightBottom});
    List1->viewport()->installEventFilter(this);
    connect(List1, &QListWidget::itemSelectionChanged, this, &TForm1::g1Change);
    connect(List1, &QListWidget::itemDoubleClicked, this, &TForm1::List1DblClick);

    Button5 = makeButton(QStringLiteral("保存して終了"), {220, 429, 129, 25}, &TForm1::Button5Click,
                         Anchor::RightBottom);
    Button6 = makeButton(QStringLiteral("保存せず終了"), {372, 429, 137, 25}, &TForm1::Button6Click,
                         Anchor::RightBottom);

    QWidget* const tabOrder[] = {g1, h1, y1, y2, Button1, Button2, Button3, Button4, List1, Button5, Button6};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    placeControls(size());
    // Underlined text goes where it was typed before a click takes the
    // focus elsewhere or acts on the boxes.
    pending_->watchPresses(this);

    FormCreate();
}

TForm1::~TForm1() = default;

QLabel* TForm1::makeLabel(const QString& caption, QPoint place)
{
    auto* label = new QLabel(caption, this);
    label->move(place);
    label->adjustSize();
    return label;
}

QLineEdit* TForm1::makeBox(const QRect& place, std::size_t limit)
{
    auto* box = new QLineEdit(this);
    box->setValidator(new Cp932Validator(limit, box));
    box->installEventFilter(this);
    pending_->watchBox(box);
    anchored_.push_back({box, place, Anchor::StretchRight});
    // The meaning boxes play no part in the rule but for what they hold
    // being storable, which an edited entry from a hand-made file may not be.
    connect(box, &QLineEdit::textChanged, this, &TForm1::g1Change);
    connect(box, &QLineEdit::textChanged, this, &TForm1::noteChange);
    return box;
}

QPushButton* TForm1::makeButton(const QString& caption, const QRect& place, void (TForm1::*click)(), Anchor anchor)
{
    auto* button = new QPushButton(caption, this);
    button->setGeometry(place);
    if (anchor != Anchor::Fixed)
        anchored_.push_back({button, place, anchor});
    // Enter presses a focused button, as Space does.
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this, click);
    return button;
}

void TForm1::placeControls(QSize client)
{
    const QSize grown = client - InitialClient;
    for (const AnchoredControl& c : anchored_)
        c.widget->setGeometry(Anchored(c.place, c.anchor, grown));
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    placeControls(event->size());
    QWidget::resizeEvent(event);
}

void TForm1::FormCreate()
{
    const WordEntriesLoad load = LoadWordEntries(path_, *table_);
    const QString shownPath = QFile::decodeName(path_.c_str());
    if (load.status != FileStatus::Ok) {
        loaded_ = false;
        table_->EntryCount = 0;
        // A file that cannot be opened ends the program without a word; one
        // that fails while it is read, or is too large to be a word list, is
        // reported.
        if (load.status == FileStatus::ReadError)
            tell_(this, QStringLiteral("%1 の読み込み中に入出力エラーが起きたため、終了します。").arg(shownPath));
        if (load.status == FileStatus::TooLarge)
            tell_(this, QStringLiteral("%1 は大きすぎるため読み込めません。終了します。").arg(shownPath));
        return;
    }
    if (!load.complete) {
        saveAllowed_ = false;
        tell_(this, QStringLiteral("%1 には %2 件を超えるデータがあります。\n"
                                   "先頭の %2 件だけを表示します。残りのデータを消さないよう、保存はできません。")
                        .arg(shownPath, QString::number(WordTable::Capacity)));
    }
    for (std::uint16_t n = 1; n <= table_->EntryCount; ++n)
        List1->addItem(ShownText(table_->entry(n).Sentence));
    showCount();
    Button5->setEnabled(saveAllowed_);
    g1Change();
}

int TForm1::selectedLine() const
{
    const auto items = List1->selectedItems();
    return items.isEmpty() ? -1 : List1->row(items.first());
}

void TForm1::g1Change()
{
    ButtonInputs in;
    in.sentence = !g1->text().isEmpty();
    in.reading = !h1->text().isEmpty();
    in.selected = selectedLine() >= 0;
    in.storable = g1->hasAcceptableInput() && h1->hasAcceptableInput() && y1->hasAcceptableInput()
        && y2->hasAcceptableInput() && SeparatorNote(g1->text(), y1->text()).isEmpty();
    in.full = table_->EntryCount >= WordTable::Capacity;
    const ButtonStates s = ButtonRule(in);
    Button1->setEnabled(s.add);
    Button2->setEnabled(s.overwrite);
    Button3->setEnabled(s.remove);
    Button4->setEnabled(s.edit);
}

void TForm1::noteChange()
{
    QString note = SeparatorNote(g1->text(), y1->text());
    const std::optional<std::string> reading = BoxBytes(h1->text(), decltype(WordEntry::Reading)::capacity);
    if (note.isEmpty() && romaji_ && reading && !reading->empty()) {
        if (const auto at = FirstUntypeable(*reading, *romaji_, sokuon_)) {
            const std::size_t length = Cp932CharLength(static_cast<unsigned char>((*reading)[*at]));
            note = QStringLiteral("読み方の「%1」はドリルで打てません。読み方はひらがなで書きます。")
                       .arg(ShownText(std::string_view(*reading).substr(*at, length)));
        }
    }
    note1->setText(note);
    note1->adjustSize();
}

bool TForm1::g1KeyPress(QKeyEvent* event)
{
    if (!IsEnterKey(event))
        return false;
    focusNextChild();
    return true;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == g1 || watched == h1 || watched == y1 || watched == y2))
        return g1KeyPress(static_cast<QKeyEvent*>(event));
    // A click below the last line would drop the selection that "編集" or
    // "上書き" is about to act on.
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        && watched == List1->viewport()
        && !List1->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
        return true;
    return QWidget::eventFilter(watched, event);
}

std::optional<WordEntry> TForm1::boxEntry() const
{
    if (g1->text().isEmpty() || h1->text().isEmpty())
        return std::nullopt;
    return EntryFromBoxes(g1->text(), h1->text(), y1->text(), y2->text());
}

void TForm1::clearBoxes()
{
    g1->clear();
    h1->clear();
    y1->clear();
    y2->clear();
}

void TForm1::showCount()
{
    count1->setText(QString::number(table_->EntryCount));
    count1->adjustSize();
}

void TForm1::Button1Click()
{
    pending_->confirm();
    const auto entry = boxEntry();
    if (!entry || !AddEntry(*table_, *entry))
        return;
    List1->addItem(ShownText(entry->Sentence));
    clearBoxes();
    showCount();
    g1Change(); // the table may have become full
    readyForTheNext();
}

void TForm1::Button2Click()
{
    pending_->confirm();
    const int line = selectedLine();
    const auto entry = boxEntry();
    if (line < 0 || !entry)
        return;
    ReplaceEntry(*table_, static_cast<std::uint16_t>(line + 1), *entry);
    List1->item(line)->setText(ShownText(entry->Sentence));
    clearBoxes();
    readyForTheNext();
}

void TForm1::readyForTheNext()
{
    // The pressed button is disabled now, and the focus would fall to the
    // next enabled one, "削除", where a stray Space deletes an entry.
    g1->setFocus();
}

void TForm1::Button3Click()
{
    const int line = selectedLine();
    if (line < 0)
        return;
    delete List1->takeItem(line);
    List1->selectionModel()->clear();
    RemoveEntry(*table_, static_cast<std::uint16_t>(line + 1));
    showCount();
    g1Change();
}

void TForm1::List1DblClick()
{
    const int line = selectedLine();
    if (line < 0)
        return;
    const WordEntry& e = table_->entry(static_cast<std::uint16_t>(line + 1));
    g1->setText(ShownText(e.Sentence));
    h1->setText(ShownText(e.Reading));
    y1->setText(ShownText(e.Meaning1));
    y2->setText(ShownText(e.Meaning2));
}

void TForm1::Button5Click()
{
    if (!saveAllowed_)
        return;
    // A file that cannot be written leaves everything as it was; the user
    // learns why, and can still quit without saving.
    if (const WriteOutcome saved = SaveWordEntries(path_, *table_); !saved) {
        tell_(this, SaveFailureText(QFile::decodeName(path_.c_str()), saved.error));
        return;
    }
    close();
}

void TForm1::Button6Click()
{
    close();
}

// The floor of the screen figures: a bare Qt program with the drill
// program's widgets at the same places, in the same fonts and colours, that
// makes the same changes per key and nothing else. Its first window has
// the title window's widgets; Enter opens a window of the drill window's
// labels, where a hit grows the red typed text, moves the next character
// and the lit fingers and counts; a miss counts and shows "ぶ～"; the end of
// the romaji shows the next sentence and meaning; a 50 ms clock runs from
// the first key.
//
// usage: screen_floor ROMAJI MASKS SENTENCE MEANING [SENTENCE MEANING]...
//   MASKS holds two hex digits per romaji character, its finger bits.

#include "settings/settings.h"
#include "widgets/drawing.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <array>
#include <vector>

namespace {

struct Problem {
    QString sentence;
    QString meaning;
};

QLabel* Label(QWidget* parent, const QString& text, int left, int top, const QFont& font, Colour colour = Black)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->move(left, top);
    if (colour != Black) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ToQColor(colour));
        label->setPalette(palette);
    }
    label->adjustSize();
    return label;
}

void SetText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

class FloorDrill final : public QDialog {
public:
    FloorDrill(const QString& romaji, const std::vector<std::uint8_t>& masks, const std::vector<Problem>& problems)
        : romaji_(romaji), masks_(masks), problems_(problems)
    {
        setWindowTitle(QStringLiteral("ポプリカ　ぷるるん"));
        setFixedSize(631, 293);
        setFont(DrillFont(16));
        setAttribute(Qt::WA_InputMethodEnabled, false);
        bu1_ = Label(this, QStringLiteral("ぶ～"), 72, 40, DrillFontForCell(200), Olive);
        bu1_->setFixedSize(400, 200);
        bu1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        bu1_->hide();
        Label(this, QStringLiteral("文章"), 24, 16, DrillFont(16));
        tpg_ = Label(this, QStringLiteral("テスト"), 96, 16, DrillFont(21, true));
        Label(this, QStringLiteral("練習"), 24, 48, DrillFont(16));
        tpy_ = Label(this, QStringLiteral("問題です"), 96, 48, DrillFont(16));
        Label(this, QStringLiteral("入力文字"), 16, 112, DrillFont(16));
        tpr_ = Label(this, QStringLiteral("tesuto"), 96, 104, DrillFont(24));
        tpr2_ = Label(this, QStringLiteral("fjtesuto"), 96, 140, DrillFont(24), Red);
        tpr3_ = Label(this, QStringLiteral("t"), 96, 134, DrillFont(37), Teal);
        Label(this, QStringLiteral("全文字数"), 32, 216, DrillFont(16));
        total1_ = Label(this, QStringLiteral("0"), 112, 216, DrillFont(16));
        Label(this, QStringLiteral("正解数"), 32, 240, DrillFont(16));
        hit1_ = Label(this, QStringLiteral("0"), 112, 240, DrillFont(19, true), Teal);
        Label(this, QStringLiteral("間違い"), 32, 264, DrillFont(16));
        miss1_ = Label(this, QStringLiteral("0"), 112, 264, DrillFont(16));
        Label(this, QStringLiteral("残り時間"), 328, 216, DrillFont(21));
        time1_ = Label(this, QStringLiteral(" 60.000"), 424, 216, DrillFont(27, true), Red);
        // Left little to right little, as the drill window has them.
        const struct {
            const char* caption;
            int left, width;
        } fingers[] = {{"小指", 24, 32},  {"薬指", 72, 32},  {"中指", 120, 32},
                       {"人差指", 168, 48}, {"親指", 240, 32}, {"人差指", 312, 48},
                       {"中指", 368, 32},  {"薬指", 416, 32}, {"小指", 464, 32}};
        for (std::size_t f = 0; f < fingers_.size(); ++f) {
            QLabel* label = Label(this, QString::fromUtf8(fingers[f].caption), fingers[f].left, 184, DrillFont(16),
                                  Silver);
            label->setAlignment(Qt::AlignCenter);
            label->setFixedSize(fingers[f].width, 16);
            label->setAutoFillBackground(true);
            setBackground(label, Qt::black);
            fingers_[f] = label;
        }
        clock_.setInterval(50);
        connect(&clock_, &QTimer::timeout, this, &FloorDrill::tick);
        showProblem();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->text().size() != 1)
            return;
        if (!clock_.isActive()) {
            started_.start();
            clock_.start();
        }
        if (event->text()[0] == romaji_[cursor_]) {
            ++cursor_;
            ++hits_;
            SetText(tpr2_, romaji_.left(cursor_));
            bu1_->hide();
            if (cursor_ < romaji_.size()) {
                guide(cursor_);
            } else {
                problem_ = (problem_ + 1) % problems_.size();
                showProblem();
            }
            SetText(hit1_, QString::number(hits_));
        } else {
            ++misses_;
            booTicks_ = 5;
            bu1_->show();
            SetText(miss1_, QString::number(misses_));
        }
    }

private:
    void showProblem()
    {
        SetText(tpy_, problems_[problem_].meaning);
        SetText(tpg_, problems_[problem_].sentence);
        SetText(tpr_, romaji_);
        cursor_ = 0;
        tpr2_->setText(QString());
        tpr2_->resize(0, tpr2_->height());
        total_ += romaji_.size();
        SetText(total1_, QString::number(total_));
        guide(0);
    }

    // Lights the fingers of the character at `at` and puts it after the
    // typed text.
    void guide(qsizetype at)
    {
        const std::uint8_t mask = masks_[at];
        for (std::size_t f = 0; f < fingers_.size(); ++f) {
            // Bits 0 to 3 are the left fingers, 4 to 7 the right; the
            // thumbs sit between them.
            const int bit = f < 4 ? int(f) : int(f) - 1;
            const bool lit = f != 4 && (mask >> bit & 1);
            setBackground(fingers_[f], lit ? ToQColor(DefaultFingerColours[f]) : QColor(Qt::black));
        }
        SetText(tpr3_, romaji_.mid(at, 1));
        tpr3_->move(tpr2_->x() + tpr2_->width(), 134);
    }

    static void setBackground(QLabel* label, const QColor& colour)
    {
        if (label->palette().color(QPalette::Window) == colour)
            return;
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, colour);
        label->setPalette(palette);
    }

    void tick()
    {
        const qint64 left = std::max<qint64>(0, 60000 - started_.elapsed());
        SetText(time1_, QString::asprintf("%3d.%03d", int(left / 1000), int(left % 1000)));
        if (booTicks_ > 0 && --booTicks_ == 0)
            bu1_->hide();
    }

    const QString romaji_;
    const std::vector<std::uint8_t> masks_;
    const std::vector<Problem> problems_;
    QLabel *bu1_, *tpg_, *tpy_, *tpr_, *tpr2_, *tpr3_, *total1_, *hit1_, *miss1_, *time1_;
    std::array<QLabel*, 9> fingers_ {};
    QTimer clock_;
    QElapsedTimer started_;
    std::size_t problem_ = 0;
    qsizetype cursor_ = 0;
    int hits_ = 0, misses_ = 0, total_ = 0, booTicks_ = 0;
};

// A captioned box of radio items spread down its height, as the title
// window has them.
void RadioGroup(QWidget* parent, const QString& caption, const QStringList& items, QRect place)
{
    auto* box = new QGroupBox(caption, parent);
    box->setGeometry(place);
    auto* group = new QButtonGroup(box);
    const int step = (place.height() - 28) / int(items.size());
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], box);
        item->setGeometry(10, 20 + i * step + (step - 20) / 2, place.width() - 16, 20);
        group->addButton(item, i);
    }
    group->button(0)->setChecked(true);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 5 || args.size() % 2 == 0 || args[2].size() != 2 * args[1].size()) {
        qCritical("usage: screen_floor ROMAJI MASKS SENTENCE MEANING [SENTENCE MEANING]...");
        return 2;
    }
    std::vector<std::uint8_t> masks;
    for (qsizetype i = 0; i < args[2].size(); i += 2)
        masks.push_back(static_cast<std::uint8_t>(args[2].mid(i, 2).toUInt(nullptr, 16)));
    std::vector<Problem> problems;
    for (qsizetype i = 3; i + 1 < args.size(); i += 2)
        problems.push_back({args[i], args[i + 1]});

    QDialog title;
    title.setWindowTitle(QStringLiteral("ポプリカ　ぷるるん"));
    title.setFixedSize(502, 292);
    title.setFont(DrillFont(16));
    RadioGroup(&title, QStringLiteral("モード"),
               {QStringLiteral("１分間文字数トライアル"), QStringLiteral("３分間文字数トライアル"),
                QStringLiteral("５分間文字数トライアル"), QStringLiteral("100文字タイムトライアル"),
                QStringLiteral("200文字タイムトライアル")},
               QRect(26, 16, 225, 201));
    RadioGroup(&title, QStringLiteral("レベル"),
               {QStringLiteral("ホームポジション"), QStringLiteral("横一列＋文字打ち"), QStringLiteral("文章打ち")},
               QRect(266, 16, 217, 201));
    auto* start = new QPushButton(QStringLiteral("すたーと"), &title);
    start->setGeometry(39, 240, 234, 41);
    start->setDefault(true);
    (new QPushButton(QStringLiteral("ランキング"), &title))->setGeometry(288, 248, 89, 33);
    (new QPushButton(QStringLiteral("おわり"), &title))->setGeometry(392, 248, 97, 33);
    start->setFocus();
    QObject::connect(start, &QPushButton::clicked, &title, [&] {
        title.hide();
        FloorDrill drill(args[1], masks, problems);
        drill.exec();
        title.show();
    });
    title.show();
    return app.exec();
}

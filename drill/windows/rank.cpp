#include "rank.h"

#include "scores.h"
#include "session.h"
#include "widgets/drawing.h"

#include <QComboBox>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>

Trankdlg* rankdlg = nullptr;

namespace {

struct ModeRow {
    const char* caption;
    int left;
    int top;
    int width;
};

constexpr ModeRow ModeRows[] = {
    {"１分間トライアル", 40, 64, 168}, {"３分間トライアル", 40, 96, 168}, {"５分間トライアル", 40, 128, 168},
    {"100文字トライアル", 32, 160, 180}, {"200文字トライアル", 32, 192, 180},
};

// Keeps every item of the drop-down list at the height of the layout,
// whatever padding the style would add.
class FixedHeightItems final : public QStyledItemDelegate {
public:
    FixedHeightItems(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

constexpr int ComboItemHeight = 24;

} // namespace

Trankdlg::Trankdlg(QWidget* parent)
    : QDialog(parent, DialogFrame)
{
    setWindowTitle(QStringLiteral("ランキング"));
    setFixedSize(323, 279);
    setFont(DrillFont(16));
    CentreOnScreen(*this);

    Combo1 = new QComboBox(this);
    Combo1->setGeometry(16, 16, 289, 32);
    Combo1->setFont(DrillFont(24));
    Combo1->setItemDelegate(new FixedHeightItems(ComboItemHeight, Combo1));

    std::array<QLabel*, 5> captions {};
    for (int i = 0; i < 5; ++i) {
        const ModeRow& row = ModeRows[i];
        captions[i] = MakeLabel(this, QString::fromUtf8(row.caption), row.left, row.top, DrillFont(21));
        captions[i]->setFixedSize(row.width, 21);
        hisc[i] = MakeLabel(this, QStringLiteral("0"), 218, row.top, DrillFont(21));
        hisc[i]->setObjectName(QStringLiteral("hisc%1").arg(i + 1));
        hisc[i]->setFixedSize(55, 21);
        hisc[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    Label1 = captions[0];
    Label2 = captions[1];
    Label3 = captions[2];
    Label4 = captions[3];
    Label5 = captions[4];

    Button1 = new QPushButton(QStringLiteral("とぢる"), this);
    Button1->setGeometry(88, 232, 113, 33);
    setTabOrder(Combo1, Button1);
    connect(Button1, &QPushButton::clicked, this, &Trankdlg::Button1Click);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &Trankdlg::Combo1Change);

    FormCreate();
}

void Trankdlg::FormCreate()
{
    Combo1->addItems(LevelNames());
    Combo1->setCurrentIndex(0);
}

void Trankdlg::showEvent(QShowEvent* event)
{
    SizeLabelsOnShow(this);
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Trankdlg::FormShow()
{
    Combo1Change();
}

void Trankdlg::Combo1Change()
{
    const int level = Combo1->currentIndex() + 1;
    if (level < 1 || level > LevelCount)
        return;
    for (int mode = 1; mode <= ModeCount; ++mode)
        hisc[mode - 1]->setText(QString::number(HighScoreTable.at(level, mode)));
}

void Trankdlg::Button1Click()
{
    accept();
}

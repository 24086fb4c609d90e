#include "result.h"

#include "ui.h"

#include <QPushButton>
#include <QShowEvent>

Tresultdlg* resultdlg = nullptr;

namespace {
constexpr Colour Green = RGBColour(0x00, 0x80, 0x00);
QFont MostMissedFont() { return DrillFont(48); }
}

Tresultdlg::Tresultdlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("けっか"));
    setFixedSize(357, 385);
    setFont(DrillFont(16));
    move(192, 107);

    Label1 = MakeLabel(this, QStringLiteral("結果発表"), 104, 16, DrillFont(35));
    Label2 = MakeLabel(this, QStringLiteral("文字数"), 88, 64, DrillFont(24));
    key1 = MakeLabel(this, QStringLiteral("0"), 184, 64, DrillFont(24));
    Label3 = MakeLabel(this, QStringLiteral("時間"), 96, 96, DrillFont(24));
    time1 = MakeLabel(this, QStringLiteral("0"), 184, 96, DrillFont(24));
    Label4 = MakeLabel(this, QStringLiteral("ミス回数"), 72, 128, DrillFont(24));
    missc1 = MakeLabel(this, QStringLiteral("0"), 184, 128, DrillFont(24));
    Label6 = MakeLabel(this, QStringLiteral("総合得点"), 72, 172, DrillFont(24));
    score1 = MakeLabel(this, QStringLiteral("0"), 184, 157, DrillFont(48));
    SetTextColour(score1, Red);
    hiscore1 = MakeLabel(this, QStringLiteral("はいすこあ～だよ"), 176, 202, DrillFont(16, true));
    SetTextColour(hiscore1, Green);
    hiscore1->hide();
    Label5 = MakeLabel(this, QStringLiteral("ミス多発地帯"), 120, 224, DrillFont(16));
    miss1 = MakeLabel(this, QStringLiteral("特に無し"), 24, 256, MostMissedFont());
    miss1->setFixedSize(313, 57);
    miss1->setAlignment(Qt::AlignCenter);

    Button1 = new QPushButton(QStringLiteral("わかった"), this);
    Button1->setGeometry(128, 336, 81, 33);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &Tresultdlg::Button1Click);
}

void Tresultdlg::showEvent(QShowEvent* event)
{
    SizeLabelsOnShow(this);
    QDialog::showEvent(event);
}

void Tresultdlg::Button1Click()
{
    accept();
}

void Tresultdlg::showMostMissed(const QString& keys)
{
    miss1->setText(keys);
    // "スペース" among other keys may be wider than the label.
    SetLabelFont(miss1, LargestFittingFont(MostMissedFont(), miss1->width(),
                                           [&](const QFont& font) { return TextWidth(font, keys); }));
}

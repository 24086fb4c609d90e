#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;

// The five best scores of one chosen level.
class Trankdlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Trankdlg)

public:
    explicit Trankdlg(QWidget* parent = nullptr);

    void FormCreate();
    void FormShow();
    void Combo1Change();
    void Button1Click();

    QComboBox* Combo1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    std::array<QLabel*, 5> hisc {}; // hisc1 to hisc5
    QPushButton* Button1;

protected:
    void showEvent(QShowEvent* event) override;
};

extern Trankdlg* rankdlg;

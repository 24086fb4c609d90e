#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The results of a finished drill.
class Tresultdlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tresultdlg)

public:
    explicit Tresultdlg(QWidget* parent = nullptr);

    void Button1Click();
    // The most-missed keys, in the largest font in which they fit.
    void showMostMissed(const QString& keys);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* key1;
    QLabel* Label3;
    QLabel* time1;
    QLabel* Label4;
    QLabel* missc1;
    QLabel* Label6;
    QLabel* score1;
    QLabel* hiscore1;
    QLabel* Label5;
    QLabel* miss1;
    QPushButton* Button1;

protected:
    void showEvent(QShowEvent* event) override;
};

extern Tresultdlg* resultdlg;

#pragma once

#include "records/classreport.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

// A teacher's look at the class: a row per learner, of this computer and of
// the records files under a folder the teacher picks, with the week at a
// glance; each file read only. A double click opens a learner's records.
class Tclassdlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tclassdlg)

public:
    explicit Tclassdlg(QWidget* parent = nullptr);

    // Reads every learner of this computer and, when a folder is given, the
    // records files under it, afresh; the rows keep the order chosen.
    void showClass(const QString& folder = QString(), const QDate& today = QDate::currentDate());
    void folderButtonClick();
    // Sorts by a column (as shown); the column sorted by already turns its
    // order round.
    void sortBy(int column);
    // Opens the records of the learner in a row (as shown), read only;
    // false when the file cannot be read now (said why).
    bool openRecords(int row);
    // Writes the class as shown to a CSV file; false, having said why, when
    // it cannot be written.
    bool exportCsv(const QString& path);
    void csvButtonClick();

    // The rows in the order shown.
    const std::vector<ClassRow>& rows() const { return rows_; }

    QLabel* folderLabel;
    QPushButton* folderButton;
    QLabel* note; // what the folder's search met, and how to open a learner's records
    QTableWidget* table;
    QPushButton* csvButton;
    QPushButton* closeButton;

private:
    void fillTable();
    void showSortIndicator();

    std::vector<ClassRow> rows_;
    QString folder_;
    QDate today_;
    ClassColumn sortColumn_ = ClassColumn::Name;
    bool descending_ = false;
    RecordStoreMaker makeStore_;
    bool toldModule_ = false;
};

// The class window over the learner's records window, for its "クラス".
void ShowClass(QWidget* records);

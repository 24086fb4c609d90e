#include "classdlg.h"

#include "csvfile.h"
#include "learners/household.h"
#include "platform.h"
#include "recorddlg.h"
#include "records/classfiles.h"
#include "records/recordstats.h"
#include "session.h"
#include "userfiles.h"
#include "widgets/drawing.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr const char* ClassCaption = "クラス";
const QColor UnreadColour(0x70, 0x70, 0x70);
const QColor StateColour(0xB0, 0x00, 0x00);
constexpr int SortArrowRoom = 22;

bool IsNumberColumn(ClassColumn column)
{
    switch (column) {
    case ClassColumn::WeekDays:
    case ClassColumn::WeekMinutes:
    case ClassColumn::Speed:
    case ClassColumn::SpeedChange:
    case ClassColumn::Accuracy:
    case ClassColumn::AccuracyChange:
        return true;
    default:
        return false;
    }
}

// The weakest keys and kana with their figures, for the cell's tip.
QString WeakestTip(const ClassRow& row)
{
    QStringList lines;
    for (const UnitCount& unit : row.weakest)
        lines << QStringLiteral("%1　%2")
                     .arg(unit.name == " " ? QStringLiteral("スペース") : QString::fromStdString(unit.name), TimesMissed(unit));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

Tclassdlg::Tclassdlg(QWidget* parent)
    : QDialog(parent, DialogFrame | Qt::WindowMaximizeButtonHint)
{
    setWindowTitle(QString::fromUtf8(ClassCaption));
    setFont(DrillFont(14));

    // The texts that may grow long (a folder's path) wrap, so that the
    // window fits a small screen at any scale; the table scrolls.
    auto* layout = new QVBoxLayout(this);
    folderLabel = new QLabel(this);
    folderLabel->setWordWrap(true);
    folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(folderLabel);

    table = new QTableWidget(0, ClassColumnCount, this);
    for (int c = 0; c < ClassColumnCount; ++c) {
        auto* header = new QTableWidgetItem(ClassHeader(ClassColumn(c)));
        header->setToolTip(ClassHeaderTip(ClassColumn(c)));
        table->setHorizontalHeaderItem(c, header);
    }
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionsClickable(true);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSortIndicatorShown(true);
    layout->addWidget(table, 1);

    note = new QLabel(this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    folderButton = new QPushButton(QStringLiteral("フォルダを えらぶ…"), this);
    buttons->addWidget(folderButton);
    csvButton = new QPushButton(QStringLiteral("CSV に かきだす"), this);
    closeButton = new QPushButton(QStringLiteral("とじる"), this);
    closeButton->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(csvButton);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    makeStore_ = [this] {
        std::string error;
        std::unique_ptr<RecordStore> store = ModuleRecordStore(error);
        if (!store && !std::exchange(toldModule_, true))
            CurrentPlatform().showError("きろくを 読む ための ファイルが ありません。\n(" + error + ")", ClassCaption);
        return store;
    };

    connect(folderButton, &QPushButton::clicked, this, &Tclassdlg::folderButtonClick);
    connect(csvButton, &QPushButton::clicked, this, &Tclassdlg::csvButtonClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this, &Tclassdlg::sortBy);
    // A double click, or Enter on the row chosen.
    connect(table, &QTableWidget::cellActivated, this, [this](int row, int) { openRecords(row); });
    FitOnScreen(*this, QSize(1240, 760));
}

void Tclassdlg::showClass(const QString& folder, const QDate& today)
{
    folder_ = folder;
    today_ = today;
    Household household(UserDir);
    household.load();
    std::vector<ClassFile> files = HouseholdRecordFiles(household, OwnDataDirectory());
    QStringList notes;
    if (folder.isEmpty())
        folderLabel->setText(QStringLiteral("この コンピューターの 人"));
    else {
        const FolderSearch search = FindRecordFiles(folder.toStdString());
        folderLabel->setText(QStringLiteral("この コンピューターの 人と、フォルダ %1 の きろく（%2こ）")
                                 .arg(QDir::toNativeSeparators(folder))
                                 .arg(search.files.size()));
        if (!search.readable)
            notes << QStringLiteral("フォルダ %1 を 読めません。（%2）").arg(folder, QString::fromStdString(search.error));
        else if (search.cut)
            notes << QStringLiteral("フォルダが 大きいので、はじめの %1こ だけ 見ました。").arg(search.files.size());
        files = JoinClassFiles(std::move(files), search.files);
    }
    rows_ = ReadClass(files, makeStore_, LoadCourse(), today);
    SortClass(rows_, sortColumn_, descending_);
    notes << QStringLiteral("ぜんぶで %1人。2回 クリックすると その 人の きろくを 見られます。").arg(rows_.size());
    note->setText(notes.join(QLatin1Char('\n')));
    fillTable();
}

void Tclassdlg::fillTable()
{
    table->setRowCount(int(rows_.size()));
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const ClassRow& row = rows_[r];
        const bool read = row.read();
        for (int c = 0; c < ClassColumnCount; ++c) {
            const ClassColumn column = ClassColumn(c);
            auto* item = new QTableWidgetItem(ClassCellText(row, column));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (IsNumberColumn(column))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (column == ClassColumn::State)
                item->setForeground(StateColour);
            else if (!read)
                item->setForeground(UnreadColour);
            if (column == ClassColumn::Weakest)
                item->setToolTip(WeakestTip(row));
            else if (column == ClassColumn::File || column == ClassColumn::Name)
                item->setToolTip(row.file.shown);
            else if (column == ClassColumn::LastPractice)
                item->setToolTip(ClassCsvText(row, column));
            table->setItem(int(r), c, item);
        }
    }
    // As wide as the cells and the header's longest line, with room for the
    // sort's arrow: the columns of one digit stay narrow.
    table->horizontalHeader()->setSortIndicatorShown(false);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setSortIndicatorShown(true);
    const QFontMetrics header(table->horizontalHeader()->font());
    for (int c = 0; c < ClassColumnCount; ++c) {
        int headerWidth = 0;
        for (const QString& line : ClassHeader(ClassColumn(c)).split(QLatin1Char('\n')))
            headerWidth = std::max(headerWidth, header.horizontalAdvance(line));
        table->setColumnWidth(c, std::max(table->columnWidth(c), headerWidth + SortArrowRoom));
    }
    showSortIndicator();
}

void Tclassdlg::showSortIndicator()
{
    table->horizontalHeader()->setSortIndicator(int(sortColumn_),
                                                descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void Tclassdlg::sortBy(int column)
{
    if (column < 0 || column >= ClassColumnCount)
        return;
    descending_ = ClassColumn(column) == sortColumn_ && !descending_;
    sortColumn_ = ClassColumn(column);
    SortClass(rows_, sortColumn_, descending_);
    fillTable();
}

void Tclassdlg::folderButtonClick()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("きろくの ある フォルダを えらぶ"), folder_.isEmpty() ? QDir::homePath() : folder_);
    if (!folder.isEmpty())
        showClass(folder, QDate::currentDate());
}

bool Tclassdlg::openRecords(int row)
{
    if (row < 0 || std::size_t(row) >= rows_.size())
        return false;
    const ClassRow& chosen = rows_[std::size_t(row)];
    std::unique_ptr<RecordStore> store;
    ClassRow now = chosen;
    if (chosen.read()) {
        if (!(store = makeStore_()))
            return false; // told once
        store->setLockWait(OthersLockWaitMs);
        // Opened afresh: the file may have changed since its row was made.
        now = UnreadRow(chosen.file, store->openToRead(chosen.file.path));
    }
    if (!now.read()) {
        CurrentPlatform().showError(
            QStringLiteral("%1 の きろくは 読めません：%2").arg(chosen.name, ClassStateText(now)).toStdString(),
            ClassCaption);
        return false;
    }
    Trecorddlg records(this);
    // "クラス" there leads back here.
    connect(&records, &Trecorddlg::classRequested, &records, &QDialog::accept);
    records.showOthers(store.get(), chosen.name, today_);
    records.exec();
    return true;
}

bool Tclassdlg::exportCsv(const QString& path)
{
    return SaveCsv(path, ClassCsv(rows_), ClassCaption);
}

void Tclassdlg::csvButtonClick()
{
    const QString path = AskCsvPath(this, QStringLiteral("CSV に かきだす"), QStringLiteral("kidrill-class.csv"));
    if (!path.isEmpty())
        exportCsv(path);
}

void ShowClass(QWidget* records)
{
    Tclassdlg window(records);
    window.showClass();
    window.exec();
}

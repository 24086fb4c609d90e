#include "records/recordkeeper.h"

#include "learners/household.h"
#include "learners/learnerplace.h"
#include "loadablemodule.h"
#include "platform.h"
#include "records/waitingdrills.h"
#include "textfile.h"
#include "userfiles.h"

#include <QCoreApplication>
#include <QDate>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char* Caption = "きろく";

// While drills wait for another program to let go of the file, a look this
// often, one that waits for nothing: the drill being typed never feels it.
constexpr int RetryMs = 2000;
// Drills that waited are written a few at a time, each in a transaction of
// its own that reaches the disk: many at once would hold up the screen.
constexpr std::size_t WaitingWritesPerTurn = 10;
constexpr int NextTurnMs = 100;

constexpr const char* HeldNote =
    "いまは きろくを 読めません（ほかの プログラムが つかって います）。";
constexpr const char* FailedNote = "きろくを 読めませんでした。";

bool SameKind(const DrillSummary& a, const DrillSummary& b)
{
    return a.level == b.level && a.mode == b.mode && a.lesson == b.lesson;
}

// A name beside `path` that nothing has yet: path.broken-<date>[-n].
std::string FreeNameAside(const std::string& path)
{
    const std::string base = path + ".broken-" + QDate::currentDate().toString(Qt::ISODate).toStdString();
    std::string aside = base;
    struct stat info {};
    for (int n = 2; ::lstat(aside.c_str(), &info) == 0 && n < 1000; ++n)
        aside = base + "-" + std::to_string(n);
    return aside;
}

} // namespace

RecordKeeper::RecordKeeper() = default;
RecordKeeper::~RecordKeeper() = default;

std::string RecordsPath()
{
    return LearnerDir() + RecordsFileName;
}

void RecordKeeper::refuse(const std::string& why)
{
    off_ = true;
    if (std::exchange(toldFailure_, true))
        return;
    const std::string path = place_.file.empty() ? RecordsPath() : place_.file;
    CurrentPlatform().showError(path + " に きろくを 書きこめないので、きろくを のこさずに つづけます。\n(" + why + ")",
                                Caption);
}

void RecordKeeper::tellOfSetAside()
{
    const std::string aside = store_ ? store_->setAside() : std::string();
    if (aside.empty() || aside == toldSetAside_)
        return;
    toldSetAside_ = aside;
    CurrentPlatform().showError("きろくの ファイル " + place_.file + " は 読めなかったので、" + aside
                                    + " と いう 名前で のこしました。\nあたらしい きろくを はじめます。",
                                Caption);
}

void RecordKeeper::tellOfMove()
{
    if (place_.movedFrom.empty())
        return;
    CurrentPlatform().showError("きろくの ファイル " + place_.movedFrom
                                    + " は、ほかの 人も 書きこめる ところに あったので、" + place_.file
                                    + " に うつしました。\n"
                                    + (place_.movedAside.empty()
                                           ? std::string("もとの ファイルも そのまま のこって います。")
                                           : "もとの ファイルは " + place_.movedAside + " と いう 名前で のこして あります。"),
                                Caption);
}

bool RecordKeeper::open()
{
    if (off_)
        return false;
    if (!placed_) {
        // The learner's own directory, and where the learner's records go
        // when others may write there: the same learner's place in the
        // user's own data directory.
        const std::string directory = LearnerDir();
        if (const int made = CreateDirectories(directory.empty() ? std::string(".") : directory)) {
            refuse(directory + ": " + std::strerror(made));
            return false;
        }
        const std::string own = OwnDataDirectory();
        place_ = ChooseRecordsPlace(directory, own.empty() ? own : LearnerDirectory(own, LearnerNumber));
        if (!place_.refused.empty()) {
            off_ = toldFailure_ = true;
            CurrentPlatform().showError(
                place_.refused
                    + (place_.refusedDirectory
                           ? " は ほかの 人も 書きこめる ところなので、きろくを おきません。"
                           : " は ほかの 人の ものか、ほかの 人も 書きこめる ところに あるので、きろくに つかいません。")
                    + "\nきろくを のこさずに つづけます。",
                Caption);
            return false;
        }
        if (place_.error != 0) {
            refuse(place_.failedPath + ": " + std::strerror(place_.error));
            return false;
        }
        tellOfMove();
        std::string error;
        if (!(store_ = LoadFromModule<RecordStore>(RecordsModuleName, RecordsModuleEntry, error))) {
            refuse("records module: " + error);
            return false;
        }
        store_->setLockWait(RecordsLockWaitMs);
        placed_ = true;
        loadWaiting();
    }
    switch (store_->open(place_.file)) {
    case RecordStore::Opening::Ready:
        break;
    case RecordStore::Opening::StartedAnew:
        tellOfSetAside();
        break;
    case RecordStore::Opening::Busy:
        heldAtOpen_ = true;
        return false;
    case RecordStore::Opening::Unavailable:
        refuse(store_->lastError());
        return false;
    }
    opened_ = true;
    heldAtOpen_ = false;
    keepLearnerName();
    return true;
}

void RecordKeeper::keepLearnerName()
{
    // The name the household gives the learner, so that the file says
    // whose it is wherever it is copied; the one learner of a household
    // that named nobody has none.
    Household household(UserDir);
    household.load();
    const Learner* learner = household.find(LearnerNumber);
    if (!learner || learner->name == QString::fromUtf8(FirstLearnerName))
        return;
    const std::string name = learner->name.toStdString();
    if (store_->learnerName() != name)
        store_->setLearnerName(name);
}

RecordStore* RecordKeeper::store()
{
    if (!opened_ && !open())
        return nullptr;
    if (!waiting_.empty())
        writeWaiting();
    return store_.get();
}

RecordKeeper::Recorded RecordKeeper::record(const DrillRecord& drill)
{
    Recorded result;
    // The drills that waited go first: they were played before this one.
    RecordStore* records = store();
    const auto waited = std::find_if(waiting_.rbegin(), waiting_.rend(),
                                     [&](const Waiting& w) { return SameKind(w.drill.drill, drill.drill); });
    if (waited != waiting_.rend()) {
        result.previous = waited->drill.drill;
        result.previousKnown = true;
    } else if (records) {
        result.previous = records->latest(drill.drill.level, drill.drill.mode, drill.drill.lesson);
        result.previousKnown = records->trouble() == RecordStore::Trouble::None;
        if (!result.previousKnown)
            result.previous.reset();
        // The results say it themselves; no window's news.
        records->takeReadTrouble();
    }
    if (off_)
        return result; // nothing can be kept this session (told)
    if (records && waiting_.empty()) {
        const bool saved = records->record(drill);
        writeTrouble_ = records->trouble();
        // The file may have been found broken only now, and set aside.
        tellOfSetAside();
        if (saved) {
            result.kept = Kept::Now;
            return result;
        }
    }
    const RecordStore::Trouble trouble =
        records ? writeTrouble_ : heldAtOpen_ ? RecordStore::Trouble::Busy : RecordStore::Trouble::Failed;
    // Beyond a week of drills waiting, the next is not kept.
    if (waiting_.size() < WaitingCapacity) {
        waiting_.push_back({drill, false});
        result.kept = saveWaiting() ? Kept::Later : Kept::Not;
    }
    if (trouble == RecordStore::Trouble::Busy) {
        startRetries(RetryMs);
        if (!std::exchange(toldHold_, true))
            CurrentPlatform().showError("きろくの ファイル " + place_.file + " を ほかの プログラムが つかって います。\n"
                                            + (result.kept == Kept::Later
                                                   ? "この れんしゅうは、ファイルが あいたら きろくします。"
                                                   : "この れんしゅうは きろく できませんでした。"),
                                        Caption);
    } else if (trouble == RecordStore::Trouble::Failed && !std::exchange(toldFailure_, true)) {
        CurrentPlatform().showError("きろくを " + place_.file + " に 書きこめませんでした。"
                                        + "これまでの きろくは そのままです。\n"
                                        + (result.kept == Kept::Later ? "この れんしゅうは、あとで 書きこみます。\n" : "")
                                        + "(" + (records ? records->lastError() : std::string()) + ")",
                                    Caption);
    }
    return result;
}

void RecordKeeper::writeWaiting()
{
    std::size_t written = 0;
    writeTrouble_ = RecordStore::Trouble::None;
    while (written < waiting_.size() && written < WaitingWritesPerTurn) {
        const Waiting& w = waiting_[written];
        const bool saved = w.mayBeKept ? store_->recordOnce(w.drill) : store_->record(w.drill);
        writeTrouble_ = store_->trouble();
        if (!saved)
            break;
        ++written;
    }
    tellOfSetAside();
    if (written > 0) {
        waiting_.erase(waiting_.begin(), waiting_.begin() + std::ptrdiff_t(written));
        saveWaiting();
    }
    if (waiting_.empty()) {
        toldHold_ = false;
        if (retries_)
            retries_->stop();
    } else if (writeTrouble_ == RecordStore::Trouble::Busy) {
        startRetries(RetryMs);
    } else if (writeTrouble_ == RecordStore::Trouble::None) {
        startRetries(NextTurnMs);
    }
}

void RecordKeeper::loadWaiting()
{
    const std::string path = place_.directory + WaitingFileName;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return;
    const FileBytes file = ReadFileBytes(path);
    const std::optional<std::vector<DrillRecord>> drills =
        file.status == FileStatus::Ok ? ParseWaitingDrills(file.bytes) : std::nullopt;
    if (drills) {
        for (const DrillRecord& drill : *drills)
            waiting_.push_back({drill, true});
        return;
    }
    // Not a file this program wrote: kept, under another name.
    const std::string aside = FreeNameAside(path);
    if (std::rename(path.c_str(), aside.c_str()) == 0)
        CurrentPlatform().showError("まって いた れんしゅうの ファイル " + path + " は 読めなかったので、" + aside
                                        + " と いう 名前で のこしました。",
                                    Caption);
}

bool RecordKeeper::saveWaiting()
{
    const std::string path = place_.directory + WaitingFileName;
    if (waiting_.empty())
        return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    std::vector<DrillRecord> drills;
    for (const Waiting& w : waiting_)
        drills.push_back(w.drill);
    const std::string bytes = FormatWaitingDrills(drills);
    const int error = bytes.size() > MaxFileBytes ? EFBIG : WriteFileAtomically(path, bytes).error;
    if (error != 0 && !std::exchange(toldWaitingFile_, true))
        CurrentPlatform().showError("れんしゅうを あとで きろくする ための ファイル " + path + " に 書きこめません。\n("
                                        + std::strerror(error) + ")",
                                    Caption);
    return error == 0;
}

void RecordKeeper::startRetries(int interval)
{
    if (!retries_) {
        retries_ = std::make_unique<QTimer>();
        QObject::connect(retries_.get(), &QTimer::timeout, [this] { retry(); });
    }
    if (!retries_->isActive() || retries_->interval() != interval)
        retries_->start(interval);
}

void RecordKeeper::retry()
{
    if (store_)
        store_->setLockWait(0);
    const bool opened = opened_ || open();
    // Writing goes on as long as the file is held or more drills wait.
    if (opened)
        writeWaiting();
    if (store_)
        store_->setLockWait(RecordsLockWaitMs);
    // Any other failure is tried again at the next drill or start.
    if (retries_ && (opened ? waiting_.empty() || writeTrouble_ == RecordStore::Trouble::Failed : !heldAtOpen_))
        retries_->stop();
}

void RecordKeeper::resumeWaiting()
{
    // A look at the disk only: the module loads when drills do wait.
    const std::string directory = RecordsDirectory(UserDir, OwnDataDirectory());
    if (!directory.empty() && FileExists(directory + WaitingFileName))
        startRetries(RetryMs);
}

std::string RecordKeeper::readNote()
{
    RecordStore::Trouble trouble = RecordStore::Trouble::None;
    if (opened_)
        trouble = store_->takeReadTrouble();
    else if (heldAtOpen_)
        trouble = RecordStore::Trouble::Busy;
    else if (off_)
        trouble = RecordStore::Trouble::Failed;
    return ReadTroubleNote(trouble);
}

std::string ReadTroubleNote(RecordStore::Trouble trouble)
{
    return trouble == RecordStore::Trouble::Busy ? HeldNote
        : trouble == RecordStore::Trouble::Failed ? FailedNote
                                                  : "";
}

void RecordKeeper::close()
{
    retries_.reset();
    store_.reset();
    place_ = {};
    placed_ = opened_ = off_ = heldAtOpen_ = false;
    writeTrouble_ = RecordStore::Trouble::None;
    waiting_.clear();
    toldFailure_ = toldHold_ = toldWaitingFile_ = false;
    toldSetAside_.clear();
}

RecordKeeper& Recorder()
{
    static RecordKeeper keeper;
    // The database must close while Qt SQL is still there: with the
    // application, not after it, as a static would.
    static const bool closesWithTheApplication = [] {
        qAddPostRoutine([] { Recorder().close(); });
        return true;
    }();
    (void)closesWithTheApplication;
    return keeper;
}

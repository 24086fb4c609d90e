#include "records/recordkeeper.h"

#include "loadablemodule.h"
#include "platform.h"
#include "textfile.h"

#include <QCoreApplication>

#include <cstring>

namespace {

constexpr const char* Caption = "きろく";

} // namespace

RecordKeeper::RecordKeeper() = default;
RecordKeeper::~RecordKeeper() = default;

std::string RecordsPath()
{
    return LearnerDir() + RecordsFileName;
}

void RecordKeeper::tellOfSetAside()
{
    const std::string aside = store_ ? store_->setAside() : std::string();
    if (aside.empty() || aside == toldSetAside_)
        return;
    toldSetAside_ = aside;
    CurrentPlatform().showError("きろくのファイル " + RecordsPath() + " は読めなかったので、" + aside
                                    + " に名前を変えて残しました。\n新しいきろくを始めます。",
                                Caption);
}

RecordStore* RecordKeeper::store()
{
    if (opened_)
        return store_.get();
    opened_ = true;
    const std::string path = RecordsPath();
    std::string error;
    const std::string directory = LearnerDir();
    if (const int made = CreateDirectories(directory.empty() ? std::string(".") : directory))
        error = directory + ": " + std::strerror(made);
    else if (!(store_ = LoadFromModule<RecordStore>(RecordsModuleName, RecordsModuleEntry, error)))
        error = "records module: " + error;
    if (store_) {
        switch (store_->open(path)) {
        case RecordStore::Opening::Ready:
            return store_.get();
        case RecordStore::Opening::StartedAnew:
            tellOfSetAside();
            return store_.get();
        case RecordStore::Opening::Unavailable:
            error = store_->lastError();
            store_.reset();
            break;
        }
    }
    toldFailure_ = true;
    CurrentPlatform().showError(path + " にきろくを書き込めないので、きろくを残さずに続けます。\n(" + error + ")",
                                Caption);
    return nullptr;
}

RecordKeeper::Recorded RecordKeeper::record(const DrillRecord& drill)
{
    Recorded result;
    RecordStore* records = store();
    if (!records)
        return result;
    result.previous = records->latest(drill.drill.level, drill.drill.mode, drill.drill.lesson);
    result.saved = records->record(drill);
    // The file may have been found broken only now, and set aside.
    tellOfSetAside();
    if (!result.saved && !toldFailure_) {
        toldFailure_ = true;
        CurrentPlatform().showError("きろくを " + RecordsPath() + " に書き込めませんでした。"
                                        + "これまでのきろくはそのままです。\n(" + records->lastError() + ")",
                                    Caption);
    }
    return result;
}

void RecordKeeper::close()
{
    store_.reset();
    opened_ = false;
    toldFailure_ = false;
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

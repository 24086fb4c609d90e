#pragma once

#include "records/recordstore.h"

#include <memory>
#include <optional>
#include <string>

// The learner's records as the drill uses them: the store is loaded and its
// file opened at the first need, never at start-up. What goes wrong is told
// to the learner once, and the drill goes on without records.
class RecordKeeper {
public:
    RecordKeeper();
    ~RecordKeeper();
    RecordKeeper(const RecordKeeper&) = delete;
    RecordKeeper& operator=(const RecordKeeper&) = delete;

    // The open store, or nullptr when no records can be kept.
    RecordStore* store();

    struct Recorded {
        bool saved = false;
        // The drill before this one of the same level and mode.
        std::optional<DrillSummary> previous;
    };
    Recorded record(const DrillRecord& drill);

    // Closes the file; the next need opens it again, and tells anew.
    void close();

private:
    void tellOfSetAside();

    std::unique_ptr<RecordStore> store_;
    bool opened_ = false;
    bool toldFailure_ = false;
    std::string toldSetAside_;
};

// The program's one keeper.
RecordKeeper& Recorder();

// The learner's own: LearnerDir() + "records.sqlite".
std::string RecordsPath();

#pragma once

#include "records/recordsplace.h"
#include "records/recordstore.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTimer;

// The learner's records as the drill uses them: the store is loaded and its
// file opened at the first need, never at start-up. What goes wrong is told
// to the learner once. Another program holding the file costs no drill: the
// drill waits, in memory and in a small file beside the records
// (WaitingFileName), and is written once the file is free, by a retry while
// the program runs or at its next start. A hold never turns the records off.
class RecordKeeper {
public:
    RecordKeeper();
    ~RecordKeeper();
    RecordKeeper(const RecordKeeper&) = delete;
    RecordKeeper& operator=(const RecordKeeper&) = delete;

    // The open store, the drills that waited written first as far as they
    // can be; nullptr when no records can be read now (another program
    // holds the file) or at all (told once).
    RecordStore* store();

    enum class Kept {
        Now,   // in the records
        Later, // waiting in the file beside them, written when it can be
        Not,   // neither: it may still be written while the program runs
    };
    struct Recorded {
        Kept kept = Kept::Not;
        // The drill before this one of the same level (or lesson) and mode,
        // kept or waiting; unknown when the records could not be read.
        std::optional<DrillSummary> previous;
        bool previousKnown = false;
    };
    Recorded record(const DrillRecord& drill);

    // For a window that has just read the records: a line that says why
    // they may be missing or short; empty when they were read.
    std::string readNote();

    // At start-up: when drills of an earlier run wait, they are written
    // shortly after (the records module loading then, not before).
    void resumeWaiting();
    std::size_t waitingCount() const { return waiting_.size(); }

    // Closes the file; the next need opens it again, and tells anew.
    void close();

private:
    void keepLearnerName();
    struct Waiting {
        DrillRecord drill;
        // Read from the file of an earlier run, which may have ended after
        // writing it and before it could say so.
        bool mayBeKept = false;
    };

    bool open();
    void refuse(const std::string& why);
    void tellOfSetAside();
    void tellOfMove();
    void loadWaiting();
    bool saveWaiting();
    // Writes the drills that wait, oldest first, a few in a turn, as far as
    // the file lets.
    void writeWaiting();
    void retry();
    void startRetries(int interval);

    std::unique_ptr<RecordStore> store_;
    RecordsPlace place_;
    bool placed_ = false;
    bool opened_ = false;
    bool off_ = false;       // nothing can be kept this session (told)
    bool heldAtOpen_ = false;
    RecordStore::Trouble writeTrouble_ = RecordStore::Trouble::None; // of the last write
    std::vector<Waiting> waiting_;
    std::unique_ptr<QTimer> retries_;
    bool toldFailure_ = false;
    bool toldHold_ = false;
    bool toldWaitingFile_ = false;
    std::string toldSetAside_;
};

// What a window that read records says of the trouble its reads met:
// nothing, that another program holds them, or that they could not be read.
std::string ReadTroubleNote(RecordStore::Trouble trouble);

// The program's one keeper.
RecordKeeper& Recorder();

// Where the learner's records are looked for first: LearnerDir() +
// "records.sqlite". They are kept elsewhere when others may write there
// (see ChooseRecordsPlace).
std::string RecordsPath();

#include "romajitable.h"

#include "cp932.h"
#include "hepburn.h"
#include "platform.h"
#include "settings/options.h"
#include "textfile.h"

#include <string>

RomajiTableData RomajiTable;
FixedString<3> SokuonRomaji;
SpellingTable RomajiSpellings;
RomajiTableData HepburnTable;
SpellingTable OwnSpellings;

bool LoadRomajiTable()
{
    const std::string path = AppDir + "roma.txt";
    const FileBytes file = ReadFileBytes(path);
    if (file.status != FileStatus::Ok) {
        // A file that fails after it was opened is reported; one that cannot
        // be opened ends the program without a word.
        if (file.status == FileStatus::ReadError)
            ShowIoError(path);
        if (file.status == FileStatus::TooLarge)
            ShowTooLarge(path);
        RequestEnd();
        return false;
    }
    ParseRomajiTable(file.bytes, RomajiTable, SokuonRomaji);
    ParseSpellings(file.bytes, RomajiSpellings);
    MakeHepburnTable(RomajiTable, HepburnTable);
    MakeOwnSpellings(RomajiTable, OwnSpellings);
    return true;
}

const RomajiTableData& ShownTable()
{
    return Hepburn ? HepburnTable : RomajiTable;
}

bool JudgesSpellings()
{
    return FlexibleRomaji || Hepburn;
}

const SpellingTable& JudgedSpellings()
{
    return FlexibleRomaji ? RomajiSpellings : OwnSpellings;
}

Conversion ShownRomaji(std::string_view reading, bool hepburn)
{
    return ConvertReading(reading, hepburn ? HepburnTable : RomajiTable, SokuonRomaji);
}

Conversion KanaToRomaji(std::string_view reading)
{
    Conversion result = ConvertReading(reading, ShownTable(), SokuonRomaji);
    if (!result.ok()) {
        CurrentPlatform().showError(Cp932ToUtf8(reading) + ' ' + std::to_string(result.FailedAt), "エラー");
    }
    return result;
}

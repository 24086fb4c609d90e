#include "romajitable.h"

#include "cp932.h"
#include "platform.h"
#include "textfile.h"

#include <string>

RomajiTableData RomajiTable;
FixedString<3> SokuonRomaji;
SpellingTable RomajiSpellings;

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
    return true;
}

Conversion KanaToRomaji(std::string_view reading)
{
    Conversion result = ConvertReading(reading, RomajiTable, SokuonRomaji);
    if (!result.ok()) {
        CurrentPlatform().showError(Cp932ToUtf8(reading) + ' ' + std::to_string(result.FailedAt), "エラー");
    }
    return result;
}

#pragma once

#include "textfile.h"

#include <string>
#include <string_view>

// Where the learner's own files ("kidrill.ini", "wordu.txt") live, for both
// programs alike, ending in '/': the application directory when this user
// may write it, else $XDG_DATA_HOME/kidrill/ (~/.local/share/kidrill/ when
// that is unset), which the first save creates. The shipped data files are
// always read from the application directory.
std::string UserDataDirectory(const std::string& appDir);

// $XDG_DATA_HOME/kidrill/ (~/.local/share/kidrill/ when that is unset), the
// learner's own; empty when there is no home to put it in.
std::string OwnDataDirectory();

// Saves a learner's file: creates its directory when it is missing, then
// replaces the file as WriteFileAtomically does.
WriteOutcome WriteUserFile(const std::string& path, std::string_view bytes);

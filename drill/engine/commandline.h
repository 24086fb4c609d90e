#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

// What kidrill is asked to do on its command line. Parsed before the
// toolkit starts, so that the options that only print need no display.
struct CommandLine {
    enum class Action {
        Run,          // start the windows
        Help,         // print the help and end
        Version,      // print the version and end
        ListLearners, // print the learners' names, one a line, and end
        ClassReport,  // print the class of `folder` as CSV and end
        ClassWindow,  // show the class window with `folder`, and end when it closes
        Fault,        // a mistake on the command line: say what, end with UsageFault
    };
    Action action = Action::Run;
    QString learner; // --learner NAME: a valid name as kept; empty when not given
    QString fault;   // what is wrong, for Action::Fault
    QString folder;  // --class DIR, --class-report DIR: the folder as given
};

// The exit status of a mistake on the command line, as command-line
// programs have it.
constexpr int UsageFault = 2;

// `arguments` as main() got them, the program first. The toolkit's own
// options (-platform, -session …) are let through for it.
CommandLine ParseCommandLine(const QStringList& arguments);

// What an action that only prints writes to stdout and stderr, and the exit
// status. ListLearners reads the learners of `dataDirectory`; ClassReport
// the records files under the folder (classfiles.h), through the records
// module in AppDir, with the course that AppDir and UserDir hold.
struct CommandLineAnswer {
    std::string out;
    std::string err;
    int status = 0;
};
CommandLineAnswer AnswerCommandLine(const CommandLine& command, const std::string& dataDirectory,
                                    std::string_view version);

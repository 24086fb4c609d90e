#include "commandline.h"

#include "course/course.h"
#include "learners/household.h"
#include "learners/learnername.h"
#include "records/classfiles.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>

#include <algorithm>

namespace {

// kidrill's own options, in the order of the help. A new option is a row
// here and a field of CommandLine.
struct CommandOption {
    QStringList names;
    const char* value; // the value's name in the help, or nullptr for a flag
    const char* help;  // lines of at most 56 characters
};

const CommandOption CommandOptions[] = {
    {{"learner"}, "NAME",
     "Start as the learner NAME, without asking who practises.\n"
     "A new name makes a new learner: 1 to 16 letters or digits,\n"
     "Japanese or Latin, no control characters."},
    {{"learners"}, nullptr, "List the learners, one a line, and end."},
    {{"class"}, "DIR",
     "Show the class: every learner of this computer, and\n"
     "every records file (*.sqlite) under the folder DIR."},
    {{"class-report"}, "DIR",
     "Write the class of every records file (*.sqlite)\n"
     "under the folder DIR as CSV (UTF-8 with a byte order\n"
     "mark) on standard output, and end. The status is not 0\n"
     "only when DIR or the records cannot be read at all."},
    {{"h", "help"}, nullptr, "Show this help and end."},
    {{"v", "version"}, nullptr, "Show the version and end."},
};

// What Qt's windowing takes from the command line itself (QGuiApplication,
// QApplication, the X11 platform): accepted here and left to it.
const char* const ToolkitOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry", "qwindowtitle",
    "title", "qwindowicon", "icon", "session", "display", "name", "style", "stylesheet",
};
const char* const ToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "testability"};

void DefineOptions(QCommandLineParser& parser)
{
    // "-platform" is one option, as the toolkit reads it, not -p -l -a ….
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const CommandOption& row : CommandOptions)
        parser.addOption(row.value ? QCommandLineOption(row.names, QString::fromUtf8(row.help), QString::fromUtf8(row.value))
                                   : QCommandLineOption(row.names, QString::fromUtf8(row.help)));
    for (const char* name : ToolkitOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : ToolkitFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// A name as typed, safe to print on a terminal: no escape sequence of a
// hostile name reaches it.
QString Printable(const QString& text)
{
    QString shown;
    for (const char32_t c : text.toUcs4())
        shown += QChar::isPrint(c) ? QString::fromUcs4(&c, 1) : QStringLiteral("\\u{%1}").arg(uint(c), 0, 16);
    return shown;
}

std::string HelpText()
{
    std::string text = "Usage: kidrill [options]\n"
                       "Romaji touch typing for Japanese keyboards: the drill.\n"
                       "\n"
                       "Options:\n";
    for (const CommandOption& row : CommandOptions) {
        QStringList names;
        for (const QString& name : row.names)
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        std::string head = "  " + names.join(QStringLiteral(", ")).toStdString();
        if (row.value)
            head += std::string(" ") + row.value;
        constexpr std::size_t column = 22;
        std::string_view help = row.help;
        for (bool first = true; !help.empty(); first = false) {
            const std::size_t end = help.find('\n');
            std::string line = first ? head : std::string();
            line.resize(std::max(line.size() + 2, column), ' ');
            text += line + std::string(help.substr(0, end)) + '\n';
            help = end == std::string_view::npos ? std::string_view() : help.substr(end + 1);
        }
    }
    text += "\n"
            "Each learner keeps their own settings, best scores and records under\n"
            "the data directory; the word list wordu.txt is the household's.\n"
            "The class and its report only read the records files: nothing in DIR\n"
            "is ever written, changed or left behind.\n";
    return text;
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    DefineOptions(parser);
    CommandLine command;
    // A mistake is all that is told: nothing else of the line is acted on.
    const auto fault = [](const QString& why) {
        CommandLine mistake;
        mistake.action = CommandLine::Action::Fault;
        mistake.fault = why;
        return mistake;
    };
    if (!parser.parse(arguments))
        return fault(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fault(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.isSet(QStringLiteral("help")))
        command.action = CommandLine::Action::Help;
    else if (parser.isSet(QStringLiteral("version")))
        command.action = CommandLine::Action::Version;
    else if (parser.isSet(QStringLiteral("learners")))
        command.action = CommandLine::Action::ListLearners;
    for (const auto& [option, action] : {std::pair {QStringLiteral("class-report"), CommandLine::Action::ClassReport},
                                         std::pair {QStringLiteral("class"), CommandLine::Action::ClassWindow}}) {
        if (!parser.isSet(option))
            continue;
        const QStringList folders = parser.values(option);
        if (folders.size() > 1 || (!command.folder.isNull() && command.folder != folders.front()))
            return fault(QStringLiteral("--class and --class-report name one folder."));
        command.folder = folders.front();
        if (command.action == CommandLine::Action::Run)
            command.action = action;
    }
    if (command.action == CommandLine::Action::ClassWindow && parser.isSet(QStringLiteral("learner")))
        return fault(QStringLiteral("--class shows the class, not a learner's drill: give no --learner."));
    if (parser.isSet(QStringLiteral("learner"))) {
        const QStringList names = parser.values(QStringLiteral("learner"));
        if (names.size() > 1)
            return fault(QStringLiteral("--learner names one learner."));
        const NameCheck name = CheckLearnerName(names.front());
        if (!name)
            return fault(QStringLiteral("Not a learner's name: '%1'. A name holds 1 to %2 letters or digits, "
                                        "Japanese or Latin, and no control characters.")
                             .arg(Printable(names.front()))
                             .arg(LearnerNameLength));
        command.learner = name.name;
    }
    return command;
}

CommandLineAnswer AnswerCommandLine(const CommandLine& command, const std::string& dataDirectory,
                                    std::string_view version)
{
    CommandLineAnswer answer;
    switch (command.action) {
    case CommandLine::Action::Run:
        break;
    case CommandLine::Action::Help:
        answer.out = HelpText();
        break;
    case CommandLine::Action::Version:
        answer.out = "kidrill " + std::string(version) + '\n';
        break;
    case CommandLine::Action::ListLearners: {
        Household household(dataDirectory);
        household.load();
        for (const Learner& learner : household.learners())
            answer.out += learner.name.toStdString() + '\n';
        for (const QString& problem : household.problems())
            answer.err += "kidrill: " + problem.toStdString() + '\n';
        break;
    }
    case CommandLine::Action::ClassReport: {
        std::string error;
        if (!ModuleRecordStore(error)) {
            answer.err = "kidrill: the records cannot be read without the records module: " + error + '\n';
            answer.status = 1;
            break;
        }
        const ClassReportAnswer report = ClassReport(
            command.folder.toStdString(), dataDirectory,
            [] {
                std::string ignored;
                return ModuleRecordStore(ignored);
            },
            LoadCourse(), QDate::currentDate());
        answer.out = report.out;
        answer.err = report.err;
        answer.status = report.status;
        break;
    }
    case CommandLine::Action::ClassWindow:
        break;
    case CommandLine::Action::Fault:
        answer.err = "kidrill: " + command.fault.toStdString() + "\nTry 'kidrill --help'.\n";
        answer.status = UsageFault;
        break;
    }
    return answer;
}

#include "cli/commandline.h"

#include "common/version.h"
#include "common/walker.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kelvane::cli {

namespace {

const OptionDef kJsonOption{"json", nullptr,
                            "one JSON object per row and line: real path as \"path\" (\"path_b64\" "
                            "when not UTF-8), sizes in bytes, times in ISO 8601 UTC"};
const OptionDef kNullOption{"0,null", nullptr,
                            "only the real paths, each ended by a NUL byte (for xargs -0)"};
const OptionDef kHelpOption{"h,help", nullptr, "show this help and exit"};

// Arguments are bytes. Latin-1 maps every byte to one character and back, so
// the parser sees ASCII option names and a path that is not UTF-8 survives.
QString fromBytes(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string toBytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

QStringList namesOf(const OptionDef& def)
{
    return QString::fromLatin1(def.names).split(QLatin1Char(','));
}

QString longName(const OptionDef& def)
{
    return namesOf(def).constLast();
}

QCommandLineOption toOption(const OptionDef& def)
{
    QCommandLineOption option(namesOf(def), QString::fromUtf8(def.description));
    if (def.valueName)
        option.setValueName(QString::fromLatin1(def.valueName));
    return option;
}

std::vector<OptionDef> optionsOf(const CommandDef& command)
{
    std::vector<OptionDef> options = command.options;
    if (command.outputs & kJsonOutput)
        options.push_back(kJsonOption);
    if (command.outputs & kNullOutput)
        options.push_back(kNullOption);
    options.insert(options.end(), walkOptions().begin(), walkOptions().end());
    options.push_back(kHelpOption);
    return options;
}

std::string usageLine(const CommandDef& command)
{
    return std::string("usage: kelvane-cli ") + command.name + " [OPTION]... " + command.arguments + "\n";
}

// Heads on the left, texts in one column from indent on, wrapped at 79
// characters; a head too wide for the column puts its text on the next line.
std::string twoColumns(const std::vector<std::string>& heads, const std::vector<std::string>& texts,
                       size_t indent)
{
    std::string table;
    for (size_t i = 0; i < heads.size(); ++i) {
        std::string line = heads[i];
        if (line.size() + 2 > indent) {
            table += line + "\n";
            line.clear();
        }
        line.resize(indent, ' ');
        size_t column = indent;
        std::string word;
        const std::string text = texts[i] + " ";
        for (const char c : text) {
            if (c != ' ') {
                word += c;
                continue;
            }
            if (column > indent && column + 1 + word.size() > 79) {
                table += line + "\n";
                line.assign(indent, ' ');
                column = indent;
            }
            if (column > indent) {
                line += ' ';
                ++column;
            }
            line += word;
            column += word.size();
            word.clear();
        }
        table += line + "\n";
    }
    return table;
}

// "  -0, --null       text" lines with the texts in one column.
std::string optionTable(const std::vector<OptionDef>& options)
{
    std::vector<std::string> heads;
    size_t width = 0;
    for (const OptionDef& def : options) {
        std::string head;
        const QStringList names = namesOf(def);
        const bool hasShort = names.size() > 1;
        head = hasShort ? "  -" + toBytes(names.first()) + ", " : "      ";
        head += "--" + toBytes(names.last());
        if (def.valueName)
            head += std::string("=") + def.valueName;
        width = std::max(width, head.size());
        heads.push_back(head);
    }
    std::vector<std::string> texts;
    for (const OptionDef& def : options)
        texts.push_back(def.description);
    return twoColumns(heads, texts, std::min<size_t>(width + 2, 24));
}

const char kExitText[] = "exit status: 0 success, 1 a path could not be read or a result is incomplete,\n"
                         "2 usage error\n";

std::string mainHelp()
{
    std::string text = "usage: kelvane-cli [--threads=N] COMMAND [OPTION]... [--] PATH...\n"
                       "       kelvane-cli COMMAND --help\n"
                       "       kelvane-cli --help | --version\n\n"
                       "Runs the scans of Kelvane's windows on the given directories and prints the\n"
                       "lines each window shows, one per line (or, with --json and -0, the rows\n"
                       "for scripts).\n\ncommands:\n";
    std::vector<std::string> heads;
    std::vector<std::string> summaries;
    for (const CommandDef& c : allCommands()) {
        heads.push_back(std::string("  ") + c.name + " " + c.arguments);
        summaries.push_back(c.summary);
    }
    text += twoColumns(heads, summaries, 24);
    std::vector<OptionDef> options = walkOptions();
    options.push_back(kHelpOption);
    options.push_back({"V,version", nullptr, "show the version and exit"});
    text += "\noptions:\n" + optionTable(options) + "\n" + kExitText;
    return text;
}

std::string commandHelp(const CommandDef& command)
{
    return usageLine(command) + "\n" + command.summary + "\n\noptions:\n" + optionTable(optionsOf(command)) +
           "\n" + kExitText;
}

void print(FILE* out, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), out);
}

// The parser's complaint in the words of the other messages.
std::string parseError(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString name = unknown.first();
        return "unknown option " + std::string(name.size() == 1 ? "-" : "--") + toBytes(name);
    }
    return toBytes(parser.errorText());
}

int mainUsageError(const std::string& message)
{
    print(stderr, "kelvane-cli: " + message + "\n" +
                      "usage: kelvane-cli [--threads=N] COMMAND [OPTION]... [--] PATH...\n"
                      "Try 'kelvane-cli --help' for the commands.\n");
    return kExitUsage;
}

bool parseThreads(const QString& text, int* threads)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > 1024)
        return false;
    *threads = value;
    return true;
}

} // namespace

const std::vector<OptionDef>& walkOptions()
{
    static const std::vector<OptionDef> options = {
        {"threads", "N", "fold with N threads, 1 to 1024 (default: one per core)"},
        {"io", "N", "keep N directory reads in flight, 1 to 1024 (default: 64)"},
    };
    static_assert(kDefaultIo == 64, "the help text names the default");
    return options;
}

const CommandDef* findCommand(const std::string& name)
{
    for (const CommandDef& c : allCommands()) {
        if (name == c.name)
            return &c;
    }
    return nullptr;
}

int usageError(const std::string& command, const std::string& message)
{
    const CommandDef* def = findCommand(command);
    if (!def)
        return mainUsageError(message);
    print(stderr, "kelvane-cli " + command + ": " + message + "\n" + usageLine(*def) + "Try 'kelvane-cli " +
                      command + " --help' for more.\n");
    return kExitUsage;
}

int runCommandLine(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << fromBytes(argv[i]);

    // Options before the command, then the command and its own arguments.
    QCommandLineParser global;
    global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")}, QString());
    global.addOption(help);
    global.addOption(version);
    for (const OptionDef& def : walkOptions())
        global.addOption(toOption(def));
    const bool parsed = global.parse(args);
    if (global.isSet(help)) {
        print(stdout, mainHelp());
        return kExitOk;
    }
    if (global.isSet(version)) {
        print(stdout, std::string("kelvane-cli ") + KELVANE_VERSION + "\n");
        return kExitOk;
    }
    if (!parsed)
        return mainUsageError(parseError(global));

    CliOptions options;
    if (global.isSet(QStringLiteral("threads")) &&
        !parseThreads(global.value(QStringLiteral("threads")), &options.threads))
        return mainUsageError("--threads needs a number from 1 to 1024");
    if (global.isSet(QStringLiteral("io")) && !parseThreads(global.value(QStringLiteral("io")), &options.io))
        return mainUsageError("--io needs a number from 1 to 1024");

    QStringList rest = global.positionalArguments();
    if (rest.isEmpty())
        return mainUsageError("no command given");
    options.command = toBytes(rest.takeFirst());
    const CommandDef* command = findCommand(options.command);
    if (!command)
        return mainUsageError("unknown command " + options.command);

    QCommandLineParser parser;
    const std::vector<OptionDef> specs = optionsOf(*command);
    for (const OptionDef& def : specs)
        parser.addOption(toOption(def));
    rest.prepend(args.first());
    const bool commandParsed = parser.parse(rest);
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, commandHelp(*command));
        return kExitOk;
    }
    if (!commandParsed)
        return usageError(options.command, parseError(parser));

    for (const OptionDef& def : specs) {
        const QString name = longName(def);
        if (parser.isSet(name) && name != QLatin1String("help"))
            options.options[toBytes(name)] = def.valueName ? toBytes(parser.value(name)) : std::string();
    }
    if (options.has("threads") && !parseThreads(fromBytes(options.value("threads")), &options.threads))
        return usageError(options.command, "--threads needs a number from 1 to 1024");
    if (options.has("io") && !parseThreads(fromBytes(options.value("io")), &options.io))
        return usageError(options.command, "--io needs a number from 1 to 1024");
    if (options.has("json") && options.has("null"))
        return usageError(options.command, "--json and --null exclude each other");
    options.format = options.has("json")   ? OutputFormat::Json
                     : options.has("null") ? OutputFormat::Null
                                           : OutputFormat::Lines;

    for (const QString& path : parser.positionalArguments())
        options.paths.push_back(toBytes(path));
    if (int(options.paths.size()) < command->minPaths)
        return usageError(options.command, "no path given");
    if (command->maxPaths >= 0 && int(options.paths.size()) > command->maxPaths)
        return usageError(options.command, command->maxPaths == 1 ? "one path only" : "too many paths");
    return command->run(options);
}

} // namespace kelvane::cli

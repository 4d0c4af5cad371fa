#include "start_up.h"

#include <QFileInfo>
#include <QTextStream>

#include "main_window.h"
#include "version.h"

namespace kelvo::ui {

namespace {

const char* const Usage =
    "Usage: kelvo [FILE.tbl]\n"
    "The desktop program of KELVO: linear models of categorical data from\n"
    "two-way frequency tables. With FILE.tbl it starts with that table-set file\n"
    "read, as File > Read KELVO file reads it; without it, with no file open.\n"
    "\n"
    "Options:\n"
    "  -h, --help   print this help and end\n"
    "  --version    print the version and end\n"
    "  --           end of the options: a file name that starts with - follows\n"
    "\n"
    "Qt's own options (-platform NAME, -style NAME, ...) are accepted as well.\n";

StartArguments Refused(const QString& message) {
    StartArguments start;
    start.action = StartArguments::Action::Refuse;
    start.message = message;
    return start;
}

}  // namespace

StartArguments ParseStartArguments(const QStringList& arguments) {
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool option = !optionsEnded && argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
        if (!option) {
            files.push_back(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            help = true;
        } else if (argument == QLatin1String("--version")) {
            version = true;
        } else {
            StartArguments refused = Refused(QStringLiteral("unknown option %1").arg(argument));
            refused.unknownOption = argument;
            return refused;
        }
    }
    StartArguments start;
    if (help) {
        start.action = StartArguments::Action::Help;
    } else if (version) {
        start.action = StartArguments::Action::Version;
    } else if (files.size() > 1) {
        return Refused(QStringLiteral("only one table-set file can be opened, %1 were given").arg(files.size()));
    } else if (files.size() == 1) {
        if (files.constFirst().isEmpty()) return Refused(QStringLiteral("the file name is empty"));
        // The open dialog hands Read KELVO file a full path; so does this.
        start.file = QFileInfo(files.constFirst()).absoluteFilePath();
    }
    return start;
}

int AnswerStartArguments(const StartArguments& start, QTextStream& out, QTextStream& err) {
    switch (start.action) {
    case StartArguments::Action::Start:
        return 0;
    case StartArguments::Action::Help:
        out << Usage;
        out.flush();
        return 0;
    case StartArguments::Action::Version:
        out << "kelvo " << kelvo::KelvoVersion << '\n';
        out.flush();
        return 0;
    case StartArguments::Action::Refuse:
        err << "kelvo: " << start.message << '\n' << "Usage: kelvo [FILE.tbl]; kelvo --help tells more.\n";
        err.flush();
        return 2;
    }
    return 2;
}

void StartMainWindow(TMain& main, const StartArguments& start) {
    main.show();
    if (!start.file.isEmpty()) main.ReadKELVOFile(start.file);
    else main.OfferRecovery();
}

}  // namespace kelvo::ui

// The command line of the desktop program and what the start-up does with
// it: no argument starts KELVO with nothing open, one table-set file starts it
// with that file read as File > Read KELVO file reads it.
#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace kelvo::ui {

class TMain;

struct StartArguments {
    enum class Action {
        Start,    // start the program; `file` is the table set to read, or empty
        Help,     // print the usage and end
        Version,  // print the version and end
        Refuse,   // print `message` and the usage hint on stderr, end with status 2
    };
    Action action = Action::Start;
    QString file;     // an absolute path
    QString message;  // what is wrong with the command line
    // The option that made it refused, if that was the reason. Before Qt has
    // taken out its own options this may still be one of them.
    QString unknownOption;
};

// Reads the command line as QCoreApplication::arguments() gives it: the
// program first, Qt's own options (-platform, -style, ...) already taken out.
StartArguments ParseStartArguments(const QStringList& arguments);

// Prints what --help and --version ask for on `out`, or the message of a
// refused command line on `err`; returns the exit status (0 or 2). For
// Start it prints nothing and returns 0.
int AnswerStartArguments(const StartArguments& start, QTextStream& out, QTextStream& err);

// Shows the main window and then reads the file that the command line names,
// if any: its warnings reach the notice and a failure the error box, over the
// main window. Without a file, it offers the unsaved changes of earlier runs.
void StartMainWindow(TMain& main, const StartArguments& start);

}  // namespace kelvo::ui

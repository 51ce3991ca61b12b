#pragma once

#include <QStringList>

class QTextStream;

// Runs quorvel-cli with its arguments; returns the exit status.
int RunCommandLine(int argc, char** argv);

// The same on given arguments (without the program name) and streams, for tests and scripts.
// Needs a QCoreApplication.
int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

#pragma once

// What every bench needs: stopping on a failure, timing a piece of work, finding the starting database.
#include "core/app/DataLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

// A bench that cannot build its data has no figure to give.
[[noreturn]] inline void Die(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

inline double Milliseconds(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

// The best of a few runs, in milliseconds: the figure least disturbed by the rest of the machine.
inline double Best(int repetitions, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, Milliseconds(timer));
    }
    return best;
}

// The database named by the argument at that place on the command line, or else the one shipped with the program.
inline QString StartingDatabase(int argc, char** argv, int place) {
    if (argc > place) return QFile::decodeName(argv[place]);
    return FindProgramDir(QDir::currentPath(), QCoreApplication::applicationDirPath()) +
           QStringLiteral("Ressources/DB/Data/Access/KESTOVRAN.MDB");
}

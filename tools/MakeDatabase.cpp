// Builds a database file from an SQL script: make-database <script.sql> <database file>.
// The file is written under a temporary name and renamed once complete.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-database <script.sql> <database file>\n");
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream script;
    script << input.rdbuf();

    const std::string target = argv[2];
    const std::string partial = target + ".part";
    std::remove(partial.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(partial.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s: %s\n", partial.c_str(), sqlite3_errmsg(db));
        return 1;
    }
    char* message = nullptr;
    const std::string transaction = "BEGIN;\n" + script.str() + "\nCOMMIT;";
    const int status = sqlite3_exec(db, transaction.c_str(), nullptr, nullptr, &message);
    if (status != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[1], message ? message : "error");
        sqlite3_free(message);
        sqlite3_close(db);
        std::remove(partial.c_str());
        return 1;
    }
    sqlite3_close(db);
    if (std::rename(partial.c_str(), target.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s\n", target.c_str());
        return 1;
    }
    return 0;
}

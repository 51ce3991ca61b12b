#include "cli/InfoCommand.h"

#include "core/app/Folders.h"
#include "core/app/Product.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/DbVersion.h"
#include "core/db/TDataModule1.h"
#include "core/startup/Startup.h"

#include <QSqlDatabase>
#include <QTextStream>

namespace {

void PrintDatabaseContent(QTextStream& out) {
    const QSqlDatabase db = QSqlDatabase::database(kMainConnection, false);
    out << "Version de la base : "
        << GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), VersionColumn(kMainConnection)) << '\n';
    QStringList tables = db.tables();
    tables.sort(Qt::CaseInsensitive);
    for (const QString& table : tables) {
        if (table.startsWith(QLatin1String("sqlite_"))) continue;
        const qint64 rows = QueryInteger(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table), kMainConnection);
        out << "  " << table << " : " << rows << '\n';
    }
}

} // namespace

Command InfoCommand() {
    return {QStringLiteral("info"),
            QStringLiteral("Prépare les dossiers de données et affiche où se trouvent le programme, les données et "
                           "la base, la version, et le nombre de lignes de chaque table."),
            // The folders are printed before the database is opened, so that they are shown also when it does not open.
            QString(),
            CommandNeeds::DataFolder,
            {},
            [](CommandContext& context) {
                context.out << "ProgramDir : " << ProgramDir() << '\n'
                            << "DataDir : " << DataDir() << '\n'
                            << "DbDir : " << DbDir() << '\n'
                            << "Base de données : " << DatabaseFile() << '\n'
                            << "Version : " << Product::kVersion << '\n'
                            << "Fournisseur : " << CurrentDatabaseSettings().provider << '\n';
                TDataModule1 dataModule;
                if (!ConnectDataModule(dataModule)) return ExitStatus::kFailure;
                PrintDatabaseContent(context.out);
                context.out.flush();
                return ExitStatus::kOk;
            }};
}

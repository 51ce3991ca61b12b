#include "core/db/UpdateScript.h"

#include "core/app/DataLocations.h"
#include "core/app/DateRoutines.h"
#include "core/app/Folders.h"
#include "core/app/Localisation.h"
#include "core/app/MessageService.h"
#include "core/app/Product.h"
#include "core/app/ProgressReporter.h"
#include "core/db/Compaction.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseCatalogue.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/FieldTypes.h"
#include "core/db/UpdateDataCommands.h"
#include "core/db/UpdateLog.h"
#include "core/db/UpdateScriptText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kTextSection = QStringLiteral("Lib_Bd_Maj");
const QString kSqliteDriver = QStringLiteral("QSQLITE");
const QString kAlreadyDone = QStringLiteral("*** Mise à jour déjà effectuée ***");
const QString kNoEnd = QStringLiteral("*** Ligne END introuvable après le test : fin de la mise à jour ***");
const QString kBanner = QStringLiteral("********************* MISE A JOUR TERMINE *********************");
const QString kBackupQuestion =
    QStringLiteral("Souhaitez-vous effectuer une sauvegarde de la base de données avant la mise à jour ?");
const QString kSavepoint = QStringLiteral("update_command");
constexpr int kSqlExeMaxLength = 255;

QString Text(int number, const char* defaultText) {
    return LangString(kTextSection, QStringLiteral("String%1").arg(number), QString::fromUtf8(defaultText));
}

QString ErrorSuffix(const QString& error) {
    return QStringLiteral(" (error : ") + error + QLatin1Char(')');
}

QString OkOrError(bool ok, const QString& error) {
    return ok ? QStringLiteral(" (Ok)") : ErrorSuffix(error);
}

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

QString MalformedLine(const QString& line) {
    return QStringLiteral("Ligne de commande mal formée : ") + line;
}

class UpdateRun {
public:
    explicit UpdateRun(const UpdateScriptOptions& options) : m_options(options) {}
    ~UpdateRun() {
        // A run that ends early leaves nothing half done behind it.
        if (m_blockOpen) database().rollback();
        if (m_options.feedback.window) m_options.feedback.window->setVisible(false);
    }

    bool run(const QString& folder, const QString& fileName, QString* error);

private:
    QSqlDatabase database() const { return QSqlDatabase::database(m_options.connectionName, false); }
    UpdateTarget target() {
        return {m_options.connectionName, m_options.databaseFolder, [this](const QString& line) { log(line); }};
    }

    void log(const QString& message);
    void setLabel(const QString& text);
    void setInfo(const QString& text);

    bool backUp(QString* error);
    bool closeConnection();
    bool reopenConnection(QString* error);

    bool beginBlock(QString* error);
    bool commitBlock(QString* error);
    bool execute(const QString& statement, QString* error);

    bool runTest(ScriptCommand command, const QString& line, bool* done, QString* error);
    bool runDataCommand(ScriptCommand command, const QString& line, QString* error);
    bool runInTransaction(bool needsTransaction, const std::function<bool(QString*)>& work, QString* commandError,
                          QString* error);
    bool runPictureCommand(ScriptCommand command, const QString& line, QString* error);
    bool runCompaction(const QString& line, QString* error);

    const UpdateScriptOptions& m_options;
    QString m_sqliteFile;
    bool m_blockOpen = false;
};

void UpdateRun::log(const QString& message) {
    // The update goes on even when the log cannot be written: the data matter more than their account.
    AppendLog(UpdateLogFile(), message);
    if (m_options.feedback.logObserver) m_options.feedback.logObserver(UpdateLogLine(message));
}

void UpdateRun::setLabel(const QString& text) {
    if (m_options.feedback.progressLabel) m_options.feedback.progressLabel(text);
}

void UpdateRun::setInfo(const QString& text) {
    if (m_options.feedback.window) m_options.feedback.window->setTask(text);
}

bool UpdateRun::closeConnection() {
    {
        const QSqlDatabase db = database();
        m_sqliteFile = db.driverName() == kSqliteDriver ? db.databaseName() : QString();
    }
    CloseDatabase(m_options.connectionName);
    return true;
}

bool UpdateRun::reopenConnection(QString* error) {
    const bool opened = m_sqliteFile.isEmpty() ? OpenDatabase(m_options.connectionName, error)
                                               : OpenDatabaseFile(m_options.connectionName, m_sqliteFile, error);
    if (opened && !database().isOpen()) return Fail(error, QStringLiteral("La base de données n'est pas ouverte."));
    return opened;
}

bool UpdateRun::backUp(QString* error) {
    const QString backupFolder = DataDir() + QStringLiteral("Backup/");
    if (!CreatePrivateFolder(backupFolder, error) || !CreatePrivateFolder(backupFolder + QStringLiteral("Maj/"), error))
        return false;
    setInfo(Text(1, "MISE A JOUR (Sauvegarde)"));
    closeConnection();
    const QString source = DbDir() + DatabaseRelativePath();
    setInfo(source);
    QString compactionError;
    const bool copied = CompactDatabaseFile(source, UpdateBackupFile(QFileInfo(source).fileName()), &compactionError);
    QString reopenError;
    const bool reopened = reopenConnection(&reopenError);
    if (!copied) return Fail(error, compactionError);
    return reopened || Fail(error, reopenError);
}

bool UpdateRun::execute(const QString& statement, QString* error) {
    QSqlQuery query(database());
    if (query.exec(statement)) return true;
    const QSqlError failure = query.lastError();
    return Fail(error, failure.databaseText().isEmpty() ? failure.text() : failure.databaseText());
}

bool UpdateRun::beginBlock(QString* error) {
    QSqlDatabase db = database();
    if (!db.transaction()) return Fail(error, db.lastError().text());
    m_blockOpen = true;
    return true;
}

bool UpdateRun::commitBlock(QString* error) {
    if (!m_blockOpen) return true;
    m_blockOpen = false;
    QSqlDatabase db = database();
    if (db.commit()) return true;
    const QString message = db.lastError().text();
    db.rollback();
    return Fail(error, message);
}

// Runs one data command: inside the open block in a savepoint of its own, otherwise in a transaction of its own
// when it needs one. commandError gets the command's own failure (logged, the run goes on); false means that the
// run cannot go on (the database dropped the transaction or could not commit it).
bool UpdateRun::runInTransaction(bool needsTransaction, const std::function<bool(QString*)>& work,
                                 QString* commandError, QString* error) {
    commandError->clear();
    const auto attempt = [&] {
        if (work(commandError)) return true;
        if (commandError->isEmpty()) *commandError = QStringLiteral("Erreur inconnue.");
        return false;
    };
    if (m_blockOpen) {
        if (!execute(QStringLiteral("SAVEPOINT ") + kSavepoint, commandError)) return true;
        if (attempt()) return execute(QStringLiteral("RELEASE SAVEPOINT ") + kSavepoint, error);
        // When the database has already given up the whole transaction there is no block left to go on with.
        if (!execute(QStringLiteral("ROLLBACK TO SAVEPOINT ") + kSavepoint, error)) {
            m_blockOpen = false;
            database().rollback();
            return false;
        }
        return execute(QStringLiteral("RELEASE SAVEPOINT ") + kSavepoint, error);
    }
    if (!needsTransaction) {
        attempt();
        return true;
    }
    QSqlDatabase db = database();
    if (!db.transaction()) {
        *commandError = db.lastError().text();
        return true;
    }
    if (!attempt()) {
        db.rollback();
        return true;
    }
    if (!db.commit()) {
        *commandError = db.lastError().text();
        db.rollback();
    }
    return true;
}

bool UpdateRun::runTest(ScriptCommand command, const QString& line, bool* done, QString* error) {
    const QString connection = m_options.connectionName;
    QString table;
    QString field;
    switch (command) {
    case ScriptCommand::NotFieldType: {
        QString typeName;
        if (!TextBetween(line, QLatin1Char('('), QLatin1Char('.'), &table) ||
            !TextBetween(line, QLatin1Char('.'), QLatin1Char(','), &field) ||
            !TextBetween(line, QLatin1Char(','), QLatin1Char(')'), &typeName))
            return Fail(error, MalformedLine(line));
        int code = 0;
        if (!CatalogueColumnType(connection, table, field, &code, error)) return false;
        *done = FieldTypeMatches(code, FieldTypeCode(typeName));
        return true;
    }
    case ScriptCommand::NotFieldExists:
    case ScriptCommand::FieldExists: {
        if (!TextBetween(line, QLatin1Char('('), QLatin1Char('.'), &table) ||
            !TextBetween(line, QLatin1Char('.'), QLatin1Char(')'), &field))
            return Fail(error, MalformedLine(line));
        QStringList columns;
        if (!CatalogueColumns(connection, table, &columns, error)) return false;
        const bool exists = columns.contains(field, Qt::CaseInsensitive);
        *done = command == ScriptCommand::NotFieldExists ? exists : !exists;
        return true;
    }
    case ScriptCommand::NotTableExists:
    case ScriptCommand::TableExists: {
        if (!TextBetween(line, QLatin1Char('('), QLatin1Char(')'), &table)) return Fail(error, MalformedLine(line));
        bool exists = false;
        if (!CatalogueHasTable(connection, table, &exists, error)) return false;
        *done = command == ScriptCommand::NotTableExists ? exists : !exists;
        return true;
    }
    case ScriptCommand::TableEmpty: {
        if (!TextBetween(line, QLatin1Char('('), QLatin1Char(')'), &table)) return Fail(error, MalformedLine(line));
        bool hasRow = false;
        if (!CatalogueTableHasRow(connection, table, &hasRow, error)) return false;
        *done = hasRow;
        return true;
    }
    default:
        return Fail(error, MalformedLine(line));
    }
}

bool UpdateRun::runPictureCommand(ScriptCommand command, const QString& line, QString* error) {
    QString header;
    QString emptyText = QStringLiteral("Pas d'images dans la table");
    QStringList arguments;
    int argumentCount = 2;
    switch (command) {
    case ScriptCommand::ExtractImageToJpeg:
        argumentCount = 3;
        header = QStringLiteral("OPTIMISATION:Extraction des images au format jpeg de la table ");
        emptyText = QStringLiteral("Pas d'images dans la base");
        break;
    case ScriptCommand::ExtractJpegImage:
        argumentCount = 3;
        header = QStringLiteral("OPTIMISATION:Extraction des images jpeg de la table ");
        emptyText = QStringLiteral("Pas d'images dans la base");
        break;
    case ScriptCommand::ResizeBitmapInDataBase:
        argumentCount = 4;
        header = QStringLiteral("OPTIMISATION:Redimensionne les images Bitmap de la table ");
        break;
    default:
        header = QStringLiteral("OPTIMISATION:Conversion des images Bitmap en Jpeg de la table ");
        break;
    }
    const bool parsed = QuotedArguments(line, argumentCount, &arguments);
    log(header + (parsed ? arguments[0] : QString()));

    bool empty = false;
    QString commandError;
    const auto work = [&](QString* failure) {
        if (!parsed) return Fail(failure, MalformedLine(line));
        const UpdateTarget where = target();
        switch (command) {
        case ScriptCommand::ExtractImageToJpeg:
            return ExtractImagesToJpeg(where, arguments[0], arguments[1], arguments[2],
                                       line.contains(QLatin1String("ExtractImageToJpegCopy")), &empty, failure);
        case ScriptCommand::ExtractJpegImage:
            return ExtractJpegImages(where, arguments[0], arguments[1], arguments[2], &empty, failure);
        case ScriptCommand::ResizeBitmapInDataBase: {
            bool widthOk = false;
            bool heightOk = false;
            const int width = arguments[2].toInt(&widthOk);
            const int height = arguments[3].toInt(&heightOk);
            if (!widthOk || !heightOk) return Fail(failure, MalformedLine(line));
            return ResizeBitmapsInDatabase(where, arguments[0], arguments[1], width, height,
                                           line.contains(QLatin1String("ResizeBitmapDataBaseInWhiteRect")), &empty,
                                           failure);
        }
        default:
            return ConvertBitmapsToJpegInDatabase(where, arguments[0], arguments[1], &empty, failure);
        }
    };
    if (!runInTransaction(true, work, &commandError, error)) return false;
    QString closing = empty && commandError.isEmpty() ? emptyText : QString();
    if (!commandError.isEmpty()) closing += ErrorSuffix(commandError);
    log(closing);
    return true;
}

bool UpdateRun::runCompaction(const QString& line, QString* error) {
    QString name;
    const bool parsed = TextBetween(line, QLatin1Char('('), QLatin1Char(')'), &name);
    const bool wasInBlock = m_blockOpen;
    // The connection closes for the compaction: what the block did so far is kept.
    if (!commitBlock(error)) return false;
    QString commandError;
    bool compacted = false;
    // A script names a database of the database folder; "..\..\" would let it rewrite any file of the user's.
    const QString access = QDir::cleanPath(m_options.databaseFolder + QStringLiteral("Access"));
    const QString file = QDir::cleanPath(access + QLatin1Char('/') + ToSlashes(name));
    if (!parsed) {
        commandError = MalformedLine(line);
    } else if (!file.startsWith(access + QLatin1Char('/'))) {
        commandError = QStringLiteral("seules les bases du dossier \"%1\" peuvent être compactées, pas \"%2\"")
                           .arg(QDir::toNativeSeparators(access), name);
    } else {
        closeConnection();
        compacted = CompactDatabaseInPlace(file, &commandError);
        if (!reopenConnection(error)) {
            log(Text(6, "Compactage de la base de données") + ErrorSuffix(*error));
            return false;
        }
    }
    log(Text(6, "Compactage de la base de données") + OkOrError(compacted, commandError));
    return !wasInBlock || beginBlock(error);
}

bool UpdateRun::runDataCommand(ScriptCommand command, const QString& line, QString* error) {
    if (command == ScriptCommand::CompactDataBase) return runCompaction(line, error);
    setLabel(Text(5, "Mise à jour de la base de données ..."));
    const UpdateTarget where = target();
    QString commandError;

    switch (command) {
    case ScriptCommand::SqlExe: {
        QString statement;
        const bool parsed = TextBetween(line, QLatin1Char('{'), QLatin1Char('}'), &statement);
        statement = statement.left(kSqlExeMaxLength);
        // A single statement is atomic by itself; some (VACUUM) may not run inside a transaction at all.
        if (!runInTransaction(
                false,
                [&](QString* failure) {
                    return parsed ? ExecuteUpdateStatement(where, statement, failure)
                                  : Fail(failure, MalformedLine(line));
                },
                &commandError, error))
            return false;
        log(QStringLiteral("SQL:") + statement + OkOrError(commandError.isEmpty(), commandError));
        return true;
    }
    case ScriptCommand::ReplaceStringInStatScript:
    case ScriptCommand::ReplaceStringInQueryScript: {
        const bool stat = command == ScriptCommand::ReplaceStringInStatScript;
        QString oldText;
        QString newText;
        const bool parsed = ReplaceArguments(line, &oldText, &newText);
        if (!runInTransaction(
                true,
                [&](QString* failure) {
                    return parsed ? ReplaceInStoredQueries(
                                        where, stat ? QStringLiteral("STAT_QUERY") : QStringLiteral("SQL_QUERY"),
                                        oldText, newText, failure)
                                  : Fail(failure, MalformedLine(line));
                },
                &commandError, error))
            return false;
        log((stat ? QStringLiteral("MODIFICATION:Statistiques(") : QStringLiteral("MODIFICATION:Requêtes(")) + oldText +
            QLatin1Char(')') + OkOrError(commandError.isEmpty(), commandError));
        return true;
    }
    case ScriptCommand::ConvertStatScript:
    case ScriptCommand::ConvertQueryScript: {
        const bool stat = command == ScriptCommand::ConvertStatScript;
        QString suffix;
        const bool parsed = !stat || TextBetween(line, QLatin1Char('{'), QLatin1Char('}'), &suffix);
        if (!runInTransaction(
                true,
                [&](QString* failure) {
                    if (!parsed) return Fail(failure, MalformedLine(line));
                    return stat ? ConvertLegacyTree(where, ProgramDir() + QStringLiteral("Stat/"),
                                                    QStringLiteral("StatTree.def"), QStringLiteral(".stq"),
                                                    QStringLiteral("STAT_TREE"), QStringLiteral("STAT_QUERY"), &suffix,
                                                    failure)
                                : ConvertLegacyTree(where, ProgramDir() + QStringLiteral("Query/"),
                                                    QStringLiteral("QueryTree.def"), QStringLiteral(".req"),
                                                    QStringLiteral("SQL_TREE"), QStringLiteral("SQL_QUERY"), nullptr,
                                                    failure);
                },
                &commandError, error))
            return false;
        log((stat ? QStringLiteral("CONVERSION:Statistiques") : QStringLiteral("CONVERSION:Requêtes")) +
            OkOrError(commandError.isEmpty(), commandError));
        return true;
    }
    default:
        return runPictureCommand(command, line, error);
    }
}

bool UpdateRun::run(const QString& folder, const QString& fileName, QString* error) {
    QStringList lines;
    if (!QFileInfo(folder + fileName).isFile())
        return Fail(error, QStringLiteral("Le fichier \"%1\" est introuvable.").arg(folder + fileName));
    if (!ReadTextLines(folder + fileName, &lines, error)) return false;
    if (!database().isOpen()) return Fail(error, QStringLiteral("La base de données n'est pas ouverte."));

    ProgressReporter* window = m_options.feedback.window;
    const int maximum = qMax(0, int(lines.size()) - 1);
    int position = 1;
    if (window) {
        window->setProgress(position, maximum);
        window->setVisible(true);
    }

    const bool backup = m_options.backup == UpdateBackup::Always ||
                        (m_options.backup == UpdateBackup::Ask && Messages().ask(Product::kName, kBackupQuestion));
    if (backup && !backUp(error)) return false;

    setInfo(Text(2, "MISE A JOUR (Base de données)"));
    setLabel(Text(3, "Mise à jour (préparation) ..."));

    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (window) window->setProgress(++position, maximum);
        const QString& line = lines[i];
        if (IsCommentLine(line)) {
            log(line.mid(2));
            continue;
        }
        const ScriptCommand command = FindScriptCommand(line);
        if (IsTestCommand(command)) {
            setLabel(Text(4, "Test de la mise à jour ..."));
            bool done = false;
            if (!runTest(command, line, &done, error)) {
                log(line + ErrorSuffix(*error));
                return false;
            }
            if (done) {
                log(kAlreadyDone);
                qsizetype end = i + 1;
                while (end < lines.size() && !IsEndLine(lines[end]))
                    ++end;
                if (end >= lines.size()) {
                    log(kNoEnd);
                    break;
                }
                i = end;
                if (window) window->setProgress(position = int(end) + 2, maximum);
                if (!commitBlock(error)) return false;
                continue;
            }
            if (!m_blockOpen && !beginBlock(error)) return false;
        } else if (command != ScriptCommand::None) {
            if (!runDataCommand(command, line, error)) return false;
        }
        if (IsEndLine(line) && !commitBlock(error)) return false;
    }
    if (!commitBlock(error)) return false;

    log(kBanner);
    log(QString());
    if (window) window->setVisible(false);
    // The update is complete: a script that stays would only run again, its tests finding everything done.
    if (m_options.deleteScript && !QFile::remove(folder + fileName))
        Messages().show(MessageIcon::Warning, Product::kName,
                        QStringLiteral("Impossible de supprimer le fichier \"%1\".").arg(folder + fileName));
    return true;
}

} // namespace

bool RunUpdateScript(const QString& folder, const QString& fileName, const UpdateScriptOptions& options,
                     QString* error) {
    UpdateRun run(options);
    QString failure;
    const bool done = run.run(AsFolder(folder), fileName, &failure);
    if (!done && error) *error = failure;
    return done;
}

QString UpdateBackupFile(const QString& databaseFileName) {
    const QDateTime now = Now();
    return DataDir() + QStringLiteral("Backup/Maj/") +
           databaseFileName.left(qMax(0, databaseFileName.size() - 4)).toUpper() +
           QStringLiteral("_ACCESS_BACKUP_MAJ_") + now.date().toString(QStringLiteral("ddMMyyyy")) +
           now.time().toString(QStringLiteral("hhmmss")) + QStringLiteral(".bkp");
}

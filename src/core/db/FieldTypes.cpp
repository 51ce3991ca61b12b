#include "core/db/FieldTypes.h"

#include <QHash>
#include <QStringList>

int FieldTypeCode(const QString& name) {
    static const QHash<QString, int> kCodes = [] {
        const char* const names[] = {
            "ftUnknown",    "ftString",     "ftSmallint", "ftInteger",     "ftWord",      "ftBoolean",
            "ftFloat",      "ftCurrency",   "ftBCD",      "ftDate",        "ftTime",      "ftDateTime",
            "ftBytes",      "ftVarBytes",   "ftAutoInc",  "ftBlob",        "ftMemo",      "ftGraphic",
            "ftFmtMemo",    "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor",    "ftFixedChar",
            "ftWideString", "ftLargeInt",   "ftADT",      "ftArray",       "ftReference", "ftDataSet",
            "ftOraBlob",    "ftOraClob",    "ftVariant",  "ftInterface",   "ftIDispatch", "ftGuid"};
        QHash<QString, int> codes;
        int code = 0;
        for (const char* typeName : names)
            codes.insert(QString::fromLatin1(typeName), code++);
        codes.insert(QStringLiteral("ftWideMemo"), FieldType::kWideMemo);
        return codes;
    }();
    return kCodes.value(name, FieldType::kUnknown);
}

int DeclaredTypeCode(const QString& declaredType, bool autoIncrement) {
    if (autoIncrement) return FieldType::kAutoInc;
    static const QHash<QString, int> kTypes = [] {
        QHash<QString, int> types;
        const auto add = [&](const QStringList& names, int code) {
            for (const QString& name : names)
                types.insert(name, code);
        };
        add({"SMALLINT", "INT2", "TINYINT"}, FieldType::kSmallint);
        add({"INTEGER", "INT", "INT4", "MEDIUMINT"}, FieldType::kInteger);
        add({"BIGINT", "INT8"}, FieldType::kLargeInt);
        add({"VARCHAR", "NVARCHAR", "CHAR", "NCHAR", "CHARACTER", "VARYING CHARACTER"}, FieldType::kWideString);
        add({"TEXT", "NTEXT", "CLOB", "MEMO", "LONGTEXT"}, FieldType::kWideMemo);
        add({"BLOB", "LONGBINARY", "IMAGE", "BINARY", "VARBINARY"}, FieldType::kBlob);
        add({"DOUBLE", "DOUBLE PRECISION", "FLOAT", "REAL"}, FieldType::kFloat);
        add({"DATE", "DATETIME", "TIMESTAMP", "TIME"}, FieldType::kDateTime);
        add({"BOOLEAN", "BOOL", "BIT", "YESNO"}, FieldType::kBoolean);
        add({"CURRENCY", "MONEY"}, FieldType::kCurrency);
        add({"NUMERIC", "DECIMAL"}, FieldType::kBCD);
        add({"GUID", "UNIQUEIDENTIFIER"}, FieldType::kGuid);
        return types;
    }();
    const QString base = declaredType.section(QLatin1Char('('), 0, 0).simplified().toUpper();
    return kTypes.value(base, FieldType::kUnknown);
}

bool FieldTypeMatches(int columnCode, int testedCode) {
    if (columnCode == testedCode) return true;
    return columnCode == FieldType::kWideMemo && testedCode == FieldType::kMemo;
}

#pragma once

#include <QString>

// The field-type names that update scripts test columns against (NotFieldType), with their codes:
// ftUnknown 0, ftString 1, ftSmallint 2, ftInteger 3, ftWord 4, ftBoolean 5, ftFloat 6, ftCurrency 7, ftBCD 8,
// ftDate 9, ftTime 10, ftDateTime 11, ftBytes 12, ftVarBytes 13, ftAutoInc 14, ftBlob 15, ftMemo 16, ftGraphic 17,
// ftFmtMemo 18, ftParadoxOle 19, ftDBaseOle 20, ftTypedBinary 21, ftCursor 22, ftFixedChar 23, ftWideString 24,
// ftLargeInt 25, ftADT 26, ftArray 27, ftReference 28, ftDataSet 29, ftOraBlob 30, ftOraClob 31, ftVariant 32,
// ftInterface 33, ftIDispatch 34, ftGuid 35, ftWideMemo 39. Any other name gives 0. Names are matched exactly.
int FieldTypeCode(const QString& name);

namespace FieldType {
constexpr int kUnknown = 0;
constexpr int kSmallint = 2;
constexpr int kInteger = 3;
constexpr int kBoolean = 5;
constexpr int kFloat = 6;
constexpr int kCurrency = 7;
constexpr int kBCD = 8;
constexpr int kDateTime = 11;
constexpr int kAutoInc = 14;
constexpr int kBlob = 15;
constexpr int kMemo = 16;
constexpr int kWideString = 24;
constexpr int kLargeInt = 25;
constexpr int kGuid = 35;
constexpr int kWideMemo = 39;
} // namespace FieldType

// The code of a column of the embedded store from its declared type (the part before any "(", without regard to
// case), as the schema declares them:
//   the table's single INTEGER PRIMARY KEY (autoIncrement true)  ftAutoInc
//   SMALLINT, INT2, TINYINT                                       ftSmallint
//   INTEGER, INT, INT4, MEDIUMINT                                 ftInteger
//   BIGINT, INT8                                                  ftLargeInt
//   VARCHAR, NVARCHAR, CHAR, NCHAR, CHARACTER, VARYING CHARACTER  ftWideString
//   TEXT, NTEXT, CLOB, MEMO, LONGTEXT                             ftWideMemo
//   BLOB, LONGBINARY, IMAGE, BINARY, VARBINARY                    ftBlob
//   DOUBLE, DOUBLE PRECISION, FLOAT, REAL                         ftFloat
//   DATE, DATETIME, TIMESTAMP, TIME                               ftDateTime
//   BOOLEAN, BOOL, BIT, YESNO                                     ftBoolean
//   CURRENCY, MONEY                                               ftCurrency
//   NUMERIC, DECIMAL                                              ftBCD
//   GUID, UNIQUEIDENTIFIER                                        ftGuid
// and ftUnknown for any other (a column declared without type among them).
int DeclaredTypeCode(const QString& declaredType, bool autoIncrement);

// Whether a column of type columnCode answers a test for the type named testedCode. A long-text column answers to
// both ftMemo and ftWideMemo: scripts of older versions name memo columns ftMemo, later ones ftWideMemo.
bool FieldTypeMatches(int columnCode, int testedCode);

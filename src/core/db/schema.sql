-- The starting database: every table the program reads or writes, with its columns in the order
-- of the program's field lists. The build runs this file into an empty SQLite database, shipped as
-- Ressources/DB/Data/Access/KESTOVRAN.MDB; the program itself never creates tables.
--
-- Declared types tell what a column holds: INTEGER PRIMARY KEY AUTOINCREMENT (numbered by the
-- database, never reused, since files on disk are named after it), SMALLINT and INTEGER (16- and
-- 32-bit values), BIGINT (references to another row's Id), VARCHAR(n) (text of at most n
-- characters), TEXT (long text), BLOB, DOUBLE, and DATE (ISO "yyyy-mm-dd" text).
--
-- Names and titles that lists are sorted by are declared COLLATE NOCASE; the program replaces
-- NOCASE by a French order on its own connections. None of them may be indexed, since other tools
-- that open the file sort them with SQLite's own NOCASE.
--
-- EVENT, BACKUP and CUSTOMLAB have no Id of their own: their RowKey addresses rows and is never shown.

CREATE TABLE PERSON (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_File SMALLINT,
    Name VARCHAR(128) COLLATE NOCASE,
    ForeName VARCHAR(128) COLLATE NOCASE,
    BirthDay_Date VARCHAR(10),
    BirthDay_Time VARCHAR(5),
    BirthDay_City VARCHAR(128),
    BirthDay_Weight DOUBLE,
    BirthDay_Size DOUBLE,
    [No] VARCHAR(128),
    Blood VARCHAR(128),
    Org_Secu TEXT,
    Org_Comp TEXT,
    Previous TEXT,
    WeightMode SMALLINT,
    SizeMode SMALLINT,
    AnalysisMode SMALLINT,
    Misc01 VARCHAR(128),
    Misc02 VARCHAR(128),
    Misc03 VARCHAR(128),
    Misc04 VARCHAR(128),
    Misc05 VARCHAR(128),
    Misc06 VARCHAR(128),
    Misc07 VARCHAR(128),
    Misc08 VARCHAR(128),
    Misc09 VARCHAR(128),
    Misc10 VARCHAR(128),
    Misc11 TEXT,
    Misc12 TEXT,
    WeightGraph BLOB,
    SizeGraph BLOB,
    Img1 BLOB,
    ImgMini1 BLOB,
    Img2 BLOB,
    Img3 BLOB,
    Img4 BLOB,
    ImgMini2 BLOB,
    ImgMini3 BLOB,
    ImgMini4 BLOB,
    Comment1 VARCHAR(128),
    Custom00144243 VARCHAR(128)
);

CREATE TABLE EVENT (
    Id_Ref BIGINT,
    Date_Event DATE,
    Time_Event VARCHAR(5),
    Description VARCHAR(255),
    RowKey INTEGER PRIMARY KEY AUTOINCREMENT
);
CREATE INDEX EVENT_Id_Ref ON EVENT (Id_Ref);

CREATE TABLE DOCUMENTIMG (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_Ref BIGINT,
    Tag INTEGER,
    Title VARCHAR(128),
    Img BLOB,
    ImgMini BLOB,
    Id_File INTEGER,
    DoType SMALLINT
);
CREATE INDEX DOCUMENTIMG_Id_Ref ON DOCUMENTIMG (Id_Ref);

CREATE TABLE DOCUMENTFILE (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_File SMALLINT,
    Id_Ref BIGINT,
    Title VARCHAR(255),
    FileIcon BLOB,
    FileName VARCHAR(255),
    FileType VARCHAR(128),
    FileSize VARCHAR(128),
    Remark VARCHAR(255),
    DoType SMALLINT
);
CREATE INDEX DOCUMENTFILE_Id_Ref ON DOCUMENTFILE (Id_Ref);

CREATE TABLE LST_ANALYSIS (
    Title VARCHAR(128) COLLATE NOCASE,
    Unit VARCHAR(50),
    "Decimal" SMALLINT,
    Description VARCHAR(255),
    Value_Min DOUBLE,
    Value_Max DOUBLE,
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_File INTEGER,
    Category VARCHAR(128),
    Img1 BLOB,
    Img2 BLOB,
    Img3 BLOB,
    Img4 BLOB,
    ImgMini1 BLOB,
    ImgMini2 BLOB,
    ImgMini3 BLOB,
    ImgMini4 BLOB,
    Remark1 TEXT,
    Remark2 TEXT,
    Misc01 VARCHAR(128),
    Misc02 VARCHAR(128),
    Misc03 VARCHAR(128),
    Misc04 VARCHAR(128),
    Misc05 VARCHAR(128),
    Misc06 VARCHAR(128),
    Misc07 VARCHAR(128),
    Misc08 VARCHAR(128),
    Misc09 VARCHAR(128),
    Misc10 VARCHAR(128),
    Misc11 TEXT,
    Misc12 TEXT,
    Tag VARCHAR(128)
);

CREATE TABLE L_ANALYSIS (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_File INTEGER,
    Id_Ref BIGINT,
    Id_Analysis BIGINT,
    Title VARCHAR(128) COLLATE NOCASE,
    Description VARCHAR(255),
    Category VARCHAR(128),
    Value_Min DOUBLE,
    Value_Max DOUBLE,
    Unit VARCHAR(50),
    "Decimal" SMALLINT,
    Img1 BLOB,
    Img2 BLOB,
    Img3 BLOB,
    Img4 BLOB,
    ImgMini1 BLOB,
    ImgMini2 BLOB,
    ImgMini3 BLOB,
    ImgMini4 BLOB,
    Remark1 TEXT,
    Remark2 TEXT,
    Misc01 VARCHAR(128),
    Misc02 VARCHAR(128),
    Misc03 VARCHAR(128),
    Misc04 VARCHAR(128),
    Misc05 VARCHAR(128),
    Misc06 VARCHAR(128),
    Misc07 VARCHAR(128),
    Misc08 VARCHAR(128),
    Misc09 VARCHAR(128),
    Misc10 VARCHAR(128),
    Misc11 TEXT,
    Misc12 TEXT,
    Tag VARCHAR(128)
);
CREATE INDEX L_ANALYSIS_Id_Ref ON L_ANALYSIS (Id_Ref);
CREATE INDEX L_ANALYSIS_Id_Analysis ON L_ANALYSIS (Id_Analysis);

CREATE TABLE ANALYSIS (
    Date_Analysis DATE,
    Value_Analysis DOUBLE,
    Value_Min DOUBLE,
    Value_Max DOUBLE,
    Remark1 VARCHAR(128),
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_File INTEGER,
    Id_Ref BIGINT,
    Time_Analysis VARCHAR(5)
);
CREATE INDEX ANALYSIS_Id_Ref ON ANALYSIS (Id_Ref);

CREATE TABLE COMBOITEMS (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_File SMALLINT,
    Misc01 TEXT,
    Misc02 TEXT,
    Misc03 TEXT,
    Misc04 TEXT,
    Misc05 TEXT,
    Misc06 TEXT,
    Misc07 TEXT,
    Misc08 TEXT,
    Misc09 TEXT,
    Misc10 TEXT,
    Location TEXT,
    Doctor_Category TEXT,
    BirthDay_City TEXT,
    Blood TEXT,
    Action_Gravity TEXT,
    Analysis_Unit TEXT
);

CREATE TABLE CUSTOMLAB (
    Id_File SMALLINT,
    Misc01 VARCHAR(128),
    Misc02 VARCHAR(128),
    Misc03 VARCHAR(128),
    Misc04 VARCHAR(128),
    Misc05 VARCHAR(128),
    Misc06 VARCHAR(128),
    Misc07 VARCHAR(128),
    Misc08 VARCHAR(128),
    Misc09 VARCHAR(128),
    Misc10 VARCHAR(128),
    Misc11 VARCHAR(128),
    Misc12 VARCHAR(128),
    RowKey INTEGER PRIMARY KEY AUTOINCREMENT
);

CREATE TABLE BACKUP (
    DateSav DATE,
    TimeSav VARCHAR(5),
    Description VARCHAR(128),
    Path VARCHAR(255),
    RowKey INTEGER PRIMARY KEY AUTOINCREMENT
);

CREATE TABLE OBJECT_VAL_STR (
    ID_CLASS INTEGER,
    ID_ATTRIBUTE INTEGER,
    USERID INTEGER,
    VALUE VARCHAR(255)
);

CREATE TABLE STAT_TREE (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_File INTEGER,
    NodeTitle VARCHAR(255),
    NodeLevel INTEGER,
    NodePos INTEGER,
    NodeType INTEGER
);

CREATE TABLE STAT_QUERY (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_Tree BIGINT,
    Query TEXT
);

CREATE TABLE SQL_TREE (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_File INTEGER,
    NodeTitle VARCHAR(255),
    NodeLevel INTEGER,
    NodePos INTEGER,
    NodeType INTEGER
);

CREATE TABLE SQL_QUERY (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Id_Tree BIGINT,
    Query TEXT
);

-- Tables of older versions: only emptied of a deleted person's rows.
CREATE TABLE Weight (Id INTEGER PRIMARY KEY AUTOINCREMENT, Id_Ref BIGINT);
CREATE TABLE [Size] (Id INTEGER PRIMARY KEY AUTOINCREMENT, Id_Ref BIGINT);
CREATE TABLE [Action] (Id INTEGER PRIMARY KEY AUTOINCREMENT, Id_Ref BIGINT);
CREATE TABLE Vaccine (Id INTEGER PRIMARY KEY AUTOINCREMENT, Id_Ref BIGINT);

-- The database version.
INSERT INTO OBJECT_VAL_STR (ID_CLASS, ID_ATTRIBUTE, USERID, VALUE) VALUES (-99, -99, -99, '1.13');

-- Labels of the free fields of the single work group.
INSERT INTO CUSTOMLAB (Id_File, Misc01, Misc02, Misc03, Misc04, Misc05, Misc06, Misc07, Misc08, Misc09, Misc10, Misc11, Misc12)
VALUES (0, 'Divers 1', 'Divers 2', 'Divers 3', 'Divers 4', 'Divers 5', 'Divers 6', 'Divers 7', 'Divers 8', 'Divers 9', 'Divers 10', 'Divers 11', 'Divers 12');

-- The pick lists, one entry per line.
INSERT INTO COMBOITEMS (Id_File, Location, Doctor_Category, BirthDay_City, Blood, Action_Gravity, Analysis_Unit)
VALUES (0,
    'Domicile' || char(13) || char(10) || 'Cabinet médical' || char(13) || char(10) || 'Hôpital' || char(13) || char(10) || 'Clinique' || char(13) || char(10) || 'Laboratoire' || char(13) || char(10) || 'Pharmacie',
    'Médecin généraliste' || char(13) || char(10) || 'Pédiatre' || char(13) || char(10) || 'Cardiologue' || char(13) || char(10) || 'Dermatologue' || char(13) || char(10) || 'Endocrinologue' || char(13) || char(10) || 'Gynécologue' || char(13) || char(10) || 'Néphrologue' || char(13) || char(10) || 'Ophtalmologiste' || char(13) || char(10) || 'Chirurgien-dentiste' || char(13) || char(10) || 'Laboratoire d''analyses',
    '',
    'A+' || char(13) || char(10) || 'A-' || char(13) || char(10) || 'B+' || char(13) || char(10) || 'B-' || char(13) || char(10) || 'AB+' || char(13) || char(10) || 'AB-' || char(13) || char(10) || 'O+' || char(13) || char(10) || 'O-',
    'Bénigne' || char(13) || char(10) || 'Modérée' || char(13) || char(10) || 'Sérieuse' || char(13) || char(10) || 'Grave',
    'g/l' || char(13) || char(10) || 'mg/l' || char(13) || char(10) || 'µg/l' || char(13) || char(10) || 'ng/ml' || char(13) || char(10) || 'g/dl' || char(13) || char(10) || 'mg/dl' || char(13) || char(10) || 'mmol/l' || char(13) || char(10) || 'µmol/l' || char(13) || char(10) || 'mEq/l' || char(13) || char(10) || 'UI/l' || char(13) || char(10) || 'mUI/ml' || char(13) || char(10) || '%' || char(13) || char(10) || 'T/l' || char(13) || char(10) || 'G/l' || char(13) || char(10) || 'fl' || char(13) || char(10) || 'pg' || char(13) || char(10) || 'mm/h' || char(13) || char(10) || 'sec');

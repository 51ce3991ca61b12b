-- The starting database: every table the program reads or writes. The build runs this file into
-- an empty SQLite database, shipped as Ressources/DB/Data/Access/KESTOVRAN.MDB.
-- Dates are ISO "yyyy-mm-dd" text.

CREATE TABLE OBJECT_VAL_STR (
    ID_CLASS INTEGER,
    ID_ATTRIBUTE INTEGER,
    USERID INTEGER,
    VALUE VARCHAR(255)
);
INSERT INTO OBJECT_VAL_STR (ID_CLASS, ID_ATTRIBUTE, USERID, VALUE) VALUES (-99, -99, -99, '1.13');

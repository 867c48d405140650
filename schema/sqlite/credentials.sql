-- The credentials database on sqlite: made by "corvane-iq schema --engine sqlite --database credentials"
-- from the table definitions of src/store (scripts/update-schema.sh); do not edit.
-- For a new, empty file: sqlite3 FILE < this-script

BEGIN;

CREATE TABLE _rtblAgentCredentials (
    iAgentID INTEGER PRIMARY KEY,
    cPasswordHash VARCHAR(200) NOT NULL
);

PRAGMA application_id = 1129464135;
PRAGMA user_version = 1;

COMMIT;

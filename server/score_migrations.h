// The score schema's history, for both engines: migration k takes a database from version k - 1
// to k, and a database records the last it took (SQLite in its user_version, PostgreSQL in the
// table schema_version). Version 0 is an empty database, or one made before versions were kept,
// whose tables are those of version 1: that step only makes what is missing. A change to the
// schema is a new entry at the end of both lists, never an edit of one that shipped (a stored
// record's replay was one more column that both engines add in a step of their own).
#pragma once

struct TMigration {
  const char* what;
  const char* sql;
};

extern const TMigration kSqliteMigrations[];
extern const TMigration kPostgresMigrations[];
extern const int kSchemaVersion;  // the entries of each list

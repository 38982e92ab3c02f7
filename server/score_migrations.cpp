// The migrations of both engines, oldest first.
#include "score_migrations.h"

const TMigration kSqliteMigrations[] = {
    {"players and records",
     "CREATE TABLE IF NOT EXISTS players (name TEXT PRIMARY KEY, hash TEXT NOT NULL);"
     "CREATE TABLE IF NOT EXISTS records (id INTEGER PRIMARY KEY, tbl INTEGER NOT NULL,"
     " player TEXT NOT NULL, score INTEGER NOT NULL, name TEXT NOT NULL, badges INTEGER,"
     " stamp INTEGER NOT NULL, level INTEGER, mode INTEGER, flags INTEGER, quit INTEGER,"
     " best TEXT NOT NULL, UNIQUE (tbl, score, name, stamp));"
     "CREATE INDEX IF NOT EXISTS records_by_table ON records (tbl, score DESC, id);"
     "CREATE INDEX IF NOT EXISTS records_by_player ON records (tbl, player, score DESC, id);"},
    // SQLite cannot change a table's constraint: the table is made again and its rows copied.
    {"a record is unique per player: the same record of two players is kept for both",
     "CREATE TABLE records_new (id INTEGER PRIMARY KEY, tbl INTEGER NOT NULL,"
     " player TEXT NOT NULL, score INTEGER NOT NULL, name TEXT NOT NULL, badges INTEGER,"
     " stamp INTEGER NOT NULL, level INTEGER, mode INTEGER, flags INTEGER, quit INTEGER,"
     " best TEXT NOT NULL, UNIQUE (tbl, player, score, name, stamp));"
     "INSERT INTO records_new (id, tbl, player, score, name, badges, stamp, level, mode, flags, quit, best)"
     " SELECT id, tbl, player, score, name, badges, stamp, level, mode, flags, quit, best FROM records;"
     "DROP TABLE records;"
     "ALTER TABLE records_new RENAME TO records;"
     "CREATE INDEX records_by_table ON records (tbl, score DESC, id);"
     "CREATE INDEX records_by_player ON records (tbl, player, score DESC, id);"},
    {"the health check's mark", "CREATE TABLE health (id INTEGER PRIMARY KEY, at INTEGER NOT NULL);"},
    {"a record's replay, kept with it and pruned with it", "ALTER TABLE records ADD COLUMN replay TEXT;"},
};

const TMigration kPostgresMigrations[] = {
    {"players and records",
     "CREATE TABLE IF NOT EXISTS players (name TEXT PRIMARY KEY, hash TEXT NOT NULL);"
     "CREATE TABLE IF NOT EXISTS records (id BIGSERIAL PRIMARY KEY, tbl BIGINT NOT NULL,"
     " player TEXT NOT NULL, score BIGINT NOT NULL, name TEXT NOT NULL, badges BIGINT,"
     " stamp BIGINT NOT NULL, level BIGINT, mode BIGINT, flags BIGINT, quit BIGINT,"
     " best TEXT NOT NULL, UNIQUE (tbl, score, name, stamp));"
     "CREATE INDEX IF NOT EXISTS records_by_table ON records (tbl, score DESC, id);"
     "CREATE INDEX IF NOT EXISTS records_by_player ON records (tbl, player, score DESC, id);"},
    {"a record is unique per player: the same record of two players is kept for both",
     "ALTER TABLE records DROP CONSTRAINT records_tbl_score_name_stamp_key;"
     "ALTER TABLE records ADD CONSTRAINT records_tbl_player_score_name_stamp_key"
     " UNIQUE (tbl, player, score, name, stamp);"},
    {"the health check's mark", "CREATE TABLE health (id INTEGER PRIMARY KEY, at BIGINT NOT NULL);"},
    {"a record's replay, kept with it and pruned with it", "ALTER TABLE records ADD COLUMN replay TEXT;"},
};

const int kSchemaVersion = int(sizeof kSqliteMigrations / sizeof kSqliteMigrations[0]);
static_assert(sizeof kSqliteMigrations / sizeof kSqliteMigrations[0] ==
                  sizeof kPostgresMigrations / sizeof kPostgresMigrations[0],
              "both engines keep the same schema versions");

#include "StateStore.h"

#include <omniORB4/cdrStream.h>
#include <sqlite3.h>

#include <iostream>

namespace hvc_sandbox {

namespace {

// "HVCS": marks the database as the sandbox's, so another program's SQLite
// file is told apart from an empty one.
constexpr int applicationId = 0x48564353;

// The store's own tables: the version of each part's tables, and facts.
const char* const formatTables = "CREATE TABLE schema_versions(part TEXT PRIMARY KEY,"
                                 " version INTEGER NOT NULL);"
                                 "CREATE TABLE facts(key TEXT PRIMARY KEY, value TEXT NOT NULL);";

// Why this thread's last failing statement failed, and whether it is to be
// said on stderr (not while opening: the failure is then the message).
thread_local std::string lastFailure;
thread_local bool opening = false;

struct Opening {
    Opening() { opening = true; }
    ~Opening() { opening = false; }
};

} // namespace

StateStore::StateStore() {
    openOrRelease(":memory:");
}

StateStore::StateStore(const std::string& path) : file(path) {
    openOrRelease(path.c_str());
}

StateStore::~StateStore() {
    release();
}

void StateStore::openOrRelease(const char* where) {
    // A refused database is closed here: the destructor does not run for a
    // store whose constructor failed.
    try {
        open(where);
    } catch (...) {
        release();
        throw;
    }
}

void StateStore::release() {
    for (Prepared& p : statements)
        sqlite3_finalize(p.statement);
    statements.clear();
    sqlite3_close(db);
    db = nullptr;
}

void StateStore::open(const char* where) {
    const std::string name = persistent() ? file : std::string("the in-memory state database");
    if (sqlite3_open_v2(where, &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string why = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
        throw Unusable("cannot open " + name + ": " + why);
    }
    sqlite3_extended_result_codes(db, 1);
    // Reads a single number; a file that is no database fails here first.
    auto number = [&](const char* sql) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(s);
        if (rc != SQLITE_ROW) {
            const std::string why = sqlite3_errmsg(db);
            sqlite3_finalize(s);
            if ((rc & 0xff) == SQLITE_NOTADB)
                throw Unusable(name + " is not an hvc-sandbox state database: " + why);
            if ((rc & 0xff) == SQLITE_CORRUPT)
                throw Unusable(name + " is damaged: " + why);
            throw Unusable("cannot read " + name + ": " + why);
        }
        const std::int64_t value = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
        return value;
    };
    const std::int64_t id = number("PRAGMA application_id");
    const std::int64_t tables = number("SELECT count(*) FROM sqlite_master");
    if (id != applicationId && (id != 0 || tables != 0))
        throw Unusable(name + " is not an hvc-sandbox state database (it belongs to another "
                              "program); give the sandbox a home of its own");
    if (id == applicationId) {
        sqlite3_stmt* s = nullptr;
        std::string verdict = "ok";
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &s, nullptr) != SQLITE_OK ||
            sqlite3_step(s) != SQLITE_ROW)
            verdict = sqlite3_errmsg(db);
        else
            verdict = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        if (verdict != "ok")
            throw Unusable(name + " is damaged: " + verdict);
        const std::int64_t version = number("PRAGMA user_version");
        if (version > formatVersion)
            throw Unusable(name + " was written by a newer hvc-sandbox (format " +
                           std::to_string(version) + "; this one reads up to " +
                           std::to_string(formatVersion) + ")");
    }
    Opening quietly;
    try {
        // A commit is on disk before the operation that made it returns: it
        // survives the sandbox being killed. (A power failure may lose the
        // last ones; this is a sandbox.)
        execute("PRAGMA journal_mode=WAL");
        execute("PRAGMA synchronous=NORMAL");
        execute("PRAGMA foreign_keys=ON");
        if (id == 0) {
            Transaction creating(*this);
            execute(formatTables);
            execute(("PRAGMA application_id=" + std::to_string(applicationId)).c_str());
            execute(("PRAGMA user_version=" + std::to_string(formatVersion)).c_str());
            creating.commit();
        }
    } catch (const CORBA::PERSIST_STORE&) {
        throw Unusable("cannot prepare " + name + ": " + lastFailure);
    }
}

void StateStore::fail(const char* doing) const {
    lastFailure = sqlite3_errmsg(db);
    if (!opening)
        std::cerr << "hvc-sandbox: state database: " << doing << ": " << lastFailure << std::endl;
    throw CORBA::PERSIST_STORE(0, CORBA::COMPLETED_NO);
}

void StateStore::execute(const char* sql) {
    std::lock_guard<std::recursive_mutex> hold(lock);
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sql);
}

StateStore::Prepared& StateStore::prepared(const char* sql) {
    // A statement in use (an outer loop over its rows) is not shared; a free
    // copy or a new one is.
    for (Prepared& p : statements)
        if (!p.inUse && p.sql == sql)
            return p;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK)
        fail(sql);
    statements.push_back({sql, s, false});
    return statements.back();
}

void StateStore::migrate(const std::string& part, const std::vector<std::string>& steps) {
    const std::string name = persistent() ? file : std::string("the in-memory state database");
    Opening quietly;
    try {
        Transaction migrating(*this);
        std::int64_t current = 0;
        {
            Statement version(*this, "SELECT version FROM schema_versions WHERE part = ?");
            version.bind(1, part);
            if (version.step())
                current = version.integer(0);
        }
        const auto known = static_cast<std::int64_t>(steps.size());
        if (current > known)
            throw Unusable(name + " holds " + part + " state of version " +
                           std::to_string(current) +
                           ", written by a newer hvc-sandbox; this one "
                           "knows up to version " +
                           std::to_string(known));
        if (current == known)
            return;
        for (std::int64_t step = current; step < known; ++step)
            execute(steps[static_cast<std::size_t>(step)].c_str());
        Statement record(*this, "INSERT INTO schema_versions(part, version) VALUES(?, ?)"
                                " ON CONFLICT(part) DO UPDATE SET version = excluded.version");
        record.bind(1, part).bind(2, known).run();
        migrating.commit();
    } catch (const CORBA::PERSIST_STORE&) {
        throw Unusable("cannot bring the " + part + " tables of " + name +
                       " up to date: " + lastFailure);
    }
}

std::optional<std::string> StateStore::fact(const std::string& key) {
    Statement read(*this, "SELECT value FROM facts WHERE key = ?");
    read.bind(1, key);
    if (!read.step())
        return std::nullopt;
    return read.text(0);
}

void StateStore::setFact(const std::string& key, const std::string& value) {
    Transaction writing(*this);
    Statement write(*this, "INSERT INTO facts(key, value) VALUES(?, ?)"
                           " ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    write.bind(1, key).bind(2, value).run();
    writing.commit();
}

StateStore::Transaction::Transaction(StateStore& s) : store(s), hold(s.lock) {
    outermost = store.depth++ == 0;
    if (outermost &&
        sqlite3_exec(store.db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        --store.depth;
        store.fail("BEGIN IMMEDIATE");
    }
}

void StateStore::Transaction::commit() {
    if (done)
        return;
    if (outermost && sqlite3_exec(store.db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        store.fail("COMMIT");
    done = true;
}

StateStore::Transaction::~Transaction() {
    if (outermost && !done)
        sqlite3_exec(store.db, "ROLLBACK", nullptr, nullptr, nullptr);
    --store.depth;
}

StateStore::Statement::Statement(StateStore& s, const char* sql) : store(s), hold(s.lock) {
    StateStore::Prepared& p = s.prepared(sql);
    p.inUse = true;
    statement = p.statement;
}

StateStore::Statement::~Statement() {
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    for (StateStore::Prepared& p : store.statements)
        if (p.statement == statement)
            p.inUse = false;
}

StateStore::Statement& StateStore::Statement::bind(int index, const std::string& text) {
    if (sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK)
        store.fail("bind");
    return *this;
}

StateStore::Statement& StateStore::Statement::bind(int index, std::int64_t number) {
    if (sqlite3_bind_int64(statement, index, number) != SQLITE_OK)
        store.fail("bind");
    return *this;
}

StateStore::Statement& StateStore::Statement::bindBlob(int index, const std::string& bytes) {
    if (sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK)
        store.fail("bind");
    return *this;
}

StateStore::Statement& StateStore::Statement::bindNull(int index) {
    if (sqlite3_bind_null(statement, index) != SQLITE_OK)
        store.fail("bind");
    return *this;
}

bool StateStore::Statement::step() {
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        store.fail(sqlite3_sql(statement));
    return false;
}

void StateStore::Statement::run() {
    while (step()) {
    }
}

void StateStore::Statement::reset() {
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
}

std::string StateStore::Statement::text(int column) const {
    const unsigned char* value = sqlite3_column_text(statement, column);
    return value != nullptr
               ? std::string(reinterpret_cast<const char*>(value),
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
               : std::string();
}

std::int64_t StateStore::Statement::integer(int column) const {
    return sqlite3_column_int64(statement, column);
}

std::string StateStore::Statement::blob(int column) const {
    const void* value = sqlite3_column_blob(statement, column);
    return value != nullptr
               ? std::string(static_cast<const char*>(value),
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
               : std::string();
}

bool StateStore::Statement::isNull(int column) const {
    return sqlite3_column_type(statement, column) == SQLITE_NULL;
}

std::string StateStore::encode(const CORBA::Any& value) {
    cdrEncapsulationStream out;
    value >>= out;
    return std::string(static_cast<const char*>(out.bufPtr()), out.bufSize());
}

void StateStore::decode(const std::string& bytes, CORBA::Any& value) {
    if (bytes.empty())
        throw CORBA::MARSHAL(0, CORBA::COMPLETED_NO);
    // The stream copies a buffer that is not aligned as CDR wants.
    cdrEncapsulationStream in(reinterpret_cast<const CORBA::Octet*>(bytes.data()),
                              static_cast<CORBA::ULong>(bytes.size()));
    value <<= in;
}

} // namespace hvc_sandbox

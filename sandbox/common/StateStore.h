// The sandbox platform's state: one SQLite database (write-ahead log) in a
// file under the platform's home, or in memory when it has none. Every room
// keeps what clients change in it, so that a sandbox restarted on the same
// home serves the same users, sessions, properties and objects.
#pragma once

#include <omniORB4/CORBA.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace hvc_sandbox {

// How a room uses it:
//  - at start, `migrate("<room>", steps)` brings the room's tables to the
//    newest version (steps are only ever appended: step i takes version i to
//    i + 1), then the room reads its state back;
//  - every remote operation that changes state writes it in a Transaction and
//    commits before it returns, then changes the servant's memory.
// Thread-safe: a Transaction holds the store for its thread until it ends;
// statements outside one hold it for their own life. Failures of the database
// while serving raise CORBA::PERSIST_STORE (and say why on stderr); failures
// while opening raise Unusable.
class StateStore {
public:
    // A database the sandbox cannot use: not a database, another program's,
    // damaged, or written by a newer sandbox. The message says which and names
    // the file.
    struct Unusable : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    // A store in memory, gone with the process.
    StateStore();
    // The database at `path`, created when missing. Raises Unusable.
    explicit StateStore(const std::string& path);
    ~StateStore();
    StateStore(const StateStore&) = delete;
    StateStore& operator=(const StateStore&) = delete;

    bool persistent() const { return !file.empty(); }
    // The database file; empty in memory.
    const std::string& path() const { return file; }

    // Brings the tables of `part` (a room's name) to version steps.size() by
    // running the steps it has not run, each with its version in one
    // transaction. Raises Unusable when the database holds a newer version of
    // the part than `steps` knows.
    void migrate(const std::string& part, const std::vector<std::string>& steps);

    // The platform's own facts (the recorded port): text values by key.
    std::optional<std::string> fact(const std::string& key);
    void setFact(const std::string& key, const std::string& value);

    // One transaction of this thread: commits on commit(), rolls back when it
    // ends otherwise. An inner Transaction joins the outer one, which alone
    // commits.
    class Transaction {
    public:
        explicit Transaction(StateStore& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        StateStore& store;
        std::unique_lock<std::recursive_mutex> hold;
        bool outermost;
        bool done = false;
    };

    // A prepared statement of the store, reset when it goes. Raises
    // CORBA::PERSIST_STORE when the database fails.
    class Statement {
    public:
        Statement(StateStore& store, const char* sql);
        ~Statement();
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;

        // Parameters count from 1.
        Statement& bind(int index, const std::string& text);
        Statement& bind(int index, std::int64_t number);
        Statement& bindBlob(int index, const std::string& bytes);
        Statement& bindNull(int index);

        // Runs to the next row: true when there is one.
        bool step();
        // Runs a statement that returns no rows.
        void run();
        // Makes the statement ready to be bound and run again.
        void reset();

        // Columns of the current row count from 0.
        std::string text(int column) const;
        std::int64_t integer(int column) const;
        std::string blob(int column) const;
        bool isNull(int column) const;

    private:
        StateStore& store;
        std::unique_lock<std::recursive_mutex> hold;
        sqlite3_stmt* statement;
    };

    // An Any as bytes: a CDR encapsulation (byte order, type code, value).
    static std::string encode(const CORBA::Any& value);
    // The Any `bytes` encode; raises CORBA::MARSHAL when they are no such
    // encoding.
    static void decode(const std::string& bytes, CORBA::Any& value);

    // The schema version this sandbox writes into the database's header.
    static constexpr int formatVersion = 1;

private:
    friend class Transaction;
    friend class Statement;

    struct Prepared {
        std::string sql;
        sqlite3_stmt* statement;
        bool inUse;
    };

    void openOrRelease(const char* where);
    void open(const char* where);
    // Finalises the statements and closes the database.
    void release();
    // Raises CORBA::PERSIST_STORE for a failure while serving.
    [[noreturn]] void fail(const char* doing) const;
    void execute(const char* sql);
    Prepared& prepared(const char* sql);

    std::string file;
    sqlite3* db = nullptr;
    std::recursive_mutex lock;
    int depth = 0;                   // Transactions open on the owning thread
    std::deque<Prepared> statements; // stable addresses while others are added
};

} // namespace hvc_sandbox

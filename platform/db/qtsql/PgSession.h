#pragma once

#include <QString>
#include <functional>
#include <vector>

class PgScrollCursor;
class QSqlDriver;

// The server-side cursors of one PostgreSQL connection and the transaction they live in. They
// run in the user's session, so that search_path, temporary tables, locks and uncommitted
// changes are what the user's other statements see. A cursor needs a transaction: inside the
// user's own it is declared there; otherwise the program begins one for its cursors and commits
// it when the last of them closes (a cursor kept past its transaction would be copied whole).
// While that transaction of the program's is open, each other statement the program runs (table
// and field lists, the write-back) runs in a savepoint, so that a failing one does not abort
// it, and a change is committed at once: the cursors end with it and are read again. The user's
// own text runs only once the cursors are closed and the program's transaction is over.
// User-interface thread only.
class PgSession {
  public:
    // The connection opened, or closed: closing leaves the cursors unable to read.
    void Attach(QSqlDriver* driver) { driver_ = driver; }
    void Detach();
    QSqlDriver* Driver() const { return driver_; }

    // Takes in the answers cursors have asked for ahead, so that another command can be sent.
    void Settle();

    // Readies the connection for a cursor about to be declared: the program's transaction when
    // there is none, else a savepoint, so that a refused declaration leaves the connection as it
    // was. False in a transaction of the user's that has failed: no cursor can be declared there.
    bool PrepareDeclare();
    // The declaration succeeded, and the cursor now lives here; or it failed and is undone.
    void Declared(PgScrollCursor* cursor);
    void DeclareFailed();
    // A cursor closes: its portal is closed, and the program's transaction ends with its last
    // cursor.
    void Closed(PgScrollCursor* cursor);
    // A cursor's command failed (or was cancelled): the program's transaction, aborted by it, is
    // rolled back, and the cursors in it end.
    void CursorFailed();

    // Runs one of the program's own statements. In the program's transaction it runs in a
    // savepoint, and when it changes data the transaction is committed at once.
    void Step(const std::function<void()>& run, bool changes);
    // Whether the open transaction is the program's, begun for its cursors.
    bool ProgramTransaction() const { return own_; }
    // Commits the program's transaction after a write of the program's: its cursors end.
    void CommitProgramTransaction();
    // Before text of the user's runs: the cursors' portals are closed and the program's
    // transaction ends, so that the user's BEGIN and COMMIT mean what they say.
    void EndCursors();

  private:
    // Runs one command of the session's own; raises EDatabaseError when it fails.
    void Run(const QString& command);
    void ClosePortal(PgScrollCursor* cursor);
    // Ends the program's transaction (rolled back when it failed) and the cursors in it.
    void EndProgramTransaction(const QString& why);
    void ForgetAll(const QString& why);

    QSqlDriver* driver_ = nullptr;
    std::vector<PgScrollCursor*> cursors_;
    bool own_ = false;               // the open transaction is the program's
    bool freshTransaction_ = false;  // begun for the cursor being declared
};

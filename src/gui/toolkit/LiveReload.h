#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class Database;

// Keeps a window's sheet in step with the other computers on books on a
// server: every committed store notifies "tallox_books" (the schema's
// triggers), and the window reloads what it shows shortly after, once the
// user is not typing in a cell. Does nothing on SQLite books.
class LiveReload : public QObject {
    Q_OBJECT
public:
    // `typing`: true while a cell is being edited (the reload waits);
    // `reload`: reloads the period shown, keeping the cursor on its entry.
    LiveReload(Database& db, QObject* parent, std::function<bool()> typing, std::function<void()> reload);
    ~LiveReload() override;

    static QString Channel();

private:
    void changed(const QString& name, int source);
    void fire();

    QString m_connection;
    std::function<bool()> m_typing;
    std::function<void()> m_reload;
    QTimer m_timer;
};

#pragma once

class Connection;

// While it lives, a statement running on `connection` keeps the progress window painted, and
// the window's Cancel (AllowProgressCancel) stops it through Connection::cancel.
class ProgressWatch
{
public:
    explicit ProgressWatch(Connection &connection);
    ~ProgressWatch();
    ProgressWatch(const ProgressWatch &) = delete;
    ProgressWatch &operator=(const ProgressWatch &) = delete;

private:
    Connection &m_connection;
};

#include "host/core/ProgressWatch.h"

#include "host/core/Progress.h"
#include "host/db/engine/Connection.h"

ProgressWatch::ProgressWatch(Connection &connection)
    : m_connection(connection)
{
    m_connection.setProgressCallback([this] {
        PaintProgressDlg();
        if (ProgressCancelled())
            m_connection.cancel();
    });
}

ProgressWatch::~ProgressWatch()
{
    m_connection.setProgressCallback({});
}
